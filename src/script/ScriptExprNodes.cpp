#include "script/ScriptFormat.h"
#include "script/ScriptNodes.h"

#include <cmath>

namespace tscript {

TExpr::~TExpr() = default;
TStmt::~TStmt() = default;

qint64 TExpr::EvalInt(TRun& aRun) const
{
    TVal v;
    Eval(aRun, v);
    return v.n.i;
}

double TExpr::EvalFloat(TRun& aRun) const
{
    TVal v;
    Eval(aRun, v);
    return v.n.f;
}

QString TExpr::EvalStr(TRun& aRun) const
{
    TVal v;
    Eval(aRun, v);
    if (type->kind == TTypeKind::Char)
        return QString(QChar(char16_t(v.n.i)));
    return v.s;
}

void CheckLength(qint64 aLength)
{
    if (aLength > kMaxStringLength)
        ThrowFault(QStringLiteral("Chaîne trop longue"));
}

void ThrowFloatError(double aValue, const TSrcPos* aPos)
{
    const QString text = std::isnan(aValue)
                             ? QStringLiteral("Opération en virgule flottante incorrecte")
                             : QStringLiteral("Débordement de virgule flottante");
    if (aPos)
        ThrowRun(*aPos, text);
    ThrowFault(text);
}

namespace {

int Height(std::initializer_list<const TExpr*> aChildren)
{
    int h = 0;
    for (const TExpr* c : aChildren)
        if (c)
            h = std::max(h, c->height);
    return h + 1;
}

QString CharText(qint64 aCode)
{
    return QString(QChar(char16_t(aCode)));
}

// ---------------------------------------------------------------- constants and variables

class TConstNode final : public TExpr {
public:
    TConstNode(const TScriptType* aType, TVal aValue, const TSrcPos& aPos)
        : TExpr(aType, aPos)
        , m_value(std::move(aValue))
    {
    }
    void Eval(TRun&, TVal& aOut) const override { aOut = m_value; }
    qint64 EvalInt(TRun&) const override { return m_value.n.i; }
    double EvalFloat(TRun&) const override { return m_value.n.f; }
    QString EvalStr(TRun&) const override
    {
        return type->kind == TTypeKind::Char ? CharText(m_value.n.i) : m_value.s;
    }
    bool IsConst() const override { return true; }

private:
    TVal m_value;
};

// Common reading of a variable through its address.
class TVarNode : public TExpr {
public:
    using TExpr::TExpr;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut = *Address(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return Address(aRun)->n.i; }
    double EvalFloat(TRun& aRun) const override { return Address(aRun)->n.f; }
    QString EvalStr(TRun& aRun) const override
    {
        const TVal* v = Address(aRun);
        return type->kind == TTypeKind::Char ? CharText(v->n.i) : v->s;
    }
    bool IsLValue() const override { return true; }
};

class TLocalVar final : public TVarNode {
public:
    TLocalVar(const TScriptType* aType, int aSlot, const TSrcPos& aPos)
        : TVarNode(aType, aPos)
        , m_slot(aSlot)
    {
    }
    TVal* Address(TRun& aRun) const override { return &aRun.frame->vars[m_slot]; }
    qint64 EvalInt(TRun& aRun) const override { return aRun.frame->vars[m_slot].n.i; }
    double EvalFloat(TRun& aRun) const override { return aRun.frame->vars[m_slot].n.f; }
    TSlotKind SlotKind(int& aSlot) const override
    {
        aSlot = m_slot;
        return TSlotKind::Local;
    }

private:
    int m_slot;
};

class TGlobalVar final : public TVarNode {
public:
    TGlobalVar(const TScriptType* aType, int aSlot, const TSrcPos& aPos)
        : TVarNode(aType, aPos)
        , m_slot(aSlot)
    {
    }
    TVal* Address(TRun& aRun) const override { return &aRun.globals[m_slot]; }
    qint64 EvalInt(TRun& aRun) const override { return aRun.globals[m_slot].n.i; }
    double EvalFloat(TRun& aRun) const override { return aRun.globals[m_slot].n.f; }
    TSlotKind SlotKind(int& aSlot) const override
    {
        aSlot = m_slot;
        return TSlotKind::Global;
    }

private:
    int m_slot;
};

// A variable of an enclosing routine, or a var parameter (whose slot holds a reference).
class TFrameVar final : public TVarNode {
public:
    TFrameVar(const TScriptType* aType, int aHops, int aSlot, bool aByRef, const TSrcPos& aPos)
        : TVarNode(aType, aPos)
        , m_hops(aHops)
        , m_slot(aSlot)
        , m_byRef(aByRef)
    {
    }
    TVal* Address(TRun& aRun) const override
    {
        TFrame* f = aRun.frame;
        for (int h = 0; h < m_hops; ++h)
            f = f->parent;
        TVal* v = &f->vars[m_slot];
        return m_byRef ? v->n.ref : v;
    }

private:
    int m_hops;
    int m_slot;
    bool m_byRef;
};

// Fields and elements of an aggregate that is a variable, or a value computed on the spot.
class TPartNode : public TExpr {
public:
    TPartNode(const TScriptType* aType, TExprPtr aBase, const TSrcPos& aPos)
        : TExpr(aType, aPos)
        , m_base(std::move(aBase))
    {
        height = Height({m_base.get()});
    }
    void Eval(TRun& aRun, TVal& aOut) const override
    {
        if (m_base->IsLValue()) {
            aOut = *Address(aRun);
            return;
        }
        TVal whole;
        m_base->Eval(aRun, whole);
        aOut = std::move(whole.agg->items[size_t(Position(aRun))]);
    }
    qint64 EvalInt(TRun& aRun) const override
    {
        if (m_base->IsLValue())
            return Address(aRun)->n.i;
        return TExpr::EvalInt(aRun);
    }
    double EvalFloat(TRun& aRun) const override
    {
        if (m_base->IsLValue())
            return Address(aRun)->n.f;
        return TExpr::EvalFloat(aRun);
    }
    TVal* Address(TRun& aRun) const override
    {
        if (!m_base->IsLValue())
            return nullptr;
        const qint64 k = Position(aRun);
        return &m_base->Address(aRun)->agg->items[size_t(k)];
    }
    bool IsLValue() const override { return m_base->IsLValue(); }

protected:
    virtual qint64 Position(TRun& aRun) const = 0;
    TExprPtr m_base;
};

class TFieldNode final : public TPartNode {
public:
    TFieldNode(const TScriptType* aType, TExprPtr aBase, int aIndex, const TSrcPos& aPos)
        : TPartNode(aType, std::move(aBase), aPos)
        , m_index(aIndex)
    {
    }

protected:
    qint64 Position(TRun&) const override { return m_index; }

private:
    int m_index;
};

class TIndexNode final : public TPartNode {
public:
    TIndexNode(const TScriptType* aType, TExprPtr aBase, TExprPtr aIndex, qint64 aLow, qint64 aHigh,
               const TSrcPos& aPos)
        : TPartNode(aType, std::move(aBase), aPos)
        , m_index(std::move(aIndex))
        , m_low(aLow)
        , m_high(aHigh)
    {
        height = Height({m_base.get(), m_index.get()});
    }

protected:
    qint64 Position(TRun& aRun) const override
    {
        const qint64 k = m_index->EvalInt(aRun);
        if (k < m_low || k > m_high)
            ThrowRun(m_index->pos, QStringLiteral("Indice hors limites : %1 (bornes %2..%3)")
                                       .arg(k)
                                       .arg(m_low)
                                       .arg(m_high));
        return k - m_low;
    }

private:
    TExprPtr m_index;
    qint64 m_low;
    qint64 m_high;
};

class TStrIndexNode final : public TExpr {
public:
    TStrIndexNode(TExprPtr aBase, TExprPtr aIndex, const TSrcPos& aPos)
        : TExpr(types::Char(), aPos)
        , base(std::move(aBase))
        , index(std::move(aIndex))
    {
        height = Height({base.get(), index.get()});
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalInt(aRun); }
    qint64 EvalInt(TRun& aRun) const override
    {
        const qint64 k = index->EvalInt(aRun);
        if (base->IsLValue())
            return At(base->Address(aRun)->s, k);
        return At(base->EvalStr(aRun), k);
    }

