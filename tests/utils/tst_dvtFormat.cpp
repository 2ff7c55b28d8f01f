#include <QTest>

#include <cmath>
#include <limits>

#include "dvtException.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;
using dvt::EConvertError;

namespace {

dvt::FormatArg toArg(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return dvt::FormatArg(v.toLongLong());
    case QMetaType::Double:
        return dvt::FormatArg(v.toDouble());
    default:
        return dvt::FormatArg(v.toString());
    }
}

// Format takes its arguments as a braced list, so each count gets its own call.
QString formatWith(const QString &pattern, const QVariantList &a)
{
    switch (a.size()) {
    case 0:
        return dvt::Format(pattern, {});
    case 1:
        return dvt::Format(pattern, {toArg(a[0])});
    case 2:
        return dvt::Format(pattern, {toArg(a[0]), toArg(a[1])});
    default:
        return dvt::Format(pattern, {toArg(a[0]), toArg(a[1]), toArg(a[2])});
    }
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// Qt's money texts use no-break spaces and typographic minus signs where the
// format settings hold plain blanks and hyphens.
QString plain(QString text)
{
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
    text.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ').replace(QChar(0x2212), u'-');
    return text;
}

} // namespace

class tst_dvtFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void format_data();
    void format();
    void formatErrors_data();
    void formatErrors();
    void currencyForms_data();
    void currencyForms();
    void otherSeparators();
    void readsSettingsAtEachCall();

    void floatToStr_data();
    void floatToStr();
    void intToStr();

    void strToFloat_data();
    void strToFloat();
    void strToFloatLocaleSeparator();
    void strToInt_data();
    void strToInt();

    void trim_data();
    void trim();
    void upperCase_data();
    void upperCase();

    void usDefaults();
    void fromLocale_data();
    void fromLocale();
    void moneyMatchesLocale_data();
    void moneyMatchesLocale();

private:
    dvt::TFormatSettings m_saved;
};

void tst_dvtFormat::init()
{
    m_saved = dvt::FormatSettings();
    dvt::FormatSettings() = dvt::TFormatSettings();
}

void tst_dvtFormat::cleanup()
{
    dvt::FormatSettings() = m_saved;
}

