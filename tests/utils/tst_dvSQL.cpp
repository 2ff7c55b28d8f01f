#include <QTest>

#include <limits>

#include "dvSQL.h"
#include "dvtDateTime.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
const QString BlankTime = u"\"        \""_s;
} // namespace

class tst_dvSQL : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_settings = dvt::FormatSettings(); }
    void cleanup() { dvt::FormatSettings() = m_settings; }

    void sqlString_data();
    void sqlString();
    void sqlBooleanText_data();
    void sqlBooleanText();
    void sqlBooleanOverloads();
    void sqlFloat_data();
    void sqlFloat();
    void sqlFloatDecimalComma();
    void sqlDateText_data();
    void sqlDateText();
    void sqlDateOtherLocale();
    void sqlDateValue_data();
    void sqlDateValue();
    void sqlTimeText_data();
    void sqlTimeText();
    void sqlTimeOtherSeparator();
    void sqlTimeValue_data();
    void sqlTimeValue();
    void sqlInteger_data();
    void sqlInteger();

private:
    dvt::TFormatSettings m_settings;
};

void tst_dvSQL::sqlString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << u"\"\""_s;
    QTest::newRow("plain") << u"abc"_s << u"\"abc\""_s;
    QTest::newRow("embedded quotes removed") << u"say \"hi\""_s << u"\"say hi\""_s;
    QTest::newRow("only quotes") << u"\"\"\""_s << u"\"\""_s;
    QTest::newRow("single quotes kept") << u"it's"_s << u"\"it's\""_s;
    QTest::newRow("blanks kept") << u"  x  "_s << u"\"  x  \""_s;
    QTest::newRow("control characters kept") << u"a\tb\r\n"_s << u"\"a\tb\r\n\""_s;
}

void tst_dvSQL::sqlString()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLString(text), expected);
}

void tst_dvSQL::sqlBooleanText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString no = u"\"N\""_s, yes = u"\"Y\""_s;
    QTest::newRow("no") << u"no"_s << no;
    QTest::newRow("No") << u"No"_s << no;
    QTest::newRow("nO") << u"nO"_s << no;
    QTest::newRow("NO") << u"NO"_s << no;
    QTest::newRow("n") << u"n"_s << no;
    QTest::newRow("N") << u"N"_s << no;
    QTest::newRow("yes") << u"yes"_s << yes;
    QTest::newRow("empty") << QString() << yes;
    QTest::newRow("maybe") << u"maybe"_s << yes;
    QTest::newRow("leading blank") << u" no"_s << yes;
    QTest::newRow("trailing blank") << u"n "_s << yes;
    QTest::newRow("non") << u"non"_s << yes;
    QTest::newRow("false") << u"false"_s << yes;
    QTest::newRow("accented n") << u"ñ"_s << yes;
}

void tst_dvSQL::sqlBooleanText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLBoolean(text), expected);
}

void tst_dvSQL::sqlBooleanOverloads()
{
    QCOMPARE(dvSQLBoolean(true), u"\"Y\""_s);
    QCOMPARE(dvSQLBoolean(false), u"\"N\""_s);
    // String literals must be read as text, not converted to a true pointer.
    QCOMPARE(dvSQLBoolean("no"), u"\"N\""_s);
    QCOMPARE(dvSQLBoolean(u"N"), u"\"N\""_s);
    QCOMPARE(dvSQLBoolean("yes"), u"\"Y\""_s);
}

void tst_dvSQL::sqlFloat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fraction") << 1234.5 << u"1234.5"_s;
    QTest::newRow("whole") << 2.0 << u"2"_s;
    QTest::newRow("negative") << -0.25 << u"-0.25"_s;
    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("fifteen digits") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("no grouping") << 1234567.0 << u"1234567"_s;
    QTest::newRow("small") << 0.000001 << u"1E-6"_s;
    QTest::newRow("large") << 1.5e20 << u"1.5E20"_s;
    QTest::newRow("nan") << NaN << u"NAN"_s;
    QTest::newRow("infinity") << -Inf << u"-INF"_s;
}

void tst_dvSQL::sqlFloat()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLFloat(value), expected);
}

void tst_dvSQL::sqlFloatDecimalComma()
{
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    QCOMPARE(dvSQLFloat(1234.5), u"1234,5"_s);
    QCOMPARE(dvSQLFloat(3.0), u"3"_s);
}

