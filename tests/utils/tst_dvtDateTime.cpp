#include <QDate>
#include <QTest>

#include <cmath>
#include <limits>

#include "dvtDateTime.h"
#include "dvtException.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;
using dvt::EConvertError;

namespace {

// 2001-02-03 04:05:06.007, a Saturday morning, and 1999-12-31 23:59:58.900.
const double Morning = 36925 + (((4 * 60 + 5) * 60 + 6) * 1000 + 7) / 86400000.0;
const double Evening = 36525 + (((23 * 60 + 59) * 60 + 58) * 1000 + 900) / 86400000.0;

// The year ending in yy within the 100 years that end `window` years from now,
// found by walking those years.
int yearInWindow(int yy, int window)
{
    const int current = QDate::currentDate().year();
    if (window <= 0)
        return current - current % 100 + yy;
    for (int year = current + window - 99; year <= current + window; ++year) {
        if (year % 100 == yy)
            return year;
    }
    return -1;
}

template<typename F>
QString conversionError(F &&call)
{
    try {
        call();
    } catch (const EConvertError &e) {
        return e.Message();
    }
    return u"no EConvertError"_s;
}

// The three readers, each with the pattern that shows what it read and its message.
enum ParserKind { DateKind, TimeKind, DateTimeKind };
struct Parser
{
    bool (*tryParse)(const QString &, double &);
    double (*parse)(const QString &);
    QString shown;
    QString message;
};
const Parser Parsers[] = {
    {dvt::TryStrToDate, dvt::StrToDate, u"yyyy-mm-dd"_s, u"'%1' is not a valid date"_s},
    {dvt::TryStrToTime, dvt::StrToTime, u"hh:nn:ss.zzz"_s, u"'%1' is not a valid time"_s},
    {dvt::TryStrToDateTime, dvt::StrToDateTime, u"yyyy-mm-dd hh:nn:ss.zzz"_s,
     u"'%1' is not a valid date and time"_s},
};

} // namespace

class tst_dvtDateTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void encodeDate_data();
    void encodeDate();
    void encodeInvalid_data();
    void encodeInvalid();
    void encodeTime();
    void decodeRounding_data();
    void decodeRounding();
    void decodeInvalid_data();
    void decodeInvalid();
    void calendarFacts_data();
    void calendarFacts();
    void clock();

    void formatDateTime_data();
    void formatDateTime();
    void formatDateTimeSettings();
    void formatDateTimeErrors_data();
    void formatDateTimeErrors();

    void parse_data();
    void parse();
    void twoDigitYears_data();
    void twoDigitYears();
    void parseErrors();

    void roundTrip_data();
    void roundTrip();

private:
    dvt::TFormatSettings m_saved;
};

void tst_dvtDateTime::init()
{
    m_saved = dvt::FormatSettings();
    dvt::FormatSettings() = dvt::TFormatSettings();
}

void tst_dvtDateTime::cleanup()
{
    dvt::FormatSettings() = m_saved;
}

void tst_dvtDateTime::encodeDate_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("serial");
    QTest::addColumn<int>("dayOfWeek");

    QTest::newRow("epoch") << 1899 << 12 << 30 << 0.0 << 7;
    QTest::newRow("day before epoch") << 1899 << 12 << 29 << -1.0 << 6;
    QTest::newRow("1999-12-31") << 1999 << 12 << 31 << 36525.0 << 6;
    QTest::newRow("leap day 2000") << 2000 << 2 << 29 << 36585.0 << 3;
    QTest::newRow("first day") << 1 << 1 << 1 << -693593.0 << 2;
    QTest::newRow("last day") << 9999 << 12 << 31 << 2958465.0 << 6;
}

