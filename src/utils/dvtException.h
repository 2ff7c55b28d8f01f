#pragma once

#include <QString>

#include <exception>

namespace dvt {

// The general exception with a message. The library raises it in the few places
// where an operation cannot answer with a result (a refused second control panel,
// a text that is no date where the caller asked for a date).
class Exception : public std::exception
{
public:
    explicit Exception(QString message);

    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that cannot be converted to the requested value, or a format pattern
// that does not fit its arguments.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace dvt
