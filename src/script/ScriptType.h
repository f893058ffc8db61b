#pragma once

#include "script/ScriptVal.h"

#include <QString>

#include <vector>

namespace tscript {

enum class TTypeKind : quint8 {
    Void,
    Integer,
    Float,
    Boolean,
    Char,
    String,
    Enum,
    Record,
    Array,
    Set
};

class TScriptType;

struct TField {
    QString name;
    QString key; // lower case
    const TScriptType* type = nullptr;
};

// A type of the language. Types are owned by the program (or the system unit) that declared
// them and compared by identity; an alias is the same object under another name.
class TScriptType {
public:
    TTypeKind kind = TTypeKind::Void;
    QString name;
    // Ordinal bounds (integers, Booleans, characters, enumerations and their subranges).
    qint64 low = 0;
    qint64 high = 0;
    // Storage width of integer kinds: values are wrapped to it when stored (1: Boolean).
    quint8 bits = 64;
    bool isUnsigned = false;
    // Array element, set element, or for an enumeration subrange the whole enumeration.
    const TScriptType* elem = nullptr;
    const TScriptType* index = nullptr; // array index type
    std::vector<QString> enumNames;
    std::vector<TField> fields;
    qint64 cells = 1;  // storage size in values, bounds memory use
    int maxLength = 0; // string[N]: N, 0 for other strings

    bool IsOrdinal() const
    {
        return kind == TTypeKind::Integer || kind == TTypeKind::Boolean ||
               kind == TTypeKind::Char || kind == TTypeKind::Enum;
    }
    bool IsInteger() const { return kind == TTypeKind::Integer; }
    bool IsFloat() const { return kind == TTypeKind::Float; }
    bool IsNumeric() const { return IsInteger() || IsFloat(); }
    bool IsText() const { return kind == TTypeKind::String || kind == TTypeKind::Char; }
    bool IsAggregate() const
    {
        return kind == TTypeKind::Record || kind == TTypeKind::Array || kind == TTypeKind::Set;
    }
    // The enumeration a subrange belongs to, or the type itself.
    const TScriptType* Root() const { return kind == TTypeKind::Enum && elem ? elem : this; }
    int FieldIndex(const QString& aKey) const;
    QString DisplayName() const;
    // A short string keeps the first N characters of what is stored in it.
    void FitText(QString& aText) const
    {
        if (maxLength > 0 && aText.size() > maxLength)
            aText.truncate(maxLength);
    }

    qint64 Normalize(qint64 aValue) const
    {
        switch (bits) {
        case 1:
            return aValue != 0;
        case 8:
            return isUnsigned ? qint64(quint8(aValue)) : qint64(qint8(aValue));
        case 16:
            return isUnsigned ? qint64(quint16(aValue)) : qint64(qint16(aValue));
        case 32:
            return isUnsigned ? qint64(quint32(aValue)) : qint64(qint32(aValue));
        default:
            return aValue;
        }
    }
};

// The predefined types, shared by every program.
namespace types {
const TScriptType* Void();
const TScriptType* Int64();
const TScriptType* Integer();
const TScriptType* Cardinal();
const TScriptType* SmallInt();
const TScriptType* ShortInt();
const TScriptType* Word();
const TScriptType* Byte();
const TScriptType* Color();
const TScriptType* Double();
const TScriptType* Boolean();
const TScriptType* Char();
const TScriptType* String();
const TScriptType* ByteSet(); // the type of an integer set constructor such as [1, 3..5]
const TScriptType* CharSet();
} // namespace types

// A fresh value of the type: zero, empty text, or an aggregate of such values.
void InitValue(TVal& aValue, const TScriptType* aType);
TVal DefaultValue(const TScriptType* aType);

// Values of sets whose members fit in 0..63 cross to the host as a bit mask.
bool SetFitsMask(const TScriptType* aSetType);

} // namespace tscript
