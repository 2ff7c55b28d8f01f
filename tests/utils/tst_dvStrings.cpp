#include <QTest>

#include <cmath>
#include <limits>

#include "dvStrings.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int IntMax = std::numeric_limits<int>::max();
constexpr int IntMin = std::numeric_limits<int>::min();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
} // namespace

class tst_dvStrings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_settings = dvt::FormatSettings(); }
    void cleanup() { dvt::FormatSettings() = m_settings; }

    void ifOverloads();
    void minMaxTies();
    void minMaxTexts_data();
    void minMaxTexts();
    void replicate_data();
    void replicate();
    void leftRight_data();
    void leftRight();
    void rotate_data();
    void rotate();
    void strTran_data();
    void strTran();
    void stringItem_data();
    void stringItem();
    void strToFloat_data();
    void strToFloat();
    void strToInt_data();
    void strToInt();
    void numbersInOtherLocale();
    void round_data();
    void round();
    void strZero_data();
    void strZero();

private:
    dvt::TFormatSettings m_settings;
};

void tst_dvStrings::ifOverloads()
{
    // A string literal must reach the text overload, bool and int the integer one.
    QCOMPARE(dvIf(true, "yes", "no"), u"yes"_s);
    QCOMPARE(dvIf(false, "yes", "no"), u"no"_s);
    QCOMPARE(dvIf(false, 1, 2), 2);
    QCOMPARE(dvIf(true, 1.5, 2.5), 1.5);
}

void tst_dvStrings::minMaxTies()
{
    // 0.0 and -0.0 are equal: on the tie dvMin answers the first, dvMax the second.
    QVERIFY(!std::signbit(dvMin(0.0, -0.0)));
    QVERIFY(std::signbit(dvMax(0.0, -0.0)));
    QCOMPARE(dvMin(2.0, 1.0), 1.0);
    QCOMPARE(dvMax(1.0, 2.0), 2.0);
    // A NaN compares false: both answer their second argument.
    QCOMPARE(dvMin(NaN, 1.0), 1.0);
    QCOMPARE(dvMax(NaN, 1.0), 1.0);
    QVERIFY(std::isnan(dvMax(1.0, NaN)));
}

void tst_dvStrings::minMaxTexts_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::newRow("ordinal: capitals first") << u"a"_s << u"B"_s << u"B"_s << u"a"_s;
    QTest::newRow("accented after z") << u"é"_s << u"z"_s << u"z"_s << u"é"_s;
    QTest::newRow("empty is smallest") << QString() << u" "_s << QString() << u" "_s;
}

void tst_dvStrings::minMaxTexts()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, min);
    QFETCH(QString, max);
    QCOMPARE(dvMin(a, b), min);
    QCOMPARE(dvMax(a, b), max);
    QCOMPARE(dvMin(b, a), min);
    QCOMPARE(dvMax(b, a), max);
}

void tst_dvStrings::replicate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three times") << u"ab"_s << 3 << u"ababab"_s;
    QTest::newRow("empty text, huge count") << QString() << IntMax << QString();
}

void tst_dvStrings::replicate()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(dvReplicate(text, count), expected);
    if (text == u"ab")
        QCOMPARE(dvSpace(count), QString(expected).replace(u"ab"_s, u" "_s));
}

void tst_dvStrings::leftRight_data()
{
    QTest::addColumn<bool>("fromRight");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("expected");
    QTest::newRow("left: padded") << false << u"abc"_s << 5 << false << u"abc  "_s;
    QTest::newRow("left: cut") << false << u"abcdef"_s << 3 << false << u"abc"_s;
    QTest::newRow("left: most negative") << false << u"abc"_s << IntMin << true << QString();
    QTest::newRow("left: trim cuts first") << false << u"  ab  cd"_s << 6 << true << u"ab"_s;
    QTest::newRow("left: trim control characters")
        << false << u"\tab\r\n"_s << 5 << true << u"ab"_s;
    QTest::newRow("right: padded") << true << u"ab"_s << 4 << false << u"  ab"_s;
    QTest::newRow("right: cut on the left") << true << u"abcdef"_s << 3 << false << u"def"_s;
    QTest::newRow("right: padded, trimmed") << true << u"ab"_s << 4 << true << u"ab"_s;
    QTest::newRow("right: most negative") << true << u"abc"_s << IntMin << false << QString();
    QTest::newRow("right: trim after cutting") << true << u"ab  cd  "_s << 5 << true << u"cd"_s;
}

void tst_dvStrings::leftRight()
{
    QFETCH(bool, fromRight);
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(bool, trim);
    QFETCH(QString, expected);
    QCOMPARE(fromRight ? dvRight(text, length, trim) : dvLeft(text, length, trim), expected);
}

void tst_dvStrings::rotate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start 2") << u"abcd"_s << 2 << u"bcda"_s;
    QTest::newRow("start L+2") << u"abcd"_s << 6 << u"bcda"_s;
    QTest::newRow("most negative") << u"abcd"_s << IntMin << u"abcd"_s;
    // 2147483647 = 4 * 536870911 + 3: as start 3.
    QTest::newRow("huge start") << u"abcd"_s << IntMax << u"cdab"_s;
    QTest::newRow("empty, huge start") << QString() << IntMax << QString();
}