    TExprPtr base;
    TExprPtr index;

private:
    qint64 At(const QString& aText, qint64 aIndex) const
    {
        if (aIndex < 1 || aIndex > aText.size())
            ThrowRun(index->pos, QStringLiteral("Indice de chaîne hors limites : %1 (longueur %2)")
                                     .arg(aIndex)
                                     .arg(aText.size()));
        return aText.at(qsizetype(aIndex - 1)).unicode();
    }
};

// ---------------------------------------------------------------- arithmetic

// The two operands every binary node has.
class TBinaryExpr : public TExpr {
public:
    TBinaryExpr(const TScriptType* aType, TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos)
        : TExpr(aType, aPos)
        , m_l(std::move(aLeft))
        , m_r(std::move(aRight))
    {
        height = Height({m_l.get(), m_r.get()});
    }
    bool IsConst() const override { return m_l->IsConst() && m_r->IsConst(); }

protected:
    TExprPtr m_l;
    TExprPtr m_r;
};

enum class TIntKind : quint8 {
    Add,
    Sub,
    Mul,
    Div,
    Mod,
    And,
    Or,
    Xor,
    Shl64,
    Shl32s,
    Shl32u,
    Shr64,
    Shr32s,
    Shr32u
};

template <TIntKind K> class TIntBin final : public TBinaryExpr {
public:
    using TBinaryExpr::TBinaryExpr;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalInt(aRun); }
    qint64 EvalInt(TRun& aRun) const override
    {
        const qint64 a = m_l->EvalInt(aRun);
        const qint64 b = m_r->EvalInt(aRun);
        if constexpr (K == TIntKind::Add)
            return qint64(quint64(a) + quint64(b));
        if constexpr (K == TIntKind::Sub)
            return qint64(quint64(a) - quint64(b));
        if constexpr (K == TIntKind::Mul)
            return qint64(quint64(a) * quint64(b));
        if constexpr (K == TIntKind::Div) {
            if (b == 0)
                ThrowRun(pos, QStringLiteral("Division par zéro"));
            if (b == -1)
                return qint64(0 - quint64(a));
            return a / b;
        }
        if constexpr (K == TIntKind::Mod) {
            if (b == 0)
                ThrowRun(pos, QStringLiteral("Division par zéro"));
            if (b == -1)
                return 0;
            return a % b;
        }
        if constexpr (K == TIntKind::And)
            return a & b;
        if constexpr (K == TIntKind::Or)
            return a | b;
        if constexpr (K == TIntKind::Xor)
            return a ^ b;
        // Shifts work on the bit pattern and take the count modulo the width, as the processor
        // does; 32-bit results are read back as Integer or Cardinal.
        if constexpr (K == TIntKind::Shl64)
            return qint64(quint64(a) << (b & 63));
        if constexpr (K == TIntKind::Shl32s)
            return qint64(qint32(quint32(a) << (b & 31)));
        if constexpr (K == TIntKind::Shl32u)
            return qint64(quint32(a) << (b & 31));
        if constexpr (K == TIntKind::Shr64)
            return qint64(quint64(a) >> (b & 63));
        if constexpr (K == TIntKind::Shr32s)
            return qint64(qint32(quint32(a) >> (b & 31)));
        if constexpr (K == TIntKind::Shr32u)
            return qint64(quint32(a) >> (b & 31));
        return 0;
    }
};

template <TIntKind K>
TExprPtr MakeIntBin(const TScriptType* aType, TExprPtr l, TExprPtr r, const TSrcPos& p)
{
    return std::make_unique<TIntBin<K>>(aType, std::move(l), std::move(r), p);
}

template <TBinOp Op> class TFloatBin final : public TBinaryExpr {
public:
    TFloatBin(TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos)
        : TBinaryExpr(types::Double(), std::move(aLeft), std::move(aRight), aPos)
    {
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.f = EvalFloat(aRun); }
    double EvalFloat(TRun& aRun) const override
    {
        const double a = m_l->EvalFloat(aRun);
        const double b = m_r->EvalFloat(aRun);
        if constexpr (Op == TBinOp::Add)
            return CheckFloat(a + b, &pos);
        if constexpr (Op == TBinOp::Sub)
            return CheckFloat(a - b, &pos);
        if constexpr (Op == TBinOp::Mul)
            return CheckFloat(a * b, &pos);
        if constexpr (Op == TBinOp::Slash) {
            if (b == 0.0)
                ThrowRun(pos, QStringLiteral("Division par zéro"));
            return CheckFloat(a / b, &pos);
        }
        return 0.0;
    }
};

template <bool IsAnd> class TShortCircuit final : public TBinaryExpr {
public:
    TShortCircuit(TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos)
        : TBinaryExpr(types::Boolean(), std::move(aLeft), std::move(aRight), aPos)
    {
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalBool(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return EvalBool(aRun); }
    bool EvalBool(TRun& aRun) const override
    {
        if constexpr (IsAnd)
            return m_l->EvalBool(aRun) && m_r->EvalBool(aRun);
        else
            return m_l->EvalBool(aRun) || m_r->EvalBool(aRun);
    }
};

enum class TCmpKind : quint8 { Int, Float, Str, Set };

template <TCmpKind K, TCmpOp Op> class TCompare final : public TBinaryExpr {
public:
    TCompare(TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos)
        : TBinaryExpr(types::Boolean(), std::move(aLeft), std::move(aRight), aPos)
    {
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalBool(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return EvalBool(aRun); }
    bool EvalBool(TRun& aRun) const override
    {
        if constexpr (K == TCmpKind::Int)
            return Apply(m_l->EvalInt(aRun), m_r->EvalInt(aRun));
        if constexpr (K == TCmpKind::Float)
            return Apply(m_l->EvalFloat(aRun), m_r->EvalFloat(aRun));
        if constexpr (K == TCmpKind::Str) {
            const QString a = m_l->EvalStr(aRun);
            const QString b = m_r->EvalStr(aRun);
            return Apply(a.compare(b), 0);
        }
        if constexpr (K == TCmpKind::Set) {
            TVal a, b;
            m_l->Eval(aRun, a);
            m_r->Eval(aRun, b);
            const auto& x = a.agg->bits;
            const auto& y = b.agg->bits;
            bool sub = true, super = true;
            for (size_t w = 0; w < x.size(); ++w) {
                if (x[w] & ~y[w])
                    sub = false;
                if (y[w] & ~x[w])
                    super = false;
            }
            if constexpr (Op == TCmpOp::Eq)
                return sub && super;
            if constexpr (Op == TCmpOp::Ne)
                return !(sub && super);
            if constexpr (Op == TCmpOp::Le)
                return sub;
            if constexpr (Op == TCmpOp::Ge)
                return super;
            return false;
        }
        return false;
    }

private:
    template <class V> static bool Apply(V a, V b)
    {
        if constexpr (Op == TCmpOp::Eq)
            return a == b;
        if constexpr (Op == TCmpOp::Ne)
            return a != b;
        if constexpr (Op == TCmpOp::Lt)
            return a < b;
        if constexpr (Op == TCmpOp::Le)
            return a <= b;
        if constexpr (Op == TCmpOp::Gt)
            return a > b;
        if constexpr (Op == TCmpOp::Ge)
            return a >= b;
        return false;
    }
};

template <TCmpKind K> TExprPtr MakeCompare(TCmpOp aOp, TExprPtr l, TExprPtr r, const TSrcPos& p)
{
    switch (aOp) {
    case TCmpOp::Eq:
        return std::make_unique<TCompare<K, TCmpOp::Eq>>(std::move(l), std::move(r), p);
    case TCmpOp::Ne:
        return std::make_unique<TCompare<K, TCmpOp::Ne>>(std::move(l), std::move(r), p);
    case TCmpOp::Lt:
        return std::make_unique<TCompare<K, TCmpOp::Lt>>(std::move(l), std::move(r), p);
    case TCmpOp::Le:
        return std::make_unique<TCompare<K, TCmpOp::Le>>(std::move(l), std::move(r), p);
    case TCmpOp::Gt:
        return std::make_unique<TCompare<K, TCmpOp::Gt>>(std::move(l), std::move(r), p);
    case TCmpOp::Ge:
        return std::make_unique<TCompare<K, TCmpOp::Ge>>(std::move(l), std::move(r), p);
    }
    return nullptr;
}

class TUnary : public TExpr {
public:
    TUnary(const TScriptType* aType, TExprPtr aOperand, const TSrcPos& aPos)
        : TExpr(aType, aPos)
        , m_e(std::move(aOperand))
    {
        height = Height({m_e.get()});
    }
    bool IsConst() const override { return m_e->IsConst(); }

protected:
    TExprPtr m_e;
};

class TNotBool final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalBool(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return EvalBool(aRun); }
    bool EvalBool(TRun& aRun) const override { return !m_e->EvalBool(aRun); }
};

class TNotInt final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalInt(aRun); }
    // The complement of a Byte is a Byte: wrapped to the operand's width and signedness.
    qint64 EvalInt(TRun& aRun) const override { return type->Normalize(~m_e->EvalInt(aRun)); }
};