void tst_dvtFormat::format_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, const QString &pattern, const QVariantList &args,
                        const QString &expected) {
        QTest::newRow(name) << pattern << args << expected;
    };
    // integers
    row("d", u"%d"_s, {42}, u"42"_s);
    row("d negative", u"%d"_s, {-42}, u"-42"_s);
    row("d 64-bit", u"%d"_s, {Q_INT64_C(-9223372036854775807) - 1}, u"-9223372036854775808"_s);
    row("d width", u"%5d"_s, {42}, u"   42"_s);
    row("d left", u"%-5d|"_s, {42}, u"42   |"_s);
    row("d width too small", u"%1d"_s, {12345}, u"12345"_s);
    row("d precision", u"%.4d"_s, {-42}, u"-0042"_s);
    row("u", u"%u"_s, {42}, u"42"_s);
    row("u negative wraps", u"%u"_s, {-1}, u"18446744073709551615"_s);
    row("x", u"%x"_s, {255}, u"FF"_s);
    row("x precision", u"%.4x"_s, {255}, u"00FF"_s);
    row("x negative", u"%x"_s, {-1}, u"FFFFFFFFFFFFFFFF"_s);
    row("upper-case type", u"%D"_s, {7}, u"7"_s);
    // text
    row("s", u"%s"_s, {u"abc"_s}, u"abc"_s);
    row("s width", u"%5s"_s, {u"abc"_s}, u"  abc"_s);
    row("s left", u"%-5s|"_s, {u"abc"_s}, u"abc  |"_s);
    row("s precision cuts", u"%.2s"_s, {u"abc"_s}, u"ab"_s);
    row("s empty", u"[%s]"_s, {u""_s}, u"[]"_s);
    row("s keeps percent", u"%s"_s, {u"%d"_s}, u"%d"_s);
    // fixed
    row("f default 2", u"%f"_s, {3.14159}, u"3.14"_s);
    row("f precision", u"%.3f"_s, {2.5}, u"2.500"_s);
    row("f half away from zero", u"%.0f"_s, {2.5}, u"3"_s);
    row("f negative half", u"%.0f"_s, {-2.5}, u"-3"_s);
    row("f 2.675", u"%.2f"_s, {2.675}, u"2.68"_s);
    row("f 1.005", u"%.2f"_s, {1.005}, u"1.01"_s);
    row("f carry", u"%.2f"_s, {9.999}, u"10.00"_s);
    row("f no negative zero", u"%.2f"_s, {-0.001}, u"0.00"_s);
    row("f width", u"%8.2f"_s, {3.14159}, u"    3.14"_s);
    row("f left", u"%-8.2f|"_s, {3.14159}, u"3.14    |"_s);
    row("f large", u"%.2f"_s, {1e20}, u"100000000000000000000.00"_s);
    row("f beyond 15 digits", u"%.20f"_s, {0.1}, u"0.10000000000000000000"_s);
    row("f tiny", u"%.3f"_s, {1e-10}, u"0.000"_s);
    row("f empty precision", u"%.f"_s, {2.4}, u"2"_s);
    // number with thousands
    row("n", u"%n"_s, {1234567.891}, u"1,234,567.89"_s);
    row("n rounds into a group", u"%.0n"_s, {999.5}, u"1,000"_s);
    row("n negative", u"%n"_s, {-1234.5}, u"-1,234.50"_s);
    row("n small", u"%n"_s, {0.5}, u"0.50"_s);
    row("n three digits", u"%.1n"_s, {123.45}, u"123.5"_s);
    // money
    row("m", u"%m"_s, {1234.5}, u"$1,234.50"_s);
    row("m negative", u"%m"_s, {-12.0}, u"($12.00)"_s);
    row("m zero", u"%m"_s, {0.0}, u"$0.00"_s);
    row("m rounds to zero", u"%m"_s, {-0.004}, u"$0.00"_s);
    row("m half cent up", u"%m"_s, {0.125}, u"$0.13"_s);
    row("m negative half cent", u"%m"_s, {-0.125}, u"($0.13)"_s);
    row("m millions", u"%m"_s, {1234567.891}, u"$1,234,567.89"_s);
    row("m precision", u"%.0m"_s, {2.5}, u"$3"_s);
    row("m width", u"%12m"_s, {1234.5}, u"   $1,234.50"_s);
    // scientific
    row("e", u"%e"_s, {1.5}, u"1.50000000000000E+000"_s);
    row("e precision", u"%.3e"_s, {123456.0}, u"1.23E+005"_s);
    row("e negative exponent", u"%.2e"_s, {-0.000123}, u"-1.2E-004"_s);
    row("e zero", u"%.3e"_s, {0.0}, u"0.00E+000"_s);
    row("e one digit", u"%.1e"_s, {1.5}, u"2E+000"_s);
    row("e large exponent", u"%.3e"_s, {1e-300}, u"1.00E-300"_s);
    row("e carry", u"%.2e"_s, {9.96}, u"1.0E+001"_s);
    // general
    row("g", u"%g"_s, {42.0}, u"42"_s);
    row("g 0.1+0.2", u"%g"_s, {0.1 + 0.2}, u"0.3"_s);
    row("g fraction", u"%g"_s, {-2.5}, u"-2.5"_s);
    row("g precision fits", u"%.2g"_s, {42.0}, u"42"_s);
    row("g precision too small", u"%.2g"_s, {123.0}, u"1.2E+002"_s);
    row("g rounds into exponent", u"%.2g"_s, {99.9}, u"1E+002"_s);
    row("g rounds digits", u"%.1g"_s, {0.96}, u"1"_s);
    row("g small fixed", u"%g"_s, {0.00001}, u"0.00001"_s);
    row("g tiny", u"%g"_s, {1e-6}, u"1E-006"_s);
    row("g huge", u"%g"_s, {1.5e20}, u"1.5E+020"_s);
    row("g padded", u"%10.2g"_s, {42.0}, u"        42"_s);
    // non-finite
    row("f NaN", u"%f"_s, {NaN}, u"NAN"_s);
    row("m infinity", u"%m"_s, {Inf}, u"INF"_s);
    row("f minus infinity", u"%.2f"_s, {-Inf}, u"-INF"_s);
    // mixed text, percent, indexes, stars
    row("percent", u"100%%"_s, {}, u"100%"_s);
    row("no directive", u"plain"_s, {}, u"plain"_s);
    row("several", u"a%sb%dc"_s, {u"x"_s, 1}, u"axb1c"_s);
    row("extra arguments ignored", u"%d"_s, {1, 2}, u"1"_s);
    row("index", u"%1:s %0:s"_s, {u"a"_s, u"b"_s}, u"b a"_s);
    row("index continues", u"%0:s%s"_s, {u"a"_s, u"b"_s}, u"ab"_s);
    row("index then next", u"%1:s%s%0:s"_s, {u"a"_s, u"b"_s, u"c"_s}, u"bca"_s);
    row("index with width", u"%1:-3s|"_s, {u"a"_s, u"b"_s}, u"b  |"_s);
    row("star width", u"%*d"_s, {5, 42}, u"   42"_s);
    row("star left", u"%-*d|"_s, {5, 42}, u"42   |"_s);
    row("star negative width", u"%*d|"_s, {-5, 42}, u"42   |"_s);
    row("star precision", u"%.*f"_s, {3, 2.5}, u"2.500"_s);
    row("star both", u"%*.*f"_s, {8, 1, 3.14159}, u"     3.1"_s);
    row("star negative precision", u"%.*f"_s, {-1, 2.5}, u"2.50"_s);
}

