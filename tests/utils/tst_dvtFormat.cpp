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

    void floatToStr_data();
    void floatToStr();
    void intToStr();

    void strToNumber_data();
    void strToNumber();

    void trimAndCase_data();
    void trimAndCase();

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
    row("d 64-bit", u"%d"_s, {Q_INT64_C(-9223372036854775807) - 1}, u"-9223372036854775808"_s);
    row("d precision", u"%.4d"_s, {-42}, u"-0042"_s);
    row("u negative wraps", u"%u"_s, {-1}, u"18446744073709551615"_s);
    // text
    row("s left", u"%-5s|"_s, {u"abc"_s}, u"abc  |"_s);
    row("s precision cuts", u"%.2s"_s, {u"abc"_s}, u"ab"_s);
    // fixed
    row("f half away from zero", u"%.0f"_s, {2.5}, u"3"_s);
    row("f 2.675", u"%.2f"_s, {2.675}, u"2.68"_s);
    row("f no negative zero", u"%.2f"_s, {-0.001}, u"0.00"_s);
    // number with thousands
    row("n", u"%n"_s, {1234567.891}, u"1,234,567.89"_s);
    row("n rounds into a group", u"%.0n"_s, {999.5}, u"1,000"_s);
    // money
    row("m", u"%m"_s, {1234.5}, u"$1,234.50"_s);
    row("m negative", u"%m"_s, {-12.0}, u"($12.00)"_s);
    // scientific
    row("e", u"%e"_s, {1.5}, u"1.50000000000000E+000"_s);
    row("e carry", u"%.2e"_s, {9.96}, u"1.0E+001"_s);
    // general
    row("g rounds into exponent", u"%.2g"_s, {99.9}, u"1E+002"_s);
    // non-finite
    row("f NaN", u"%f"_s, {NaN}, u"NAN"_s);
    row("m infinity", u"%m"_s, {Inf}, u"INF"_s);
    // mixed text, percent, indexes, stars
    row("percent", u"100%%"_s, {}, u"100%"_s);
    row("index then next", u"%1:s%s%0:s"_s, {u"a"_s, u"b"_s, u"c"_s}, u"bca"_s);
    row("star both", u"%*.*f"_s, {8, 1, 3.14159}, u"     3.1"_s);
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
    QTest::newRow("m with integer") << u"%m"_s << QVariantList{12};
    QTest::newRow("missing argument") << u"%d"_s << QVariantList{};
    QTest::newRow("index beyond") << u"%1:d"_s << QVariantList{5};
    QTest::newRow("lone percent") << u"%"_s << QVariantList{};
    QTest::newRow("no type") << u"%5"_s << QVariantList{1};
    QTest::newRow("unknown type") << u"%q"_s << QVariantList{1};
    QTest::newRow("star with text") << u"%*d"_s << QVariantList{u"x"_s, 1};
    QTest::newRow("huge width") << u"%100000d"_s << QVariantList{1};
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
    QCOMPARE(dvt::FloatToStr(1.5e20), u"1,5E20"_s);
    double v = 0;
    QVERIFY(dvt::TryStrToFloat(u"1,5"_s, v));
    QCOMPARE(v, 1.5);
    QVERIFY(dvt::TryStrToFloat(u"-2,5e1"_s, v));
    QCOMPARE(v, -25.0);
    QVERIFY(!dvt::TryStrToFloat(u"1.5"_s, v));
    QVERIFY(!dvt::TryStrToFloat(u"1.234,5"_s, v));
}

void tst_dvtFormat::floatToStr_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("fraction") << 1234.5 << u"1234.5"_s;
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("smallest fixed") << 0.00001 << u"0.00001"_s;
    QTest::newRow("below fixed") << 0.0000099 << u"9.9E-6"_s;
    QTest::newRow("16 integer digits") << 1e15 << u"1E15"_s;
    QTest::newRow("max") << std::numeric_limits<double>::max() << u"1.79769313486232E308"_s;
    QTest::newRow("NaN") << NaN << u"NAN"_s;
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