class TNegInt final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalInt(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return qint64(0 - quint64(m_e->EvalInt(aRun))); }
};

class TNegFloat final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.f = EvalFloat(aRun); }
    double EvalFloat(TRun& aRun) const override { return -m_e->EvalFloat(aRun); }
};

class TIntToFloat final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.f = EvalFloat(aRun); }
    double EvalFloat(TRun& aRun) const override { return double(m_e->EvalInt(aRun)); }
};

class TCharToStr final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.s = EvalStr(aRun); }
    QString EvalStr(TRun& aRun) const override { return CharText(m_e->EvalInt(aRun)); }
};

class TOrdCast final : public TUnary {
public:
    using TUnary::TUnary;
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalInt(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return type->Normalize(m_e->EvalInt(aRun)); }
};

class TConcatNode final : public TExpr {
public:
    TConcatNode(const TSrcPos& aPos)
        : TExpr(types::String(), aPos)
    {
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.s = EvalStr(aRun); }
    QString EvalStr(TRun& aRun) const override
    {
        QString out = parts.front()->EvalStr(aRun);
        for (size_t k = 1; k < parts.size(); ++k) {
            const QString next = parts[k]->EvalStr(aRun);
            if (out.size() + next.size() > kMaxStringLength)
                ThrowRun(pos, QStringLiteral("Chaîne trop longue"));
            out += next;
        }
        aRun.Charge(out.size() >> 12, pos);
        return out;
    }
    bool IsConst() const override
    {
        for (const TExprPtr& p : parts)
            if (!p->IsConst())
                return false;
        return true;
    }
    TExprList parts;
};