void tst_dvtDateTime::encodeDate()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(double, serial);
    QFETCH(int, dayOfWeek);

    QCOMPARE(dvt::EncodeDate(year, month, day), serial);
    double encoded = 0;
    QVERIFY(dvt::TryEncodeDate(year, month, day, encoded));
    QCOMPARE(encoded, serial);
    int y = 0, m = 0, d = 0;
    dvt::DecodeDate(serial, y, m, d);
    QCOMPARE(y, year);
    QCOMPARE(m, month);
    QCOMPARE(d, day);
    QCOMPARE(dvt::DayOfWeek(serial), dayOfWeek);
    // The time of day changes neither the date nor the weekday.
    dvt::DecodeDate(serial >= 0 ? serial + 0.75 : serial - 0.75, y, m, d);
    QCOMPARE(d, day);
    QCOMPARE(dvt::DayOfWeek(serial >= 0 ? serial + 0.75 : serial - 0.75), dayOfWeek);
}

void tst_dvtDateTime::encodeInvalid_data()
{
    QTest::addColumn<bool>("isTime");
    QTest::addColumn<QList<int>>("parts"); // year, month, day or hour, min, sec, msec

    QTest::newRow("29 Feb of a common year") << false << QList<int>{2001, 2, 29};
    QTest::newRow("year 10000") << false << QList<int>{10000, 1, 1};
    QTest::newRow("month 13") << false << QList<int>{2000, 13, 1};
    QTest::newRow("month 257") << false << QList<int>{2000, 257, 1};
    QTest::newRow("day 0") << false << QList<int>{2000, 1, 0};
    QTest::newRow("hour 24") << true << QList<int>{24, 0, 0, 0};
    QTest::newRow("msec 1000") << true << QList<int>{0, 0, 0, 1000};
}

void tst_dvtDateTime::encodeInvalid()
{
    QFETCH(bool, isTime);
    QFETCH(QList<int>, parts);
    double value = -7;
    if (isTime) {
        QVERIFY(!dvt::TryEncodeTime(parts[0], parts[1], parts[2], parts[3], value));
        QVERIFY(conversionError([&] {
                    dvt::EncodeTime(parts[0], parts[1], parts[2], parts[3]);
                }).endsWith(u"is not a valid time"_s));
    } else {
        QVERIFY(!dvt::TryEncodeDate(parts[0], parts[1], parts[2], value));
        QVERIFY(conversionError([&] {
                    dvt::EncodeDate(parts[0], parts[1], parts[2]);
                }).endsWith(u"is not a valid date"_s));
    }
    QCOMPARE(value, -7.0);
}

void tst_dvtDateTime::encodeTime()
{
    double time = -7;
    QVERIFY(dvt::TryEncodeTime(23, 59, 59, 999, time));
    QCOMPARE(time, 86399999 / 86400000.0);
    QCOMPARE(dvt::EncodeTime(23, 59, 59, 999), time);
    // The time decodes back on any day, before the epoch as after it.
    for (const double dateTime : {time, 36525 + time, -10 - time}) {
        int h = 0, n = 0, s = 0, z = 0;
        dvt::DecodeTime(dateTime, h, n, s, z);
        QCOMPARE(QList<int>({h, n, s, z}), QList<int>({23, 59, 59, 999}));
    }
}

void tst_dvtDateTime::decodeRounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected"); // yyyy-mm-dd hh:nn:ss.zzz

    QTest::newRow("rounds to next day") << 0.9999999999 << u"1899-12-31 00:00:00.000"_s;
    QTest::newRow("negative time of day") << -1.25 << u"1899-12-29 06:00:00.000"_s;
    QTest::newRow("negative rounds to day before") << -1.9999999999 << u"1899-12-28 00:00:00.000"_s;
    QTest::newRow("nearest millisecond up")
        << 36525 + 1.6 / 86400000 << u"1999-12-31 00:00:00.002"_s;
}

void tst_dvtDateTime::decodeRounding()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
    dvt::DecodeDate(value, y, m, d);
    dvt::DecodeTime(value, h, n, s, z);
    QCOMPARE(QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d", y, m, d, h, n, s, z),
             expected);
    QCOMPARE(dvt::FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz"_s, value), expected);
}

void tst_dvtDateTime::decodeInvalid_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("after 9999") << 2958466.0;
    QTest::newRow("before year 1") << -693594.0;
}

