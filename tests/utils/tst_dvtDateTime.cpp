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

} // namespace

class tst_dvtDateTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void encodeDate_data();
    void encodeDate();
    void encodeDateInvalid_data();
    void encodeDateInvalid();
    void encodeTime_data();
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

    void strToDate_data();
    void strToDate();
    void twoDigitYears_data();
    void twoDigitYears();
    void strToTime_data();
    void strToTime();
    void strToDateTime_data();
    void strToDateTime();
    void parseErrors();

    void roundTrip_data();
    void roundTrip();
    void localeRoundTrip_data();
    void localeRoundTrip();

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
    QTest::newRow("1900-01-01") << 1900 << 1 << 1 << 2.0 << 2;
    QTest::newRow("1999-12-31") << 1999 << 12 << 31 << 36525.0 << 6;
    QTest::newRow("2000-01-01") << 2000 << 1 << 1 << 36526.0 << 7;
    QTest::newRow("leap day 2000") << 2000 << 2 << 29 << 36585.0 << 3;
    QTest::newRow("2026-12-06") << 2026 << 12 << 6 << 46362.0 << 1;
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

void tst_dvtDateTime::encodeDateInvalid_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");

    QTest::newRow("29 Feb of a common year") << 2001 << 2 << 29;
    QTest::newRow("29 Feb 1900") << 1900 << 2 << 29;
    QTest::newRow("30 Feb") << 2000 << 2 << 30;
    QTest::newRow("31 Apr") << 2000 << 4 << 31;
    QTest::newRow("year 0") << 0 << 1 << 1;
    QTest::newRow("year 10000") << 10000 << 1 << 1;
    QTest::newRow("negative year") << -5 << 1 << 1;
    QTest::newRow("month 0") << 2000 << 0 << 1;
    QTest::newRow("month 13") << 2000 << 13 << 1;
    QTest::newRow("month 257") << 2000 << 257 << 1;
    QTest::newRow("day 0") << 2000 << 1 << 0;
    QTest::newRow("day 32") << 2000 << 1 << 32;
    QTest::newRow("day 257") << 2000 << 1 << 257;
}

void tst_dvtDateTime::encodeDateInvalid()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    double date = -7;
    QVERIFY(!dvt::TryEncodeDate(year, month, day, date));
    QCOMPARE(date, -7.0);
    QVERIFY(conversionError([&] {
                dvt::EncodeDate(year, month, day);
            }).endsWith(u"is not a valid date"_s));
}

void tst_dvtDateTime::encodeTime_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("sec");
    QTest::addColumn<int>("msec");
    QTest::addColumn<bool>("valid");

    QTest::newRow("midnight") << 0 << 0 << 0 << 0 << true;
    QTest::newRow("noon") << 12 << 0 << 0 << 0 << true;
    QTest::newRow("last millisecond") << 23 << 59 << 59 << 999 << true;
    QTest::newRow("morning") << 4 << 5 << 6 << 7 << true;
    QTest::newRow("hour 24") << 24 << 0 << 0 << 0 << false;
    QTest::newRow("minute 60") << 23 << 60 << 0 << 0 << false;
    QTest::newRow("second 60") << 23 << 59 << 60 << 0 << false;
    QTest::newRow("msec 1000") << 0 << 0 << 0 << 1000 << false;
    QTest::newRow("negative hour") << -1 << 0 << 0 << 0 << false;
    QTest::newRow("negative msec") << 0 << 0 << 0 << -1 << false;
}

void tst_dvtDateTime::encodeTime()
{
    QFETCH(int, hour);
    QFETCH(int, min);
    QFETCH(int, sec);
    QFETCH(int, msec);
    QFETCH(bool, valid);

    double time = -7;
    QCOMPARE(dvt::TryEncodeTime(hour, min, sec, msec, time), valid);
    if (!valid) {
        QCOMPARE(time, -7.0);
        QVERIFY(conversionError([&] {
                    dvt::EncodeTime(hour, min, sec, msec);
                }).endsWith(u"is not a valid time"_s));
        return;
    }
    QCOMPARE(time, (((hour * 60 + min) * 60 + sec) * 1000 + msec) / 86400000.0);
    QCOMPARE(dvt::EncodeTime(hour, min, sec, msec), time);
    // The time decodes back on any day, before the epoch as after it.
    for (const double dateTime : {time, 36525 + time, -10 - time}) {
        int h = 0, n = 0, s = 0, z = 0;
        dvt::DecodeTime(dateTime, h, n, s, z);
        QCOMPARE(QList<int>({h, n, s, z}), QList<int>({hour, min, sec, msec}));
    }
}