void tst_dvtFormat::strToNumber_data()
{
    QTest::addColumn<bool>("integer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("float: signed exponent") << false << u"1.5E-2"_s << true << 0.015;
    QTest::newRow("float: leading point") << false << u".5"_s << true << 0.5;
    QTest::newRow("float: thousands") << false << u"1,234.5"_s << false << 0.0;
    QTest::newRow("float: exponent without digits") << false << u"1e"_s << false << 0.0;
    QTest::newRow("float: blank after sign") << false << u"- 5"_s << false << 0.0;
    QTest::newRow("float: infinity word") << false << u"INF"_s << false << 0.0;
    QTest::newRow("float: overflow") << false << u"1e999"_s << false << 0.0;
    QTest::newRow("int: blanks and minus") << true << u" -42 "_s << true << -42.0;
    QTest::newRow("int: dollar hex") << true << u"$FF"_s << true << 255.0;
    QTest::newRow("int: negative hex") << true << u"-$10"_s << true << -16.0;
    QTest::newRow("int: max") << true << u"2147483647"_s << true << 2147483647.0;
    QTest::newRow("int: above max") << true << u"2147483648"_s << false << 0.0;
    QTest::newRow("int: hex above max") << true << u"$80000000"_s << false << 0.0;
    QTest::newRow("int: fraction") << true << u"1.0"_s << false << 0.0;
    QTest::newRow("int: trailing letter") << true << u"12a"_s << false << 0.0;
}

// The raising and the trying forms agree; a failed try leaves its output alone.
void tst_dvtFormat::strToNumber()
{
    QFETCH(bool, integer);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);

    double result = -99;
    int intResult = -99;
    QCOMPARE(integer ? dvt::TryStrToInt(text, intResult) : dvt::TryStrToFloat(text, result), ok);
    if (integer)
        result = intResult;
    if (ok) {
        QCOMPARE(result, value);
        QCOMPARE(integer ? dvt::StrToInt(text) : dvt::StrToFloat(text), value);
        return;
    }
    QCOMPARE(result, -99.0);
    try {
        integer ? dvt::StrToInt(text) : dvt::StrToFloat(text);
        QFAIL("no EConvertError");
    } catch (const EConvertError &e) {
        const QString kind = integer ? u"integer"_s : u"floating point"_s;
        QCOMPARE(e.Message(), u"'%1' is not a valid %2 value"_s.arg(text, kind));
    }
}

void tst_dvtFormat::trimAndCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("both");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("upper");

    QTest::newRow("blanks") << u"  a b  "_s << u"a b"_s << u"a b  "_s << u"  a b"_s << u"  A B  "_s;
    QTest::newRow("control characters")
        << u"\t\n x \r"_s << u"x"_s << u"x \r"_s << u"\t\n x"_s << u"\t\n X \r"_s;
    QTest::newRow("no-break space, accents and sharp s stay")
        << u"\u00a0äbßé\u00a0"_s << u"\u00a0äbßé\u00a0"_s << u"\u00a0äbßé\u00a0"_s
        << u"\u00a0äbßé\u00a0"_s << u"\u00a0äBßé\u00a0"_s;
    QTest::newRow("empty") << u""_s << u""_s << u""_s << u""_s << u""_s;
}

void tst_dvtFormat::trimAndCase()
{
    QFETCH(QString, text);
    QFETCH(QString, both);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QString, upper);
    QCOMPARE(dvt::Trim(text), both);
    QCOMPARE(dvt::TrimLeft(text), left);
    QCOMPARE(dvt::TrimRight(text), right);
    QCOMPARE(dvt::UpperCase(text), upper);
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
    QTest::newRow("ja_JP") << u"ja_JP"_s << u"￥"_s << 0 << 0 << 0 << u",./:"_s
                           << QStringList{u"yyyy/mm/dd"_s, u"yyyy年m月d日dddd"_s, u"h:nn"_s,
                                          u"h時nn分ss秒"_s};
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
    QCOMPARE(fs.TimePMString, qt.pmText());
    QCOMPARE(fs.LongDayNames[0], qt.dayName(7));                        // Sunday
    QCOMPARE(fs.ShortDayNames[1], qt.dayName(1, QLocale::ShortFormat)); // Monday
    QCOMPARE(fs.TwoDigitYearCenturyWindow, 50);
}

void tst_dvtFormat::moneyMatchesLocale_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *name : {"en_US", "de_CH", "fr_FR", "ja_JP"})
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