// ---------------------------------------------------------------- sets

void SetRangeBits(TAggregate& aSet, qint64 aLow, qint64 aHigh, const TSrcPos& aPos)
{
    if (aLow > aHigh)
        return;
    if (aLow < 0 || aHigh > 255)
        ThrowRun(
            aPos,
            QStringLiteral("Élément d'ensemble hors limites : %1").arg(aLow < 0 ? aLow : aHigh));
    for (qint64 v = aLow; v <= aHigh; ++v)
        aSet.Put(v, true);
}

class TSetBin final : public TBinaryExpr {
public:
    TSetBin(TSetOp aOp, const TScriptType* aType, TExprPtr aLeft, TExprPtr aRight,
            const TSrcPos& aPos)
        : TBinaryExpr(aType, std::move(aLeft), std::move(aRight), aPos)
        , m_op(aOp)
    {
    }
    void Eval(TRun& aRun, TVal& aOut) const override
    {
        TVal a, b;
        m_l->Eval(aRun, a);
        m_r->Eval(aRun, b);
        for (size_t w = 0; w < a.agg->bits.size(); ++w) {
            const quint64 x = a.agg->bits[w], y = b.agg->bits[w];
            a.agg->bits[w] = m_op == TSetOp::Union  ? (x | y)
                             : m_op == TSetOp::Diff ? (x & ~y)
                                                    : (x & y);
        }
        aOut = std::move(a);
    }

private:
    TSetOp m_op;
};