void tst_dvtFormat::format()
{
    QFETCH(QString, pattern);
    QFETCH(QVariantList, args);
    QFETCH(QString, expected);
    QCOMPARE(formatWith(pattern, args), expected);
}

void tst_dvtFormat::formatErrors_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QVariantList>("args");

    QTest::newRow("d with double") << u"%d"_s << QVariantList{1.5};
    QTest::newRow("f with integer") << u"%f"_s << QVariantList{1};
    QTest::newRow("m with integer") << u"%m"_s << QVariantList{12};
    QTest::newRow("s with integer") << u"%s"_s << QVariantList{1};
    QTest::newRow("x with text") << u"%x"_s << QVariantList{u"1"_s};
    QTest::newRow("missing argument") << u"%d"_s << QVariantList{};
    QTest::newRow("second missing") << u"%s %s"_s << QVariantList{u"a"_s};
    QTest::newRow("index beyond") << u"%1:d"_s << QVariantList{5};
    QTest::newRow("lone percent") << u"%"_s << QVariantList{};
    QTest::newRow("trailing percent") << u"abc%"_s << QVariantList{1};
    QTest::newRow("no type") << u"%5"_s << QVariantList{1};
    QTest::newRow("unknown type") << u"%q"_s << QVariantList{1};
    QTest::newRow("flag after width") << u"%5-d"_s << QVariantList{1};
    QTest::newRow("star with text") << u"%*d"_s << QVariantList{u"x"_s, 1};
    QTest::newRow("huge width") << u"%100000d"_s << QVariantList{1};
    QTest::newRow("huge star width") << u"%*d"_s << QVariantList{1000000, 1};
}

void tst_dvtFormat::formatErrors()
{
    QFETCH(QString, pattern);
    QFETCH(QVariantList, args);
    try {
        formatWith(pattern, args);
        QFAIL("no EConvertError");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), u"Format '%1' invalid or incompatible with argument"_s.arg(pattern));
    }
}