void tst_dvtDateTime::decodeRounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected"); // yyyy-mm-dd hh:nn:ss.zzz

    QTest::newRow("noon") << 0.5 << u"1899-12-30 12:00:00.000"_s;
    QTest::newRow("rounds to next day") << 0.9999999999 << u"1899-12-31 00:00:00.000"_s;
    QTest::newRow("rounds down") << 1.0000000001 << u"1899-12-31 00:00:00.000"_s;
    QTest::newRow("negative time of day") << -1.25 << u"1899-12-29 06:00:00.000"_s;
    QTest::newRow("negative half day") << -0.5 << u"1899-12-30 12:00:00.000"_s;
    QTest::newRow("negative rounds to day before") << -1.9999999999 << u"1899-12-28 00:00:00.000"_s;
    QTest::newRow("nearest millisecond up")
        << 36525 + 1.6 / 86400000 << u"1999-12-31 00:00:00.002"_s;
    QTest::newRow("nearest millisecond down")
        << 36525 + 1.4 / 86400000 << u"1999-12-31 00:00:00.001"_s;
    QTest::newRow("evening") << Evening << u"1999-12-31 23:59:58.900"_s;
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
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("after 9999") << 2958466.0;
    QTest::newRow("before year 1") << -693594.0;
    QTest::newRow("huge") << 1e300;
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
    QTest::newRow("2024") << 2024 << true << 29;
    QTest::newRow("2023") << 2023 << false << 28;
    QTest::newRow("2100") << 2100 << false << 28;
    QTest::newRow("2400") << 2400 << true << 29;
}

