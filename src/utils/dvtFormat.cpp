#include "dvtFormat.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "dvtException.h"
#include "dvtFormatSettings.h"
#include "dvtFormatSettings_p.h"
#include "dvtFormat_p.h"

using namespace Qt::StringLiterals;

namespace dvt {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() < 33;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The value of an ASCII digit in the base, or -1.
int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'z')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'Z')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

// Every number is first taken to this many significant digits, the most that a
// double always holds; formats asking for more show zeros beyond them. Rounding
// from there is half away from zero, so 2.675 shows as "2.68" although the double
// lies just below it.
constexpr int SignificantDigits = 15;

// Widths and precisions beyond this are taken for a broken pattern rather than
// an allocation of gigabytes.
constexpr int MaxFieldSize = 65535;

// A finite number as decimal digits: |value| = 0.d1d2d3... × 10^exponent, with no
// leading or trailing zero digit. No digits at all is zero (never negative).
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.empty(); }

    // The digit at position i counted from the first significant one; zero
    // outside the digits held.
    char digitAt(int i) const
    {
        return i >= 0 && i < int(digits.size()) ? digits[std::size_t(i)] : '0';
    }
};

void normalize(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) {
        d.negative = false;
        d.exponent = 0;
    }
}

// The significant digits of a finite, positive value, exactly rounded (to
// nearest, ties to even), without trailing zeros: |value| = 0.d1d2d3... ×
// 10^exponent. Answers how many digits there are.
//
// Most values take a fast path: scaled by a power of ten in long double, the
// digits are an integer whose rounding is off by at most 2^-64 of it, less than
// 1e-4 at 15 digits; only a value that close to a tie is left to to_chars, which
// decides from the exact value, as are values beyond the powers of ten that long
// double holds exactly. An export writes every floating-point value this way,
// and to_chars with a precision costs several times as much.
int significantDigits(double value, std::array<char, SignificantDigits> &digits, int &exponent)
{
    using Wide = long double;
    constexpr int PowerCount = 28; // 10^27 = 5^27 × 2^27 fits a 64-bit mantissa
    static constexpr auto Powers = [] {
        std::array<Wide, PowerCount> powers{};
        Wide power = 1;
        for (Wide &p : powers) {
            p = power;
            power *= 10;
        }
        return powers;
    }();
    constexpr std::uint64_t Lowest = 100'000'000'000'000; // 10^(SignificantDigits - 1)
    static_assert(SignificantDigits == 15);

    std::uint64_t whole = 0;
    bool exact = false;
    // The power of ten of the first digit, from the binary exponent (78913 / 2^18
    // is log10(2) to six digits): this or one off, which the scaling corrects.
    const int binaryPower = int(std::bit_cast<std::uint64_t>(value) >> 52 & 0x7FF) - 1023;
    int power = binaryPower * 78913 >> 18;
    if constexpr (std::numeric_limits<Wide>::digits >= 64) {
        for (int attempt = 0; attempt < 2 && !exact; ++attempt) {
            const int scale = SignificantDigits - 1 - power;
            if (scale <= -PowerCount || scale >= PowerCount)
                break;
            const Wide scaled = scale >= 0 ? Wide(value) * Powers[size_t(scale)]
                                           : Wide(value) / Powers[size_t(-scale)];
            if (scaled < Wide(Lowest)) {
                --power;
                continue;
            }
            if (scaled >= Wide(Lowest) * 10) {
                ++power;
                continue;
            }
            whole = std::uint64_t(std::int64_t(scaled)); // the signed conversion is the cheaper
            const Wide fraction = scaled - Wide(whole);
            if (std::fabs(fraction - Wide(0.5)) < Wide(1e-4)) // a tie, or too near one
                break;
            whole += fraction > Wide(0.5);
            if (whole == Lowest * 10) {
                whole = Lowest;
                ++power;
            }
            exact = true;
        }
    }
    if (exact) {
        std::to_chars(digits.data(), digits.data() + digits.size(), whole);
    } else {
        // "d.dddde±xx"
        char text[32];
        const char *end = std::to_chars(text, text + sizeof text, value,
                                        std::chars_format::scientific, SignificantDigits - 1)
                              .ptr;
        const char *p = text;
        for (int n = 0; p != end && *p != 'e'; ++p) {
            if (*p != '.')
                digits[size_t(n++)] = *p;
        }
        std::from_chars(p + (p[1] == '+' ? 2 : 1), end, power);
    }
    exponent = power + 1;
    int count = SignificantDigits;
    while (count > 0 && digits[size_t(count - 1)] == '0')
        --count;
    return count;
}