void tst_dvtFormat::currencyForms_data()
{
    QTest::addColumn<int>("currencyFormat");
    QTest::addColumn<int>("negCurrFormat");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    const QStringList positive = {u"kr1,234.50"_s, u"1,234.50kr"_s, u"kr 1,234.50"_s,
                                  u"1,234.50 kr"_s};
    for (int i = 0; i < positive.size(); ++i)
        QTest::addRow("positive %d", i) << i << 0 << 1234.5 << positive[i];
    const QStringList negative = {
        u"(kr1,234.50)"_s, u"-kr1,234.50"_s,  u"kr-1,234.50"_s,   u"kr1,234.50-"_s,
        u"(1,234.50kr)"_s, u"-1,234.50kr"_s,  u"1,234.50-kr"_s,   u"1,234.50kr-"_s,
        u"-1,234.50 kr"_s, u"-kr 1,234.50"_s, u"1,234.50 kr-"_s,  u"kr 1,234.50-"_s,
        u"kr -1,234.50"_s, u"1,234.50- kr"_s, u"(kr 1,234.50)"_s, u"(1,234.50 kr)"_s};
    for (int i = 0; i < negative.size(); ++i)
        QTest::addRow("negative %d", i) << 3 << i << -1234.5 << negative[i];
    QTest::newRow("positive ignores negative form") << 1 << 15 << 7.0 << u"7.00kr"_s;
    QTest::newRow("out of range positive") << 9 << 0 << 1.0 << u"kr1.00"_s;
    QTest::newRow("out of range negative") << 0 << 16 << -1.0 << u"(kr1.00)"_s;
}

void tst_dvtFormat::currencyForms()
{
    QFETCH(int, currencyFormat);
    QFETCH(int, negCurrFormat);
    QFETCH(double, value);
    QFETCH(QString, expected);
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.CurrencyString = u"kr"_s;
    fs.CurrencyFormat = currencyFormat;
    fs.NegCurrFormat = negCurrFormat;
    QCOMPARE(dvt::Format(u"%m"_s, {value}), expected);
}

void tst_dvtFormat::otherSeparators()
{
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.ThousandSeparator = u'.';
    fs.DecimalSeparator = u',';
    fs.CurrencyString = u"€"_s;
    fs.CurrencyFormat = 3;
    fs.NegCurrFormat = 8;
    fs.CurrencyDecimals = 3;

    QCOMPARE(dvt::Format(u"%m"_s, {1234567.8915}), u"1.234.567,892 €"_s);
    QCOMPARE(dvt::Format(u"%m"_s, {-0.5}), u"-0,500 €"_s);
    QCOMPARE(dvt::Format(u"%n"_s, {1234.5}), u"1.234,50"_s);
    QCOMPARE(dvt::Format(u"%.1f"_s, {1234.56}), u"1234,6"_s);
    QCOMPARE(dvt::Format(u"%.3e"_s, {1234.5}), u"1,23E+003"_s);
    QCOMPARE(dvt::Format(u"%g"_s, {0.25}), u"0,25"_s);
    QCOMPARE(dvt::FloatToStr(-1234.5), u"-1234,5"_s);
    QCOMPARE(dvt::FloatToStr(1.5e20), u"1,5E20"_s);
}

void tst_dvtFormat::readsSettingsAtEachCall()
{
    QCOMPARE(dvt::Format(u"%m"_s, {1.0}), u"$1.00"_s);
    dvt::FormatSettings().CurrencyString = u"USD"_s;
    dvt::FormatSettings().CurrencyFormat = 3;
    QCOMPARE(dvt::Format(u"%m"_s, {1.0}), u"1.00 USD"_s);
    dvt::FormatSettings().DecimalSeparator = u',';
    QCOMPARE(dvt::FloatToStr(0.5), u"0,5"_s);
}