class TInNode final : public TExpr {
public:
    TInNode(TExprPtr aElem, TExprPtr aSet, const TSrcPos& aPos)
        : TExpr(types::Boolean(), aPos)
        , m_elem(std::move(aElem))
        , m_set(std::move(aSet))
    {
        height = Height({m_elem.get(), m_set.get()});
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.n.i = EvalBool(aRun); }
    qint64 EvalInt(TRun& aRun) const override { return EvalBool(aRun); }
    bool EvalBool(TRun& aRun) const override
    {
        const qint64 e = m_elem->EvalInt(aRun);
        if (m_set->IsLValue())
            return m_set->Address(aRun)->agg->Has(e);
        TVal s;
        m_set->Eval(aRun, s);
        return s.agg->Has(e);
    }
    bool IsConst() const override { return m_elem->IsConst() && m_set->IsConst(); }

private:
    TExprPtr m_elem;
    TExprPtr m_set;
};

class TSetCtorNode final : public TExpr {
public:
    TSetCtorNode(std::vector<TSetElem> aElems, const TScriptType* aType, const TSrcPos& aPos)
        : TExpr(aType, aPos)
        , m_elems(std::move(aElems))
    {
        for (const TSetElem& e : m_elems)
            height = std::max(height, Height({e.lo.get(), e.hi.get()}));
    }
    void Eval(TRun& aRun, TVal& aOut) const override
    {
        auto agg = std::make_unique<TAggregate>();
        for (const TSetElem& e : m_elems) {
            const qint64 lo = e.lo->EvalInt(aRun);
            const qint64 hi = e.hi ? e.hi->EvalInt(aRun) : lo;
            SetRangeBits(*agg, lo, hi, e.lo->pos);
        }
        aOut.agg = std::move(agg);
    }
    bool IsConst() const override
    {
        for (const TSetElem& e : m_elems)
            if (!e.lo->IsConst() || (e.hi && !e.hi->IsConst()))
                return false;
        return true;
    }

private:
    std::vector<TSetElem> m_elems;
};

// ---------------------------------------------------------------- intrinsic functions

qint64 FloatToInt(double aValue, const TSrcPos& aPos)
{
    if (!(aValue >= -9.2233720368547758e18 && aValue < 9.2233720368547758e18))
        ThrowRun(aPos, QStringLiteral("Valeur hors limites pour un entier"));
    return qint64(aValue);
}