void tst_dvtDateTime::calendarFacts()
{
    QFETCH(int, year);
    QFETCH(bool, leap);
    QFETCH(int, february);
    QCOMPARE(dvt::IsLeapYear(year), leap);
    QCOMPARE(dvt::DaysInMonth(year, 2), february);
    QCOMPARE(dvt::DaysInMonth(year, 1), 31);
    QCOMPARE(dvt::DaysInMonth(year, 4), 30);
    QCOMPARE(dvt::DaysInMonth(year, 12), 31);
    QCOMPARE(dvt::DaysInMonth(year, 0), 0);
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
    row("d", Morning, u"3"_s);
    row("dd", Morning, u"03"_s);
    row("ddd", Morning, u"Sat"_s);
    row("dddd", Morning, u"Saturday"_s);
    row("ddddd", Morning, u"2/3/2001"_s);
    row("dddddd", Morning, u"Saturday, February 3, 2001"_s);
    row("ddddddd", Morning, u"Saturday, February 3, 20013"_s);
    row("m", Morning, u"2"_s);
    row("mm", Morning, u"02"_s);
    row("mmm", Morning, u"Feb"_s);
    row("mmmm", Morning, u"February"_s);
    row("y", Morning, u"01"_s);
    row("yy", Morning, u"01"_s);
    row("yyy", Morning, u"2001"_s);
    row("yyyy", Morning, u"2001"_s);
    row("h", Morning, u"4"_s);
    row("hh", Morning, u"04"_s);
    row("n", Morning, u"5"_s);
    row("nn", Morning, u"05"_s);
    row("s", Morning, u"6"_s);
    row("ss", Morning, u"06"_s);
    row("z", Morning, u"7"_s);
    row("zzz", Morning, u"007"_s);
    row("t", Morning, u"4:05 AM"_s);
    row("tt", Morning, u"4:05:06 AM"_s);
    row("c", Morning, u"2/3/2001 4:05:06 AM"_s);
    named("c at midnight", "c", 36925.0, u"2/3/2001"_s);
    named("empty pattern", "", Morning, u"2/3/2001 4:05:06 AM"_s);
    named("yyyy in year 5", "yyyy", dvt::EncodeDate(5, 6, 7), u"0005"_s);
    // twelve-hour clock
    row("am/pm", Morning, u"am"_s);
    row("AM/PM", Evening, u"PM"_s);
    row("Am/pM", Evening, u"pM"_s);
    row("a/p", Morning, u"a"_s);
    row("A/P", Evening, u"P"_s);
    row("ampm", Evening, u"PM"_s);
    row("h:nn am/pm", Evening, u"11:59 pm"_s);
    row("hh AMPM", Morning, u"04 AM"_s);
    named("h ampm at midnight", "h ampm", 36925.0, u"12 AM"_s);
    named("h ampm at noon", "h ampm", 36925.5, u"12 PM"_s);
    named("hh without marker", "hh", Evening, u"23"_s);
    named("quoted am/pm", "hh 'am/pm'", Evening, u"23 am/pm"_s);
    named("a alone", "a", Morning, u"a"_s);
    row("hh:nn:ss.zzz", Evening, u"23:59:58.900"_s);
    // minutes after an hour code
    row("hh:mm", Morning, u"04:05"_s);
    row("h:m", Morning, u"4:5"_s);
    row("hh mm", Morning, u"04 05"_s);
    row("hh\"h\"mm", Morning, u"04h05"_s);
    row("hh:mmm", Morning, u"04:Feb"_s);
    row("mm/dd hh:mm", Morning, u"02/03 04:05"_s);
    row("h:ss:mm", Morning, u"4:06:02"_s);
    row("mm hh", Morning, u"02 04"_s);
    // letter case
    row("DD/MM/YYYY", Morning, u"03/02/2001"_s);
    row("HH:NN:SS", Morning, u"04:05:06"_s);
    row("Dddd", Morning, u"Saturday"_s);
    row("HH:MM", Morning, u"04:05"_s);
    // literals
    row("\"day\" d", Morning, u"day 3"_s);
    row("'at' hh", Morning, u"at 04"_s);
    row("'it''s'", Morning, u"its"_s);
    row("\"'\"", Morning, u"'"_s);
    row("yyyy-mm-dd", Morning, u"2001-02-03"_s);
    row("dd.mm.yyyy", Morning, u"03.02.2001"_s);
    row("x!", Morning, u"x!"_s);
    row("ÄÖ", Morning, u"ÄÖ"_s);
    // before the epoch
    named("before the epoch", "yyyy-mm-dd hh:nn", -1.25, u"1899-12-29 06:00"_s);
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

void tst_dvtDateTime::strToDate_data()
{
    QTest::addColumn<QString>("shortDateFormat");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // yyyy-mm-dd; empty: no date; "this year" fills in

    const auto us = [](const char *name, const QString &text, const QString &expected) {
        QTest::newRow(name) << u"m/d/yyyy"_s << u"/"_s << text << expected;
    };
    us("month first", u"12/31/1999"_s, u"1999-12-31"_s);
    us("one digit", u"1/2/2003"_s, u"2003-01-02"_s);
    us("leading zeros", u"01/02/2003"_s, u"2003-01-02"_s);
    us("blanks around", u"  12 / 31 / 1999  "_s, u"1999-12-31"_s);
    us("two numbers", u"12/31"_s, u"this year-12-31"_s);
    us("leap day", u"02/29/2000"_s, u"2000-02-29"_s);
    us("four-digit small year", u"1/1/0099"_s, u"0099-01-01"_s);
    us("year 1", u"1/1/0001"_s, u"0001-01-01"_s);
    us("impossible day", u"02/30/2001"_s, u""_s);
    us("no leap day", u"2/29/2001"_s, u""_s);
    us("month 13", u"13/1/2000"_s, u""_s);
    us("month 0", u"0/1/2000"_s, u""_s);
    us("year 0", u"1/1/0000"_s, u""_s);
    us("empty", u""_s, u""_s);
    us("blank", u"   "_s, u""_s);
    us("letters", u"abc"_s, u""_s);
    us("one number", u"12"_s, u""_s);
    us("four numbers", u"12/31/1999/5"_s, u""_s);
    us("wrong separator", u"12-31-1999"_s, u""_s);
    us("trailing garbage", u"12/31/1999x"_s, u""_s);
    us("trailing separator", u"12/31/1999/"_s, u""_s);
    us("empty part", u"12//31"_s, u""_s);
    us("leading separator", u"/1/2"_s, u""_s);
    us("five-digit year", u"1/2/12345"_s, u""_s);
    us("with a time", u"12/31/1999 10:00"_s, u""_s);
    us("sign", u"-1/2/2000"_s, u""_s);
    us("blank inside a number", u"1 2/3/2000"_s, u""_s);

    const auto other = [](const char *name, const QString &format, const QString &separator,
                          const QString &text, const QString &expected) {
        QTest::newRow(name) << format << separator << text << expected;
    };
    other("day first", u"dd/mm/yyyy"_s, u"."_s, u"31.12.1999"_s, u"1999-12-31"_s);
    other("day first blanks", u"dd/mm/yyyy"_s, u"."_s, u"31 . 12 . 1999"_s, u"1999-12-31"_s);
    other("day first two numbers", u"dd/mm/yyyy"_s, u"."_s, u"31.12"_s, u"this year-12-31"_s);
    other("day first month first text", u"dd/mm/yyyy"_s, u"."_s, u"12.31.1999"_s, u""_s);
    other("day first slash", u"dd/mm/yyyy"_s, u"."_s, u"31/12/1999"_s, u""_s);
    other("comma separator", u"d/m/yyyy"_s, u","_s, u"3,2,2001"_s, u"2001-02-03"_s);
    other("year first", u"yyyy/mm/dd"_s, u"-"_s, u"1999-12-31"_s, u"1999-12-31"_s);
    other("year first two numbers", u"yyyy/mm/dd"_s, u"-"_s, u"12-31"_s, u"this year-12-31"_s);
    other("trailing separator allowed", u"yyyy/ mm/ dd/"_s, u"."_s, u"1999. 12. 31."_s,
          u"1999-12-31"_s);
    other("trailing separator optional", u"yyyy/ mm/ dd/"_s, u"."_s, u"1999.12.31"_s,
          u"1999-12-31"_s);
    other("blank separator", u"d/m/yyyy"_s, u" "_s, u"3 2  2001"_s, u"2001-02-03"_s);
    other("quoted letters ignored", u"\"dmy\"mm/dd/yyyy"_s, u"/"_s, u"12/31/1999"_s,
          u"1999-12-31"_s);
    other("names in the format", u"ddd d/mm/yyyy"_s, u"/"_s, u"3/2/2001"_s, u"2001-02-03"_s);
}

void tst_dvtDateTime::strToDate()
{
    QFETCH(QString, shortDateFormat);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    dvt::FormatSettings().ShortDateFormat = shortDateFormat;
    dvt::FormatSettings().DateSeparator = separator.at(0);
    expected.replace(u"this year"_s, QString::number(QDate::currentDate().year()));

    double date = -7;
    const bool ok = dvt::TryStrToDate(text, date);
    QCOMPARE(ok, !expected.isEmpty());
    if (ok) {
        QCOMPARE(dvt::FormatDateTime(u"yyyy-mm-dd"_s, date), expected);
        QCOMPARE(dvt::StrToDate(text), date);
        QCOMPARE(date, std::floor(date));
    } else {
        QCOMPARE(date, -7.0);
        QCOMPARE(conversionError([&] { dvt::StrToDate(text); }),
                 u"'%1' is not a valid date"_s.arg(text));
    }
}

void tst_dvtDateTime::twoDigitYears_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("year"); // as typed
    const int current = QDate::currentDate().year();

    for (const int window : {50, 0, 20, 99}) {
        const QString last = QString::number((current + window) % 100).rightJustified(2, u'0');
        const QString first = QString::number((current + window + 1) % 100).rightJustified(2, u'0');
        for (const QString &yy : {u"0"_s, u"00"_s, u"7"_s, u"30"_s, u"99"_s, last, first})
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

void tst_dvtDateTime::strToTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // hh:nn:ss.zzz, or empty: no time

    const auto row = [](const char *name, const QString &text, const QString &expected) {
        QTest::newRow(name) << text << expected;
    };
    row("hours and minutes", u"10:30"_s, u"10:30:00.000"_s);
    row("seconds", u"10:30:15"_s, u"10:30:15.000"_s);
    row("milliseconds", u"10:30:15.123"_s, u"10:30:15.123"_s);
    row("tenths", u"10:30:15.5"_s, u"10:30:15.500"_s);
    row("hundredths", u"10:30:15.05"_s, u"10:30:15.050"_s);
    row("last second", u"23:59:59"_s, u"23:59:59.000"_s);
    row("midnight", u"0:00"_s, u"00:00:00.000"_s);
    row("one digit each", u"1:2:3"_s, u"01:02:03.000"_s);
    row("blanks around", u"  10:30  "_s, u"10:30:00.000"_s);
    row("pm", u"10:30 PM"_s, u"22:30:00.000"_s);
    row("pm without blank", u"10:30pm"_s, u"22:30:00.000"_s);
    row("mixed case", u"10:30 Pm"_s, u"22:30:00.000"_s);
    row("am", u"10:30 am"_s, u"10:30:00.000"_s);
    row("12 am", u"12:00 AM"_s, u"00:00:00.000"_s);
    row("12 pm", u"12:00 PM"_s, u"12:00:00.000"_s);
    row("12 am with seconds", u"12:15:30 am"_s, u"00:15:30.000"_s);
    row("bare hour with marker", u"5 PM"_s, u"17:00:00.000"_s);
    row("marker first", u"PM 3:15"_s, u"15:15:00.000"_s);
    row("marker first without blank", u"am3:15"_s, u"03:15:00.000"_s);
    row("hour 24", u"24:00"_s, u""_s);
    row("minute 60", u"10:60"_s, u""_s);
    row("second 60", u"10:30:60"_s, u""_s);
    row("hour 0 with marker", u"0:30 AM"_s, u""_s);
    row("hour 13 with marker", u"13:00 PM"_s, u""_s);
    row("bare hour", u"5"_s, u""_s);
    row("four digits of a second", u"10:30:15.1234"_s, u""_s);
    row("empty fraction", u"10:30:15."_s, u""_s);
    row("fraction without seconds", u"10:30.5"_s, u""_s);
    row("empty", u""_s, u""_s);
    row("letters", u"abc"_s, u""_s);
    row("unknown marker", u"10:30 XM"_s, u""_s);
    row("marker with more", u"10:30 AMX"_s, u""_s);
    row("A alone", u"10:30 A"_s, u""_s);
    row("two markers", u"3:15 PM PM"_s, u""_s);
    row("markers both ends", u"AM 3:15 PM"_s, u""_s);
    row("letter in minutes", u"10:3a"_s, u""_s);
    row("double separator", u"10::30"_s, u""_s);
    row("no hour", u":30"_s, u""_s);
    row("trailing separator", u"10:30:"_s, u""_s);
    row("three-digit hour", u"100:00"_s, u""_s);
    row("three-digit minute", u"10:030"_s, u""_s);
    row("four parts", u"1:2:3:4"_s, u""_s);
    row("other separator", u"10.30"_s, u""_s);
    row("negative", u"-1:30"_s, u""_s);
    row("with a date", u"12/31/1999 10:30"_s, u""_s);
}

void tst_dvtDateTime::strToTime()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    double time = -7;
    const bool ok = dvt::TryStrToTime(text, time);
    QCOMPARE(ok, !expected.isEmpty());
    if (ok) {
        QVERIFY(time >= 0 && time < 1);
        QCOMPARE(dvt::FormatDateTime(u"hh:nn:ss.zzz"_s, time), expected);
        QCOMPARE(dvt::StrToTime(text), time);
    } else {
        QCOMPARE(time, -7.0);
        QCOMPARE(conversionError([&] { dvt::StrToTime(text); }),
                 u"'%1' is not a valid time"_s.arg(text));
    }
}