void tst_dvtFormat::floatToStr_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("one") << 1.0 << u"1"_s;
    QTest::newRow("whole") << 2.0 << u"2"_s;
    QTest::newRow("hundred") << 100.0 << u"100"_s;
    QTest::newRow("fraction") << 1234.5 << u"1234.5"_s;
    QTest::newRow("negative fraction") << -0.25 << u"-0.25"_s;
    QTest::newRow("0.1") << 0.1 << u"0.1"_s;
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("third") << 1.0 / 3 << u"0.333333333333333"_s;
    QTest::newRow("two thirds") << 2.0 / 3 << u"0.666666666666667"_s;
    QTest::newRow("smallest fixed") << 0.00001 << u"0.00001"_s;
    QTest::newRow("small fixed") << 0.000012345 << u"0.000012345"_s;
    QTest::newRow("below fixed") << 0.0000099 << u"9.9E-6"_s;
    QTest::newRow("1E-6") << 1e-6 << u"1E-6"_s;
    QTest::newRow("negative tiny") << -1e-300 << u"-1E-300"_s;
    QTest::newRow("denormal") << std::numeric_limits<double>::denorm_min()
                              << u"4.94065645841247E-324"_s;
    QTest::newRow("15 integer digits") << 999999999999999.0 << u"999999999999999"_s;
    QTest::newRow("15 digits rounded") << 123456789012345.6 << u"123456789012346"_s;
    QTest::newRow("16 integer digits") << 1e15 << u"1E15"_s;
    QTest::newRow("1.5E20") << 1.5e20 << u"1.5E20"_s;
    QTest::newRow("18 digits") << 123456789012345678.0 << u"1.23456789012346E17"_s;
    QTest::newRow("negative large") << -2.5e100 << u"-2.5E100"_s;
    QTest::newRow("max") << std::numeric_limits<double>::max() << u"1.79769313486232E308"_s;
    QTest::newRow("NaN") << NaN << u"NAN"_s;
    QTest::newRow("infinity") << Inf << u"INF"_s;
    QTest::newRow("minus infinity") << -Inf << u"-INF"_s;
}

void tst_dvtFormat::floatToStr()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(dvt::FloatToStr(value), expected);
    // Every result reads back, to 15 significant digits (the largest doubles
    // round up beyond the range).
    double back = 0;
    if (std::isfinite(value) && std::fabs(value) < 1e308) {
        QVERIFY(dvt::TryStrToFloat(expected, back));
        QCOMPARE(dvt::FloatToStr(back), expected);
    }
}

void tst_dvtFormat::intToStr()
{
    QCOMPARE(dvt::IntToStr(0), u"0"_s);
    QCOMPARE(dvt::IntToStr(-2147483648LL), u"-2147483648"_s);
    QCOMPARE(dvt::IntToStr(std::numeric_limits<qint64>::max()), u"9223372036854775807"_s);
}

void tst_dvtFormat::strToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("plain") << u"1.5"_s << true << 1.5;
    QTest::newRow("blanks around") << u" 1.5 "_s << true << 1.5;
    QTest::newRow("control characters around") << u"\t7\n"_s << true << 7.0;
    QTest::newRow("minus") << u"-2"_s << true << -2.0;
    QTest::newRow("plus") << u"+3"_s << true << 3.0;
    QTest::newRow("exponent") << u"1e3"_s << true << 1000.0;
    QTest::newRow("signed exponent") << u"1.5E-2"_s << true << 0.015;
    QTest::newRow("plus exponent") << u"2E+2"_s << true << 200.0;
    QTest::newRow("leading point") << u".5"_s << true << 0.5;
    QTest::newRow("trailing point") << u"5."_s << true << 5.0;
    QTest::newRow("many digits") << u"0.30000000000000004"_s << true << 0.30000000000000004;
    QTest::newRow("thousands") << u"1,234.5"_s << false << 0.0;
    QTest::newRow("currency") << u"$1"_s << false << 0.0;
    QTest::newRow("empty") << u""_s << false << 0.0;
    QTest::newRow("blank") << u"  "_s << false << 0.0;
    QTest::newRow("letters") << u"abc"_s << false << 0.0;
    QTest::newRow("two points") << u"1.2.3"_s << false << 0.0;
    QTest::newRow("point only") << u"."_s << false << 0.0;
    QTest::newRow("sign only") << u"-"_s << false << 0.0;
    QTest::newRow("exponent without digits") << u"1e"_s << false << 0.0;
    QTest::newRow("exponent only") << u"e5"_s << false << 0.0;
    QTest::newRow("blank after sign") << u"- 5"_s << false << 0.0;
    QTest::newRow("two numbers") << u"1 2"_s << false << 0.0;
    QTest::newRow("double sign") << u"--1"_s << false << 0.0;
    QTest::newRow("trailing letter") << u"1.5x"_s << false << 0.0;
    QTest::newRow("hexadecimal") << u"0x10"_s << false << 0.0;
    QTest::newRow("infinity word") << u"INF"_s << false << 0.0;
    QTest::newRow("nan word") << u"NAN"_s << false << 0.0;
    QTest::newRow("overflow") << u"1e999"_s << false << 0.0;
    QTest::newRow("underflow") << u"1e-400"_s << false << 0.0;
    QTest::newRow("parentheses") << u"(12)"_s << false << 0.0;
}