class TFnNode final : public TExpr {
public:
    TFnNode(TFn aFn, TExprList aArgs, const TScriptType* aType, const TSrcPos& aPos)
        : TExpr(aType, aPos)
        , m_fn(aFn)
        , m_args(std::move(aArgs))
    {
        for (const TExprPtr& a : m_args)
            height = std::max(height, a->height + 1);
    }
    void Eval(TRun& aRun, TVal& aOut) const override
    {
        switch (type->kind) {
        case TTypeKind::Float:
            aOut.n.f = EvalFloat(aRun);
            break;
        case TTypeKind::String:
            aOut.s = EvalStr(aRun);
            break;
        default:
            aOut.n.i = EvalInt(aRun);
            break;
        }
    }
    qint64 EvalInt(TRun& aRun) const override
    {
        switch (m_fn) {
        case TFn::StrLength:
            if (m_args[0]->IsLValue())
                return m_args[0]->Address(aRun)->s.size();
            return m_args[0]->EvalStr(aRun).size();
        case TFn::AbsInt: {
            const qint64 v = m_args[0]->EvalInt(aRun);
            return v < 0 ? qint64(0 - quint64(v)) : v;
        }
        case TFn::SqrInt: {
            const qint64 v = m_args[0]->EvalInt(aRun);
            return qint64(quint64(v) * quint64(v));
        }
        case TFn::Round: {
            const double v = m_args[0]->EvalFloat(aRun);
            // Banker's rounding, as the language has always done it.
            return FloatToInt(std::nearbyint(v), pos);
        }
        case TFn::Trunc:
            return FloatToInt(std::trunc(m_args[0]->EvalFloat(aRun)), pos);
        case TFn::MinInt:
            return std::min(m_args[0]->EvalInt(aRun), m_args[1]->EvalInt(aRun));
        case TFn::MaxInt:
            return std::max(m_args[0]->EvalInt(aRun), m_args[1]->EvalInt(aRun));
        case TFn::RandomInt: {
            const qint64 range = m_args[0]->EvalInt(aRun);
            if (range <= 0)
                return 0;
            return qint64(aRun.rng() % quint64(range));
        }
        case TFn::Odd:
            return (m_args[0]->EvalInt(aRun) & 1) != 0;
        default:
            return 0;
        }
    }
    double EvalFloat(TRun& aRun) const override
    {
        switch (m_fn) {
        case TFn::AbsFloat:
            return std::fabs(m_args[0]->EvalFloat(aRun));
        case TFn::SqrFloat: {
            const double v = m_args[0]->EvalFloat(aRun);
            return CheckFloat(v * v, &pos);
        }
        case TFn::MinFloat:
            return std::min(m_args[0]->EvalFloat(aRun), m_args[1]->EvalFloat(aRun));
        case TFn::MaxFloat:
            return std::max(m_args[0]->EvalFloat(aRun), m_args[1]->EvalFloat(aRun));
        case TFn::RandomFloat:
            return double(aRun.rng() >> 11) * (1.0 / 9007199254740992.0);
        default:
            return 0.0;
        }
    }
    QString EvalStr(TRun& aRun) const override
    {
        if (m_fn != TFn::IntToHex)
            return QString();
        qint64 v = m_args[0]->EvalInt(aRun);
        const qint64 digits = std::clamp<qint64>(m_args[1]->EvalInt(aRun), 0, 64);
        const qint64 bits = m_args[2]->EvalInt(aRun);
        const quint64 u = bits <= 32 ? quint64(quint32(v)) : quint64(v);
        QString text = QString::number(u, 16).toUpper();
        if (text.size() < digits)
            text = QString(qsizetype(digits) - text.size(), QLatin1Char('0')) + text;
        return text;
    }
    bool IsConst() const override
    {
        if (m_fn == TFn::RandomInt || m_fn == TFn::RandomFloat)
            return false;
        for (const TExprPtr& a : m_args)
            if (!a->IsConst())
                return false;
        return true;
    }

private:
    TFn m_fn;
    TExprList m_args;
};

class TFormatNode final : public TExpr {
public:
    TFormatNode(TExprPtr aFormat, TExprList aArgs, const TSrcPos& aPos)
        : TExpr(types::String(), aPos)
        , m_format(std::move(aFormat))
        , m_args(std::move(aArgs))
    {
        height = m_format->height + 1;
        for (const TExprPtr& a : m_args)
            height = std::max(height, a->height + 1);
    }
    void Eval(TRun& aRun, TVal& aOut) const override { aOut.s = EvalStr(aRun); }
    QString EvalStr(TRun& aRun) const override
    {
        const QString format = m_format->EvalStr(aRun);
        std::vector<TFormatArg> args;
        args.reserve(m_args.size());
        for (const TExprPtr& a : m_args) {
            TFormatArg arg;
            switch (a->type->kind) {
            case TTypeKind::Integer:
                arg.kind = TFormatArg::TKind::Int;
                arg.i = a->EvalInt(aRun);
                break;
            case TTypeKind::Float:
                arg.kind = TFormatArg::TKind::Float;
                arg.f = a->EvalFloat(aRun);
                break;
            default:
                arg.kind = TFormatArg::TKind::Str;
                arg.s = a->EvalStr(aRun);
                break;
            }
            args.push_back(std::move(arg));
        }
        try {
            const QString out = FormatText(format, args);
            aRun.Charge(out.size() >> 12, pos);
            return out;
        } catch (TRunError& e) {
            if (!e.hasPos)
                ThrowRun(pos, e.text);
            throw;
        }
    }
    bool IsConst() const override { return false; }

private:
    TExprPtr m_format;
    TExprList m_args;
};

} // namespace