Decimal toDecimal(double value)
{
    Decimal d;
    if (value == 0)
        return d;
    d.negative = std::signbit(value);
    std::array<char, SignificantDigits> digits;
    const int count = significantDigits(std::fabs(value), digits, d.exponent);
    d.digits.assign(digits.data(), size_t(count));
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void roundToDigits(Decimal &d, int keep)
{
    if (int(d.digits.size()) <= keep)
        return;
    if (keep < 0) {
        d.digits.clear();
    } else {
        const bool up = d.digits[std::size_t(keep)] >= '5';
        d.digits.resize(std::size_t(keep));
        if (up) {
            while (!d.digits.empty() && d.digits.back() == '9')
                d.digits.pop_back();
            if (d.digits.empty()) {
                d.digits.assign(1, '1');
                ++d.exponent;
            } else {
                ++d.digits.back();
            }
        }
    }
    normalize(d);
}

void roundToDecimals(Decimal &d, int decimals)
{
    roundToDigits(d, d.exponent + decimals);
}

QString groupThousands(const QString &integerDigits)
{
    QString result;
    const QChar separator = FormatSettings().ThousandSeparator;
    for (qsizetype i = 0; i < integerDigits.size(); ++i) {
        if (i > 0 && (integerDigits.size() - i) % 3 == 0)
            result += separator;
        result += integerDigits.at(i);
    }
    return result;
}

// The magnitude in fixed notation with exactly `decimals` fraction digits.
QString fixedDigits(const Decimal &d, int decimals, bool thousands)
{
    QString integer;
    for (int i = 0; i < d.exponent; ++i)
        integer += QLatin1Char(d.digitAt(i));
    if (integer.isEmpty())
        integer = u"0"_s;
    QString result = thousands ? groupThousands(integer) : integer;
    if (decimals > 0) {
        result += FormatSettings().DecimalSeparator;
        for (int i = 0; i < decimals; ++i)
            result += QLatin1Char(d.digitAt(d.exponent + i));
    }
    return result;
}

// The magnitude with all its digits and no exponent.
QString plainDigits(const Decimal &d)
{
    return fixedDigits(d, qMax(0, int(d.digits.size()) - d.exponent), false);
}

// The magnitude as a mantissa of `mantissaDigits` digits (all held digits when
// negative), "E" and the exponent; withSign and exponentWidth choose between
// "1.5E20" and "1.5E+020".
QString scientificDigits(const Decimal &d, int mantissaDigits, bool withSign, int exponentWidth)
{
    if (mantissaDigits < 0)
        mantissaDigits = qMax(1, int(d.digits.size()));
    QString result(QLatin1Char(d.digitAt(0)));
    if (mantissaDigits > 1) {
        result += FormatSettings().DecimalSeparator;
        for (int i = 1; i < mantissaDigits; ++i)
            result += QLatin1Char(d.digitAt(i));
    }
    const int exponent = d.isZero() ? 0 : d.exponent - 1;
    result += u'E';
    if (exponent < 0)
        result += u'-';
    else if (withSign)
        result += u'+';
    result += QString::number(std::abs(exponent)).rightJustified(exponentWidth, u'0');
    return result;
}

std::optional<QString> nonFinite(double value)
{
    if (std::isnan(value))
        return u"NAN"_s;
    if (std::isinf(value))
        return value < 0 ? u"-INF"_s : u"INF"_s;
    return std::nullopt;
}

QString withSign(const Decimal &d, const QString &magnitude)
{
    return d.negative ? u'-' + magnitude : magnitude;
}

// Money: the forms of TFormatSettings, "$" standing for the currency string and
// "1" for the amount.
QString money(double value, int decimals)
{
    const TFormatSettings &fs = FormatSettings();

    Decimal d = toDecimal(value);
    roundToDecimals(d, decimals);
    const QString amount = fixedDigits(d, decimals, true);
    const auto formAt = [](const auto &forms, int index) {
        return forms[index >= 0 && std::size_t(index) < forms.size() ? std::size_t(index) : 0];
    };
    const QStringView form = d.negative ? formAt(detail::NegativeCurrencyForms, fs.NegCurrFormat)
                                        : formAt(detail::PositiveCurrencyForms, fs.CurrencyFormat);
    QString result;
    for (const QChar c : form) {
        if (c == u'$')
            result += fs.CurrencyString;
        else if (c == u'1')
            result += amount;
        else
            result += c;
    }
    return result;
}

QString general(double value, int precision)
{
    Decimal d = toDecimal(value);
    roundToDigits(d, precision);
    if (d.exponent > precision || d.exponent < -4)
        return withSign(d, scientificDigits(d, -1, true, 3));
    return withSign(d, plainDigits(d));
}

// One "%..." directive, read from the pattern.
struct Directive
{
    bool leftJustify = false;
    std::optional<int> width;
    std::optional<int> precision;
    QChar type;
};

class Formatter
{
public:
    Formatter(const QString &pattern, std::initializer_list<FormatArg> args)
        : m_pattern(pattern), m_args(args)
    {}

    QString run()
    {
        QString result;
        while (m_pos < m_pattern.size()) {
            const QChar c = m_pattern.at(m_pos++);
            if (c != u'%') {
                result += c;
            } else if (m_pos < m_pattern.size() && m_pattern.at(m_pos) == u'%') {
                result += u'%';
                ++m_pos;
            } else {
                result += directive();
            }
        }
        return result;
    }

private:
    [[noreturn]] void fail() const
    {
        throw EConvertError(u"Format '%1' invalid or incompatible with argument"_s.arg(m_pattern));
    }

    const FormatArg &nextArg()
    {
        if (m_next >= m_args.size())
            fail();
        return m_args.begin()[m_next++];
    }

    template<typename T>
    const T &nextArgOf()
    {
        const T *value = std::get_if<T>(&nextArg().value());
        if (!value)
            fail();
        return *value;
    }

    // Digits or "*" (which takes an integer argument); nothing when neither.
    std::optional<int> number()
    {
        if (m_pos < m_pattern.size() && m_pattern.at(m_pos) == u'*') {
            ++m_pos;
            const qint64 value = nextArgOf<qint64>();
            if (value > MaxFieldSize || value < -MaxFieldSize)
                fail();
            return int(value);
        }
        int value = 0;
        const qsizetype start = m_pos;
        while (m_pos < m_pattern.size() && isAsciiDigit(m_pattern.at(m_pos))) {
            value = value * 10 + m_pattern.at(m_pos++).digitValue();
            if (value > MaxFieldSize)
                fail();
        }
        if (m_pos == start)
            return std::nullopt;
        return value;
    }

    Directive readDirective()
    {
        Directive d;
        std::optional<int> first = number();
        if (m_pos < m_pattern.size() && m_pattern.at(m_pos) == u':') {
            if (!first || *first < 0)
                fail();
            m_next = std::size_t(*first);
            ++m_pos;
            first.reset();
        }
        if (!first && m_pos < m_pattern.size() && m_pattern.at(m_pos) == u'-') {
            d.leftJustify = true;
            ++m_pos;
        }
        d.width = first ? first : number();
        if (d.width && *d.width < 0) {
            d.leftJustify = true;
            d.width = -*d.width;
        }
        if (m_pos < m_pattern.size() && m_pattern.at(m_pos) == u'.') {
            ++m_pos;
            d.precision = number().value_or(0);
            if (*d.precision < 0) // a negative "*" precision counts as none
                d.precision.reset();
        }
        if (m_pos >= m_pattern.size())
            fail();
        d.type = m_pattern.at(m_pos++).toLower();
        return d;
    }

    QString directive()
    {
        const Directive d = readDirective();
        QString text;
        switch (d.type.unicode()) {
        case 'd': {
            const qint64 v = nextArgOf<qint64>();
            const quint64 magnitude = v < 0 ? 0 - quint64(v) : quint64(v);
            text = QString::number(magnitude).rightJustified(d.precision.value_or(0), u'0');
            if (v < 0)
                text.prepend(u'-');
            break;
        }
        case 'u':
            text = QString::number(quint64(nextArgOf<qint64>()))
                       .rightJustified(d.precision.value_or(0), u'0');
            break;
        case 'x':
            text = QString::number(quint64(nextArgOf<qint64>()), 16)
                       .toUpper()
                       .rightJustified(d.precision.value_or(0), u'0');
            break;
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm':
            text = floating(d, nextArgOf<double>());
            break;
        case 's':
            text = nextArgOf<QString>();
            if (d.precision)
                text.truncate(*d.precision);
            break;
        default:
            fail();
        }
        const int width = d.width.value_or(0);
        return d.leftJustify ? text.leftJustified(width) : text.rightJustified(width);
    }

    static QString floating(const Directive &d, double value)
    {
        if (auto text = nonFinite(value))
            return *text;
        switch (d.type.unicode()) {
        case 'e': {
            const int precision = qMax(1, d.precision.value_or(SignificantDigits));
            Decimal dec = toDecimal(value);
            roundToDigits(dec, precision);
            return withSign(dec, scientificDigits(dec, precision, true, 3));
        }
        case 'g':
            return general(value, qMax(1, d.precision.value_or(SignificantDigits)));
        case 'm':
            return money(value, d.precision.value_or(FormatSettings().CurrencyDecimals));
        default: { // 'f' and 'n'
            const int decimals = d.precision.value_or(2);
            Decimal dec = toDecimal(value);
            roundToDecimals(dec, decimals);
            return withSign(dec, fixedDigits(dec, decimals, d.type == u'n'));
        }
        }
    }

    const QString &m_pattern;
    std::initializer_list<FormatArg> m_args;
    qsizetype m_pos = 0;
    std::size_t m_next = 0;
};

} // namespace

