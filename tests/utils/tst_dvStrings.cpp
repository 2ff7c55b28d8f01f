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
    void left_data();
    void left();
    void right_data();
    void right();
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
    void roundNonFinite();
    void strZero_data();
    void strZero();
    void strZeroDecimalSeparator();

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
    QTest::newRow("prefix is smaller") << u"abc"_s << u"ab"_s << u"ab"_s << u"abc"_s;
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
    QTest::newRow("once") << u"ab"_s << 1 << u"ab"_s;
    QTest::newRow("zero") << u"ab"_s << 0 << QString();
    QTest::newRow("negative") << u"ab"_s << -5 << QString();
    QTest::newRow("most negative") << u"ab"_s << IntMin << QString();
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

void tst_dvStrings::left_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << u"abc"_s << 5 << false << u"abc  "_s;
    QTest::newRow("cut") << u"abcdef"_s << 3 << false << u"abc"_s;
    QTest::newRow("padded, trimmed") << u"abc"_s << 5 << true << u"abc"_s;
    QTest::newRow("exact") << u"abc"_s << 3 << false << u"abc"_s;
    QTest::newRow("zero") << u"abc"_s << 0 << false << QString();
    QTest::newRow("negative") << u"abc"_s << -1 << false << QString();
    QTest::newRow("most negative") << u"abc"_s << IntMin << true << QString();
    QTest::newRow("empty text") << QString() << 2 << false << u"  "_s;
    QTest::newRow("trim cuts first") << u"  ab  cd"_s << 6 << true << u"ab"_s;
    QTest::newRow("trim control characters") << u"\tab\r\n"_s << 5 << true << u"ab"_s;
    QTest::newRow("no trim keeps them") << u"\tab\r\n"_s << 5 << false << u"\tab\r\n"_s;
}

void tst_dvStrings::left()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(bool, trim);
    QFETCH(QString, expected);
    QCOMPARE(dvLeft(text, length, trim), expected);
}

void tst_dvStrings::right_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << u"ab"_s << 4 << false << u"  ab"_s;
    QTest::newRow("cut on the left") << u"abcdef"_s << 3 << false << u"def"_s;
    QTest::newRow("exact") << u"abc"_s << 3 << false << u"abc"_s;
    QTest::newRow("padded, trimmed") << u"ab"_s << 4 << true << u"ab"_s;
    QTest::newRow("zero") << u"abc"_s << 0 << false << QString();
    QTest::newRow("negative") << u"abc"_s << -2 << false << QString();
    QTest::newRow("most negative") << u"abc"_s << IntMin << false << QString();
    QTest::newRow("trim after cutting") << u"ab  cd  "_s << 5 << true << u"cd"_s;
}

void tst_dvStrings::right()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(bool, trim);
    QFETCH(QString, expected);
    QCOMPARE(dvRight(text, length, trim), expected);
}