void tst_dvtFormat::strToFloat()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);

    double result = -99;
    QCOMPARE(dvt::TryStrToFloat(text, result), ok);
    if (ok) {
        QCOMPARE(result, value);
        QCOMPARE(dvt::StrToFloat(text), value);
    } else {
        QCOMPARE(result, -99.0); // untouched on failure
        try {
            dvt::StrToFloat(text);
            QFAIL("no EConvertError");
        } catch (const EConvertError &e) {
            QCOMPARE(e.Message(), u"'%1' is not a valid floating point value"_s.arg(text));
        }
    }
}

void tst_dvtFormat::strToFloatLocaleSeparator()
{
    dvt::FormatSettings().DecimalSeparator = u',';
    dvt::FormatSettings().ThousandSeparator = u'.';
    double v = 0;
    QVERIFY(dvt::TryStrToFloat(u"1,5"_s, v));
    QCOMPARE(v, 1.5);
    QVERIFY(dvt::TryStrToFloat(u"-2,5e1"_s, v));
    QCOMPARE(v, -25.0);
    QVERIFY(!dvt::TryStrToFloat(u"1.5"_s, v));
    QVERIFY(!dvt::TryStrToFloat(u"1.234,5"_s, v));
}

void tst_dvtFormat::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("plain") << u"42"_s << true << 42;
    QTest::newRow("blanks and minus") << u" -42 "_s << true << -42;
    QTest::newRow("plus") << u"+7"_s << true << 7;
    QTest::newRow("leading zeros") << u"007"_s << true << 7;
    QTest::newRow("dollar hex") << u"$FF"_s << true << 255;
    QTest::newRow("0x hex") << u"0x1f"_s << true << 31;
    QTest::newRow("negative hex") << u"-$10"_s << true << -16;
    QTest::newRow("max") << u"2147483647"_s << true << 2147483647;
    QTest::newRow("min") << u"-2147483648"_s << true << int(-2147483648LL);
    QTest::newRow("above max") << u"2147483648"_s << false << 0;
    QTest::newRow("below min") << u"-2147483649"_s << false << 0;
    QTest::newRow("hex above max") << u"$80000000"_s << false << 0;
    QTest::newRow("very long") << u"99999999999999999999"_s << false << 0;
    QTest::newRow("fraction") << u"1.0"_s << false << 0;
    QTest::newRow("empty") << u""_s << false << 0;
    QTest::newRow("letters") << u"abc"_s << false << 0;
    QTest::newRow("dollar only") << u"$"_s << false << 0;
    QTest::newRow("0x only") << u"0x"_s << false << 0;
    QTest::newRow("trailing letter") << u"12a"_s << false << 0;
    QTest::newRow("hex letter in decimal") << u"1f"_s << false << 0;
    QTest::newRow("bad hex digit") << u"$G"_s << false << 0;
    QTest::newRow("two numbers") << u"1 2"_s << false << 0;
}

void tst_dvtFormat::strToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);

    int result = -99;
    QCOMPARE(dvt::TryStrToInt(text, result), ok);
    if (ok) {
        QCOMPARE(result, value);
        QCOMPARE(dvt::StrToInt(text), value);
    } else {
        QCOMPARE(result, -99);
        try {
            dvt::StrToInt(text);
            QFAIL("no EConvertError");
        } catch (const EConvertError &e) {
            QCOMPARE(e.Message(), u"'%1' is not a valid integer value"_s.arg(text));
        }
    }
}