QString Format(const QString &pattern, std::initializer_list<FormatArg> args)
{
    return Formatter(pattern, args).run();
}

namespace detail {

int FiniteFloatToStr(double value, std::array<char16_t, MaxFloatText> &out)
{
    if (value == 0) {
        out[0] = u'0';
        return 1;
    }
    // What toDecimal, plainDigits and scientificDigits give, in buffers of its
    // own: an export calls this for every floating-point value it writes.
    std::array<char, SignificantDigits> digits;
    int exponent = 0;
    const int count = significantDigits(std::fabs(value), digits, exponent);
    const auto digitAt = [&](int i) { return char16_t(i >= 0 && i < count ? digits[i] : '0'); };
    const char16_t point = FormatSettings().DecimalSeparator.unicode();
    int n = 0;
    if (std::signbit(value))
        out[n++] = u'-';
    if (exponent > SignificantDigits || exponent < -4) {
        out[n++] = digitAt(0);
        if (count > 1)
            out[n++] = point;
        for (int i = 1; i < count; ++i)
            out[n++] = digitAt(i);
        out[n++] = u'E';
        if (exponent - 1 < 0)
            out[n++] = u'-';
        char power[8];
        const char *powerEnd =
            std::to_chars(power, power + sizeof power, std::abs(exponent - 1)).ptr;
        for (const char *q = power; q != powerEnd; ++q)
            out[n++] = char16_t(*q);
    } else {
        if (exponent <= 0)
            out[n++] = u'0';
        for (int i = 0; i < exponent; ++i)
            out[n++] = digitAt(i);
        if (count > exponent)
            out[n++] = point;
        for (int i = exponent; i < count; ++i)
            out[n++] = digitAt(i);
    }
    return n;
}

} // namespace detail