void tst_dvStrings::rotate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start 1") << u"abcd"_s << 1 << u"abcd"_s;
    QTest::newRow("start 2") << u"abcd"_s << 2 << u"bcda"_s;
    QTest::newRow("start 3") << u"abcd"_s << 3 << u"cdab"_s;
    QTest::newRow("start L") << u"abcd"_s << 4 << u"abcd"_s;
    QTest::newRow("start L+1") << u"abcd"_s << 5 << u"abcd"_s;
    QTest::newRow("start L+2") << u"abcd"_s << 6 << u"bcda"_s;
    QTest::newRow("start 2L") << u"abcd"_s << 8 << u"abcd"_s;
    QTest::newRow("start 2L+3") << u"abcd"_s << 11 << u"cdab"_s;
    QTest::newRow("zero") << u"abcd"_s << 0 << u"abcd"_s;
    QTest::newRow("negative") << u"abcd"_s << -3 << u"abcd"_s;
    QTest::newRow("most negative") << u"abcd"_s << IntMin << u"abcd"_s;
    // 2147483647 = 4 * 536870911 + 3: as start 3.
    QTest::newRow("huge start") << u"abcd"_s << IntMax << u"cdab"_s;
    QTest::newRow("empty") << QString() << 3 << QString();
    QTest::newRow("empty, huge start") << QString() << IntMax << QString();
    QTest::newRow("one character") << u"x"_s << 7 << u"x"_s;
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
    QTest::newRow("odd count") << u"aaa"_s << u"aa"_s << u"b"_s << u"ba"_s;
    QTest::newRow("empty search") << u"x"_s << QString() << u"y"_s << u"x"_s;
    QTest::newRow("delete") << u"a\"b\"c"_s << u"\""_s << QString() << u"abc"_s;
    QTest::newRow("not rescanned") << u"ab"_s << u"a"_s << u"aa"_s << u"aab"_s;
    QTest::newRow("replacement forms a match") << u"aab"_s << u"ab"_s << u"b"_s << u"ab"_s;
    QTest::newRow("case counts") << u"Abab"_s << u"ab"_s << u"x"_s << u"Abx"_s;
    QTest::newRow("empty text") << QString() << u"a"_s << u"b"_s << QString();
    QTest::newRow("search longer than text") << u"ab"_s << u"abc"_s << u"x"_s << u"ab"_s;
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
    QTest::newRow("first") << list << 1 << QChar(u',') << u"a"_s;
    QTest::newRow("second") << list << 2 << QChar(u',') << u"b"_s;
    QTest::newRow("empty item") << list << 3 << QChar(u',') << QString();
    QTest::newRow("last") << list << 4 << QChar(u',') << u"d"_s;
    QTest::newRow("beyond the last") << list << 5 << QChar(u',') << QString();
    QTest::newRow("item 0 counts as 1") << list << 0 << QChar(u',') << u"a"_s;
    QTest::newRow("most negative item") << list << IntMin << QChar(u',') << u"a"_s;
    QTest::newRow("huge item") << list << IntMax << QChar(u',') << QString();
    QTest::newRow("no blanks trimmed") << u" x | y "_s << 2 << QChar(u'|') << u" y "_s;
    QTest::newRow("no separator") << u"abc"_s << 1 << QChar(u';') << u"abc"_s;
    QTest::newRow("no separator, second") << u"abc"_s << 2 << QChar(u';') << QString();
    QTest::newRow("empty text") << QString() << 1 << QChar(u',') << QString();
    QTest::newRow("all separators") << u",,,,"_s << 3 << QChar(u',') << QString();
    QTest::newRow("trailing separator") << u"a,"_s << 2 << QChar(u',') << QString();
    QTest::newRow("leading separator") << u",a"_s << 2 << QChar(u',') << u"a"_s;
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
    QTest::newRow("money") << u"$1,234.50"_s << 1234.5;
    QTest::newRow("parentheses") << u"(12)"_s << -12.0;
    QTest::newRow("negative money") << u"($1,234.50)"_s << -1234.5;
    QTest::newRow("blanks inside") << u" 1 234 "_s << 1234.0;
    QTest::newRow("exponent") << u"1.5E3"_s << 1500.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("letters") << u"abc"_s << 0.0;
    QTest::newRow("only separators") << u",,,,"_s << 0.0;
    QTest::newRow("only decoration") << u"$()"_s << 0.0;
    QTest::newRow("two decimal points") << u"1.2.3"_s << 0.0;
    QTest::newRow("nan is no number") << u"NAN"_s << 0.0;
    QTest::newRow("inf is no number") << u"INF"_s << 0.0;
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
    QTest::newRow("fraction is no integer") << u"12.5"_s << 0;
    QTest::newRow("letters") << u"abc"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("leading zeros") << u"004"_s << 4;
    QTest::newRow("largest") << u"2147483647"_s << IntMax;
    QTest::newRow("smallest") << u"-2147483648"_s << IntMin;
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
}