void tst_dvtDateTime::strToDateTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // yyyy-mm-dd hh:nn:ss, or empty: no date and time

    QTest::newRow("date only") << u"12/31/1999"_s << u"1999-12-31 00:00:00"_s;
    QTest::newRow("date and time") << u"12/31/1999 10:30 PM"_s << u"1999-12-31 22:30:00"_s;
    QTest::newRow("seconds") << u" 12/31/1999   23:59:59 "_s << u"1999-12-31 23:59:59"_s;
    QTest::newRow("blanks in the date") << u"12 / 31 / 1999 10:30"_s << u"1999-12-31 10:30:00"_s;
    QTest::newRow("marker before the time") << u"12/31/1999 PM 3:00"_s << u"1999-12-31 15:00:00"_s;
    QTest::newRow("before the epoch") << u"12/29/1899 6:00"_s << u"1899-12-29 06:00:00"_s;
    QTest::newRow("bad time") << u"12/31/1999 25:00"_s << u""_s;
    QTest::newRow("time only") << u"10:30"_s << u""_s;
    QTest::newRow("no blank") << u"12/31/199910:30"_s << u""_s;
    QTest::newRow("empty") << u""_s << u""_s;
    QTest::newRow("garbage after") << u"12/31/1999 10:30 x"_s << u""_s;
}