void tst_dvtDateTime::decodeInvalid()
{
    QFETCH(double, value);
    int a = 0, b = 0, c = 0, d = 0;
    const QString message = conversionError([&] { dvt::DecodeDate(value, a, b, c); });
    QVERIFY2(message.endsWith(u"is not a valid date-time value"_s), qPrintable(message));
    QVERIFY(!conversionError([&] { dvt::DecodeTime(value, a, b, c, d); }).startsWith(u"no "_s));
    QVERIFY(!conversionError([&] { dvt::DayOfWeek(value); }).startsWith(u"no "_s));
    QVERIFY(!conversionError([&] { dvt::FormatDateTime(u"c"_s, value); }).startsWith(u"no "_s));
}

void tst_dvtDateTime::calendarFacts_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("leap");
    QTest::addColumn<int>("february");

    QTest::newRow("2000") << 2000 << true << 29;
    QTest::newRow("1900") << 1900 << false << 28;
    QTest::newRow("2400") << 2400 << true << 29;
}

void tst_dvtDateTime::calendarFacts()
{
    QFETCH(int, year);
    QFETCH(bool, leap);
    QFETCH(int, february);
    QCOMPARE(dvt::IsLeapYear(year), leap);
    QCOMPARE(dvt::DaysInMonth(year, 2), february);
    QCOMPARE(dvt::DaysInMonth(year, 4), 30);
    QCOMPARE(dvt::DaysInMonth(year, 13), 0);
}

void tst_dvtDateTime::clock()
{
    // Retried once in case the day changes between the readings.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QDateTime before = QDateTime::currentDateTime();
        const double now = dvt::Now();
        const double date = dvt::Date();
        const double time = dvt::Time();
        if (before.date() != QDate::currentDate())
            continue;
        const QDate today = before.date();
        QCOMPARE(date, dvt::EncodeDate(today.year(), today.month(), today.day()));
        QVERIFY(now >= date && now < date + 1);
        QVERIFY(time >= 0 && time < 1);
        const double seconds = before.time().msecsSinceStartOfDay() / 86400000.0;
        QVERIFY(std::fabs(now - date - seconds) < 5.0 / 86400);
        QVERIFY(std::fabs(time - seconds) < 5.0 / 86400);
        return;
    }
    QFAIL("the day changed twice");
}

void tst_dvtDateTime::formatDateTime_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    const auto named = [](const char *tag, const char *pattern, double value,
                          const QString &expected) {
        QTest::newRow(tag) << QString::fromUtf8(pattern) << value << expected;
    };
    const auto row = [&](const char *pattern, double value, const QString &expected) {
        named(pattern, pattern, value, expected);
    };
    // each code
    row("ddddd", Morning, u"2/3/2001"_s);
    row("dddddd", Morning, u"Saturday, February 3, 2001"_s);
    row("ddddddd", Morning, u"Saturday, February 3, 20013"_s);
    row("c", Morning, u"2/3/2001 4:05:06 AM"_s);
    named("c at midnight", "c", 36925.0, u"2/3/2001"_s);
    named("empty pattern", "", Morning, u"2/3/2001 4:05:06 AM"_s);
    named("yyyy in year 5", "yyyy", dvt::EncodeDate(5, 6, 7), u"0005"_s);
    // twelve-hour clock
    row("h:nn am/pm", Evening, u"11:59 pm"_s);
    named("h ampm at midnight", "h ampm", 36925.0, u"12 AM"_s);
    named("quoted am/pm", "hh 'am/pm'", Evening, u"23 am/pm"_s);
    // minutes after an hour code
    row("hh:mm", Morning, u"04:05"_s);
    row("hh\"h\"mm", Morning, u"04h05"_s);
    row("hh:mmm", Morning, u"04:Feb"_s);
    row("h:ss:mm", Morning, u"4:06:02"_s);
    // letter case
    row("DD/MM/YYYY", Morning, u"03/02/2001"_s);
    // literals
    row("\"day\" d", Morning, u"day 3"_s);
    row("'it''s'", Morning, u"its"_s);
    row("\"'\"", Morning, u"'"_s);
}