void tst_dvStrings::round_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("tie down to even") << 2.5 << 0 << 2.0;
    QTest::newRow("tie up to even") << 3.5 << 0 << 4.0;
    QTest::newRow("negative tie to even") << -3.5 << 0 << -4.0;
    QTest::newRow("below the tie") << 3.4999999 << 0 << 3.0;
    QTest::newRow("negative tie") << -1.25 << 1 << -1.2;
    QTest::newRow("negative tie up") << -1.35 << 1 << -1.4;
    QTest::newRow("exact tie, two decimals") << 0.125 << 2 << 0.12;
    QTest::newRow("exact tie up, two decimals") << 0.375 << 2 << 0.38;
    QTest::newRow("plain") << 123.456 << 1 << 123.5;
    QTest::newRow("negative plain") << -123.456 << 2 << -123.46;
    QTest::newRow("integer part kept") << 1e15 + 0.5 << 0 << 1e15;
    QTest::newRow("huge value") << 1e300 << 2 << 1e300;
    QTest::newRow("zero") << 0.0 << 3 << 0.0;
    QTest::newRow("tiny to zero") << 1e-10 << 4 << 0.0;
    QTest::newRow("many decimals") << 0.1 << 60 << 0.1;
    QTest::newRow("most decimals") << 2.675 << 65535 << 2.675;
}

void tst_dvStrings::round()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(dvRound(value, quint16(decimals)), expected);
}

void tst_dvStrings::roundNonFinite()
{
    QVERIFY(std::isnan(dvRound(NaN, 2)));
    QCOMPARE(dvRound(Inf, 2), Inf);
    QCOMPARE(dvRound(-Inf, 0), -Inf);
}

void tst_dvStrings::strZero_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << 42.0 << 5 << 0 << u"00042"_s;
    QTest::newRow("sign dropped") << -7.0 << 3 << 0 << u"007"_s;
    QTest::newRow("position") << 4.0 << 3 << 0 << u"004"_s;
    QTest::newRow("significant digits") << 3.14159 << 6 << 3 << u"003.14"_s;
    QTest::newRow("one digit rounds half away") << 2.5 << 4 << 1 << u"0003"_s;
    QTest::newRow("fraction") << 0.5 << 4 << 0 << u"00.5"_s;
    QTest::newRow("never shortened") << 1234567.0 << 3 << 0 << u"1234567"_s;
    QTest::newRow("zero") << 0.0 << 4 << 0 << u"0000"_s;
    QTest::newRow("zero width") << 12.0 << 0 << 0 << u"12"_s;
    QTest::newRow("negative width") << 12.0 << -5 << 0 << u"12"_s;
    QTest::newRow("most negative width") << 12.0 << IntMin << 0 << u"12"_s;
    QTest::newRow("negative decimals as none") << 3.14159 << 3 << -2 << u"3.14159"_s;
    QTest::newRow("scientific beyond 15 digits") << 1e20 << 8 << 0 << u"001E+020"_s;
    QTest::newRow("scientific beyond the precision") << 12345.0 << 3 << 2 << u"1.2E+004"_s;
    QTest::newRow("huge precision is plain") << 1e20 << 3 << IntMax << u"100000000000000000000"_s;
    QTest::newRow("small plain") << 0.00001234 << 4 << 0 << u"0.00001234"_s;
    QTest::newRow("small scientific") << 0.000001234 << 4 << 0 << u"1.234E-006"_s;
    QTest::newRow("nan") << NaN << 5 << 0 << u"00NAN"_s;
    QTest::newRow("minus infinity") << -Inf << 4 << 0 << u"0INF"_s;
}

void tst_dvStrings::strZero()
{
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(dvStrZero(value, width, decimals), expected);
}

void tst_dvStrings::strZeroDecimalSeparator()
{
    dvt::FormatSettings().DecimalSeparator = u',';
    QCOMPARE(dvStrZero(3.14159, 6, 3), u"003,14"_s);
}

QTEST_GUILESS_MAIN(tst_dvStrings)
#include "tst_dvStrings.moc"
