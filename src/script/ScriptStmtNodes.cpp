#include "script/ScriptNodes.h"

namespace tscript {

namespace {

void StoreValue(TVal& aDst, TVal&& aValue, const TScriptType* aType)
{
    switch (aType->kind) {
    case TTypeKind::Integer:
    case TTypeKind::Boolean:
    case TTypeKind::Char:
    case TTypeKind::Enum:
        aDst.n.i = aType->Normalize(aValue.n.i);
        break;
    case TTypeKind::Float:
        aDst.n.f = aValue.n.f;
        break;
    case TTypeKind::String:
        aDst.s = std::move(aValue.s);
        aType->FitText(aDst.s);
        break;
    default:
        aDst = std::move(aValue);
        break;
    }
}

class TAssign final : public TStmt {
public:
    TAssign(TExprPtr aTarget, TExprPtr aValue, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_target(std::move(aTarget))
        , m_value(std::move(aValue))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        TVal v;
        m_value->Eval(aRun, v);
        if (m_target->type->IsAggregate())
            aRun.Charge(m_target->type->cells, pos);
        StoreValue(*m_target->Address(aRun), std::move(v), m_target->type);
        return TFlow::Normal;
    }

private:
    TExprPtr m_target;
    TExprPtr m_value;
};

// The quick forms: an ordinal, float or text into a plain variable slot.
enum class TQuick : quint8 { Int64, Int32, IntOther, Float, Str, ShortStr };

template <bool Global, TQuick Q> class TAssignSlot final : public TStmt {
public:
    TAssignSlot(const TScriptType* aType, int aSlot, TExprPtr aValue, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_type(aType)
        , m_slot(aSlot)
        , m_value(std::move(aValue))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        if constexpr (Q == TQuick::Int64) {
            const qint64 v = m_value->EvalInt(aRun);
            Slot(aRun).n.i = v;
        } else if constexpr (Q == TQuick::Int32) {
            const qint64 v = qint32(m_value->EvalInt(aRun));
            Slot(aRun).n.i = v;
        } else if constexpr (Q == TQuick::IntOther) {
            const qint64 v = m_type->Normalize(m_value->EvalInt(aRun));
            Slot(aRun).n.i = v;
        } else if constexpr (Q == TQuick::Float) {
            const double v = m_value->EvalFloat(aRun);
            Slot(aRun).n.f = v;
        } else {
            QString v = m_value->EvalStr(aRun);
            if constexpr (Q == TQuick::ShortStr)
                m_type->FitText(v);
            Slot(aRun).s = std::move(v);
        }
        return TFlow::Normal;
    }

private:
    TVal& Slot(TRun& aRun) const
    {
        if constexpr (Global)
            return aRun.globals[m_slot];
        else
            return aRun.frame->vars[m_slot];
    }
    const TScriptType* m_type;
    int m_slot;
    TExprPtr m_value;
};

template <bool Global>
TStmtPtr QuickAssign(const TScriptType* t, int aSlot, TExprPtr aValue, const TSrcPos& aPos)
{
    if (t->IsOrdinal()) {
        if (t->bits == 64 && t->kind != TTypeKind::Boolean)
            return std::make_unique<TAssignSlot<Global, TQuick::Int64>>(t, aSlot, std::move(aValue),
                                                                        aPos);
        if (t->bits == 32 && !t->isUnsigned)
            return std::make_unique<TAssignSlot<Global, TQuick::Int32>>(t, aSlot, std::move(aValue),
                                                                        aPos);
        return std::make_unique<TAssignSlot<Global, TQuick::IntOther>>(t, aSlot, std::move(aValue),
                                                                       aPos);
    }
    if (t->IsFloat())
        return std::make_unique<TAssignSlot<Global, TQuick::Float>>(t, aSlot, std::move(aValue),
                                                                    aPos);
    if (t->kind == TTypeKind::String && t->maxLength > 0)
        return std::make_unique<TAssignSlot<Global, TQuick::ShortStr>>(t, aSlot, std::move(aValue),
                                                                       aPos);
    if (t->kind == TTypeKind::String)
        return std::make_unique<TAssignSlot<Global, TQuick::Str>>(t, aSlot, std::move(aValue),
                                                                  aPos);
    return nullptr;
}

// s := s + a + b: appends to the variable's own text instead of copying it.
template <bool Global> class TAppendSlot final : public TStmt {
public:
    TAppendSlot(int aSlot, TExprList aParts, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_slot(aSlot)
        , m_parts(std::move(aParts))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        QString& target = Global ? aRun.globals[m_slot].s : aRun.frame->vars[m_slot].s;
        QString before = target;
        QString tail;
        for (const TExprPtr& p : m_parts)
            tail += p->EvalStr(aRun);
        QString& now = Global ? aRun.globals[m_slot].s : aRun.frame->vars[m_slot].s;
        if (qint64(before.size()) + tail.size() > kMaxStringLength)
            ThrowRun(pos, QStringLiteral("Chaîne trop longue"));
        if (now.constData() == before.constData() && now.size() == before.size()) {
            before = QString();
            now += tail;
        } else {
            // The parts changed the variable: the value read first counts.
            now = before + tail;
        }
        aRun.Charge(tail.size() >> 12, pos);
        return TFlow::Normal;
    }

private:
    int m_slot;
    TExprList m_parts;
};

class TAssignChar final : public TStmt {
public:
    TAssignChar(TExprPtr aString, TExprPtr aIndex, TExprPtr aValue, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_string(std::move(aString))
        , m_index(std::move(aIndex))
        , m_value(std::move(aValue))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        const qint64 k = m_index->EvalInt(aRun);
        const qint64 c = m_value->EvalInt(aRun);
        QString& s = m_string->Address(aRun)->s;
        if (k < 1 || k > s.size())
            ThrowRun(m_index->pos,
                     QStringLiteral("Indice de chaîne hors limites : %1 (longueur %2)")
                         .arg(k)
                         .arg(s.size()));
        s[qsizetype(k - 1)] = QChar(char16_t(c));
        return TFlow::Normal;
    }

private:
    TExprPtr m_string;
    TExprPtr m_index;
    TExprPtr m_value;
};

class TEvaluate final : public TStmt {
public:
    explicit TEvaluate(TExprPtr aExpr)
        : TStmt(aExpr->pos)
        , m_expr(std::move(aExpr))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        TVal discard;
        m_expr->Eval(aRun, discard);
        return TFlow::Normal;
    }

private:
    TExprPtr m_expr;
};

class TCompound final : public TStmt {
public:
    TCompound(TStmtList aBody, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_body(std::move(aBody))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        for (const TStmtPtr& s : m_body) {
            const TFlow f = s->Exec(aRun);
            if (f != TFlow::Normal)
                return f;
        }
        return TFlow::Normal;
    }

private:
    TStmtList m_body;
};

class TIf final : public TStmt {
public:
    TIf(TExprPtr aCond, TStmtPtr aThen, TStmtPtr aElse, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_cond(std::move(aCond))
        , m_then(std::move(aThen))
        , m_else(std::move(aElse))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        if (m_cond->EvalBool(aRun))
            return m_then ? m_then->Exec(aRun) : TFlow::Normal;
        return m_else ? m_else->Exec(aRun) : TFlow::Normal;
    }

private:
    TExprPtr m_cond;
    TStmtPtr m_then;
    TStmtPtr m_else;
};

class TIfChain final : public TStmt {
public:
    TIfChain(std::vector<TIfBranch> aBranches, TStmtPtr aElse, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_branches(std::move(aBranches))
        , m_else(std::move(aElse))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        for (const TIfBranch& b : m_branches)
            if (b.cond->EvalBool(aRun))
                return b.body ? b.body->Exec(aRun) : TFlow::Normal;
        return m_else ? m_else->Exec(aRun) : TFlow::Normal;
    }

private:
    std::vector<TIfBranch> m_branches;
    TStmtPtr m_else;
};

class TWhile final : public TStmt {
public:
    TWhile(TExprPtr aCond, TStmtPtr aBody, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_cond(std::move(aCond))
        , m_body(std::move(aBody))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        while (m_cond->EvalBool(aRun)) {
            aRun.Tick(pos);
            if (!m_body)
                continue;
            const TFlow f = m_body->Exec(aRun);
            if (f == TFlow::Break)
                break;
            if (f == TFlow::Exit)
                return f;
        }
        return TFlow::Normal;
    }

private:
    TExprPtr m_cond;
    TStmtPtr m_body;
};

class TRepeat final : public TStmt {
public:
    TRepeat(TStmtList aBody, TExprPtr aCond, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_body(std::move(aBody))
        , m_cond(std::move(aCond))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        for (;;) {
            aRun.Tick(pos);
            for (const TStmtPtr& s : m_body) {
                const TFlow f = s->Exec(aRun);
                if (f == TFlow::Break)
                    return TFlow::Normal;
                if (f == TFlow::Exit)
                    return f;
                if (f == TFlow::Continue)
                    break;
            }
            if (m_cond->EvalBool(aRun))
                return TFlow::Normal;
        }
    }

private:
    TStmtList m_body;
    TExprPtr m_cond;
};

class TFor final : public TStmt {
public:
    TFor(TExprPtr aVar, TExprPtr aFrom, TExprPtr aTo, bool aDown, TStmtPtr aBody,
         const TSrcPos& aPos)
        : TStmt(aPos)
        , m_var(std::move(aVar))
        , m_from(std::move(aFrom))
        , m_to(std::move(aTo))
        , m_down(aDown)
        , m_body(std::move(aBody))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        const qint64 from = m_from->EvalInt(aRun);
        const qint64 to = m_to->EvalInt(aRun);
        TVal* v = m_var->Address(aRun);
        const TScriptType* t = m_var->type;
        if (m_down ? from < to : from > to)
            return TFlow::Normal;
        for (qint64 x = from;; m_down ? --x : ++x) {
            v->n.i = t->Normalize(x);
            aRun.Tick(pos);
            if (m_body) {
                const TFlow f = m_body->Exec(aRun);
                if (f == TFlow::Break)
                    break;
                if (f == TFlow::Exit)
                    return f;
            }
            if (x == to)
                break;
        }
        return TFlow::Normal;
    }

private:
    TExprPtr m_var;
    TExprPtr m_from;
    TExprPtr m_to;
    bool m_down;
    TStmtPtr m_body;
};