void tst_dvtDateTime::formatDateTime()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dvt::FormatDateTime(pattern, value), expected);
}

void tst_dvtDateTime::formatDateTimeSettings()
{
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.DateSeparator = u'.';
    fs.TimeSeparator = u'-';
    fs.ShortDateFormat = u"dd/mm/yyyy"_s;
    fs.LongTimeFormat = u"hh:nn:ss"_s;
    fs.TimeAMString = u"vorm."_s;
    fs.TimePMString = u"nachm."_s;
    fs.LongMonthNames[1] = u"Februar"_s;
    fs.ShortDayNames[6] = u"Sa"_s;

    QCOMPARE(dvt::FormatDateTime(u"dd/mm/yyyy hh:nn"_s, Morning), u"03.02.2001 04-05"_s);
    QCOMPARE(dvt::FormatDateTime(u"c"_s, Morning), u"03.02.2001 04-05-06"_s);
    QCOMPARE(dvt::FormatDateTime(u"h ampm"_s, Evening), u"11 nachm."_s);
    QCOMPARE(dvt::FormatDateTime(u"ddd d. mmmm"_s, Morning), u"Sa 3. Februar"_s);
    QCOMPARE(dvt::FormatDateTime(u"\"/\"':'"_s, Morning), u"/:"_s);
}

void tst_dvtDateTime::formatDateTimeErrors_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shortDateFormat");
    QTest::addColumn<QString>("message");

    QTest::newRow("single quote") << u"'abc"_s << u"m/d/yyyy"_s
                                  << u"Date-time format ''abc' has an unterminated quote"_s;
    QTest::newRow("double quote") << u"dd \"x"_s << u"m/d/yyyy"_s
                                  << u"Date-time format 'dd \"x' has an unterminated quote"_s;
    QTest::newRow("in the locale's format")
        << u"ddddd"_s << u"d 'x"_s << u"Date-time format 'd 'x' has an unterminated quote"_s;
    QTest::newRow("self-reference")
        << u"ddddd"_s << u"ddddd"_s
        << u"Date-time format 'ddddd' refers to the locale's formats too deeply"_s;
}

void tst_dvtDateTime::formatDateTimeErrors()
{
    QFETCH(QString, pattern);
    QFETCH(QString, shortDateFormat);
    QFETCH(QString, message);
    dvt::FormatSettings().ShortDateFormat = shortDateFormat;
    QCOMPARE(conversionError([&] { dvt::FormatDateTime(pattern, Morning); }), message);
}

