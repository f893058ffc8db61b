#include "script/ScriptVal.h"

namespace tscript {

namespace {

void CopyInto(TAggregate& aDst, const TAggregate& aSrc)
{
    aDst.bits = aSrc.bits;
    if (aDst.items.size() != aSrc.items.size()) {
        aDst.items = aSrc.items;
        return;
    }
    for (size_t k = 0; k < aSrc.items.size(); ++k)
        aDst.items[k] = aSrc.items[k];
}

void MoveInto(TAggregate& aDst, TAggregate& aSrc)
{
    aDst.bits = aSrc.bits;
    if (aDst.items.size() != aSrc.items.size()) {
        aDst.items = std::move(aSrc.items);
        return;
    }
    for (size_t k = 0; k < aSrc.items.size(); ++k)
        aDst.items[k] = std::move(aSrc.items[k]);
}

} // namespace

TVal::TVal(const TVal& aOther)
    : n(aOther.n)
    , s(aOther.s)
    , agg(aOther.agg ? std::make_unique<TAggregate>(*aOther.agg) : nullptr)
{
}

TVal::~TVal() = default;

TVal& TVal::operator=(const TVal& aOther)
{
    if (this == &aOther)
        return *this;
    n = aOther.n;
    s = aOther.s;
    if (!aOther.agg)
        agg.reset();
    else if (agg)
        CopyInto(*agg, *aOther.agg);
    else
        agg = std::make_unique<TAggregate>(*aOther.agg);
    return *this;
}

TVal& TVal::operator=(TVal&& aOther) noexcept
{
    if (this == &aOther)
        return *this;
    n = aOther.n;
    s = std::move(aOther.s);
    if (!aOther.agg)
        agg.reset();
    else if (agg)
        MoveInto(*agg, *aOther.agg);
    else
        agg = std::move(aOther.agg);
    return *this;
}

} // namespace tscript
