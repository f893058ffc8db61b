#include "script/ScriptNodes.h"

#include <new>

namespace tscript {

namespace {

// Slots of one call: on the C++ stack for small frames.
class TSlots {
public:
    explicit TSlots(int aCount)
        : m_count(aCount)
    {
        if (aCount <= kSmall) {
            for (int k = 0; k < aCount; ++k)
                new (&m_small[k]) TVal();
            m_slots = aCount > 0 ? std::launder(reinterpret_cast<TVal*>(&m_small[0])) : nullptr;
        } else {
            m_big = std::make_unique<TVal[]>(size_t(aCount));
            m_slots = m_big.get();
        }
    }
    ~TSlots()
    {
        if (!m_big)
            for (int k = 0; k < m_count; ++k)
                m_slots[k].~TVal();
    }
    TSlots(const TSlots&) = delete;
    TSlots& operator=(const TSlots&) = delete;
    TVal* Data() const { return m_slots; }

private:
    static constexpr int kSmall = 8;
    struct alignas(TVal) TRaw {
        unsigned char bytes[sizeof(TVal)];
    };
    int m_count;
    TRaw m_small[kSmall];
    std::unique_ptr<TVal[]> m_big;
    TVal* m_slots = nullptr;
};

void Store(TVal& aSlot, const TScriptType* aType)
{
    if (aType->IsOrdinal())
        aSlot.n.i = aType->Normalize(aSlot.n.i);
    else
        aType->FitText(aSlot.s);
}

class TCallBase : public TExpr {
public:
    TCallBase(const TRoutine* aRoutine, TExprList aArgs, const TSrcPos& aPos)
        : TExpr(aRoutine->result ? aRoutine->result : types::Void(), aPos)
        , m_routine(aRoutine)
        , m_args(std::move(aArgs))
    {
        for (const TExprPtr& a : m_args)
            height = std::max(height, a->height + 1);
    }

protected:
    // Evaluates the arguments into aSlots, var parameters as references.
    void Arguments(TRun& aRun, TVal* aSlots) const
    {
        for (size_t k = 0; k < m_args.size(); ++k) {
            const TParam& p = m_routine->params[k];
            if (p.ByRef()) {
                aSlots[k].n.ref = m_args[k]->Address(aRun);
            } else {
                m_args[k]->Eval(aRun, aSlots[k]);
                Store(aSlots[k], p.type);
            }
        }
    }

    const TRoutine* m_routine;
    TExprList m_args;
};

class TUserCall final : public TCallBase {
public:
    TUserCall(const TRoutine* aRoutine, TExprList aArgs, int aHops, const TSrcPos& aPos)
        : TCallBase(aRoutine, std::move(aArgs), aPos)
        , m_hops(aHops)
    {
    }

    void Eval(TRun& aRun, TVal& aOut) const override
    {
        const TRoutine& r = *m_routine;
        TSlots storage(r.frameSize);
        TVal* s = storage.Data();
        Arguments(aRun, s);
        for (const auto& [slot, type] : r.localInits)
            InitValue(s[slot], type);
        aRun.Enter(pos, r.frameCells);
        TFrame* link = aRun.frame;
        for (int h = 0; h < m_hops; ++h)
            link = link->parent;
        TFrame frame{s, link};
        struct TRestore {
            TRun& run;
            TFrame* saved;
            qint64 cells;
            ~TRestore()
            {
                run.frame = saved;
                run.Leave(cells);
            }
        } restore{aRun, aRun.frame, r.frameCells};
        aRun.frame = &frame;
        r.body->Exec(aRun);
        if (r.resultSlot >= 0)
            aOut = std::move(s[r.resultSlot]);
    }

private:
    int m_hops;
};

class TNativeCall final : public TCallBase {
public:
    using TCallBase::TCallBase;

