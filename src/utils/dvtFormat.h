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
// "%%" is a percent sign. The types, each taking one argument of the kind named:
//   d  integer: decimal; precision is the least number of digits ("%.4d": -0042)
//   u  integer: decimal of its 64-bit two's complement (-1 gives 18446744073709551615)
//   x  integer: upper-case hexadecimal of the same; precision as for d
//   f  floating: fixed, precision decimals (default 2)
//   n  floating: as f, with the locale's thousands separators
//   m  floating: money in the locale's currency form, precision decimals
//      (default CurrencyDecimals)
//   e  floating: scientific, precision significant digits (default 15), the exponent
//      with its sign and at least three digits: "%.3e" of 1234.5 is "1.23E+003"
//   g  floating: general, at most precision significant digits (default 15) without
//      trailing zeros; scientific as for e when the value needs more integer digits
//      than that or lies below 0.00001: "%.2g" of 42 is "42", of 123 "1.2E+002"
//   s  text: precision is the most characters taken
// Numbers are first taken to 15 significant digits (further digits show as zeros),
// then rounded half away from zero, so "%.2f" of 2.675 is "2.68"; a result that
// rounds to zero has no minus sign. NaN and infinities give "NAN", "INF", "-INF".
// Decimal and thousands separators are the locale's. Letters of the type may be
// upper-case.
// The text is padded with blanks to width on the left, or on the right with "-";
// it is never cut. "index:" takes the arguments from that position on (counted
// from 0). Width and precision may be "*" to take them from the next integer
// argument (a negative width left-justifies, a negative precision counts as none);
// both are at most 65535.
// A directive that is incomplete, unknown, or whose argument is missing or of
// another kind raises EConvertError ("Format '%m' invalid or incompatible with
// argument"); extra arguments are ignored.
// Example: Format(u"%m", {1234.5}) is "$1,234.50"; Format(u"%m", {-12.0}) is "($12.00)".
QString Format(const QString &pattern, std::initializer_list<FormatArg> args);

// The shortest text for the value with up to 15 significant digits and the locale's
// decimal separator; scientific ("1E-6", "1.5E20") only below 0.00001 or with more
// than 15 integer digits. NaN and infinities give "NAN", "INF" and "-INF".
QString FloatToStr(double value);

QString IntToStr(qint64 value);

// Strict conversion of a whole text: an optional sign, digits with at most one
// locale decimal separator (digits may stand on one side only), an optional
// exponent ("e" or "E", optional sign, digits); blanks and control characters may
// surround the number but not stand inside it. Thousands separators, currency
// symbols, "INF" and "NAN" are refused, and so are magnitudes beyond the range of a
// double ("1e400", "1e-400").
// StrToFloat raises EConvertError ("'abc' is not a valid floating point value");
// TryStrToFloat answers false and leaves value alone.
double StrToFloat(const QString &text);
bool TryStrToFloat(const QString &text, double &value);

// Strict conversion of a whole text to a 32-bit integer: an optional sign, then
// decimal digits or hexadecimal ones after "$" or "0x", with blanks and control
// characters allowed around; a value outside the int range is refused.
// StrToInt raises EConvertError ("'abc' is not a valid integer value"); TryStrToInt
// answers false and leaves value alone.
int StrToInt(const QString &text);
bool TryStrToInt(const QString &text, int &value);

// Removes leading and trailing blanks and control characters (code below 33).
QString Trim(const QString &text);
QString TrimLeft(const QString &text);
QString TrimRight(const QString &text);

// Upper-cases the letters a to z only; every other character is kept.
QString UpperCase(const QString &text);

} // namespace dvt
