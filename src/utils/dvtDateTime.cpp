#include "dvtDateTime.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>

#include "dvtException.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace dvt {

namespace {

namespace chr = std::chrono;

constexpr chr::sys_days Epoch = chr::sys_days{chr::year{1899} / chr::December / 30};
constexpr qint64 MsPerDay = 86'400'000;
constexpr int FirstDay = (chr::sys_days{chr::year{1} / chr::January / 1} - Epoch).count();
constexpr int LastDay = (chr::sys_days{chr::year{9999} / chr::December / 31} - Epoch).count();

// A date-time taken apart: the day number and the time of day to the millisecond.
struct DayAndTime
{
    int day = 0;
    qint64 ms = 0;
};

[[noreturn]] void invalidDateTime(TDateTime dateTime)
{
    throw EConvertError(
        u"'%1' is not a valid date-time value"_s.arg(QString::number(dateTime, 'g', 17)));
}

DayAndTime split(TDateTime dateTime)
{
    if (!std::isfinite(dateTime) || dateTime < FirstDay - 1 || dateTime > LastDay + 1)
        invalidDateTime(dateTime);
    const double whole = std::trunc(dateTime);
    // The date is the whole days; a time of day that rounds up to midnight stays
    // the last millisecond of its day rather than moving the date on.
    const qint64 ms = std::llround(std::fabs(dateTime - whole) * MsPerDay);
    const DayAndTime parts{int(whole), qMin(ms, MsPerDay - 1)};
    if (parts.day < FirstDay || parts.day > LastDay)
        invalidDateTime(dateTime);
    return parts;
}

// A date with a time of day; negative dates count their time away from zero.
TDateTime withTime(TDateTime date, TDateTime time)
{
    return date >= 0 ? date + time : date - time;
}

chr::year_month_day calendarDate(int day)
{
    return chr::year_month_day{Epoch + chr::days{day}};
}

bool isBlank(QChar c)
{
    return c.unicode() < 33;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString padded(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

// A code of the am/pm family at the given position, and its length.
enum class Marker { None, AmPm, AP, Locale };

Marker markerAt(QStringView pattern, qsizetype i, qsizetype &length)
{
    const auto at = [&](QStringView code) {
        return pattern.mid(i).startsWith(code, Qt::CaseInsensitive);
    };
    if (at(u"am/pm")) {
        length = 5;
        return Marker::AmPm;
    }
    if (at(u"ampm")) {
        length = 4;
        return Marker::Locale;
    }
    if (at(u"a/p")) {
        length = 3;
        return Marker::AP;
    }
    length = 1;
    return Marker::None;
}

// FormatDateTime for one pattern; the codes c, ddddd, dddddd, t and tt format the
// locale's patterns through a nested formatter.
class DateTimeFormatter
{
public:
    explicit DateTimeFormatter(TDateTime dateTime) : m_parts(split(dateTime))
    {
        const chr::year_month_day ymd = calendarDate(m_parts.day);
        m_year = int(ymd.year());
        m_month = int(unsigned(ymd.month()));
        m_day = int(unsigned(ymd.day()));
        m_dayOfWeek = int(chr::weekday{Epoch + chr::days{m_parts.day}}.c_encoding());
        m_hour = int(m_parts.ms / 3'600'000);
        m_minute = int(m_parts.ms / 60'000 % 60);
        m_second = int(m_parts.ms / 1000 % 60);
        m_msec = int(m_parts.ms % 1000);
    }

    QString format(const QString &pattern, int depth = 0) const
    {
        // The locale's patterns may name each other, but never endlessly.
        if (depth > 4) {
            throw EConvertError(
                u"Date-time format '%1' refers to the locale's formats too deeply"_s.arg(pattern));
        }
        const TFormatSettings &fs = FormatSettings();
        const bool twelveHour = hasMarker(pattern);
        QString out;
        bool afterHour = false;
        qsizetype i = 0;
        while (i < pattern.size()) {
            const QChar c = pattern.at(i);
            if (c == u'"' || c == u'\'') {
                const qsizetype close = pattern.indexOf(c, i + 1);
                if (close < 0) {
                    throw EConvertError(
                        u"Date-time format '%1' has an unterminated quote"_s.arg(pattern));
                }
                out += QStringView(pattern).mid(i + 1, close - i - 1);
                i = close + 1;
                continue;
            }
            if (c == u'/') {
                out += fs.DateSeparator;
                ++i;
                continue;
            }
            if (c == u':') {
                out += fs.TimeSeparator;
                ++i;
                continue;
            }
            const char16_t code = c.unicode() < 128 ? c.toLower().unicode() : 0;
            qsizetype run = 1;
            while (i + run < pattern.size() && pattern.at(i + run).toLower() == QChar(code))
                ++run;
            qsizetype used = 1;
            bool isHour = false;
            switch (code) {
            case 'd':
                used = qMin<qsizetype>(run, 6);
                out += days(int(used), depth);
                break;
            case 'm':
                if (afterHour && run <= 2) {
                    used = run;
                    out += used == 1 ? QString::number(m_minute) : padded(m_minute, 2);
                } else {
                    used = qMin<qsizetype>(run, 4);
                    out += months(int(used));
                }
                break;
            case 'y':
                used = qMin<qsizetype>(run, 4);
                out += used <= 2 ? padded(m_year % 100, 2) : padded(m_year, 4);
                break;
            case 'h': {
                used = qMin<qsizetype>(run, 2);
                const int hour = twelveHour ? (m_hour % 12 == 0 ? 12 : m_hour % 12) : m_hour;
                out += used == 1 ? QString::number(hour) : padded(hour, 2);
                isHour = true;
                break;
            }
            case 'n':
                used = qMin<qsizetype>(run, 2);
                out += used == 1 ? QString::number(m_minute) : padded(m_minute, 2);
                break;
            case 's':
                used = qMin<qsizetype>(run, 2);
                out += used == 1 ? QString::number(m_second) : padded(m_second, 2);
                break;
            case 'z':
                used = qMin<qsizetype>(run, 3);
                out += used == 3 ? padded(m_msec, 3) : QString::number(m_msec);
                break;
            case 't':
                used = qMin<qsizetype>(run, 2);
                out += format(used == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, depth + 1);
                break;
            case 'c':
                out += format(fs.ShortDateFormat, depth + 1);
                if (m_parts.ms != 0)
                    out += u' ' + format(fs.LongTimeFormat, depth + 1);
                break;
            case 'a':
                if (markerAt(pattern, i, used) == Marker::None) {
                    out += c;
                    ++i;
                    continue;
                }
                out += marker(pattern, i, used);
                break;
            default:
                out += c;
                ++i;
                continue; // literal text leaves the hour context alone
            }
            afterHour = isHour;
            i += used;
        }
        return out;
    }

private:
    // Whether the pattern holds an am/pm code outside quotes.
    static bool hasMarker(const QString &pattern)
    {
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern.at(i);
            if (c == u'"' || c == u'\'') {
                const qsizetype close = pattern.indexOf(c, i + 1);
                if (close < 0)
                    return false; // reported by the formatting loop
                i = close;
                continue;
            }
            qsizetype length = 0;
            if (markerAt(pattern, i, length) != Marker::None)
                return true;
        }
        return false;
    }

    QString days(int count, int depth) const
    {
        const TFormatSettings &fs = FormatSettings();
        switch (count) {
        case 1:
            return QString::number(m_day);
        case 2:
            return padded(m_day, 2);
        case 3:
            return fs.ShortDayNames[std::size_t(m_dayOfWeek)];
        case 4:
            return fs.LongDayNames[std::size_t(m_dayOfWeek)];
        case 5:
            return format(fs.ShortDateFormat, depth + 1);
        default:
            return format(fs.LongDateFormat, depth + 1);
        }
    }

    QString months(int count) const
    {
        const TFormatSettings &fs = FormatSettings();
        switch (count) {
        case 1:
            return QString::number(m_month);
        case 2:
            return padded(m_month, 2);
        case 3:
            return fs.ShortMonthNames[std::size_t(m_month - 1)];
        default:
            return fs.LongMonthNames[std::size_t(m_month - 1)];
        }
    }

    // am/pm and a/p show the pattern's own letters; ampm the locale's markers.
    QString marker(const QString &pattern, qsizetype i, qsizetype &used) const
    {
        const bool pm = m_hour >= 12;
        switch (markerAt(pattern, i, used)) {
        case Marker::AmPm:
            return pattern.mid(pm ? i + 3 : i, 2);
        case Marker::AP:
            return pattern.mid(pm ? i + 2 : i, 1);
        case Marker::Locale:
            return pm ? FormatSettings().TimePMString : FormatSettings().TimeAMString;
        case Marker::None:
            break;
        }
        return pattern.mid(i, 1);
    }

    DayAndTime m_parts;
    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    int m_dayOfWeek = 0; // 0 is Sunday
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    int m_msec = 0;
};

// Reads numbers, separators and markers off a text. Blanks at its ends and
// invisible direction marks (which right-to-left locales put into their dates)
// are ignored.
class Scanner
{
public:
    explicit Scanner(const QString &text) : m_text(Trim(text))
    {
        m_text.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
    }

    bool atEnd() const { return m_pos == m_text.size(); }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
            ++m_pos;
    }

    struct Number
    {
        int value = 0;
        int digits = 0;
    };

    // One to maxDigits decimal digits; more digits make it no number.
    std::optional<Number> number(int maxDigits)
    {
        Number n;
        while (m_pos < m_text.size() && isAsciiDigit(m_text.at(m_pos))) {
            if (++n.digits > maxDigits)
                return std::nullopt;
            n.value = n.value * 10 + m_text.at(m_pos++).digitValue();
        }
        if (n.digits == 0)
            return std::nullopt;
        return n;
    }

    // The separator with any blanks around it (a blank separator is a run of blanks).
    bool separator(QChar separator)
    {
        const qsizetype start = m_pos;
        skipBlanks();
        const bool hadBlanks = m_pos > start;
        if (m_pos < m_text.size() && m_text.at(m_pos) == separator) {
            ++m_pos;
            skipBlanks();
            return true;
        }
        if (isBlank(separator) && hadBlanks)
            return true;
        m_pos = start;
        return false;
    }

    // A separator that a number follows; nothing is consumed otherwise.
    bool separatorBeforeNumber(QChar sep)
    {
        const qsizetype start = m_pos;
        if (separator(sep) && m_pos < m_text.size() && isAsciiDigit(m_text.at(m_pos)))
            return true;
        m_pos = start;
        return false;
    }

    bool consume(QChar c)
    {
        if (m_pos < m_text.size() && m_text.at(m_pos) == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // An AM or PM marker: the locale's or the English one, in any case. Answers
    // whether it is PM.
    std::optional<bool> marker()
    {
        const TFormatSettings &fs = FormatSettings();
        std::array<std::pair<QString, bool>, 4> markers = {
            std::pair{fs.TimeAMString, false}, std::pair{fs.TimePMString, true},
            std::pair{u"AM"_s, false}, std::pair{u"PM"_s, true}};
        // The longest first, so that a marker is never mistaken for its beginning.
        std::stable_sort(markers.begin(), markers.end(), [](const auto &a, const auto &b) {
            return a.first.size() > b.first.size();
        });
        for (const auto &[text, pm] : markers) {
            if (!text.isEmpty()
                && QStringView(m_text).mid(m_pos).startsWith(text, Qt::CaseInsensitive)) {
                m_pos += text.size();
                return pm;
            }
        }
        return std::nullopt;
    }

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// The order of day, month and year in the short date format: the order in which
// their codes first occur, completed month, day, year.
std::array<char, 3> dateOrder(const QString &shortDateFormat)
{
    std::array<char, 3> order{};
    std::size_t count = 0;
    const auto add = [&](char part) {
        if (count < order.size()
            && std::find(order.begin(), order.begin() + count, part) == order.begin() + count)
            order[count++] = part;
    };
    QChar quote;
    for (const QChar c : shortDateFormat) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c.toLower() == u'd' || c.toLower() == u'm' || c.toLower() == u'y') {
            add(char(c.toLower().unicode()));
        }
    }
    for (const char part : {'m', 'd', 'y'})
        add(part);
    return order;
}

// Completes a year written with one or two digits by the two-digit-year window.
int fullYear(int twoDigitYear)
{
    const int current = QDate::currentDate().year();
    const int window = FormatSettings().TwoDigitYearCenturyWindow;
    if (window <= 0)
        return current / 100 * 100 + twoDigitYear;
    const int last = current + window;
    return last - ((last - twoDigitYear) % 100 + 100) % 100;
}

} // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime &date)
{
    // Checked before building the calendar types, which hold only small ranges.
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    const chr::year_month_day ymd{chr::year{year}, chr::month{unsigned(month)},
                                  chr::day{unsigned(day)}};
    if (!ymd.ok())
        return false;
    date = (chr::sys_days{ymd} - Epoch).count();
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date)) {
        throw EConvertError(
            u"Year %1, month %2, day %3 is not a valid date"_s.arg(year).arg(month).arg(day));
    }
    return date;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime &time)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0
        || msec > 999)
        return false;
    time = double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, min, sec, msec, time)) {
        throw EConvertError(
            u"%1:%2:%3.%4 is not a valid time"_s.arg(hour).arg(min).arg(sec).arg(msec));
    }
    return time;
}