void tst_dvtDateTime::strToDateTime()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    double value = -7;
    const bool ok = dvt::TryStrToDateTime(text, value);
    QCOMPARE(ok, !expected.isEmpty());
    if (ok) {
        QCOMPARE(dvt::FormatDateTime(u"yyyy-mm-dd hh:nn:ss"_s, value), expected);
        QCOMPARE(dvt::StrToDateTime(text), value);
    } else {
        QCOMPARE(value, -7.0);
        QCOMPARE(conversionError([&] { dvt::StrToDateTime(text); }),
                 u"'%1' is not a valid date and time"_s.arg(text));
    }
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
    QTest::addColumn<QString>("dateFormat");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("timeFormat");

    QTest::newRow("US") << u"m/d/yyyy"_s << u"/"_s << u"h:nn:ss ampm"_s;
    QTest::newRow("day first") << u"dd/mm/yyyy"_s << u"."_s << u"hh:nn:ss"_s;
    QTest::newRow("year first") << u"yyyy/mm/dd"_s << u"-"_s << u"hh:nn:ss.zzz"_s;
    QTest::newRow("two-digit year") << u"dd/mm/yy"_s << u","_s << u"AM/PM h:nn:ss"_s;
}

void tst_dvtDateTime::roundTrip()
{
    QFETCH(QString, dateFormat);
    QFETCH(QString, separator);
    QFETCH(QString, timeFormat);
    dvt::FormatSettings().ShortDateFormat = dateFormat;
    dvt::FormatSettings().DateSeparator = separator.at(0);
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
    }
    const bool withMsec = timeFormat.contains(u'z');
    for (int ms = 0; ms < 86400000; ms += withMsec ? 9973 : 59'000) {
        const double time = ms / 86400000.0;
        const QString text = dvt::FormatDateTime(timeFormat, time);
        double back = 0;
        QVERIFY2(dvt::TryStrToTime(text, back), qPrintable(text));
        QCOMPARE(dvt::FormatDateTime(u"hh:nn:ss.zzz"_s, back),
                 dvt::FormatDateTime(withMsec ? u"hh:nn:ss.zzz"_s : u"hh:nn:ss.000"_s, time));
    }
}