class TCase final : public TStmt {
public:
    TCase(TExprPtr aSelector, std::vector<TCaseBranch> aBranches, TStmtPtr aElse,
          const TSrcPos& aPos)
        : TStmt(aPos)
        , m_selector(std::move(aSelector))
        , m_branches(std::move(aBranches))
        , m_else(std::move(aElse))
        , m_text(m_selector->type->kind == TTypeKind::String)
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        if (m_text) {
            const QString v = m_selector->EvalStr(aRun);
            for (const TCaseBranch& b : m_branches)
                for (const TCaseLabel& l : b.labels)
                    if (l.lo.s == v)
                        return b.body ? b.body->Exec(aRun) : TFlow::Normal;
        } else {
            const qint64 v = m_selector->EvalInt(aRun);
            for (const TCaseBranch& b : m_branches)
                for (const TCaseLabel& l : b.labels)
                    if (v >= l.lo.n.i && v <= l.hi.n.i)
                        return b.body ? b.body->Exec(aRun) : TFlow::Normal;
        }
        return m_else ? m_else->Exec(aRun) : TFlow::Normal;
    }

private:
    TExprPtr m_selector;
    std::vector<TCaseBranch> m_branches;
    TStmtPtr m_else;
    bool m_text;
};

class TFlowStmt final : public TStmt {
public:
    TFlowStmt(TFlow aFlow, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_flow(aFlow)
    {
    }
    TFlow Exec(TRun&) const override { return m_flow; }

private:
    TFlow m_flow;
};

class TIncDec final : public TStmt {
public:
    TIncDec(TExprPtr aTarget, TExprPtr aDelta, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_target(std::move(aTarget))
        , m_delta(std::move(aDelta))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        const qint64 d = m_delta->EvalInt(aRun);
        TVal* v = m_target->Address(aRun);
        v->n.i = m_target->type->Normalize(qint64(quint64(v->n.i) + quint64(d)));
        return TFlow::Normal;
    }

private:
    TExprPtr m_target;
    TExprPtr m_delta;
};

class TSetInclude final : public TStmt {
public:
    TSetInclude(TExprPtr aSet, TExprPtr aElem, bool aInclude, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_set(std::move(aSet))
        , m_elem(std::move(aElem))
        , m_include(aInclude)
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        const qint64 e = m_elem->EvalInt(aRun);
        if (e < 0 || e > 255)
            ThrowRun(m_elem->pos, QStringLiteral("Élément d'ensemble hors limites : %1").arg(e));
        m_set->Address(aRun)->agg->Put(e, m_include);
        return TFlow::Normal;
    }

private:
    TExprPtr m_set;
    TExprPtr m_elem;
    bool m_include;
};

class TSetLength final : public TStmt {
public:
    TSetLength(TExprPtr aString, TExprPtr aLength, const TSrcPos& aPos)
        : TStmt(aPos)
        , m_string(std::move(aString))
        , m_length(std::move(aLength))
    {
    }
    TFlow Exec(TRun& aRun) const override
    {
        qint64 n = std::max<qint64>(0, m_length->EvalInt(aRun));
        if (n > kMaxStringLength)
            ThrowRun(pos, QStringLiteral("Chaîne trop longue"));
        if (m_string->type->maxLength > 0)
            n = std::min<qint64>(n, m_string->type->maxLength);
        aRun.Charge(n >> 12, pos);
        m_string->Address(aRun)->s.resize(qsizetype(n), QChar(u' '));
        return TFlow::Normal;
    }

private:
    TExprPtr m_string;
    TExprPtr m_length;
};

} // namespace