void DecodeDate(TDateTime dateTime, int &year, int &month, int &day)
{
    const chr::year_month_day ymd = calendarDate(split(dateTime).day);
    year = int(ymd.year());
    month = int(unsigned(ymd.month()));
    day = int(unsigned(ymd.day()));
}

void DecodeTime(TDateTime dateTime, int &hour, int &min, int &sec, int &msec)
{
    const qint64 ms = split(dateTime).ms;
    hour = int(ms / 3'600'000);
    min = int(ms / 60'000 % 60);
    sec = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

int DayOfWeek(TDateTime dateTime)
{
    return int(chr::weekday{Epoch + chr::days{split(dateTime).day}}.c_encoding()) + 1;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[std::size_t(month - 1)];
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return withTime(EncodeDate(d.year(), d.month(), d.day()),
                    EncodeTime(t.hour(), t.minute(), t.second(), t.msec()));
}

TDateTime Date()
{
    const QDate d = QDate::currentDate();
    return EncodeDate(d.year(), d.month(), d.day());
}

TDateTime Time()
{
    const QTime t = QTime::currentTime();
    return EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

QString FormatDateTime(const QString &pattern, TDateTime dateTime)
{
    return DateTimeFormatter(dateTime).format(pattern.isEmpty() ? u"c"_s : pattern);
}

bool TryStrToDate(const QString &text, TDateTime &date)
{
    const TFormatSettings &fs = FormatSettings();
    Scanner scanner(text);
    std::array<Scanner::Number, 3> numbers{};
    std::size_t count = 0;
    for (;;) {
        const auto number = scanner.number(4);
        if (!number)
            return false;
        numbers[count++] = *number;
        if (count == numbers.size() || !scanner.separatorBeforeNumber(fs.DateSeparator))
            break;
    }
    // Formats such as "yyyy. mm. dd." end with the separator too.
    if (Trim(fs.ShortDateFormat).endsWith(u'/'))
        scanner.separator(fs.DateSeparator);
    if (!scanner.atEnd() || count < 2)
        return false;

    int year = 0;
    int month = 0;
    int day = 0;
    std::size_t next = 0;
    for (const char part : dateOrder(fs.ShortDateFormat)) {
        if (part == 'y' && count == 2) {
            year = QDate::currentDate().year(); // two numbers: month and day of this year
            continue;
        }
        const Scanner::Number &n = numbers[next++];
        if (part == 'y')
            year = n.digits <= 2 ? fullYear(n.value) : n.value;
        else if (part == 'm')
            month = n.value;
        else
            day = n.value;
    }
    return TryEncodeDate(year, month, day, date);
}

TDateTime StrToDate(const QString &text)
{
    TDateTime date = 0;
    if (!TryStrToDate(text, date))
        throw EConvertError(u"'%1' is not a valid date"_s.arg(text));
    return date;
}

bool TryStrToTime(const QString &text, TDateTime &time)
{
    const TFormatSettings &fs = FormatSettings();
    Scanner scanner(text);
    // Some locales put the marker first.
    std::optional<bool> pm = scanner.marker();
    scanner.skipBlanks();

    const auto hour = scanner.number(2);
    if (!hour || !scanner.separatorBeforeNumber(fs.TimeSeparator))
        return false;
    const auto minute = scanner.number(2);
    if (!minute)
        return false;
    std::optional<Scanner::Number> second;
    int msec = 0;
    if (scanner.separatorBeforeNumber(fs.TimeSeparator)) {
        if (!(second = scanner.number(2)))
            return false;
        if (scanner.consume(u'.') || scanner.consume(fs.DecimalSeparator)) {
            // Up to three digits of a second: ".5" is 500 milliseconds.
            static constexpr std::array<int, 4> scale = {0, 100, 10, 1};
            const auto fraction = scanner.number(3);
            if (!fraction)
                return false;
            msec = fraction->value * scale[std::size_t(fraction->digits)];
        }
    }
    if (!pm) {
        scanner.skipBlanks();
        pm = scanner.marker();
    }
    if (!scanner.atEnd())
        return false;

    int h = hour->value;
    if (pm) {
        if (h < 1 || h > 12)
            return false;
        h = h % 12 + (*pm ? 12 : 0);
    }
    return TryEncodeTime(h, minute->value, second ? second->value : 0, msec, time);
}

TDateTime StrToTime(const QString &text)
{
    TDateTime time = 0;
    if (!TryStrToTime(text, time))
        throw EConvertError(u"'%1' is not a valid time"_s.arg(text));
    return time;
}

bool TryStrToDateTime(const QString &text, TDateTime &dateTime)
{
    const QString trimmed = Trim(text);
    if (TryStrToDate(trimmed, dateTime))
        return true;
    // The date may itself hold blanks around its separators, so every blank run
    // is tried as the border between date and time.
    for (qsizetype i = 1; i < trimmed.size(); ++i) {
        if (!isBlank(trimmed.at(i)) || isBlank(trimmed.at(i - 1)))
            continue;
        TDateTime date = 0;
        TDateTime time = 0;
        if (TryStrToDate(trimmed.left(i), date) && TryStrToTime(trimmed.mid(i), time)) {
            dateTime = withTime(date, time);
            return true;
        }
    }
    return false;
}

TDateTime StrToDateTime(const QString &text)
{
    TDateTime dateTime = 0;
    if (!TryStrToDateTime(text, dateTime))
        throw EConvertError(u"'%1' is not a valid date and time"_s.arg(text));
    return dateTime;
}

} // namespace dvt
