#pragma once

#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace tscript {

struct TAggregate;

// The run-time value of one variable or temporary. The static type decides which part is used:
// ordinals (integers, Booleans, characters, enumerations) in n.i, floats in n.f, texts in s,
// records, arrays and sets in agg. A var parameter's slot holds n.ref to the variable.
//
// Assignment keeps an existing aggregate's storage when the shapes agree, so a reference into a
// record or array element stays valid while the whole variable is assigned.
struct TVal {
    union TNum {
        qint64 i;
        double f;
        TVal* ref;
    };

    TNum n{0};
    QString s;
    std::unique_ptr<TAggregate> agg;

    TVal() = default;
    TVal(const TVal& aOther);
    TVal(TVal&& aOther) noexcept = default;
    TVal& operator=(const TVal& aOther);
    TVal& operator=(TVal&& aOther) noexcept;
    ~TVal();

    static TVal Int(qint64 aValue)
    {
        TVal v;
        v.n.i = aValue;
        return v;
    }
    static TVal Float(double aValue)
    {
        TVal v;
        v.n.f = aValue;
        return v;
    }
    static TVal Str(QString aValue)
    {
        TVal v;
        v.s = std::move(aValue);
        return v;
    }
};

// Fields of a record or elements of an array in items; members of a set in bits (ordinal values
// 0..255).
struct TAggregate {
    std::vector<TVal> items;
    std::array<quint64, 4> bits{};

    bool Has(qint64 aOrdinal) const
    {
        return aOrdinal >= 0 && aOrdinal < 256 &&
               (bits[size_t(aOrdinal >> 6)] >> (aOrdinal & 63)) & 1;
    }
    void Put(qint64 aOrdinal, bool aOn)
    {
        const quint64 mask = quint64(1) << (aOrdinal & 63);
        if (aOn)
            bits[size_t(aOrdinal >> 6)] |= mask;
        else
            bits[size_t(aOrdinal >> 6)] &= ~mask;
    }
};

} // namespace tscript
