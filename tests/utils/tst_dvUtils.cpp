#include <QDate>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

#include "dvAddress.h"
#include "dvCrypt.h"
#include "dvSQL.h"
#include "dvStrings.h"
#include "dvWords.h"
#include "dvtDateTime.h"
#include "dvtException.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace {

// A table of locale names, a row each.
void localeRows(std::initializer_list<const char *> names)
{
    QTest::addColumn<QString>("locale");
    for (const char *name : names)
        QTest::newRow(name) << QString::fromLatin1(name);
}

using Text = std::function<QString()>;
using Number = std::function<double()>;
using Check = std::function<bool()>;
using Action = std::function<void()>;

constexpr int IntMax = std::numeric_limits<int>::max();
constexpr int IntMin = std::numeric_limits<int>::min();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
// 2001-02-03 04:05:06.007, a Saturday morning, and 1999-12-31 23:59:58.900.
const double Morning = 36925 + (((4 * 60 + 5) * 60 + 6) * 1000 + 7) / 86400000.0;
const double Evening = 36525 + (((23 * 60 + 59) * 60 + 58) * 1000 + 900) / 86400000.0;

const QString Alphabet =
    u" abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()-_=+/?.>,<0123456789"
    u"áÁéÉíÍóÓúÚãÃõÕñÑàÀèÈìÌòÒùÙ"_s;
// Characters that the scrambling leaves alone.
const QString Outsiders = u"\"';:[]{}\\|`\t\r\n\x01çÇüÜ€ß"_s;

// Full stops, decimal comma, money after the amount, day first, German names.
void useEuropean()
{
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.ThousandSeparator = u'.';
    fs.DecimalSeparator = u',';
    fs.CurrencyString = u"€"_s;
    fs.CurrencyFormat = 3;
    fs.CurrencyDecimals = 3;
    fs.DateSeparator = u'.';
    fs.TimeSeparator = u'.';
    fs.ShortDateFormat = u"dd/mm/yyyy"_s;
    fs.LongTimeFormat = u"hh:nn:ss"_s;
    fs.TimePMString = u"nachm."_s;
    fs.LongMonthNames[1] = u"Februar"_s;
    fs.ShortDayNames[6] = u"Sa"_s;
}

// One row of a table whose columns are a call and what it answers.
template<typename T>
void row(const QByteArray &name, const T &expected,
         const std::type_identity_t<std::function<T()>> &call)
{
    QTest::newRow(name.constData()) << call << expected;
}

// The row's call made under the European settings.
template<typename T>
void european(const char *name, const T &expected,
              const std::type_identity_t<std::function<T()>> &call)
{
    row(name, expected, [=] {
        useEuropean();
        return call();
    });
}

void words(double amount, bool currency, const QString &expected)
{
    row("words " + QByteArray::number(amount, 'f', 3) + (currency ? "" : " bare"), expected,
        [=] { return dvNumToWords(amount, currency); });
}

// Words of 1234.56 under other money settings.
void wordsIn(const char *name, const QString &symbol, QChar thousands, QChar decimal, int decimals,
             const QString &expected)
{
    row(name, expected, [=] {
        dvt::TFormatSettings &fs = dvt::FormatSettings();
        fs.CurrencyString = symbol;
        fs.ThousandSeparator = thousands;
        fs.DecimalSeparator = decimal;
        fs.CurrencyDecimals = decimals;
        return dvNumToWords(1234.56, true);
    });
}

void soundex(const char *name, const QString &text, const QString &key)
{
    row(QByteArray("soundex ") + name, key, [=] { return dvSoundex(text); });
}

void state(const char *name, const QString &code, const QString &country, bool valid)
{
    row(QByteArray("state: ") + name, valid, [=] { return dvValidState(code, country); });
}

void zip(const char *name, const QString &code, const QString &state, bool valid)
{
    row(QByteArray("zip: ") + name, valid, [=] { return dvValidUSZip(code, state); });
}

QString conversionError(const Action &call)
{
    try {
        call();
    } catch (const dvt::EConvertError &e) {
        return e.Message();
    }
    return u"no EConvertError"_s;
}

void format(const char *name, const QString &pattern, const dvt::FormatArg &arg,
            const QString &expected)
{
    row(name, expected, [=] { return dvt::Format(pattern, {arg}); });
}

void dateTime(const char *name, const QString &pattern, double value, const QString &expected)
{
    row(name, expected, [=] { return dvt::FormatDateTime(pattern, value); });
}

// The value as DecodeDate and DecodeTime give it, and as FormatDateTime writes it.
void decoded(const char *name, double value, const QString &expected)
{
    row(name, QString(expected + u'|' + expected), [=] {
        int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
        dvt::DecodeDate(value, y, m, d);
        dvt::DecodeTime(value, h, n, s, z);
        return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d.%03d|", y, m, d, h, n, s, z)
               + dvt::FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz"_s, value);
    });
}

// FloatToStr of the value, and FloatToStr of what StrToFloat reads from that.
void floatText(const char *name, double value, const QString &expected)
{
    row(name, QString(expected + u' ' + expected), [=] {
        const QString text = dvt::FloatToStr(value);
        return text + u' ' + dvt::FloatToStr(dvt::StrToFloat(text));
    });
}

// What the call raises.
void error(const char *name, const QString &message, const Action &call)
{
    row(name, message, [=] { return conversionError(call); });
}

// The readers, each with the pattern that shows what it read (numbers: FloatToStr)
// and its message.
enum ReaderKind { DateKind, TimeKind, DateTimeKind, FloatKind, IntKind };
struct Reader
{
    bool (*tryRead)(const QString &, double &);
    double (*read)(const QString &);
    QString shown;
    QString message;
};
const Reader Readers[] = {
    {dvt::TryStrToDate, dvt::StrToDate, u"yyyy-mm-dd"_s, u"'%1' is not a valid date"_s},
    {dvt::TryStrToTime, dvt::StrToTime, u"hh:nn:ss.zzz"_s, u"'%1' is not a valid time"_s},
    {dvt::TryStrToDateTime, dvt::StrToDateTime, u"yyyy-mm-dd hh:nn:ss.zzz"_s,
     u"'%1' is not a valid date and time"_s},
    {dvt::TryStrToFloat, dvt::StrToFloat, QString(), u"'%1' is not a valid floating point value"_s},
    {[](const QString &text, double &value) {
         int result = int(value);
         const bool ok = dvt::TryStrToInt(text, result);
         value = result;
         return ok;
     },
     [](const QString &text) { return double(dvt::StrToInt(text)); }, QString(),
     u"'%1' is not a valid integer value"_s},
};

// Qt's money texts use no-break spaces and typographic minus signs where the
// format settings hold plain blanks and hyphens.
QString plain(QString text)
{
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
    text.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ').replace(QChar(0x2212), u'-');
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Text)
Q_DECLARE_METATYPE(Number)
Q_DECLARE_METATYPE(Check)
Q_DECLARE_METATYPE(Action)

