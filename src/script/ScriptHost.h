#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <variant>

// A value crossing between a script and the host: an integer of any declared width, a float, a
// Boolean or a text. The engine converts arguments to the parameter types of the declaration
// before the host routine sees them.
class TScriptValue {
public:
    TScriptValue() = default;
    TScriptValue(int aValue)
        : m_v(qint64(aValue))
    {
    }
    TScriptValue(qint64 aValue)
        : m_v(aValue)
    {
    }
    TScriptValue(double aValue)
        : m_v(aValue)
    {
    }
    TScriptValue(bool aValue)
        : m_v(aValue)
    {
    }
    TScriptValue(const QString& aValue)
        : m_v(aValue)
    {
    }
    TScriptValue(const char*) = delete; // say QStringLiteral

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(m_v); }
    bool IsInteger() const { return std::holds_alternative<qint64>(m_v); }
    bool IsFloat() const { return std::holds_alternative<double>(m_v); }
    bool IsBool() const { return std::holds_alternative<bool>(m_v); }
    bool IsString() const { return std::holds_alternative<QString>(m_v); }

    // Conversions are lenient: a float truncates to an integer, a Boolean is 0 or 1, a text
    // that is no number gives 0.
    qint64 ToInt() const;
    double ToDouble() const;
    bool ToBool() const;
    QString ToString() const;

    friend bool operator==(const TScriptValue&, const TScriptValue&) = default;

private:
    std::variant<std::monostate, qint64, double, bool, QString> m_v;
};

using TScriptArgs = QList<TScriptValue>;
// A host procedure or function; a procedure answers an empty value. Throwing a
// std::exception stops the script with the exception's text as its run-time error.
using THostRoutine = std::function<TScriptValue(const TScriptArgs&)>;

// What an engine offers the host while it compiles: registrations made here hold for that one
// compilation.
class IScriptRegistrar {
public:
    virtual ~IScriptRegistrar() = default;
    // aDeclaration: "procedure N;", "procedure N(const a:T);", "function N(a:T;b:T):T;",
    // groups such as "(oldfile,newname:widestring)". False when the engine refuses it.
    virtual bool RegisterRoutine(const QString& aDeclaration, THostRoutine aImpl) = 0;
    // A constant of a named type ("Integer", "Longint", ...).
    virtual bool RegisterConstant(const QString& aName, const QString& aTypeName,
                                  const TScriptValue& aValue) = 0;
    // A type from its definition text: "(a, b, c)", "LongInt", "record x,y: Longint; end;",
    // "set of TBorderIcon", "array[0..7] of Byte".
    virtual bool RegisterType(const QString& aName, const QString& aDefinition) = 0;
};