namespace nodes {

TExprPtr Const(const TScriptType* aType, TVal aValue, const TSrcPos& aPos)
{
    return std::make_unique<TConstNode>(aType, std::move(aValue), aPos);
}

TExprPtr Var(const TSymbol& aSymbol, int aCurrentLevel, const TSrcPos& aPos)
{
    if (aSymbol.level == 0 && !aSymbol.byRef)
        return std::make_unique<TGlobalVar>(aSymbol.type, aSymbol.slot, aPos);
    const int hops = aCurrentLevel - aSymbol.level;
    if (hops == 0 && !aSymbol.byRef)
        return std::make_unique<TLocalVar>(aSymbol.type, aSymbol.slot, aPos);
    return std::make_unique<TFrameVar>(aSymbol.type, hops, aSymbol.slot, aSymbol.byRef, aPos);
}

TExprPtr Field(TExprPtr aBase, int aIndex, const TSrcPos& aPos)
{
    const TScriptType* t = aBase->type->fields[size_t(aIndex)].type;
    return std::make_unique<TFieldNode>(t, std::move(aBase), aIndex, aPos);
}

TExprPtr Index(TExprPtr aBase, TExprPtr aIndex, const TSrcPos& aPos)
{
    const TScriptType* arr = aBase->type;
    return std::make_unique<TIndexNode>(arr->elem, std::move(aBase), std::move(aIndex),
                                        arr->index->low, arr->index->high, aPos);
}

TExprPtr StrIndex(TExprPtr aBase, TExprPtr aIndex, const TSrcPos& aPos)
{
    return std::make_unique<TStrIndexNode>(std::move(aBase), std::move(aIndex), aPos);
}

bool SplitStrIndex(TExprPtr& aExpr, TExprPtr& aBase, TExprPtr& aIndex)
{
    auto* node = dynamic_cast<TStrIndexNode*>(aExpr.get());
    if (!node)
        return false;
    aBase = std::move(node->base);
    aIndex = std::move(node->index);
    aExpr.reset();
    return true;
}

TExprPtr IntBinary(TBinOp aOp, TExprPtr l, TExprPtr r, const TScriptType* aType, const TSrcPos& p)
{
    switch (aOp) {
    case TBinOp::Add:
        return std::make_unique<TIntBin<TIntKind::Add>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Sub:
        return std::make_unique<TIntBin<TIntKind::Sub>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Mul:
        return std::make_unique<TIntBin<TIntKind::Mul>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Div:
        return std::make_unique<TIntBin<TIntKind::Div>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Mod:
        return std::make_unique<TIntBin<TIntKind::Mod>>(aType, std::move(l), std::move(r), p);
    case TBinOp::And:
        return std::make_unique<TIntBin<TIntKind::And>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Or:
        return std::make_unique<TIntBin<TIntKind::Or>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Xor:
        return std::make_unique<TIntBin<TIntKind::Xor>>(aType, std::move(l), std::move(r), p);
    case TBinOp::Shl:
    case TBinOp::Shr: {
        // aType, Integer, Cardinal or Int64, says the width the shift works in.
        const bool left = aOp == TBinOp::Shl;
        if (aType->bits == 32 && aType->isUnsigned)
            return left ? MakeIntBin<TIntKind::Shl32u>(aType, std::move(l), std::move(r), p)
                        : MakeIntBin<TIntKind::Shr32u>(aType, std::move(l), std::move(r), p);
        if (aType->bits == 32)
            return left ? MakeIntBin<TIntKind::Shl32s>(aType, std::move(l), std::move(r), p)
                        : MakeIntBin<TIntKind::Shr32s>(aType, std::move(l), std::move(r), p);
        return left ? MakeIntBin<TIntKind::Shl64>(aType, std::move(l), std::move(r), p)
                    : MakeIntBin<TIntKind::Shr64>(aType, std::move(l), std::move(r), p);
    }
    case TBinOp::Slash:
        break;
    }
    return nullptr;
}

TExprPtr FloatBinary(TBinOp aOp, TExprPtr l, TExprPtr r, const TSrcPos& p)
{
    switch (aOp) {
    case TBinOp::Add:
        return std::make_unique<TFloatBin<TBinOp::Add>>(std::move(l), std::move(r), p);
    case TBinOp::Sub:
        return std::make_unique<TFloatBin<TBinOp::Sub>>(std::move(l), std::move(r), p);
    case TBinOp::Mul:
        return std::make_unique<TFloatBin<TBinOp::Mul>>(std::move(l), std::move(r), p);
    case TBinOp::Slash:
        return std::make_unique<TFloatBin<TBinOp::Slash>>(std::move(l), std::move(r), p);
    default:
        return nullptr;
    }
}

TExprPtr Logical(TBinOp aOp, TExprPtr l, TExprPtr r, const TSrcPos& p)
{
    if (aOp == TBinOp::And)
        return std::make_unique<TShortCircuit<true>>(std::move(l), std::move(r), p);
    if (aOp == TBinOp::Or)
        return std::make_unique<TShortCircuit<false>>(std::move(l), std::move(r), p);
    return std::make_unique<TIntBin<TIntKind::Xor>>(types::Boolean(), std::move(l), std::move(r),
                                                    p);
}

TExprPtr Compare(TCmpOp aOp, TExprPtr l, TExprPtr r, const TSrcPos& p)
{
    const TScriptType* a = l->type;
    const TScriptType* b = r->type;
    if (a->kind == TTypeKind::Set)
        return MakeCompare<TCmpKind::Set>(aOp, std::move(l), std::move(r), p);
    if (a->IsFloat() || b->IsFloat())
        return MakeCompare<TCmpKind::Float>(aOp, std::move(l), std::move(r), p);
    if (a->kind == TTypeKind::String || b->kind == TTypeKind::String)
        return MakeCompare<TCmpKind::Str>(aOp, std::move(l), std::move(r), p);
    return MakeCompare<TCmpKind::Int>(aOp, std::move(l), std::move(r), p);
}

TExprPtr Not(TExprPtr e, const TSrcPos& p)
{
    if (e->type->kind == TTypeKind::Boolean)
        return std::make_unique<TNotBool>(types::Boolean(), std::move(e), p);
    const TScriptType* t = e->type;
    return std::make_unique<TNotInt>(t, std::move(e), p);
}

TExprPtr Negate(TExprPtr e, const TSrcPos& p)
{
    if (e->type->IsFloat())
        return std::make_unique<TNegFloat>(types::Double(), std::move(e), p);
    // -1 stays an Integer, as the literal 1 is.
    const TScriptType* t = e->type->IsInteger() && !e->type->isUnsigned ? e->type : types::Int64();
    return std::make_unique<TNegInt>(t, std::move(e), p);
}

TExprPtr IntToFloat(TExprPtr e)
{
    const TSrcPos p = e->pos;
    return std::make_unique<TIntToFloat>(types::Double(), std::move(e), p);
}

TExprPtr CharToStr(TExprPtr e)
{
    const TSrcPos p = e->pos;
    return std::make_unique<TCharToStr>(types::String(), std::move(e), p);
}

TExprPtr OrdCast(TExprPtr e, const TScriptType* aType, const TSrcPos& p)
{
    return std::make_unique<TOrdCast>(aType, std::move(e), p);
}

TExprPtr Concat(TExprPtr l, TExprPtr r, const TSrcPos& p)
{
    if (auto* left = dynamic_cast<TConcatNode*>(l.get())) {
        left->height = std::max(left->height, r->height + 1);
        left->parts.push_back(std::move(r));
        return l;
    }
    auto node = std::make_unique<TConcatNode>(p);
    node->height = std::max(l->height, r->height) + 1;
    node->parts.push_back(std::move(l));
    node->parts.push_back(std::move(r));
    return node;
}

TExprPtr SetBinary(TSetOp aOp, TExprPtr l, TExprPtr r, const TScriptType* aType, const TSrcPos& p)
{
    return std::make_unique<TSetBin>(aOp, aType, std::move(l), std::move(r), p);
}

TExprPtr In(TExprPtr aElem, TExprPtr aSet, const TSrcPos& p)
{
    return std::make_unique<TInNode>(std::move(aElem), std::move(aSet), p);
}

TExprPtr SetCtor(std::vector<TSetElem> aElems, const TScriptType* aType, const TSrcPos& p)
{
    return std::make_unique<TSetCtorNode>(std::move(aElems), aType, p);
}

TExprPtr Function(TFn aFn, TExprList aArgs, const TScriptType* aType, const TSrcPos& p)
{
    return std::make_unique<TFnNode>(aFn, std::move(aArgs), aType, p);
}

TExprPtr Format(TExprPtr aFormat, TExprList aArgs, const TSrcPos& p)
{
    return std::make_unique<TFormatNode>(std::move(aFormat), std::move(aArgs), p);
}

bool TakeAppendedParts(TExprPtr& aValue, const TExpr& aTarget, TExprList& aParts)
{
    auto* concat = dynamic_cast<TConcatNode*>(aValue.get());
    int targetSlot = 0, firstSlot = 0;
    if (!concat || aTarget.type->kind != TTypeKind::String)
        return false;
    const TExpr::TSlotKind kind = aTarget.SlotKind(targetSlot);
    if (kind == TExpr::TSlotKind::None || concat->parts.front()->SlotKind(firstSlot) != kind ||
        firstSlot != targetSlot)
        return false;
    aParts.assign(std::make_move_iterator(concat->parts.begin() + 1),
                  std::make_move_iterator(concat->parts.end()));
    aValue.reset();
    return true;
}

TVal EvalConst(const TExpr& aExpr)
{
    TRun run;
    TVal out;
    aExpr.Eval(run, out);
    return out;
}

} // namespace nodes

} // namespace tscript