void tst_dvtDateTime::parse_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shortDateFormat");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // as the kind's pattern shows it; empty: rejected

    const auto date = [](const char *name, const QString &format, const QString &separator,
                         const QString &text, const QString &expected) {
        QTest::newRow(name) << int(DateKind) << format << separator << text << expected;
    };
    const auto us = [&](const char *name, const QString &text, const QString &expected) {
        date(name, u"m/d/yyyy"_s, u"/"_s, text, expected);
    };
    const auto time = [](const char *name, const QString &text, const QString &expected) {
        QTest::newRow(name) << int(TimeKind) << u"m/d/yyyy"_s << u"/"_s << text << expected;
    };
    const auto both = [](const char *name, const QString &text, const QString &expected) {
        QTest::newRow(name) << int(DateTimeKind) << u"m/d/yyyy"_s << u"/"_s << text << expected;
    };
    const QString thisYear = QString::number(QDate::currentDate().year());

    us("month first", u"12/31/1999"_s, u"1999-12-31"_s);
    us("two numbers", u"12/31"_s, thisYear + u"-12-31"_s);
    us("impossible day", u"02/30/2001"_s, u""_s);
    us("month 13", u"13/1/2000"_s, u""_s);
    us("year 0", u"1/1/0000"_s, u""_s);
    us("wrong separator", u"12-31-1999"_s, u""_s);
    us("empty date", u""_s, u""_s);
    date("day first month first text", u"dd/mm/yyyy"_s, u"."_s, u"12.31.1999"_s, u""_s);
    date("trailing separator allowed", u"yyyy/ mm/ dd/"_s, u"."_s, u"1999. 12. 31."_s,
         u"1999-12-31"_s);
    date("quoted letters ignored", u"\"dmy\"mm/dd/yyyy"_s, u"/"_s, u"12/31/1999"_s,
         u"1999-12-31"_s);

    time("hours and minutes", u"10:30"_s, u"10:30:00.000"_s);
    time("milliseconds", u"10:30:15.123"_s, u"10:30:15.123"_s);
    time("pm", u"10:30 PM"_s, u"22:30:00.000"_s);
    time("12 am", u"12:00 AM"_s, u"00:00:00.000"_s);
    time("bare hour with marker", u"5 PM"_s, u"17:00:00.000"_s);
    time("hour 24", u"24:00"_s, u""_s);
    time("four digits of a second", u"10:30:15.1234"_s, u""_s);
    time("unknown marker", u"10:30 XM"_s, u""_s);

    both("date only", u"12/31/1999"_s, u"1999-12-31 00:00:00.000"_s);
    both("date and time", u"12/31/1999 10:30 PM"_s, u"1999-12-31 22:30:00.000"_s);
    both("marker before the time", u"12/31/1999 PM 3:00"_s, u"1999-12-31 15:00:00.000"_s);
    both("bad time", u"12/31/1999 25:00"_s, u""_s);
    both("time only", u"10:30"_s, u""_s);
}

void tst_dvtDateTime::parse()
{
    QFETCH(int, kind);
    QFETCH(QString, shortDateFormat);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    dvt::FormatSettings().ShortDateFormat = shortDateFormat;
    dvt::FormatSettings().DateSeparator = separator.at(0);

    const Parser &parser = Parsers[kind];
    double value = -7;
    const bool ok = parser.tryParse(text, value);
    QCOMPARE(ok, !expected.isEmpty());
    if (ok) {
        QCOMPARE(dvt::FormatDateTime(parser.shown, value), expected);
        QCOMPARE(parser.parse(text), value);
    } else {
        QCOMPARE(value, -7.0);
        QCOMPARE(conversionError([&] { parser.parse(text); }), parser.message.arg(text));
    }
}

void tst_dvtDateTime::twoDigitYears_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("year"); // as typed
    const int current = QDate::currentDate().year();

    for (const int window : {50, 0, 99}) {
        const QString last = QString::number((current + window) % 100).rightJustified(2, u'0');
        const QString first = QString::number((current + window + 1) % 100).rightJustified(2, u'0');
        for (const QString &yy : {u"7"_s, u"99"_s, last, first})
            QTest::addRow("window %d year %s", window, qPrintable(yy)) << window << yy;
    }
}

void tst_dvtDateTime::twoDigitYears()
{
    QFETCH(int, window);
    QFETCH(QString, year);
    dvt::FormatSettings().TwoDigitYearCenturyWindow = window;
    int y = 0, m = 0, d = 0;
    dvt::DecodeDate(dvt::StrToDate(u"3/4/"_s + year), y, m, d);
    QCOMPARE(y, yearInWindow(year.toInt(), window));
    QCOMPARE(m, 3);
    QCOMPARE(d, 4);
}