QString FloatToStr(double value)
{
    if (auto text = nonFinite(value))
        return *text;
    std::array<char16_t, detail::MaxFloatText> out;
    const int n = detail::FiniteFloatToStr(value, out);
    return QString(reinterpret_cast<const QChar *>(out.data()), n);
}

QString IntToStr(qint64 value)
{
    return QString::number(value);
}

bool TryStrToFloat(const QString &text, double &value)
{
    const QChar decimalSeparator = FormatSettings().DecimalSeparator;
    std::string ascii;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto sign = [&] {
        if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
            ascii += char(text.at(i++).unicode());
    };
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < n && isAsciiDigit(text.at(i)))
            ascii += char(text.at(i++).unicode());
        return i - start;
    };

    while (i < n && isBlank(text.at(i)))
        ++i;
    sign();
    qsizetype mantissaDigits = digits();
    if (i < n && text.at(i) == decimalSeparator) {
        ascii += '.';
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ascii += 'e';
        ++i;
        sign();
        if (digits() == 0)
            return false;
    }
    while (i < n && isBlank(text.at(i)))
        ++i;
    if (i != n)
        return false;

    // from_chars reads no leading plus sign.
    const char *first = ascii.data() + (ascii.front() == '+' ? 1 : 0);
    double result = 0;
    const auto [end, error] = std::from_chars(first, ascii.data() + ascii.size(), result);
    if (error != std::errc() || end != ascii.data() + ascii.size())
        return false;
    value = result;
    return true;
}

double StrToFloat(const QString &text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(u"'%1' is not a valid floating point value"_s.arg(text));
    return value;
}

bool TryStrToInt(const QString &text, int &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        negative = text.at(i++) == u'-';

    int base = 10;
    if (i < n && text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0'
               && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    // Accumulates past the int range only as far as needed to tell it is out of range.
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    const qsizetype start = i;
    for (; i < n; ++i) {
        const int d = digitValue(text.at(i), base);
        if (d < 0)
            break;
        magnitude = qMin(magnitude * base + d, limit + 1);
    }
    if (i == start)
        return false;
    while (i < n && isBlank(text.at(i)))
        ++i;
    if (i != n || magnitude > (negative ? limit : limit - 1))
        return false;
    value = int(negative ? -magnitude : magnitude);
    return true;
}

int StrToInt(const QString &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(u"'%1' is not a valid integer value"_s.arg(text));
    return value;
}

QString TrimLeft(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && isBlank(text.at(start)))
        ++start;
    return text.mid(start);
}

QString TrimRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && isBlank(text.at(end - 1)))
        --end;
    return text.left(end);
}

QString Trim(const QString &text)
{
    return TrimLeft(TrimRight(text));
}

QString UpperCase(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - ('a' - 'A'));
    }
    return result;
}

} // namespace dvt