void tst_dvStrings::rotate()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(QString, expected);
    QCOMPARE(dvRotate(text, start), expected);
}

void tst_dvStrings::strTran_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no overlap") << u"aaaa"_s << u"aa"_s << u"b"_s << u"bb"_s;
    QTest::newRow("empty search") << u"x"_s << QString() << u"y"_s << u"x"_s;
    QTest::newRow("delete") << u"a\"b\"c"_s << u"\""_s << QString() << u"abc"_s;
    QTest::newRow("replacement forms a match") << u"aab"_s << u"ab"_s << u"b"_s << u"ab"_s;
}

void tst_dvStrings::strTran()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(dvStrTran(text, search, replacement), expected);
}

void tst_dvStrings::stringItem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("item");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");
    const QString list = u"a,b,,d"_s;
    QTest::newRow("empty item") << list << 3 << QChar(u',') << QString();
    QTest::newRow("item 0 counts as 1") << list << 0 << QChar(u',') << u"a"_s;
    QTest::newRow("most negative item") << list << IntMin << QChar(u',') << u"a"_s;
    QTest::newRow("no blanks trimmed") << u" x | y "_s << 2 << QChar(u'|') << u" y "_s;
    QTest::newRow("no separator") << u"abc"_s << 1 << QChar(u';') << u"abc"_s;
    QTest::newRow("trailing separator") << u"a,"_s << 2 << QChar(u',') << QString();
}

void tst_dvStrings::stringItem()
{
    QFETCH(QString, text);
    QFETCH(int, item);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);
    QCOMPARE(dvStringItem(text, item, separator), expected);
}

void tst_dvStrings::strToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("parentheses") << u"(12)"_s << -12.0;
    QTest::newRow("negative money") << u"($1,234.50)"_s << -1234.5;
    QTest::newRow("blanks inside") << u" 1 234 "_s << 1234.0;
    QTest::newRow("only decoration") << u"$()"_s << 0.0;
    QTest::newRow("nan is no number") << u"NAN"_s << 0.0;
    QTest::newRow("trailing minus") << u"12-"_s << 0.0;
}

void tst_dvStrings::strToFloat()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(dvStrToFloat(text), expected);
}

void tst_dvStrings::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("parentheses") << u"(12)"_s << -12;
    QTest::newRow("thousands") << u"$1,234"_s << 1234;
    QTest::newRow("largest") << u"2147483647"_s << IntMax;
    QTest::newRow("overflow") << u"2147483648"_s << 0;
    QTest::newRow("blank in the middle") << u"1 2"_s << 12;
}

void tst_dvStrings::strToInt()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(dvStrToInt(text), expected);
}

void tst_dvStrings::numbersInOtherLocale()
{
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.CurrencyString = u"EUR"_s;
    fs.ThousandSeparator = u'.';
    fs.DecimalSeparator = u',';
    QCOMPARE(dvStrToFloat(u"1.234,50 EUR"_s), 1234.5);
    QCOMPARE(dvStrToFloat(u"EUR (0,25)"_s), -0.25);
    QCOMPARE(dvStrToInt(u"1.234 EUR"_s), 1234);
    // The full stop is now the thousands separator, so it is removed.
    QCOMPARE(dvStrToFloat(u"1.5"_s), 15.0);
    QCOMPARE(dvStrZero(3.14159, 6, 3), u"003,14"_s);
}

void tst_dvStrings::round_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("tie down to even") << 2.5 << 0 << 2.0;
    QTest::newRow("negative tie to even") << -3.5 << 0 << -4.0;
    QTest::newRow("integer part kept") << 1e15 + 0.5 << 0 << 1e15;
    QTest::newRow("most decimals") << 2.675 << 65535 << 2.675;
    QTest::newRow("nan") << NaN << 2 << NaN;
    QTest::newRow("minus infinity") << -Inf << 0 << -Inf;
}

void tst_dvStrings::round()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(dvRound(value, quint16(decimals)), expected);
}

void tst_dvStrings::strZero_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("significant digits") << 3.14159 << 6 << 3 << u"003.14"_s;
    QTest::newRow("one digit rounds half away") << 2.5 << 4 << 1 << u"0003"_s;
    QTest::newRow("never shortened") << 1234567.0 << 3 << 0 << u"1234567"_s;
    QTest::newRow("negative decimals as none") << 3.14159 << 3 << -2 << u"3.14159"_s;
    QTest::newRow("scientific beyond 15 digits") << 1e20 << 8 << 0 << u"001E+020"_s;
    QTest::newRow("scientific beyond the precision") << 12345.0 << 3 << 2 << u"1.2E+004"_s;
    QTest::newRow("huge precision is plain") << 1e20 << 3 << IntMax << u"100000000000000000000"_s;
    QTest::newRow("small scientific") << 0.000001234 << 4 << 0 << u"1.234E-006"_s;
    QTest::newRow("nan") << NaN << 5 << 0 << u"00NAN"_s;
}

void tst_dvStrings::strZero()
{
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(dvStrZero(value, width, decimals), expected);
}

QTEST_GUILESS_MAIN(tst_dvStrings)
#include "tst_dvStrings.moc"