void tst_dvtDateTime::parseErrors()
{
    // The settings are read at each call: the same texts change meaning.
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    QCOMPARE(dvt::StrToDate(u"3/4/2001"_s), dvt::EncodeDate(2001, 3, 4));
    fs.ShortDateFormat = u"d/m/yyyy"_s;
    QCOMPARE(dvt::StrToDate(u"3/4/2001"_s), dvt::EncodeDate(2001, 4, 3));
    fs.DateSeparator = u'.';
    QCOMPARE(conversionError([] { dvt::StrToDate(u"3/4/2001"_s); }),
             u"'3/4/2001' is not a valid date"_s);

    fs.TimeSeparator = u'.';
    fs.DecimalSeparator = u',';
    fs.TimeAMString = u"vorm."_s;
    fs.TimePMString = u"nachm."_s;
    QCOMPARE(dvt::StrToTime(u"10.30 nachm."_s), dvt::EncodeTime(22, 30, 0));
    QCOMPARE(dvt::StrToTime(u"10.30 PM"_s), dvt::EncodeTime(22, 30, 0));
    QCOMPARE(dvt::StrToTime(u"10.30.15,25"_s), dvt::EncodeTime(10, 30, 15, 250));
    QCOMPARE(dvt::StrToTime(u"10.30.15.25"_s), dvt::EncodeTime(10, 30, 15, 250));
    QCOMPARE(conversionError([] { dvt::StrToTime(u"10:30"_s); }), u"'10:30' is not a valid time"_s);
}

void tst_dvtDateTime::roundTrip_data()
{
    QTest::addColumn<QString>("locale"); // empty: the formats below on US settings
    QTest::addColumn<QString>("dateFormat");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("timeFormat");

    QTest::newRow("US") << u""_s << u"m/d/yyyy"_s << u"/"_s << u"h:nn:ss ampm"_s;
    QTest::newRow("year first") << u""_s << u"yyyy/mm/dd"_s << u"-"_s << u"hh:nn:ss.zzz"_s;
    QTest::newRow("two-digit year") << u""_s << u"dd/mm/yy"_s << u","_s << u"AM/PM h:nn:ss"_s;
    for (const char *name : {"en_US", "de_DE", "ko_KR"})
        QTest::newRow(name) << QString::fromLatin1(name) << QString() << QString() << QString();
}

// What FormatDateTime writes in the short date and a time format, the readers
// read back; in a locale's own formats it is also what Qt writes for the locale.
void tst_dvtDateTime::roundTrip()
{
    QFETCH(QString, locale);
    QFETCH(QString, dateFormat);
    QFETCH(QString, separator);
    QFETCH(QString, timeFormat);
    const QLocale qt(locale);
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    if (locale.isEmpty()) {
        fs.ShortDateFormat = dateFormat;
        fs.DateSeparator = separator.at(0);
    } else {
        fs = dvt::TFormatSettings::FromLocale(qt);
        dateFormat = fs.ShortDateFormat;
        timeFormat = fs.ShortTimeFormat;
    }
    const bool twoDigits = !dateFormat.contains(u"yyyy"_s);
    const int current = QDate::currentDate().year();
    const double first = twoDigits ? dvt::EncodeDate(current - 49, 1, 1) : dvt::EncodeDate(1, 1, 1);
    const double last =
        twoDigits ? dvt::EncodeDate(current + 50, 12, 31) : dvt::EncodeDate(9999, 12, 31);
    for (double date = first; date <= last; date += twoDigits ? 5 : 331) {
        const QString text = dvt::FormatDateTime(dateFormat, date);
        double back = 0;
        QVERIFY2(dvt::TryStrToDate(text, back), qPrintable(text));
        QCOMPARE(back, date);
        if (!locale.isEmpty()) {
            const QDate qdate = QDate(1899, 12, 30).addDays(qint64(date));
            QCOMPARE(text, qt.toString(qdate, QLocale::ShortFormat));
        }
    }
    const bool withMsec = timeFormat.contains(u'z');
    const int step = withMsec ? 9973 : timeFormat.contains(u's') ? 59'000 : 60'000;
    for (int ms = 0; ms < 86400000; ms += step) {
        const double time = ms / 86400000.0;
        const QString text = dvt::FormatDateTime(timeFormat, time);
        double back = 0;
        QVERIFY2(dvt::TryStrToTime(text, back), qPrintable(text));
        QCOMPARE(dvt::FormatDateTime(u"hh:nn:ss.zzz"_s, back),
                 dvt::FormatDateTime(withMsec ? u"hh:nn:ss.zzz"_s : u"hh:nn:ss.000"_s, time));
    }
}

QTEST_GUILESS_MAIN(tst_dvtDateTime)
#include "tst_dvtDateTime.moc"