void tst_dvSQL::sqlDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << u"null"_s;
    QTest::newRow("garbage") << u"tomorrow"_s << u"null"_s;
    QTest::newRow("full") << u"12/31/1999"_s << u"\"12/31/1999\""_s;
    QTest::newRow("zero padded") << u"1/2/2000"_s << u"\"01/02/2000\""_s;
    QTest::newRow("no such day") << u"2/30/2000"_s << u"null"_s;
    QTest::newRow("leap day") << u"2/29/2000"_s << u"\"02/29/2000\""_s;
    QTest::newRow("month 13") << u"13/1/2000"_s << u"null"_s;
    QTest::newRow("only separators") << u"//"_s << u"null"_s;
}

void tst_dvSQL::sqlDateText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLDate(text), expected);
}

void tst_dvSQL::sqlDateOtherLocale()
{
    // Day first and a full stop: the text is read that way, but the literal is
    // still month, day, year, now with full stops.
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = u"d/m/yyyy"_s;
    QCOMPARE(dvSQLDate(u"31.12.1999"_s), u"\"12.31.1999\""_s);
    QCOMPARE(dvSQLDate(u"12/31/1999"_s), u"null"_s);
    QCOMPARE(dvSQLDate(dvt::EncodeDate(2004, 7, 5)), u"\"07.05.2004\""_s);
}

void tst_dvSQL::sqlDateValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("epoch") << 0.0 << u"\"12/30/1899\""_s;
    QTest::newRow("time ignored") << dvt::EncodeDate(1999, 12, 31) + 0.99 << u"\"12/31/1999\""_s;
    QTest::newRow("before the epoch") << -1.25 << u"\"12/29/1899\""_s;
    QTest::newRow("first day") << dvt::EncodeDate(1, 1, 1) << u"\"01/01/0001\""_s;
    QTest::newRow("beyond year 9999") << 1e10 << u"null"_s;
    QTest::newRow("nan") << NaN << u"null"_s;
    QTest::newRow("infinity") << Inf << u"null"_s;
}

void tst_dvSQL::sqlDateValue()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLDate(value), expected);
}

void tst_dvSQL::sqlTimeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << BlankTime;
    QTest::newRow("garbage") << u"noon"_s << BlankTime;
    QTest::newRow("hours and minutes") << u"13:05"_s << u"\"13:05:00\""_s;
    QTest::newRow("leading zeros") << u"1:2:3"_s << u"\"01:02:03\""_s;
    QTest::newRow("afternoon") << u"1:05:09 PM"_s << u"\"13:05:09\""_s;
    QTest::newRow("midnight") << u"12:00 AM"_s << u"\"00:00:00\""_s;
    QTest::newRow("hour 25") << u"25:00"_s << BlankTime;
    QTest::newRow("minute 60") << u"10:60"_s << BlankTime;
}

void tst_dvSQL::sqlTimeText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLTime(text), expected);
}

void tst_dvSQL::sqlTimeOtherSeparator()
{
    dvt::FormatSettings().TimeSeparator = u'.';
    QCOMPARE(dvSQLTime(u"13.05"_s), u"\"13.05.00\""_s);
    QCOMPARE(dvSQLTime(0.75), u"\"18.00.00\""_s);
}

void tst_dvSQL::sqlTimeValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("midnight") << 0.0 << u"\"00:00:00\""_s;
    QTest::newRow("noon of a date") << dvt::EncodeDate(2000, 1, 1) + 0.5 << u"\"12:00:00\""_s;
    QTest::newRow("seconds not rounded up")
        << dvt::EncodeTime(23, 59, 59, 999) << u"\"23:59:59\""_s;
    QTest::newRow("before the epoch") << -1.25 << u"\"06:00:00\""_s;
    QTest::newRow("beyond year 9999") << 1e10 << BlankTime;
    QTest::newRow("nan") << NaN << BlankTime;
    QTest::newRow("infinity") << -Inf << BlankTime;
}

void tst_dvSQL::sqlTimeValue()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLTime(value), expected);
}

void tst_dvSQL::sqlInteger_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("smallest") << std::numeric_limits<int>::min() << u"-2147483648"_s;
    QTest::newRow("largest") << std::numeric_limits<int>::max() << u"2147483647"_s;
    QTest::newRow("zero") << 0 << u"0"_s;
    QTest::newRow("no grouping") << 1234567 << u"1234567"_s;
}

void tst_dvSQL::sqlInteger()
{
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLInteger(value), expected);
}

QTEST_GUILESS_MAIN(tst_dvSQL)
#include "tst_dvSQL.moc"
