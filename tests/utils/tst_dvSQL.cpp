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
    void sqlDate_data();
    void sqlDate();
    void sqlTime_data();
    void sqlTime();
    void sqlInteger_data();
    void sqlInteger();
    void otherSettings();

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
    QTest::newRow("nO") << u"nO"_s << no;
    QTest::newRow("n") << u"n"_s << no;
    QTest::newRow("yes") << u"yes"_s << yes;
    QTest::newRow("empty") << QString() << yes;
    QTest::newRow("leading blank") << u" no"_s << yes;
    QTest::newRow("trailing blank") << u"n "_s << yes;
    QTest::newRow("non") << u"non"_s << yes;
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
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("fifteen digits") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("large") << 1.5e20 << u"1.5E20"_s;
    QTest::newRow("nan") << NaN << u"NAN"_s;
}

void tst_dvSQL::sqlFloat()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLFloat(value), expected);
}

void tst_dvSQL::sqlDate_data()
{
    QTest::addColumn<QVariant>("input"); // text as typed, or a date-time value
    QTest::addColumn<QString>("expected");
    QTest::newRow("text: empty") << QVariant(QString()) << u"null"_s;
    QTest::newRow("text: full") << QVariant(u"12/31/1999"_s) << u"\"12/31/1999\""_s;
    QTest::newRow("text: zero padded") << QVariant(u"1/2/2000"_s) << u"\"01/02/2000\""_s;
    QTest::newRow("text: no such day") << QVariant(u"2/30/2000"_s) << u"null"_s;
    QTest::newRow("text: only separators") << QVariant(u"//"_s) << u"null"_s;
    QTest::newRow("value: time ignored")
        << QVariant(dvt::EncodeDate(1999, 12, 31) + 0.99) << u"\"12/31/1999\""_s;
    QTest::newRow("value: before the epoch") << QVariant(-1.25) << u"\"12/29/1899\""_s;
    QTest::newRow("value: beyond year 9999") << QVariant(1e10) << u"null"_s;
    QTest::newRow("value: nan") << QVariant(NaN) << u"null"_s;
}

void tst_dvSQL::sqlDate()
{
    QFETCH(QVariant, input);
    QFETCH(QString, expected);
    QCOMPARE(input.typeId() == QMetaType::QString ? dvSQLDate(input.toString())
                                                  : dvSQLDate(input.toDouble()),
             expected);
}

void tst_dvSQL::sqlTime_data()
{
    QTest::addColumn<QVariant>("input"); // text as typed, or a date-time value
    QTest::addColumn<QString>("expected");
    QTest::newRow("text: empty") << QVariant(QString()) << BlankTime;
    QTest::newRow("text: hours and minutes") << QVariant(u"13:05"_s) << u"\"13:05:00\""_s;
    QTest::newRow("text: afternoon") << QVariant(u"1:05:09 PM"_s) << u"\"13:05:09\""_s;
    QTest::newRow("text: hour 25") << QVariant(u"25:00"_s) << BlankTime;
    QTest::newRow("value: midnight") << QVariant(0.0) << u"\"00:00:00\""_s;
    QTest::newRow("value: noon of a date")
        << QVariant(dvt::EncodeDate(2000, 1, 1) + 0.5) << u"\"12:00:00\""_s;
    QTest::newRow("value: seconds not rounded up")
        << QVariant(dvt::EncodeTime(23, 59, 59, 999)) << u"\"23:59:59\""_s;
    QTest::newRow("value: before the epoch") << QVariant(-1.25) << u"\"06:00:00\""_s;
    QTest::newRow("value: beyond year 9999") << QVariant(1e10) << BlankTime;
    QTest::newRow("value: nan") << QVariant(NaN) << BlankTime;
}

void tst_dvSQL::sqlTime()
{
    QFETCH(QVariant, input);
    QFETCH(QString, expected);
    QCOMPARE(input.typeId() == QMetaType::QString ? dvSQLTime(input.toString())
                                                  : dvSQLTime(input.toDouble()),
             expected);
}

void tst_dvSQL::sqlInteger_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("smallest") << std::numeric_limits<int>::min() << u"-2147483648"_s;
    QTest::newRow("largest") << std::numeric_limits<int>::max() << u"2147483647"_s;
    QTest::newRow("no grouping") << 1234567 << u"1234567"_s;
}

void tst_dvSQL::sqlInteger()
{
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(dvSQLInteger(value), expected);
}

void tst_dvSQL::otherSettings()
{
    // Day first with full stops, decimal comma: the text is read that way, but
    // the date literal is still month, day, year, now with full stops.
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = u"d/m/yyyy"_s;
    fs.TimeSeparator = u'.';
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    QCOMPARE(dvSQLDate(u"31.12.1999"_s), u"\"12.31.1999\""_s);
    QCOMPARE(dvSQLDate(u"12/31/1999"_s), u"null"_s);
    QCOMPARE(dvSQLDate(dvt::EncodeDate(2004, 7, 5)), u"\"07.05.2004\""_s);
    QCOMPARE(dvSQLTime(u"13.05"_s), u"\"13.05.00\""_s);
    QCOMPARE(dvSQLTime(0.75), u"\"18.00.00\""_s);
    QCOMPARE(dvSQLFloat(1234.5), u"1234,5"_s);
    QCOMPARE(dvSQLFloat(3.0), u"3"_s);
}

QTEST_GUILESS_MAIN(tst_dvSQL)
#include "tst_dvSQL.moc"
