#include "script/ScriptType.h"

#include <limits>

namespace tscript {

int TScriptType::FieldIndex(const QString& aKey) const
{
    for (size_t k = 0; k < fields.size(); ++k)
        if (fields[k].key == aKey)
            return int(k);
    return -1;
}

QString TScriptType::DisplayName() const
{
    if (!name.isEmpty())
        return name;
    switch (kind) {
    case TTypeKind::Enum:
        return QStringLiteral("(énumération)");
    case TTypeKind::Record:
        return QStringLiteral("record");
    case TTypeKind::Array:
        return QStringLiteral("array of ") % (elem ? elem->DisplayName() : QString());
    case TTypeKind::Set:
        return QStringLiteral("set of ") % (elem ? elem->DisplayName() : QString());
    case TTypeKind::Integer:
        return QString::number(low) % QStringLiteral("..") % QString::number(high);
    case TTypeKind::String:
        return QStringLiteral("string[%1]").arg(maxLength);
    default:
        return QStringLiteral("?");
    }
}

namespace types {
namespace {

TScriptType MakeInt(const char* aName, quint8 aBits, bool aUnsigned, qint64 aLow, qint64 aHigh)
{
    TScriptType t;
    t.kind = TTypeKind::Integer;
    t.name = QString::fromLatin1(aName);
    t.bits = aBits;
    t.isUnsigned = aUnsigned;
    t.low = aLow;
    t.high = aHigh;
    return t;
}

TScriptType MakeKind(TTypeKind aKind, const char* aName)
{
    TScriptType t;
    t.kind = aKind;
    t.name = QString::fromLatin1(aName);
    return t;
}

} // namespace

const TScriptType* Void()
{
    static const TScriptType t = MakeKind(TTypeKind::Void, "");
    return &t;
}
const TScriptType* Int64()
{
    static const TScriptType t = MakeInt("Int64", 64, false, std::numeric_limits<qint64>::min(),
                                         std::numeric_limits<qint64>::max());
    return &t;
}
const TScriptType* Integer()
{
    static const TScriptType t = MakeInt("Integer", 32, false, -2147483648LL, 2147483647LL);
    return &t;
}
const TScriptType* Cardinal()
{
    static const TScriptType t = MakeInt("Cardinal", 32, true, 0, 4294967295LL);
    return &t;
}
const TScriptType* SmallInt()
{
    static const TScriptType t = MakeInt("SmallInt", 16, false, -32768, 32767);
    return &t;
}
const TScriptType* ShortInt()
{
    static const TScriptType t = MakeInt("ShortInt", 8, false, -128, 127);
    return &t;
}
const TScriptType* Word()
{
    static const TScriptType t = MakeInt("Word", 16, true, 0, 65535);
    return &t;
}
const TScriptType* Byte()
{
    static const TScriptType t = MakeInt("Byte", 8, true, 0, 255);
    return &t;
}
const TScriptType* Color()
{
    // Kept as the unsigned 32-bit pattern, so system colours ($FF00000F) compare equal to
    // their hexadecimal literals.
    static const TScriptType t = MakeInt("TColor", 32, true, 0, 4294967295LL);
    return &t;
}
const TScriptType* Double()
{
    static const TScriptType t = MakeKind(TTypeKind::Float, "Double");
    return &t;
}
const TScriptType* Boolean()
{
    static const TScriptType t = [] {
        TScriptType b = MakeKind(TTypeKind::Boolean, "Boolean");
        b.bits = 1;
        b.high = 1;
        return b;
    }();
    return &t;
}
const TScriptType* Char()
{
    static const TScriptType t = [] {
        TScriptType c = MakeKind(TTypeKind::Char, "Char");
        c.bits = 16;
        c.isUnsigned = true;
        c.high = 65535;
        return c;
    }();
    return &t;
}
const TScriptType* String()
{
    static const TScriptType t = MakeKind(TTypeKind::String, "string");
    return &t;
}
const TScriptType* ByteSet()
{
    static const TScriptType elem = MakeInt("", 8, true, 0, 255);
    static const TScriptType t = [] {
        TScriptType s = MakeKind(TTypeKind::Set, "");
        s.elem = &elem;
        return s;
    }();
    return &t;
}
const TScriptType* CharSet()
{
    static const TScriptType elem = [] {
        TScriptType c = *Char();
        c.name.clear();
        c.high = 255;
        return c;
    }();
    static const TScriptType t = [] {
        TScriptType s = MakeKind(TTypeKind::Set, "");
        s.elem = &elem;
        return s;
    }();
    return &t;
}

} // namespace types

void InitValue(TVal& aValue, const TScriptType* aType)
{
    aValue.s.clear();
    switch (aType->kind) {
    case TTypeKind::Float:
        aValue.agg.reset();
        aValue.n.f = 0.0;
        return;
    case TTypeKind::Record: {
        auto agg = std::make_unique<TAggregate>();
        agg->items.resize(aType->fields.size());
        for (size_t k = 0; k < aType->fields.size(); ++k)
            InitValue(agg->items[k], aType->fields[k].type);
        aValue.n.i = 0;
        aValue.agg = std::move(agg);
        return;
    }
    case TTypeKind::Array: {
        auto agg = std::make_unique<TAggregate>();
        const qint64 count = aType->index->high - aType->index->low + 1;
        agg->items.resize(size_t(count));
        for (TVal& item : agg->items)
            InitValue(item, aType->elem);
        aValue.n.i = 0;
        aValue.agg = std::move(agg);
        return;
    }
    case TTypeKind::Set:
        aValue.n.i = 0;
        aValue.agg = std::make_unique<TAggregate>();
        return;
    default:
        aValue.agg.reset();
        aValue.n.i = 0;
        return;
    }
}

TVal DefaultValue(const TScriptType* aType)
{
    TVal v;
    InitValue(v, aType);
    return v;
}

bool SetFitsMask(const TScriptType* aSetType)
{
    return aSetType->kind == TTypeKind::Set && aSetType->elem && aSetType->elem->low >= 0 &&
           aSetType->elem->high < 64;
}

} // namespace tscript