void tst_dvtDateTime::localeRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *name : {"en_US", "en_GB", "de_DE", "fr_FR", "fi_FI", "ja_JP", "ko_KR", "hu_HU",
                             "zh_CN", "nl_NL", "pt_BR", "sv_SE", "ar_DZ"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The short date and time that FormatDateTime writes in a locale's formats are what
// StrToDate and StrToTime read back in that locale.
void tst_dvtDateTime::localeRoundTrip()
{
    QFETCH(QString, locale);
    dvt::FormatSettings() = dvt::TFormatSettings::FromLocale(QLocale(locale));
    const dvt::TFormatSettings &fs = dvt::FormatSettings();
    const int current = QDate::currentDate().year();
    for (const double date : {dvt::EncodeDate(current - 40, 1, 2), dvt::EncodeDate(current, 12, 31),
                              dvt::EncodeDate(current + 40, 11, 13)}) {
        const QString text = dvt::FormatDateTime(fs.ShortDateFormat, date);
        QCOMPARE(dvt::StrToDate(text), date);
        const QDate qdate = QDate(1899, 12, 30).addDays(qint64(date));
        QCOMPARE(text, QLocale(locale).toString(qdate, QLocale::ShortFormat));
    }
    for (const double time :
         {dvt::EncodeTime(0, 5, 0), dvt::EncodeTime(12, 0, 0), dvt::EncodeTime(23, 59, 0)}) {
        const QString text = dvt::FormatDateTime(fs.ShortTimeFormat, time);
        QCOMPARE(dvt::StrToTime(text), time);
    }
}

QTEST_GUILESS_MAIN(tst_dvtDateTime)
#include "tst_dvtDateTime.moc"
