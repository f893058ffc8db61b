#pragma once

#include <QString>

#include <stdexcept>

// Mistakes of the program's own tables and bindings, found at start-up so that they cannot go
// unnoticed; what() holds the French message in UTF-8.
class EActionError : public std::logic_error {
public:
    explicit EActionError(const QString& aMessage)
        : std::logic_error(aMessage.toStdString())
        , m_message(aMessage)
    {
    }
    const QString& Message() const { return m_message; }

private:
    QString m_message;
};

// Code needs an action that its list does not hold (identifiers are exact-case).
class EActionNotFound : public EActionError {
public:
    EActionNotFound(const QString& aId, const QString& aList)
        : EActionNotFound(
              aId, aList,
              QStringLiteral("L'action \"%1\" n'existe pas dans la liste \"%2\".").arg(aId, aList))
    {
    }
    const QString& Id() const { return m_id; }
    const QString& List() const { return m_list; }

protected:
    EActionNotFound(const QString& aId, const QString& aList, const QString& aMessage)
        : EActionError(aMessage)
        , m_id(aId)
        , m_list(aList)
    {
    }

private:
    QString m_id;
    QString m_list;
};

// The identifier exists but its action is of another class than the code expects: no action of
// that class is found, so it is caught as EActionNotFound too.
class EActionWrongType : public EActionNotFound {
public:
    EActionWrongType(const QString& aId, const QString& aList, const QString& aExpected,
                     const QString& aFound)
        : EActionNotFound(aId, aList,
                          QStringLiteral("L'action \"%1\" de la liste \"%2\" est un %3, pas un %4.")
                              .arg(aId, aList, aFound, aExpected))
        , m_expected(aExpected)
        , m_found(aFound)
    {
    }
    const QString& Expected() const { return m_expected; }
    const QString& Found() const { return m_found; }

private:
    QString m_expected;
    QString m_found;
};

// A row of an action table whose default value does not fit its kind, e.g. a Double given the
// int 1, which would otherwise silently become 0.0.
class EActionRowRefused : public EActionError {
public:
    EActionRowRefused(const QString& aRow, const QString& aMessage)
        : EActionError(aMessage)
        , m_row(aRow)
    {
    }
    const QString& Row() const { return m_row; }

private:
    QString m_row;
};
