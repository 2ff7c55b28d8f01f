#pragma once

#include <QString>

#include <initializer_list>
#include <variant>

namespace dvt {

// One argument of Format: an integer, a floating-point number or a text.
class FormatArg
{
public:
    FormatArg(int v) : m_value(qint64(v)) {}
    FormatArg(qint64 v) : m_value(v) {}
    FormatArg(double v) : m_value(v) {}
    FormatArg(const QString &v) : m_value(v) {}
    FormatArg(const char16_t *v) : m_value(QString::fromUtf16(v)) {}

    const std::variant<qint64, double, QString> &value() const { return m_value; }

private:
    std::variant<qint64, double, QString> m_value;
};

// printf-style formatting with the directives
//   %[index:][-][width][.precision]type
// where type is d (decimal integer), u (unsigned), e (scientific), f (fixed),
// g (general), n (fixed with thousands separators), m (money in the locale's
// currency form), s (text) or x (hexadecimal); "%%" is a percent sign. Width and
// precision may be "*" to take them from the arguments. A directive whose argument
// is missing or of the wrong kind raises EConvertError naming the pattern.
// Example: Format(u"%m", {1234.5}) is "$1,234.50"; Format(u"%m", {-12.0}) is "($12.00)".
QString Format(const QString &pattern, std::initializer_list<FormatArg> args);

// The shortest text for the value with up to 15 significant digits and the locale's
// decimal separator; scientific ("1E-6", "1.5E20") only below 0.00001 or with more
// than 15 integer digits. NaN and infinities give "NAN", "INF" and "-INF".
QString FloatToStr(double value);

QString IntToStr(qint64 value);

// Strict conversion of a whole text: optional blanks around an optional sign,
// digits with the locale's decimal separator, an optional exponent.
// StrToFloat raises EConvertError ("'abc' is not a valid floating point value").
double StrToFloat(const QString &text);
bool TryStrToFloat(const QString &text, double &value);

// Strict conversion to a 32-bit integer (decimal, or hexadecimal with "$" or "0x");
// StrToInt raises EConvertError ("'abc' is not a valid integer value").
int StrToInt(const QString &text);
bool TryStrToInt(const QString &text, int &value);

// Removes leading and trailing blanks and control characters (code below 33).
QString Trim(const QString &text);
QString TrimLeft(const QString &text);
QString TrimRight(const QString &text);

// Upper-cases the letters a to z only; every other character is kept.
QString UpperCase(const QString &text);

} // namespace dvt