namespace nodes {

TStmtPtr Assign(TExprPtr aTarget, TExprPtr aValue, const TSrcPos& aPos)
{
    int slot = 0;
    const TExpr::TSlotKind kind = aTarget->SlotKind(slot);
    const TScriptType* t = aTarget->type;
    TExprList parts;
    // Appending in place would not cut a short string to its length.
    if (t->maxLength == 0 && nodes::TakeAppendedParts(aValue, *aTarget, parts)) {
        if (kind == TExpr::TSlotKind::Local)
            return std::make_unique<TAppendSlot<false>>(slot, std::move(parts), aPos);
        return std::make_unique<TAppendSlot<true>>(slot, std::move(parts), aPos);
    }
    if (kind != TExpr::TSlotKind::None &&
        (t->IsOrdinal() || t->IsFloat() || t->kind == TTypeKind::String)) {
        if (kind == TExpr::TSlotKind::Local)
            return QuickAssign<false>(t, slot, std::move(aValue), aPos);
        return QuickAssign<true>(t, slot, std::move(aValue), aPos);
    }
    return std::make_unique<TAssign>(std::move(aTarget), std::move(aValue), aPos);
}

TStmtPtr AssignChar(TExprPtr aString, TExprPtr aIndex, TExprPtr aValue, const TSrcPos& aPos)
{
    return std::make_unique<TAssignChar>(std::move(aString), std::move(aIndex), std::move(aValue),
                                         aPos);
}

TStmtPtr Evaluate(TExprPtr aExpr)
{
    return std::make_unique<TEvaluate>(std::move(aExpr));
}

TStmtPtr Compound(TStmtList aBody, const TSrcPos& aPos)
{
    return std::make_unique<TCompound>(std::move(aBody), aPos);
}

TStmtPtr If(TExprPtr aCond, TStmtPtr aThen, TStmtPtr aElse, const TSrcPos& aPos)
{
    return std::make_unique<TIf>(std::move(aCond), std::move(aThen), std::move(aElse), aPos);
}

TStmtPtr IfChain(std::vector<TIfBranch> aBranches, TStmtPtr aElse, const TSrcPos& aPos)
{
    return std::make_unique<TIfChain>(std::move(aBranches), std::move(aElse), aPos);
}

TStmtPtr While(TExprPtr aCond, TStmtPtr aBody, const TSrcPos& aPos)
{
    return std::make_unique<TWhile>(std::move(aCond), std::move(aBody), aPos);
}

TStmtPtr Repeat(TStmtList aBody, TExprPtr aCond, const TSrcPos& aPos)
{
    return std::make_unique<TRepeat>(std::move(aBody), std::move(aCond), aPos);
}

TStmtPtr For(TExprPtr aVar, TExprPtr aFrom, TExprPtr aTo, bool aDown, TStmtPtr aBody,
             const TSrcPos& aPos)
{
    return std::make_unique<TFor>(std::move(aVar), std::move(aFrom), std::move(aTo), aDown,
                                  std::move(aBody), aPos);
}

TStmtPtr Case(TExprPtr aSelector, std::vector<TCaseBranch> aBranches, TStmtPtr aElse,
              const TSrcPos& aPos)
{
    return std::make_unique<TCase>(std::move(aSelector), std::move(aBranches), std::move(aElse),
                                   aPos);
}

TStmtPtr Flow(TFlow aFlow, const TSrcPos& aPos)
{
    return std::make_unique<TFlowStmt>(aFlow, aPos);
}

TStmtPtr IncDec(TExprPtr aTarget, TExprPtr aDelta, const TSrcPos& aPos)
{
    return std::make_unique<TIncDec>(std::move(aTarget), std::move(aDelta), aPos);
}

TStmtPtr SetInclude(TExprPtr aSet, TExprPtr aElem, bool aInclude, const TSrcPos& aPos)
{
    return std::make_unique<TSetInclude>(std::move(aSet), std::move(aElem), aInclude, aPos);
}

TStmtPtr SetLength(TExprPtr aString, TExprPtr aLength, const TSrcPos& aPos)
{
    return std::make_unique<TSetLength>(std::move(aString), std::move(aLength), aPos);
}

} // namespace nodes

} // namespace tscript
