#pragma once

#include <QString>

#include <stdexcept>

// An operation refused because of the object's state, such as a bound on the wrong side of the
// other; what() holds the French message in UTF-8.
class EInvalidOperation : public std::logic_error {
public:
    explicit EInvalidOperation(const QString& aMessage)
        : std::logic_error(aMessage.toStdString())
        , m_message(aMessage)
    {
    }
    const QString& Message() const { return m_message; }

private:
    QString m_message;
};