    void Eval(TRun& aRun, TVal& aOut) const override
    {
        TSlots storage(int(m_args.size()));
        TVal* s = storage.Data();
        Arguments(aRun, s);
        try {
            m_routine->native(aRun, s, aOut);
        } catch (TRunError& e) {
            if (!e.hasPos) {
                e.pos = pos;
                e.hasPos = true;
            }
            throw;
        } catch (const std::bad_alloc&) {
            ThrowRun(pos, QStringLiteral("Mémoire insuffisante"));
        }
        if (m_routine->result) {
            Store(aOut, m_routine->result);
            if (m_routine->result->kind == TTypeKind::String)
                aRun.Charge(aOut.s.size() >> 12, pos);
        }
    }
};

TScriptValue ToHost(const TScriptType* aType, const TVal& aValue)
{
    switch (aType->kind) {
    case TTypeKind::Integer:
        return TScriptValue(qint64(aType->Normalize(aValue.n.i)));
    case TTypeKind::Enum:
        return TScriptValue(qint64(aValue.n.i));
    case TTypeKind::Boolean:
        return TScriptValue(aValue.n.i != 0);
    case TTypeKind::Char:
        return TScriptValue(QString(QChar(char16_t(aValue.n.i))));
    case TTypeKind::Float:
        return TScriptValue(aValue.n.f);
    case TTypeKind::String:
        if (aType->maxLength > 0)
            return TScriptValue(aValue.s.left(aType->maxLength));
        return TScriptValue(aValue.s);
    case TTypeKind::Set:
        return TScriptValue(qint64(aValue.agg ? aValue.agg->bits[0] : 0));
    default:
        return TScriptValue();
    }
}

void FromHost(const TScriptType* aType, const TScriptValue& aValue, TVal& aOut)
{
    switch (aType->kind) {
    case TTypeKind::Integer:
    case TTypeKind::Enum:
        aOut.n.i = aType->Normalize(aValue.ToInt());
        break;
    case TTypeKind::Boolean:
        aOut.n.i = aValue.ToBool() ? 1 : 0;
        break;
    case TTypeKind::Char: {
        const QString s = aValue.IsString() ? aValue.ToString() : QString();
        aOut.n.i = s.isEmpty() ? qint64(aValue.ToInt() & 0xFFFF) : s.at(0).unicode();
        break;
    }
    case TTypeKind::Float:
        aOut.n.f = aValue.ToDouble();
        break;
    case TTypeKind::String:
        aOut.s = aValue.ToString();
        if (aOut.s.size() > kMaxStringLength)
            aOut.s.truncate(kMaxStringLength);
        aType->FitText(aOut.s);
        break;
    case TTypeKind::Set: {
        aOut.agg = std::make_unique<TAggregate>();
        aOut.agg->bits[0] = quint64(aValue.ToInt());
        break;
    }
    default:
        break;
    }
}

class THostCall final : public TCallBase {
public:
    using TCallBase::TCallBase;

    void Eval(TRun& aRun, TVal& aOut) const override
    {
        TScriptArgs args;
        args.reserve(qsizetype(m_args.size()));
        for (size_t k = 0; k < m_args.size(); ++k) {
            TVal v;
            m_args[k]->Eval(aRun, v);
            args.append(ToHost(m_routine->params[k].type, v));
        }
        aRun.Tick(pos);
        TScriptValue result;
        try {
            result = m_routine->host(args);
        } catch (const std::exception& e) {
            ThrowRun(pos, QString::fromUtf8(e.what()));
        } catch (const TRunError&) {
            throw;
        } catch (...) {
            ThrowRun(pos, QStringLiteral("Exception inconnue dans '") % m_routine->name %
                              QLatin1Char('\''));
        }
        if (m_routine->result)
            FromHost(m_routine->result, result, aOut);
    }
};

} // namespace

namespace nodes {

TExprPtr Call(const TRoutine* aRoutine, TExprList aArgs, int aHops, const TSrcPos& aPos)
{
    switch (aRoutine->kind) {
    case TRoutine::TKind::User:
        return std::make_unique<TUserCall>(aRoutine, std::move(aArgs), aHops, aPos);
    case TRoutine::TKind::Native:
        return std::make_unique<TNativeCall>(aRoutine, std::move(aArgs), aPos);
    case TRoutine::TKind::Host:
        return std::make_unique<THostCall>(aRoutine, std::move(aArgs), aPos);
    }
    return nullptr;
}

} // namespace nodes

} // namespace tscript
