#pragma once

#include <QString>

#include <stdexcept>

// Raised by engine calls that cannot proceed; the message says why, for the user.
class EngineError : public std::runtime_error
{
public:
    explicit EngineError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};