void tst_dvtFormat::trim_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("both");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");

    QTest::newRow("blanks") << u"  a b  "_s << u"a b"_s << u"a b  "_s << u"  a b"_s;
    QTest::newRow("control characters") << u"\t\n x \r"_s << u"x"_s << u"x \r"_s << u"\t\n x"_s;
    QTest::newRow("codes 1 and 31") << u"\x01"
                                       "a\x1f"_s
                                    << u"a"_s << u"a\x1f"_s
                                    << u"\x01"
                                       "a"_s;
    QTest::newRow("empty") << u""_s << u""_s << u""_s << u""_s;
    QTest::newRow("only blanks") << u"   "_s << u""_s << u""_s << u""_s;
    QTest::newRow("no-break space stays")
        << u"\u00a0a\u00a0"_s << u"\u00a0a\u00a0"_s << u"\u00a0a\u00a0"_s << u"\u00a0a\u00a0"_s;
}

void tst_dvtFormat::trim()
{
    QFETCH(QString, text);
    QFETCH(QString, both);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QCOMPARE(dvt::Trim(text), both);
    QCOMPARE(dvt::TrimLeft(text), left);
    QCOMPARE(dvt::TrimRight(text), right);
}

void tst_dvtFormat::upperCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii") << u"abcXYZ"_s << u"ABCXYZ"_s;
    QTest::newRow("accents stay") << u"äbcé"_s << u"äBCé"_s;
    QTest::newRow("sharp s stays") << u"ß1z"_s << u"ß1Z"_s;
    QTest::newRow("empty") << u""_s << u""_s;
}

void tst_dvtFormat::upperCase()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(dvt::UpperCase(text), expected);
}

void tst_dvtFormat::usDefaults()
{
    const dvt::TFormatSettings fs;
    QCOMPARE(fs.CurrencyString, u"$"_s);
    QCOMPARE(fs.CurrencyFormat, 0);
    QCOMPARE(fs.NegCurrFormat, 0);
    QCOMPARE(fs.CurrencyDecimals, 2);
    QCOMPARE(fs.ShortDateFormat, u"m/d/yyyy"_s);
    QCOMPARE(fs.ShortMonthNames[0], u"Jan"_s);
    QCOMPARE(fs.ShortMonthNames[11], u"Dec"_s);
    QCOMPARE(fs.LongMonthNames[8], u"September"_s);
    QCOMPARE(fs.ShortDayNames[0], u"Sun"_s);
    QCOMPARE(fs.LongDayNames[6], u"Saturday"_s);
    for (const QString &name : fs.LongMonthNames)
        QVERIFY(!name.isEmpty());
    for (const QString &name : fs.LongDayNames)
        QVERIFY(!name.isEmpty());
}