class tst_dvUtils : public QObject
{
    Q_OBJECT
    dvt::TFormatSettings m_saved;

private Q_SLOTS:
    // Each test starts from the United States settings.
    void init() { m_saved = std::exchange(dvt::FormatSettings(), dvt::TFormatSettings()); }
    void cleanup() { dvt::FormatSettings() = m_saved; }

    void texts_data()
    {
        QTest::addColumn<Text>("call");
        QTest::addColumn<QString>("expected");
        // Format: integers, text, fixed, thousands, money, scientific, general
        format("d 64-bit", u"%d"_s, Q_INT64_C(-9223372036854775807) - 1, u"-9223372036854775808"_s);
        format("d precision", u"%.4d"_s, -42, u"-0042"_s);
        format("u negative wraps", u"%u"_s, -1, u"18446744073709551615"_s);
        format("s left", u"%-5s|"_s, u"abc"_s, u"abc  |"_s);
        format("s precision cuts", u"%.2s"_s, u"abc"_s, u"ab"_s);
        format("f half away from zero", u"%.0f"_s, 2.5, u"3"_s);
        format("f 2.675", u"%.2f"_s, 2.675, u"2.68"_s);
        format("f no negative zero", u"%.2f"_s, -0.001, u"0.00"_s);
        format("n", u"%n"_s, 1234567.891, u"1,234,567.89"_s);
        format("n rounds into a group", u"%.0n"_s, 999.5, u"1,000"_s);
        format("e", u"%e"_s, 1.5, u"1.50000000000000E+000"_s);
        format("e carry", u"%.2e"_s, 9.96, u"1.0E+001"_s);
        format("g rounds into exponent", u"%.2g"_s, 99.9, u"1E+002"_s);
        format("f NaN", u"%f"_s, NaN, u"NAN"_s);
        format("m infinity", u"%m"_s, Inf, u"INF"_s);
        row("percent", u"100%"_s, [] { return dvt::Format(u"100%%"_s, {}); });
        row("index then next", u"bca"_s, [] {
            return dvt::Format(u"%1:s%s%0:s"_s, {u"a", u"b", u"c"});
        });
        row("star both", u"     3.1"_s, [] { return dvt::Format(u"%*.*f"_s, {8, 1, 3.14159}); });

        // Every money form, and a form number out of range.
        const QStringList positive = {u"kr1,234.50"_s, u"1,234.50kr"_s, u"kr 1,234.50"_s,
                                      u"1,234.50 kr"_s};
        const QStringList negative = {
            u"(kr1,234.50)"_s, u"-kr1,234.50"_s,  u"kr-1,234.50"_s,   u"kr1,234.50-"_s,
            u"(1,234.50kr)"_s, u"-1,234.50kr"_s,  u"1,234.50-kr"_s,   u"1,234.50kr-"_s,
            u"-1,234.50 kr"_s, u"-kr 1,234.50"_s, u"1,234.50 kr-"_s,  u"kr 1,234.50-"_s,
            u"kr -1,234.50"_s, u"1,234.50- kr"_s, u"(kr 1,234.50)"_s, u"(1,234.50 kr)"_s};
        const auto money = [](const QByteArray &name, int form, int negForm, double value,
                              const QString &expected) {
            row(name, expected, [=] {
                dvt::TFormatSettings &fs = dvt::FormatSettings();
                fs.CurrencyString = u"kr"_s;
                fs.CurrencyFormat = form;
                fs.NegCurrFormat = negForm;
                return dvt::Format(u"%m"_s, {value});
            });
        };
        for (int i = 0; i < positive.size(); ++i)
            money("positive " + QByteArray::number(i), i, 0, 1234.5, positive[i]);
        for (int i = 0; i < negative.size(); ++i)
            money("negative " + QByteArray::number(i), 3, i, -1234.5, negative[i]);
        money("positive ignores negative form", 1, 15, 7.0, u"7.00kr"_s);
        money("out of range negative", 0, 16, -1.0, u"(kr1.00)"_s);

        // The separators, money form and names are read at each call.
        european("eu: m", u"1.234.567,892 €"_s,
                 [] { return dvt::Format(u"%m"_s, {1234567.8915}); });
        european("eu: n", u"1.234,50"_s, [] { return dvt::Format(u"%n"_s, {1234.5}); });
        european("eu: f", u"1234,6"_s, [] { return dvt::Format(u"%.1f"_s, {1234.56}); });
        european("eu: e", u"1,23E+003"_s, [] { return dvt::Format(u"%.3e"_s, {1234.5}); });
        european("eu: c", u"03.02.2001 04.05.06"_s,
                 [] { return dvt::FormatDateTime(u"c"_s, Morning); });
        european("eu: ampm", u"11 nachm."_s,
                 [] { return dvt::FormatDateTime(u"h ampm"_s, Evening); });
        european("eu: names", u"Sa 3. Februar"_s,
                 [] { return dvt::FormatDateTime(u"ddd d. mmmm"_s, Morning); });
        european("eu: quoted separators", u"/:"_s,
                 [] { return dvt::FormatDateTime(u"\"/\"':'"_s, Morning); });

        // Blanks and control characters are trimmed; no-break spaces, accents and ß stay.
        row("Trim", u"\u00a0x"_s, [] { return dvt::Trim(u"\t\n\u00a0x \r"_s); });
        row("TrimLeft", u"x \r"_s, [] { return dvt::TrimLeft(u"\t\n x \r"_s); });
        row("TrimRight", u"\t\n x"_s, [] { return dvt::TrimRight(u"\t\n x \r"_s); });
        row("TrimRight empty", QString(), [] { return dvt::TrimRight(QString()); });
        row("UpperCase", u"\u00a0äBßé\t"_s, [] { return dvt::UpperCase(u"\u00a0äbßé\t"_s); });

        // The shortest text, which reads back to itself.
        floatText("0.1 + 0.2", 0.1 + 0.2, u"0.3"_s);
        floatText("smallest fixed", 0.00001, u"0.00001"_s);
        floatText("below fixed", 0.0000099, u"9.9E-6"_s);
        floatText("16 integer digits", 1e15, u"1E15"_s);
        row("FloatToStr max", u"1.79769313486232E308"_s,
            [] { return dvt::FloatToStr(std::numeric_limits<double>::max()); });
        row("FloatToStr NaN", u"NAN"_s, [] { return dvt::FloatToStr(NaN); });

        // FormatDateTime: each code, the twelve-hour clock, minutes after an hour code,
        // letter case and literals.
        dateTime("dddddd", u"dddddd"_s, Morning, u"Saturday, February 3, 2001"_s);
        dateTime("c", u"c"_s, Morning, u"2/3/2001 4:05:06 AM"_s);
        dateTime("c at midnight", u"c"_s, 36925.0, u"2/3/2001"_s);
        dateTime("empty pattern", QString(), Morning, u"2/3/2001 4:05:06 AM"_s);
        dateTime("yyyy in year 5", u"yyyy"_s, dvt::EncodeDate(5, 6, 7), u"0005"_s);
        dateTime("h:nn am/pm", u"h:nn am/pm"_s, Evening, u"11:59 pm"_s);
        dateTime("h ampm at midnight", u"h ampm"_s, 36925.0, u"12 AM"_s);
        dateTime("quoted am/pm", u"hh 'am/pm'"_s, Evening, u"23 am/pm"_s);
        dateTime("hh\"h\"mm", u"hh\"h\"mm"_s, Morning, u"04h05"_s);
        dateTime("hh:mmm", u"hh:mmm"_s, Morning, u"04:Feb"_s);
        dateTime("h:ss:mm", u"h:ss:mm"_s, Morning, u"4:06:02"_s);
        dateTime("DD/MM/YYYY", u"DD/MM/YYYY"_s, Morning, u"03/02/2001"_s);
        dateTime("\"day\" d", u"\"day\" d"_s, Morning, u"day 3"_s);
        dateTime("'it''s'", u"'it''s'"_s, Morning, u"its"_s);
        // Decoding takes the time to the nearest millisecond, but never into the next day.
        decoded("stays in its day", 0.9999999999, u"1899-12-30 23:59:59.999"_s);
        decoded("negative time of day", -1.25, u"1899-12-29 06:00:00.000"_s);
        decoded("negative stays in its day", -1.9999999999, u"1899-12-29 23:59:59.999"_s);
        decoded("nearest millisecond up", 36525 + 1.6 / 86400000, u"1999-12-31 00:00:00.002"_s);

        const QString bad = u"Format '%1' invalid or incompatible with argument"_s;
        error("d with double", bad.arg(u"%d"), [] { dvt::Format(u"%d"_s, {1.5}); });
        error("missing argument", bad.arg(u"%d"), [] { dvt::Format(u"%d"_s, {}); });
        error("unknown type", bad.arg(u"%q"), [] { dvt::Format(u"%q"_s, {1}); });
        error("star with text", bad.arg(u"%*d"), [] { dvt::Format(u"%*d"_s, {u"x", 1}); });
        error("huge width", bad.arg(u"%100000d"), [] { dvt::Format(u"%100000d"_s, {1}); });

        error("single quote", u"Date-time format ''abc' has an unterminated quote"_s,
              [] { dvt::FormatDateTime(u"'abc"_s, Morning); });
        error("double quote", u"Date-time format 'dd \"x' has an unterminated quote"_s,
              [] { dvt::FormatDateTime(u"dd \"x"_s, Morning); });
        error("in the locale's format", u"Date-time format 'd 'x' has an unterminated quote"_s, [] {
            dvt::FormatSettings().ShortDateFormat = u"d 'x"_s;
            dvt::FormatDateTime(u"ddddd"_s, Morning);
        });
        error("self-reference",
              u"Date-time format 'ddddd' refers to the locale's formats too deeply"_s, [] {
                  dvt::FormatSettings().ShortDateFormat = u"ddddd"_s;
                  dvt::FormatDateTime(u"ddddd"_s, Morning);
              });

        const auto date = [](const char *name, int y, int m, int d) {
            error(name, u"Year %1, month %2, day %3 is not a valid date"_s.arg(y).arg(m).arg(d),
                  [=] { dvt::EncodeDate(y, m, d); });
        };
        date("29 Feb of a common year", 2001, 2, 29);
        date("year 10000", 10000, 1, 1);
        date("month 13", 2000, 13, 1);
        date("month 257", 2000, 257, 1);
        date("day 0", 2000, 1, 0);
        error("hour 24", u"24:0:0.0 is not a valid time"_s, [] { dvt::EncodeTime(24, 0, 0, 0); });
        error("msec 1000", u"0:0:0.1000 is not a valid time"_s,
              [] { dvt::EncodeTime(0, 0, 0, 1000); });

        // Values outside years 1 to 9999, and non-finite ones, in every reader of a date-time.
        const QString outside = u"'%1' is not a valid date-time value"_s;
        error("DecodeDate NaN", outside.arg(u"nan"), [] {
            int y, m, d;
            dvt::DecodeDate(NaN, y, m, d);
        });
        error("DecodeTime after 9999", outside.arg(u"2958466"), [] {
            int h, n, s, z;
            dvt::DecodeTime(2958466, h, n, s, z);
        });
        error("DayOfWeek before year 1", outside.arg(u"-693594"), [] { dvt::DayOfWeek(-693594); });
        error("FormatDateTime infinity", outside.arg(u"inf"),
              [] { dvt::FormatDateTime(u"c"_s, Inf); });

        // A string literal must reach the text overload, not turn into a true pointer.
        row("dvIf literal", u"no"_s, [] { return dvIf(false, "yes", "no"); });
        row("dvMin ordinal", u"B"_s, [] { return dvMin(u"a"_s, u"B"_s); });
        row("dvMax accented after z", u"é"_s, [] { return dvMax(u"é"_s, u"z"_s); });
        row("replicate", u"ababab"_s, [] { return dvReplicate(u"ab"_s, 3); });
        row("replicate empty, huge count", QString(),
            [] { return dvReplicate(QString(), IntMax); });
        row("space, most negative", QString(), [] { return dvSpace(IntMin); });
        row("left: padded", u"abc  "_s, [] { return dvLeft(u"abc"_s, 5, false); });
        row("left: cut", u"abc"_s, [] { return dvLeft(u"abcdef"_s, 3, false); });
        row("left: most negative", QString(), [] { return dvLeft(u"abc"_s, IntMin, true); });
        row("left: trim cuts first", u"ab"_s, [] { return dvLeft(u"  ab  cd"_s, 6, true); });
        row("right: padded", u"  ab"_s, [] { return dvRight(u"ab"_s, 4, false); });
        row("right: cut on the left", u"def"_s, [] { return dvRight(u"abcdef"_s, 3, false); });
        row("right: most negative", QString(), [] { return dvRight(u"abc"_s, IntMin, false); });
        row("right: trim after cutting", u"cd"_s, [] { return dvRight(u"ab  cd  "_s, 5, true); });
        row("rotate start 1", u"abcd"_s, [] { return dvRotate(u"abcd"_s, 1); });
        row("rotate start 2", u"bcda"_s, [] { return dvRotate(u"abcd"_s, 2); });
        row("rotate start L+2", u"bcda"_s, [] { return dvRotate(u"abcd"_s, 6); });
        row("rotate most negative", u"abcd"_s, [] { return dvRotate(u"abcd"_s, IntMin); });
        // 2147483647 = 4 * 536870911 + 3: as start 3.
        row("rotate huge start", u"cdab"_s, [] { return dvRotate(u"abcd"_s, IntMax); });
        row("rotate empty, huge start", QString(), [] { return dvRotate(QString(), IntMax); });
        row("strTran no overlap", u"bb"_s, [] { return dvStrTran(u"aaaa"_s, u"aa"_s, u"b"_s); });
        row("strTran empty search", u"x"_s, [] { return dvStrTran(u"x"_s, QString(), u"y"_s); });
        row("strTran not rescanned", u"ab"_s, [] { return dvStrTran(u"aab"_s, u"ab"_s, u"b"_s); });
        row("item: empty", QString(), [] { return dvStringItem(u"a,b,,d"_s, 3, u','); });
        row("item: 0 counts as 1", u"a"_s, [] { return dvStringItem(u"a,b,,d"_s, 0, u','); });
        row("item: most negative", u"a"_s, [] { return dvStringItem(u"a,b,,d"_s, IntMin, u','); });
        row("item: no trimming", u" y "_s, [] { return dvStringItem(u" x | y "_s, 2, u'|'); });
        row("item: beyond the last", QString(), [] { return dvStringItem(u"a,"_s, 3, u','); });
        row("zero: significant digits", u"003.14"_s, [] { return dvStrZero(3.14159, 6, 3); });
        row("zero: rounds half away", u"0003"_s, [] { return dvStrZero(2.5, 4, 1); });
        row("zero: never shortened", u"1234567"_s, [] { return dvStrZero(1234567, 3, 0); });
        row("zero: negative decimals", u"3.14159"_s, [] { return dvStrZero(3.14159, 3, -2); });
        row("zero: beyond 15 digits", u"001E+020"_s, [] { return dvStrZero(1e20, 8, 0); });
        row("zero: beyond the precision", u"1.2E+004"_s, [] { return dvStrZero(12345, 3, 2); });
        row("zero: huge precision", u"100000000000000000000"_s,
            [] { return dvStrZero(1e20, 3, IntMax); });
        row("zero: small", u"1.234E-006"_s, [] { return dvStrZero(0.000001234, 4, 0); });
        row("zero: nan", u"00NAN"_s, [] { return dvStrZero(NaN, 5, 0); });
        european("zero: decimal comma", u"003,14"_s, [] { return dvStrZero(3.14159, 6, 3); });

        row("sqlString empty", u"\"\""_s, [] { return dvSQLString(QString()); });
        row("sqlString embedded quotes", u"\"say hi\""_s,
            [] { return dvSQLString(u"say \"hi\""_s); });
        row("sqlString single quotes", u"\"it's\""_s, [] { return dvSQLString(u"it's"_s); });
        row("sqlBoolean nO", u"\"N\""_s, [] { return dvSQLBoolean(u"nO"_s); });
        row("sqlBoolean n", u"\"N\""_s, [] { return dvSQLBoolean(u"n"_s); });
        row("sqlBoolean empty", u"\"Y\""_s, [] { return dvSQLBoolean(QString()); });
        row("sqlBoolean leading blank", u"\"Y\""_s, [] { return dvSQLBoolean(u" no"_s); });
        row("sqlBoolean non", u"\"Y\""_s, [] { return dvSQLBoolean(u"non"_s); });
        // String literals must be read as text, not converted to a true pointer.
        row("sqlBoolean literal", u"\"N\""_s, [] { return dvSQLBoolean("no"); });
        row("sqlBoolean u literal", u"\"N\""_s, [] { return dvSQLBoolean(u"N"); });
        row("sqlFloat negative zero", u"0"_s, [] { return dvSQLFloat(-0.0); });
        row("sqlFloat nan", u"NAN"_s, [] { return dvSQLFloat(NaN); });
        row("sqlDate empty", u"null"_s, [] { return dvSQLDate(QString()); });
        row("sqlDate zero padded", u"\"01/02/2000\""_s, [] { return dvSQLDate(u"1/2/2000"_s); });
        row("sqlDate no such day", u"null"_s, [] { return dvSQLDate(u"2/30/2000"_s); });
        row("sqlDate time ignored", u"\"12/31/1999\""_s, [] { return dvSQLDate(36525.99); });
        row("sqlDate just before midnight", u"\"12/31/1999\""_s,
            [] { return dvSQLDate(36525.9999999999); });
        row("sqlDate before the epoch", u"\"12/29/1899\""_s, [] { return dvSQLDate(-1.25); });
        row("sqlDate beyond year 9999", u"null"_s, [] { return dvSQLDate(1e10); });
        row("sqlDate nan", u"null"_s, [] { return dvSQLDate(NaN); });
        const QString blankTime = u"\"        \""_s;
        row("sqlTime empty", blankTime, [] { return dvSQLTime(QString()); });
        row("sqlTime afternoon", u"\"13:05:09\""_s, [] { return dvSQLTime(u"1:05:09 PM"_s); });
        row("sqlTime 12 AM is midnight", u"\"00:00:00\""_s,
            [] { return dvSQLTime(u"12:00 AM"_s); });
        row("sqlTime hour 25", blankTime, [] { return dvSQLTime(u"25:00"_s); });
        row("sqlTime noon of a date", u"\"12:00:00\""_s, [] { return dvSQLTime(36526.5); });
        row("sqlTime seconds not rounded up", u"\"23:59:59\""_s,
            [] { return dvSQLTime(86399999 / 86400000.0); });
        row("sqlTime just before midnight", u"\"23:59:59\""_s,
            [] { return dvSQLTime(36525.9999999999); });
        row("sqlTime nan", blankTime, [] { return dvSQLTime(NaN); });
        row("sqlInteger smallest", u"-2147483648"_s, [] { return dvSQLInteger(IntMin); });
        // The literals follow the settings of the moment; the date stays month first.
        row("sqlFloat each call", u"1234.5 1234,5 3"_s, [] {
            const QString before = dvSQLFloat(1234.5);
            useEuropean();
            return before + u' ' + dvSQLFloat(1234.5) + u' ' + dvSQLFloat(3.0);
        });
        row("sqlDate each call", u"\"12/31/1999\" \"12.31.1999\" \"07.05.2004\""_s, [] {
            const QString before = dvSQLDate(u"12/31/1999"_s);
            useEuropean();
            return before + u' ' + dvSQLDate(u"31.12.1999"_s) + u' ' + dvSQLDate(38173.0);
        });
        european("sqlDate, day first, month-first text", u"null"_s,
                 [] { return dvSQLDate(u"12/31/1999"_s); });
        row("sqlTime each call", u"\"13:05:00\" \"13.05.00\" \"18.00.00\""_s, [] {
            const QString before = dvSQLTime(u"13:05"_s);
            useEuropean();
            return before + u' ' + dvSQLTime(u"13.05"_s) + u' ' + dvSQLTime(0.75);
        });

        // Below one: no currency word, the cents get a trailing blank.
        words(0, true, u"Zero"_s);
        words(0.5, true, u"Fifty Cents "_s);
        words(0.999, true, u"One "_s); // rounds to one, still below one
        words(1, true, u"One Dollar "_s);
        words(1.01, true, u"One Dollar and One Cent"_s);
        words(2, true, u"Two Dollars "_s);
        // Within one group: the hundreds, " and " before teens, ", " before tens.
        words(13, true, u"Tirteen Dollars "_s);
        words(40, true, u"Fourty Dollars "_s);
        words(100, true, u" One Hundred Dollars "_s);
        words(110, true, u"One Hundred and Ten Dollars "_s);
        words(120, true, u"One Hundred, Twenty Dollars "_s);
        // Thousands and units: " and " when the units are below ten or whole hundreds.
        words(1001, true, u"One Thousand and One Dollars "_s);
        words(1100, true, u"One Thousand and One Hundred Dollars "_s);
        words(1234.56, true,
              u"One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s);
        // Millions and billions: plural scale words, no currency word without units.
        words(1000000, true, u"One Million Dollars "_s);
        words(1000000.5, true, u"One Million and Fifty Cents"_s);
        words(2000000, true, u"Two Millions "_s);
        words(1002003004, true, u"One Billion, Two Millions, Three Thousand and Four Dollars "_s);
        words(999999999999.99, true,
              u"Nine Hundred, Ninety Nine Billions, Nine Hundred, Ninety Nine Millions, Nine "
              u"Hundred, Ninety Nine Thousand, Nine Hundred, Ninety Nine Dollars and Ninety Nine "
              u"Cents"_s);
        words(-1234.56, true,
              u"Minus One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s);
        words(-0.5, true, u"Minus Fifty Cents "_s);
        words(1.01, false, u"One "_s);
        words(0.5, false, QString());
        words(-42, false, u"Minus Fourty Two"_s);
        words(1e12, true, QString());
        words(NaN, false, QString());
        wordsIn("words: symbol after, comma decimal", u"€"_s, u'.', u',', 2,
                u"One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s);
        wordsIn("words: symbol with a full stop", u"Fr."_s, u'\'', u'.', 2,
                u"One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s);
        wordsIn("words: no currency decimals", u"$"_s, u',', u'.', 0,
                u"One Thousand, Two Hundred, Tirty Five Dollars "_s);
        wordsIn("words: three currency decimals", u"$"_s, u',', u'.', 3, QString());

        // Empty names and dropped first letters.
        soundex("control characters", u"\t\r\n"_s, QString());
        soundex("lone A", u"A"_s, QString());
        soundex("KN", u"KNIGHT"_s, u"NKT"_s);
        soundex("initial X", u"XAVIER"_s, u"SFR"_s);
        soundex("WH", u"WHITE"_s, u"WT"_s);
        // Vowels count only first; case and surrounding blanks do not matter.
        soundex("first vowel", u"EDGE"_s, u"EJ"_s);
        soundex("lower case, blanks, TH", u"  smith\t"_s, u"SMO"_s);
        soundex("accented letter", u"JOSÉ"_s, u"JS"_s);
        soundex("MB at the end", u"LAMB"_s, u"LM"_s);
        soundex("SCI silent C", u"SCIENCE"_s, u"SNS"_s);
        soundex("CIA", u"CIA"_s, u"X"_s);
        soundex("SCH", u"SCHMIDT"_s, u"SKMTT"_s);
        soundex("initial CH before consonant", u"CHRIS"_s, u"KRS"_s);
        soundex("inner CH", u"MICHAEL"_s, u"MXL"_s);
        soundex("CK", u"JACK"_s, u"JK"_s);
        soundex("GE at the end", u"GEORGE"_s, u"JR"_s);
        soundex("GH before consonant", u"NIGHT"_s, u"NKT"_s);
        soundex("GNED", u"SIGNED"_s, u"SNT"_s);
        soundex("H before consonant", u"JOHN"_s, u"JN"_s);
        soundex("PH", u"PHONE"_s, u"FN"_s);
        soundex("Q", u"QUEEN"_s, u"KN"_s);
        soundex("SIO", u"PASSION"_s, u"PSXN"_s);
        soundex("initial THO", u"THOMAS"_s, u"TMS"_s);
        soundex("TCH", u"MATCH"_s, u"MX"_s);
        soundex("Y before vowel", u"YOUNG"_s, u"YNK"_s);
        soundex("Z", u"ZOE"_s, u"S"_s);
        soundex("seven characters", u"MAXXXX"_s, u"MKSKSKS"_s);
    }

    void texts()
    {
        QFETCH(Text, call);
        QFETCH(QString, expected);
        QCOMPARE(call(), expected);
    }

    // Whatever the locale, "%m" writes what Qt writes for it, up to the kind of blank
    // and minus sign.
    void moneyMatchesLocale_data() { localeRows({"de_CH", "fr_FR"}); }

    void moneyMatchesLocale()
    {
        QFETCH(QString, locale);
        const QLocale qt(locale);
        dvt::FormatSettings() = dvt::TFormatSettings::FromLocale(qt);
        for (const double value : {1234567.25, -1234567.25, 0.5, -0.5, 3.0, -3.0})
            QCOMPARE(plain(dvt::Format(u"%m"_s, {value})), plain(qt.toCurrencyString(value)));
    }

    void encodeDate_data()
    {
        QTest::addColumn<QList<int>>("date"); // year, month, day, day of week
        QTest::addColumn<double>("serial");
        QTest::newRow("epoch") << QList<int>{1899, 12, 30, 7} << 0.0;
        QTest::newRow("day before epoch") << QList<int>{1899, 12, 29, 6} << -1.0;
        QTest::newRow("leap day 2000") << QList<int>{2000, 2, 29, 3} << 36585.0;
        QTest::newRow("first day") << QList<int>{1, 1, 1, 2} << -693593.0;
        QTest::newRow("last day") << QList<int>{9999, 12, 31, 6} << 2958465.0;
    }

    void encodeDate()
    {
        QFETCH(QList<int>, date);
        QFETCH(double, serial);
        QCOMPARE(dvt::EncodeDate(date[0], date[1], date[2]), serial);
        double encoded = 0;
        QVERIFY(dvt::TryEncodeDate(date[0], date[1], date[2], encoded));
        QCOMPARE(encoded, serial);
        // The time of day changes neither the date nor the weekday.
        for (const double value : {serial, serial >= 0 ? serial + 0.75 : serial - 0.75}) {
            int y = 0, m = 0, d = 0;
            dvt::DecodeDate(value, y, m, d);
            QCOMPARE(QList<int>({y, m, d, dvt::DayOfWeek(value)}), date);
        }
    }

    void encodeTime()
    {
        double time = -7;
        QVERIFY(!dvt::TryEncodeDate(2001, 2, 29, time) && !dvt::TryEncodeTime(24, 0, 0, 0, time));
        QCOMPARE(time, -7.0); // left alone
        time = dvt::EncodeTime(23, 59, 59, 999);
        QCOMPARE(time, 86399999 / 86400000.0);
        // The time decodes back on any day, before the epoch as after it.
        for (const double dateTime : {time, 36525 + time, -10 - time}) {
            int h = 0, n = 0, s = 0, z = 0;
            dvt::DecodeTime(dateTime, h, n, s, z);
            QCOMPARE(QList<int>({h, n, s, z}), QList<int>({23, 59, 59, 999}));
        }
    }

    void calendarFacts()
    {
        for (const auto &[year, leap] : {std::pair{2000, true}, {1900, false}, {2400, true}}) {
            QCOMPARE(dvt::IsLeapYear(year), leap);
            QCOMPARE(dvt::DaysInMonth(year, 2), leap ? 29 : 28);
        }
        QCOMPARE(dvt::DaysInMonth(2000, 4), 30);
        QCOMPARE(dvt::DaysInMonth(2000, 13), 0);
    }

    void clock()
    {
        const QDateTime before = QDateTime::currentDateTime();
        const double now = dvt::Now();
        const QDate day = before.date();
        const double expected = dvt::EncodeDate(day.year(), day.month(), day.day())
                                + before.time().msecsSinceStartOfDay() / 86400000.0;
        QVERIFY(std::fabs(now - expected) < 5.0 / 86400);
        QVERIFY(std::fabs(dvt::Date() + dvt::Time() - now) < 5.0 / 86400);
        QCOMPARE(dvt::Date(), std::floor(dvt::Date()));
    }

    void readers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Action>("setup");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // as the kind's pattern shows it; empty: rejected
        const auto read = [](
                              const QByteArray &name, ReaderKind kind, const QString &text,
                              const QString &expected, const Action &setup = [] {}) {
            QTest::newRow(name.constData()) << int(kind) << setup << text << expected;
        };
        const auto dateFormat = [](const QString &format, QChar separator) {
            return Action([=] {
                dvt::FormatSettings().ShortDateFormat = format;
                dvt::FormatSettings().DateSeparator = separator;
            });
        };
        const int current = QDate::currentDate().year();
        read("month first", DateKind, u"12/31/1999"_s, u"1999-12-31"_s);
        read("two numbers", DateKind, u"12/31"_s, QString::number(current) + u"-12-31"_s);
        read("impossible day", DateKind, u"02/30/2001"_s, QString());
        read("year 99 in four digits", DateKind, u"1/1/0099"_s, u"0099-01-01"_s);
        read("wrong separator", DateKind, u"12-31-1999"_s, QString());
        read("empty date", DateKind, QString(), QString());
        // A date reader takes no time part; StrToDateTime does.
        read("date with a time part", DateKind, u"12/31/1999 10:30"_s, QString());
        read("day first, month first text", DateKind, u"12.31.1999"_s, QString(),
             dateFormat(u"dd/mm/yyyy"_s, u'.'));
        read("trailing separator allowed", DateKind, u"1999. 12. 31."_s, u"1999-12-31"_s,
             dateFormat(u"yyyy/ mm/ dd/"_s, u'.'));
        read("quoted letters ignored", DateKind, u"12/31/1999"_s, u"1999-12-31"_s,
             dateFormat(u"\"dmy\"mm/dd/yyyy"_s, u'/'));
        for (const int window : {50, 0, 99}) {
            // A two-digit year stands for a year of this century, or of the 100 years
            // that end `window` years from now: each end, a one-digit year and 99.
            const int first = window ? current + window - 99 : current - current % 100;
            for (int year = first; year < first + 100; ++year) {
                const int yy = year % 100;
                if (year != first && year != first + 99 && yy != 7 && yy != 99)
                    continue;
                read("window " + QByteArray::number(window) + " year " + QByteArray::number(year),
                     DateKind,
                     u"3/4/"_s + QString::number(yy).rightJustified(yy == 7 ? 1 : 2, u'0'),
                     QString::asprintf("%04d-03-04", year),
                     [=] { dvt::FormatSettings().TwoDigitYearCenturyWindow = window; });
            }
        }
        read("milliseconds", TimeKind, u"10:30:15.123"_s, u"10:30:15.123"_s);
        read("pm", TimeKind, u"10:30 PM"_s, u"22:30:00.000"_s);
        read("12 am", TimeKind, u"12:00 AM"_s, u"00:00:00.000"_s);
        // Hours and minutes at least, a marker or not.
        read("bare hour with marker", TimeKind, u"5 PM"_s, QString());
        read("bare hour", TimeKind, u"5"_s, QString());
        read("hour 24", TimeKind, u"24:00"_s, QString());
        read("four digits of a second", TimeKind, u"10:30:15.1234"_s, QString());
        read("date only", DateTimeKind, u"12/31/1999"_s, u"1999-12-31 00:00:00.000"_s);
        read("date and time", DateTimeKind, u"12/31/1999 10:30 PM"_s, u"1999-12-31 22:30:00.000"_s);
        read("marker before the time", DateTimeKind, u"12/31/1999 PM 3:00"_s,
             u"1999-12-31 15:00:00.000"_s);
        read("time only", DateTimeKind, u"10:30"_s, QString());
        // The settings are read at each call: day first with full stops, the
        // locale's marker and decimal separator.
        read("eu: day first", DateKind, u"3.4.2001"_s, u"2001-04-03"_s, useEuropean);
        read("eu: slashes", DateKind, u"3/4/2001"_s, QString(), useEuropean);
        read("eu: own marker", TimeKind, u"10.30 nachm."_s, u"22.30.00.000"_s, useEuropean);
        read("eu: comma in seconds", TimeKind, u"10.30.15,25"_s, u"10.30.15.250"_s, useEuropean);
        read("eu: full stop in seconds", TimeKind, u"10.30.15.25"_s, u"10.30.15.250"_s,
             useEuropean);
        read("eu: colons", TimeKind, u"10:30"_s, QString(), useEuropean);

        read("float: signed exponent", FloatKind, u"1.5E-2"_s, u"0.015"_s);
        read("float: blank after sign", FloatKind, u"- 5"_s, QString());
        read("float: infinity word", FloatKind, u"INF"_s, QString());
        read("float: overflow", FloatKind, u"1e999"_s, QString());
        read("float, eu: comma", FloatKind, u"1,5"_s, u"1,5"_s, useEuropean);
        read("float, eu: exponent", FloatKind, u"-2,5e1"_s, u"-25"_s, useEuropean);
        read("float, eu: full stop", FloatKind, u"1.5"_s, QString(), useEuropean);
        read("float, eu: thousands", FloatKind, u"1.234,5"_s, QString(), useEuropean);
        read("int: blanks and minus", IntKind, u" -42 "_s, u"-42"_s);
        read("int: dollar hex", IntKind, u"$FF"_s, u"255"_s);
        read("int: above max", IntKind, u"2147483648"_s, QString());
        read("int: smallest", IntKind, u"-2147483648"_s, u"-2147483648"_s);
        read("int: below smallest", IntKind, u"-2147483649"_s, QString());
        read("int: hex above max", IntKind, u"$80000000"_s, QString());
        read("int: fraction", IntKind, u"1.0"_s, QString());
        read("int: trailing letter", IntKind, u"12a"_s, QString());
    }

    // The raising and the trying forms agree; a failed try leaves its output alone.
    void readers()
    {
        QFETCH(int, kind);
        QFETCH(Action, setup);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        setup();
        const Reader &reader = Readers[kind];
        double value = -7;
        const bool ok = reader.tryRead(text, value);
        QCOMPARE(ok, !expected.isEmpty());
        if (ok) {
            QCOMPARE(reader.shown.isEmpty() ? dvt::FloatToStr(value)
                                            : dvt::FormatDateTime(reader.shown, value),
                     expected);
            QCOMPARE(reader.read(text), value);
        } else {
            QCOMPARE(value, -7.0);
            QCOMPARE(conversionError([&] { reader.read(text); }), reader.message.arg(text));
        }
    }

    void localeRoundTrip_data() { localeRows({"en_US", "ko_KR"}); }

    // In a locale's own formats FormatDateTime writes what Qt writes for the locale,
    // and the readers read it back.
    void localeRoundTrip()
    {
        QFETCH(QString, locale);
        const QLocale qt(locale);
        const dvt::TFormatSettings &fs = dvt::FormatSettings() =
            dvt::TFormatSettings::FromLocale(qt);
        const int current = QDate::currentDate().year();
        const double last = dvt::EncodeDate(current + 50, 12, 31);
        for (double date = dvt::EncodeDate(current - 49, 1, 1); date <= last; date += 5) {
            const QDate qdate = QDate(1899, 12, 30).addDays(qint64(date));
            const QString text = dvt::FormatDateTime(fs.ShortDateFormat, date);
            QCOMPARE(text, qt.toString(qdate, QLocale::ShortFormat));
            QCOMPARE(dvt::FormatDateTime(fs.LongDateFormat, date),
                     qt.toString(qdate, QLocale::LongFormat));
            double back = 0;
            QVERIFY2(dvt::TryStrToDate(text, back), qPrintable(text));
            QCOMPARE(back, date);
        }
        for (int ms = 0; ms < 86400000; ms += 60'000) {
            const QString text = dvt::FormatDateTime(fs.ShortTimeFormat, ms / 86400000.0);
            QCOMPARE(text, qt.toString(QTime::fromMSecsSinceStartOfDay(ms), QLocale::ShortFormat));
            double back = 0;
            QVERIFY2(dvt::TryStrToTime(text, back), qPrintable(text));
            QCOMPARE(back, ms / 86400000.0);
        }
    }

    void numbers_data()
    {
        QTest::addColumn<Number>("call");
        QTest::addColumn<double>("expected");
        row("float: negative money", -1234.5, [] { return dvStrToFloat(u"($1,234.50)"_s); });
        row("float: blanks inside", 1234.0, [] { return dvStrToFloat(u" 1 234 "_s); });
        row("float: only decoration", 0.0, [] { return dvStrToFloat(u"$()"_s); });
        row("float: nan is no number", 0.0, [] { return dvStrToFloat(u"NAN"_s); });
        row("float: infinity is no number", 0.0, [] { return dvStrToFloat(u"INF"_s); });
        row("float: trailing minus", 0.0, [] { return dvStrToFloat(u"12-"_s); });
        row("int: parentheses", -12.0, [] { return dvStrToInt(u"(12)"_s); });
        row("int: thousands", 1234.0, [] { return dvStrToInt(u"$1,234"_s); });
        row("int: largest", double(IntMax), [] { return dvStrToInt(u"2147483647"_s); });
        row("int: overflow", 0.0, [] { return dvStrToInt(u"2147483648"_s); });
        row("int: smallest", double(IntMin), [] { return dvStrToInt(u"-2147483648"_s); });
        row("int: fraction", 0.0, [] { return dvStrToInt(u"12.5"_s); });
        // The currency symbol and thousands separator of the moment are removed.
        european("float: european money", 1234.5, [] { return dvStrToFloat(u"1.234,50 €"_s); });
        european("float: european negative", -0.25, [] { return dvStrToFloat(u"€ (0,25)"_s); });
        european("float: full stop is thousands", 15.0, [] { return dvStrToFloat(u"1.5"_s); });
        european("int: european", 1234.0, [] { return dvStrToInt(u"1.234 €"_s); });
        row("round: tie down to even", 2.0, [] { return dvRound(2.5, 0); });
        row("round: negative tie to even", -4.0, [] { return dvRound(-3.5, 0); });
        row("round: integer part kept", 1e15, [] { return dvRound(1e15 + 0.5, 0); });
        row("round: most decimals", 2.675, [] { return dvRound(2.675, 65535); });
        row("round: nan", NaN, [] { return dvRound(NaN, 2); });
        row("round: minus infinity", -Inf, [] { return dvRound(-Inf, 0); });
    }

    void numbers()
    {
        QFETCH(Number, call);
        QFETCH(double, expected);
        QCOMPARE(call(), expected);
    }

    // FloatToStr's 15 digits against C's own exact rounding ("%.14e"); two
    // different 15-digit decimals never read back as the same double.
    void floatToStrRoundsExactly_data()
    {
        QTest::addColumn<Number>("next"); // a value each call
        const auto random = [] { return std::make_shared<QRandomGenerator>(20261206); };
        // Any digits, at magnitudes from 1e-25 to 1e45.
        QTest::newRow("ordinary") << Number([g = random()] {
            return (g->generateDouble() - 0.5) * std::pow(10.0, g->bounded(-25, 46));
        });
        // 16 digits ending in 5: the doubles nearest to a tie of the 15th digit.
        QTest::newRow("near ties") << Number([g = random()] {
            const quint64 digits =
                g->bounded(quint64(100'000'000'000'000), quint64(999'999'999'999'999));
            return QByteArray::number(digits * 10 + 5)
                .append('e')
                .append(QByteArray::number(g->bounded(-30, 30)))
                .toDouble();
        });
        // Around the powers of ten, where the first digit's place changes.
        QTest::newRow("near powers of ten") << Number([g = random()] {
            const double power = std::pow(10.0, g->bounded(-30, 45));
            const double around[] = {std::nextafter(power, 0.0), power,
                                     std::nextafter(power, 1e300), power * (1 - 4e-16),
                                     power * 0.9999999999999995};
            return around[g->bounded(5)];
        });
        QTest::newRow("fractions") << Number(
            [g = random()] { return g->bounded(1000000) * 1.25 + g->bounded(1000000) / 7.0; });
    }

    void floatToStrRoundsExactly()
    {
        QFETCH(Number, next);
        for (int i = 0; i < 50000; ++i) {
            const double value = next();
            const QString text = dvt::FloatToStr(value);
            char exact[32];
            std::snprintf(exact, sizeof exact, "%.14e", value);
            const double expected = std::strtod(exact, nullptr);
            if (text.toDouble() != expected)
                QFAIL(qPrintable(u"%1 gives %2"_s.arg(value, 0, 'g', 17).arg(text)));
        }
    }

    void minMaxNumbers()
    {
        // 0.0 and -0.0 are equal: on the tie dvMin answers the first, dvMax the second.
        QVERIFY(!std::signbit(dvMin(0.0, -0.0)));
        QVERIFY(std::signbit(dvMax(0.0, -0.0)));
        // A NaN compares false: both answer their second argument.
        QCOMPARE(dvMin(NaN, 1.0), 1.0);
        QCOMPARE(dvMax(NaN, 1.0), 1.0);
        QVERIFY(std::isnan(dvMax(1.0, NaN)));
    }

    void addresses_data()
    {
        QTest::addColumn<Check>("call");
        QTest::addColumn<bool>("expected");
        state("lower case", u"ny"_s, u"usa"_s, true);
        state("country padded", u"NY"_s, u"  United States "_s, true);
        state("empty", QString(), u"US"_s, false);
        state("territory needs US", u"PR"_s, u"usa"_s, false);
        state("territory with US", u"PR"_s, u"US"_s, true);
        state("unknown", u"XX"_s, u"US"_s, false);
        state("fragment passes", u"L|A"_s, u"US"_s, true);
        state("other country", u"XX"_s, u"Germany"_s, true);
        state("province", u"on"_s, u"Canada"_s, true);
        state("province is no state", u"ON"_s, u"USA"_s, false);
        state("country fragment, last list counts", u"ON"_s, u"A"_s, true);
        state("country fragment, not Canadian", u"NY"_s, u"A"_s, false);
        zip("in range", u"10001"_s, u"NY"_s, true);
        zip("below", u"08999"_s, u"NY"_s, false);
        zip("ZIP+4", u"10001-1234"_s, u"NY"_s, true);
        zip("state case counts", u"12345"_s, u"ny"_s, false);
        zip("unknown state", u"12345"_s, u"XX"_s, false);
        zip("no number", u"ABCDE"_s, u"NY"_s, false);
        zip("empty", QString(), u"NY"_s, false);
        zip("shared prefix", u"96701"_s, u"AS"_s, true);
        zip("AA", u"34001"_s, u"AA"_s, true);
        // The exceptions beyond the ranges.
        zip("AR 755", u"75501"_s, u"AR"_s, true);
        zip("MA 055", u"05501"_s, u"MA"_s, true);
        zip("TX 885", u"88501"_s, u"TX"_s, true);
        zip("VA 201", u"20101"_s, u"VA"_s, true);
        zip("NY 004", u"00401"_s, u"NY"_s, true);
        zip("NY 063", u"06301"_s, u"NY"_s, true);
        zip("CT keeps 063", u"06301"_s, u"CT"_s, true);
        zip("FL 343 refused", u"34301"_s, u"FL"_s, false);
        zip("FL 345 refused", u"34501"_s, u"FL"_s, false);
        zip("FL 348 refused", u"34801"_s, u"FL"_s, false);
    }

    void addresses()
    {
        QFETCH(Check, call);
        QFETCH(bool, expected);
        QCOMPARE(call(), expected);
    }

    void cryptKnownTexts()
    {
        // Scrambled files must stay readable across versions: these pin the alphabet.
        // The key is accepted and ignored.
        QCOMPARE(dvEnCrypt(u"Hello, World!"_s, 0), u"I?!OéÑ?W+2èO*"_s);
        QCOMPARE(dvEnCrypt(u"Hello, World!"_s, 123456), u"I?!OéÑ?W+2èO*"_s);
        QCOMPARE(dvEnCrypt(u"Ação; \"x\" [1]"_s, 7), u"2çt-;ú\"3\"#[_]"_s);
        QCOMPARE(dvDeCrypt(u"2çt-;ú\"3\"#[_]"_s, IntMin), u"Ação; \"x\" [1]"_s);
        QCOMPARE(dvEnCrypt(Outsiders + Outsiders, 7), Outsiders + Outsiders);
        QCOMPARE(dvDeCrypt(Outsiders, 7), Outsiders);
    }

    void cryptRotationPeriod()
    {
        // One character repeated: positions 1 to 109 all differ; 110 and 111 repeat
        // position 1 and 112 position 2; from 111 on the pattern repeats every 110.
        const QString s = dvEnCrypt(QString(400, u'a'), 0);
        QCOMPARE(QSet<QChar>(s.begin(), s.begin() + 109).size(), 109);
        QCOMPARE(s.mid(109, 3), s.left(1) + s.left(2));
        QCOMPARE(s.mid(220), s.mid(110, 180));
    }

    void cryptRoundTrip_data()
    {
        QTest::addColumn<int>("length");
        for (const int length : {0, 1, 109, 110, 111, 221, 1000})
            QTest::addRow("%d", length) << length;
    }

    void cryptRoundTrip()
    {
        QFETCH(int, length);
        // Random texts over the alphabet, the outsiders and any other UTF-16 unit.
        QRandomGenerator random(quint32(length) * 2654435761u + 1);
        const QString pool = Alphabet + Outsiders;
        for (int sample = 0; sample < 20; ++sample) {
            QString text;
            for (int i = 0; i < length; ++i) {
                text += random.bounded(10) == 0 ? QChar(char16_t(random.bounded(0x10000)))
                                                : pool.at(random.bounded(int(pool.size())));
            }
            const int key = int(random.generate());
            const QString scrambled = dvEnCrypt(text, key);
            QCOMPARE(scrambled.size(), text.size());
            QCOMPARE(dvDeCrypt(scrambled, ~key), text);
            // Decoding is a bijection too, so scrambling undoes it.
            QCOMPARE(dvEnCrypt(dvDeCrypt(text, key), key), text);
            if (length >= 20)
                QVERIFY(scrambled != text);
        }
    }
};

QTEST_GUILESS_MAIN(tst_dvUtils)
#include "tst_dvUtils.moc"
