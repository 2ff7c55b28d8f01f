#include "dvStrings.h"

#include <cmath>
#include <limits>

#include "dvStrings_p.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace dvt::detail {

qsizetype rotationOffset(qsizetype length, qsizetype start)
{
    if (start <= 0 || length == 0)
        return 0;
    // A start of L or more is reduced by L until it is below L; a start reduced
    // to 0 leaves the text unchanged, like a start of 1.
    const qsizetype reduced = start < length ? start : start % length;
    return reduced == 0 ? 0 : reduced - 1;
}

} // namespace dvt::detail

namespace {

// The digits of precision beyond which the general format can no longer change:
// no double has more integer digits than this.
constexpr int MaxGeneralDigits = std::numeric_limits<double>::max_exponent10 + 1;

QString trimmedIf(const QString &text, bool trim)
{
    return trim ? dvt::Trim(text) : text;
}

} // namespace

namespace dvt::detail {

QString cleanNumber(const QString &text)
{
    const dvt::TFormatSettings &fs = dvt::FormatSettings();
    QString clean = dvStrTran(text, fs.CurrencyString, QString());
    clean.remove(fs.ThousandSeparator);
    clean.replace(u'(', u'-');
    clean.remove(u')');
    clean.remove(u'$');
    clean.remove(u' ');
    return clean;
}

} // namespace dvt::detail

int dvIf(bool condition, int ifTrue, int ifFalse)
{
    return condition ? ifTrue : ifFalse;
}

QString dvIf(bool condition, const QString &ifTrue, const QString &ifFalse)
{
    return condition ? ifTrue : ifFalse;
}

double dvIf(bool condition, double ifTrue, double ifFalse)
{
    return condition ? ifTrue : ifFalse;
}

dvt::TDateTime dvMin(dvt::TDateTime a, dvt::TDateTime b)
{
    return a <= b ? a : b;
}

QString dvMin(const QString &a, const QString &b)
{
    return a <= b ? a : b;
}

dvt::TDateTime dvMax(dvt::TDateTime a, dvt::TDateTime b)
{
    return a > b ? a : b;
}

QString dvMax(const QString &a, const QString &b)
{
    return a > b ? a : b;
}

QString dvReplicate(const QString &text, int count)
{
    return count > 0 ? text.repeated(count) : QString();
}

QString dvSpace(int count)
{
    return count > 0 ? QString(count, u' ') : QString();
}

QString dvLeft(const QString &text, int length, bool trim)
{
    if (length <= 0)
        return QString();
    return trimmedIf(text.leftJustified(length, u' ', true), trim);
}

QString dvRight(const QString &text, int length, bool trim)
{
    if (length <= 0)
        return QString();
    const QString aligned =
        text.size() < length ? text.rightJustified(length, u' ') : text.right(length);
    return trimmedIf(aligned, trim);
}

QString dvRotate(const QString &text, int start)
{
    const qsizetype offset = dvt::detail::rotationOffset(text.size(), start);
    return text.mid(offset) + text.left(offset);
}

QString dvStrTran(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty())
        return text;
    QString result = text;
    return result.replace(search, replacement, Qt::CaseSensitive);
}

QString dvStringItem(const QString &text, int item, QChar separator)
{
    qsizetype begin = 0;
    for (int k = 1; k < item; ++k) {
        const qsizetype next = text.indexOf(separator, begin);
        if (next < 0)
            return QString();
        begin = next + 1;
    }
    const qsizetype end = text.indexOf(separator, begin);
    return text.mid(begin, end < 0 ? -1 : end - begin);
}

double dvStrToFloat(const QString &text)
{
    double value = 0;
    return dvt::TryStrToFloat(dvt::detail::cleanNumber(text), value) ? value : 0;
}

int dvStrToInt(const QString &text)
{
    int value = 0;
    return dvt::TryStrToInt(dvt::detail::cleanNumber(text), value) ? value : 0;
}

double dvRound(double value, quint16 decimals)
{
    if (!std::isfinite(value))
        return value;
    // A tie goes to the even last kept digit. Without decimals that digit belongs
    // to the integer part, so the value itself is rounded (3.5 gives 4, not 3).
    if (decimals == 0)
        return std::rint(value);
    const long double whole = std::trunc(static_cast<long double>(value));
    const long double fraction = value - whole;
    const long double scale = std::pow(10.0L, static_cast<long double>(decimals));
    const long double scaled = fraction * scale;
    // From 2^63 on an extended value holds no fraction bits, so there is nothing
    // left to round; the scale itself may even have overflowed.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 0x1p63L)
        return value;
    // rint rounds in the current rounding mode: to nearest, ties to even.
    return static_cast<double>(std::rint(scaled) / scale + whole);
}

QString dvStrZero(double value, int width, int decimals)
{
    // The field width of a printf-style pattern only pads with blanks, which the
    // trimming below takes off again, so the pattern carries the precision alone.
    QString pattern = u"%"_s;
    if (decimals > 0)
        pattern += u'.' + QString::number(qMin(decimals, MaxGeneralDigits));
    pattern += u'g';
    const QString digits = dvt::Trim(dvt::Format(pattern, {std::fabs(value)}));
    const qint64 zeros = qint64(width) - digits.size();
    return dvReplicate(u"0"_s, int(qMax<qint64>(zeros, 0))) + digits;
}