void tst_dvtFormat::fromLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<int>("currencyFormat");
    QTest::addColumn<int>("negCurrFormat");
    QTest::addColumn<int>("currencyDecimals");
    QTest::addColumn<QString>("separators");  // thousands, decimal, date, time
    QTest::addColumn<QStringList>("formats"); // short and long date, short and long time

    QTest::newRow("en_US") << u"en_US"_s << u"$"_s << 0 << 0 << 2 << u",./:"_s
                           << QStringList{u"m/d/yy"_s, u"dddd, mmmm d, yyyy"_s, u"h:nn ampm"_s,
                                          u"h:nn:ss ampm"_s};
    QTest::newRow("de_DE") << u"de_DE"_s << u"€"_s << 3 << 8 << 2 << u".,.:"_s
                           << QStringList{u"dd/mm/yy"_s, u"dddd, d. mmmm yyyy"_s, u"hh:nn"_s,
                                          u"hh:nn:ss"_s};
    QTest::newRow("nl_NL") << u"nl_NL"_s << u"€"_s << 2 << 14 << 2 << u".,-:"_s
                           << QStringList{u"dd/mm/yyyy"_s, u"dddd d mmmm yyyy"_s, u"hh:nn"_s,
                                          u"hh:nn:ss"_s};
    QTest::newRow("ja_JP") << u"ja_JP"_s << u"￥"_s << 0 << 0 << 0 << u",./:"_s
                           << QStringList{u"yyyy/mm/dd"_s, u"yyyy年m月d日dddd"_s, u"h:nn"_s,
                                          u"h時nn分ss秒"_s};
    QTest::newRow("fi_FI") << u"fi_FI"_s << u"€"_s << 3 << 8 << 2 << u"\u00a0,.."_s
                           << QStringList{u"d/m/yyyy"_s, u"dddd d. mmmm yyyy"_s, u"h:nn"_s,
                                          u"h:nn:ss"_s};
    QTest::newRow("pt_BR") << u"pt_BR"_s << u"R$"_s << 2 << 12 << 2 << u".,/:"_s
                           << QStringList{u"dd/mm/yyyy"_s, u"dddd, d \"de\" mmmm \"de\" yyyy"_s,
                                          u"hh:nn"_s, u"hh:nn:ss"_s};
    QTest::newRow("ko_KR") << u"ko_KR"_s << u"₩"_s << 0 << 0 << 0 << u",..:"_s
                           << QStringList{u"yy/ m/ d/"_s, u"yyyy년 m월 d일 dddd"_s, u"ampm h:nn"_s,
                                          u"ampm h시 n분 s초"_s};
}

void tst_dvtFormat::fromLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, currency);
    QFETCH(int, currencyFormat);
    QFETCH(int, negCurrFormat);
    QFETCH(int, currencyDecimals);
    QFETCH(QString, separators);
    QFETCH(QStringList, formats);

    const QLocale qt(locale);
    const dvt::TFormatSettings fs = dvt::TFormatSettings::FromLocale(qt);
    QCOMPARE(fs.CurrencyString, currency);
    QCOMPARE(fs.CurrencyFormat, currencyFormat);
    QCOMPARE(fs.NegCurrFormat, negCurrFormat);
    QCOMPARE(fs.CurrencyDecimals, currencyDecimals);
    const QChar actual[] = {fs.ThousandSeparator, fs.DecimalSeparator, fs.DateSeparator,
                            fs.TimeSeparator};
    QCOMPARE(QString(actual, 4), separators);
    QCOMPARE(
        QStringList({fs.ShortDateFormat, fs.LongDateFormat, fs.ShortTimeFormat, fs.LongTimeFormat}),
        formats);
    QCOMPARE(fs.TimeAMString, qt.amText());
    QCOMPARE(fs.TimePMString, qt.pmText());
    QCOMPARE(fs.LongMonthNames[2], qt.monthName(3));
    QCOMPARE(fs.ShortMonthNames[11], qt.monthName(12, QLocale::ShortFormat));
    QCOMPARE(fs.LongDayNames[0], qt.dayName(7));                        // Sunday
    QCOMPARE(fs.ShortDayNames[1], qt.dayName(1, QLocale::ShortFormat)); // Monday
    QCOMPARE(fs.TwoDigitYearCenturyWindow, 50);
}

void tst_dvtFormat::moneyMatchesLocale_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *name :
         {"en_US", "en_GB", "de_DE", "de_CH", "fr_FR", "nl_NL", "sv_SE", "ja_JP", "pt_BR", "it_IT"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Whatever the locale, "%m" writes what Qt writes for it, up to the kind of blank
// and minus sign.
void tst_dvtFormat::moneyMatchesLocale()
{
    QFETCH(QString, locale);
    const QLocale qt(locale);
    dvt::FormatSettings() = dvt::TFormatSettings::FromLocale(qt);
    for (const double value : {1234567.25, -1234567.25, 0.5, -0.5, 3.0, -3.0})
        QCOMPARE(plain(dvt::Format(u"%m"_s, {value})), plain(qt.toCurrencyString(value)));
}

QTEST_GUILESS_MAIN(tst_dvtFormat)
#include "tst_dvtFormat.moc"
