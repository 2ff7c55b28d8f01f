#include "dvtFormatSettings.h"

#include <optional>

#include "dvtFormatSettings_p.h"

using namespace Qt::StringLiterals;

namespace dvt {

namespace {

bool isFormatMark(QChar c)
{
    return c.category() == QChar::Other_Format;
}

// Reduces a money text of the locale to the language of the currency forms: the
// symbol becomes "$", the run of digits and separators "1", any minus sign "-" and any run of
// blanks (no-break spaces included) one blank. Direction marks are dropped.
// Returns nothing when the text holds anything else.
std::optional<QString> currencyForm(const QLocale &locale, const QString &text,
                                    const QString &symbol)
{
    QString minus = locale.negativeSign();
    minus.removeIf(isFormatMark);
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();

    QString form;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (!symbol.isEmpty() && QStringView(text).mid(i).startsWith(symbol)) {
            form += u'$';
            i += symbol.size();
            continue;
        }
        ++i;
        if (isFormatMark(c))
            continue;
        // A blank group separator (no-break space) also parts amount and symbol.
        const bool inAmount = i < text.size() && text.at(i).isDigit();
        if (c.isDigit() || (inAmount && (decimal.contains(c) || group.contains(c)))) {
            if (!form.endsWith(u'1'))
                form += u'1';
        } else if (c == u'-' || c == QChar(0x2212) || (!minus.isEmpty() && minus.contains(c))) {
            form += u'-';
        } else if (c.isSpace()) {
            if (!form.endsWith(u' '))
                form += u' ';
        } else if (c == u'(' || c == u')') {
            form += c;
        } else {
            return std::nullopt;
        }
    }
    return form.trimmed();
}

// The index of form in forms; without a symbol the "$" of the forms is ignored.
template<std::size_t N>
std::optional<int> findCurrencyForm(const std::array<const char16_t *, N> &forms,
                                    const QString &form, bool hasSymbol)
{
    for (std::size_t i = 0; i < N; ++i) {
        QString candidate = QString::fromUtf16(forms[i]);
        if (!hasSymbol)
            candidate = candidate.remove(u'$').simplified();
        if (candidate == form)
            return int(i);
    }
    return std::nullopt;
}

// The separator a Qt pattern uses between its numbers: its first punctuation or
// symbol character outside quotes.
std::optional<QChar> patternSeparator(const QString &qtPattern)
{
    bool quoted = false;
    for (const QChar c : qtPattern) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetterOrNumber() && !c.isSpace() && !isFormatMark(c))
            return c;
    }
    return std::nullopt;
}

// Translates a Qt date/time pattern into the FormatDateTime language. Letters
// that are not codes, quotes, "/" and ":" are quoted so that they stay literal;
// dateSeparator and timeSeparator, when given, become "/" and ":" so that the
// pattern follows later changes of the separators. The time zone code "t" has
// no counterpart and is dropped with a blank next to it.
QString fromQtPattern(const QString &qt, std::optional<QChar> dateSeparator,
                      std::optional<QChar> timeSeparator)
{
    QString result;
    QString literal; // pending literal text, written out before each code
    const auto flushLiteral = [&] {
        QString quoted; // letters and pattern characters, to go between double quotes
        const auto closeQuote = [&] {
            if (!quoted.isEmpty())
                result += u'"' + quoted + u'"';
            quoted.clear();
        };
        for (const QChar c : std::as_const(literal)) {
            if (dateSeparator && c == *dateSeparator) {
                closeQuote();
                result += u'/';
            } else if (timeSeparator && c == *timeSeparator) {
                closeQuote();
                result += u':';
            } else if ((c.isLetter() && c.unicode() < 128) || c == u'/' || c == u':'
                       || c == u'\'') {
                quoted += c;
            } else if (c == u'"') {
                closeQuote();
                result += u"'\"'"_s;
            } else {
                closeQuote();
                result += c;
            }
        }
        closeQuote();
        literal.clear();
    };

    for (qsizetype i = 0; i < qt.size();) {
        const QChar c = qt.at(i);
        if (c == u'\'') {
            // Quoted text; "''" is a quote character, inside quotes or out.
            if (i + 1 < qt.size() && qt.at(i + 1) == u'\'') {
                literal += u'\'';
                i += 2;
                continue;
            }
            ++i;
            while (i < qt.size()) {
                if (qt.at(i) == u'\'') {
                    if (i + 1 < qt.size() && qt.at(i + 1) == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += qt.at(i++);
            }
            continue;
        }
        qsizetype run = 1;
        while (i + run < qt.size() && qt.at(i + run) == c)
            ++run;
        QString code;
        switch (c.unicode()) {
        case 'd':
            code = QString(qMin<qsizetype>(run, 4), u'd');
            break;
        case 'M':
            code = QString(qMin<qsizetype>(run, 4), u'm');
            break;
        case 'y':
            code = run <= 2 ? u"yy"_s : u"yyyy"_s;
            break;
        case 'h':
        case 'H':
            code = run == 1 ? u"h"_s : u"hh"_s;
            break;
        case 'm':
            code = run == 1 ? u"n"_s : u"nn"_s;
            break;
        case 's':
            code = run == 1 ? u"s"_s : u"ss"_s;
            break;
        case 'z':
            code = run < 3 ? u"z"_s : u"zzz"_s;
            break;
        case 'A':
        case 'a':
            // "AP", "ap", "A" and "a" all show the locale's markers.
            if (i + 1 < qt.size() && (qt.at(i + 1) == u'P' || qt.at(i + 1) == u'p'))
                run = 2;
            else
                run = 1;
            code = u"ampm"_s;
            break;
        case 't':
            // Drop the zone with one blank that separates it from the rest.
            if (literal.endsWith(u' '))
                literal.chop(1);
            else if (i + run < qt.size() && qt.at(i + run) == u' ')
                ++run;
            i += run;
            continue;
        default:
            literal += QString(run, c);
            i += run;
            continue;
        }
        flushLiteral();
        result += code;
        i += run;
    }
    flushLiteral();
    return result.trimmed();
}

} // namespace

TFormatSettings::TFormatSettings()
    : ShortMonthNames{u"Jan"_s, u"Feb"_s, u"Mar"_s, u"Apr"_s, u"May"_s, u"Jun"_s,
                      u"Jul"_s, u"Aug"_s, u"Sep"_s, u"Oct"_s, u"Nov"_s, u"Dec"_s}
    , LongMonthNames{u"January"_s,   u"February"_s, u"March"_s,    u"April"_s,
                     u"May"_s,       u"June"_s,     u"July"_s,     u"August"_s,
                     u"September"_s, u"October"_s,  u"November"_s, u"December"_s}
    , ShortDayNames{u"Sun"_s, u"Mon"_s, u"Tue"_s, u"Wed"_s, u"Thu"_s, u"Fri"_s, u"Sat"_s}
    , LongDayNames{u"Sunday"_s,   u"Monday"_s, u"Tuesday"_s, u"Wednesday"_s,
                   u"Thursday"_s, u"Friday"_s, u"Saturday"_s}
{}

TFormatSettings TFormatSettings::FromLocale(const QLocale &locale)
{
    TFormatSettings s;

    // Locales without a symbol of their own show the currency's ISO code.
    s.CurrencyString = locale.currencySymbol(QLocale::CurrencySymbol);
    if (s.CurrencyString.isEmpty())
        s.CurrencyString = locale.currencySymbol(QLocale::CurrencyIsoCode);
    const bool hasSymbol = !s.CurrencyString.isEmpty();
    const QString positive = locale.toCurrencyString(1.0);
    if (auto form = currencyForm(locale, positive, s.CurrencyString)) {
        s.CurrencyFormat =
            findCurrencyForm(detail::PositiveCurrencyForms, *form, hasSymbol).value_or(0);
    }
    // The negative form follows the positive one with a leading minus when the
    // locale's text fits none of the sixteen forms.
    constexpr std::array<int, 4> minusBeforePositive = {1, 5, 9, 8};
    s.NegCurrFormat = minusBeforePositive[std::size_t(s.CurrencyFormat)];
    if (auto form = currencyForm(locale, locale.toCurrencyString(-1.0), s.CurrencyString)) {
        s.NegCurrFormat = findCurrencyForm(detail::NegativeCurrencyForms, *form, hasSymbol)
                              .value_or(s.NegCurrFormat);
    }
    // The locale's own number of currency decimals shows in its money text: the
    // digits after the decimal point (a point inside the symbol has none).
    s.CurrencyDecimals = 0;
    const QString point = locale.decimalPoint();
    for (qsizetype at = positive.indexOf(point); at >= 0 && s.CurrencyDecimals == 0;
         at = positive.indexOf(point, at + 1)) {
        for (qsizetype i = at + point.size(); i < positive.size() && positive.at(i).isDigit(); ++i)
            ++s.CurrencyDecimals;
    }

    if (!locale.groupSeparator().isEmpty())
        s.ThousandSeparator = locale.groupSeparator().at(0);
    if (!locale.decimalPoint().isEmpty())
        s.DecimalSeparator = locale.decimalPoint().at(0);

    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    s.DateSeparator = patternSeparator(shortDate).value_or(s.DateSeparator);
    s.TimeSeparator = patternSeparator(shortTime).value_or(s.TimeSeparator);
    s.ShortDateFormat = fromQtPattern(shortDate, s.DateSeparator, std::nullopt);
    s.LongDateFormat =
        fromQtPattern(locale.dateFormat(QLocale::LongFormat), std::nullopt, std::nullopt);
    s.ShortTimeFormat = fromQtPattern(shortTime, std::nullopt, s.TimeSeparator);
    s.LongTimeFormat =
        fromQtPattern(locale.timeFormat(QLocale::LongFormat), std::nullopt, s.TimeSeparator);
    s.TimeAMString = locale.amText();
    s.TimePMString = locale.pmText();

    for (int m = 1; m <= 12; ++m) {
        s.ShortMonthNames[std::size_t(m - 1)] = locale.monthName(m, QLocale::ShortFormat);
        s.LongMonthNames[std::size_t(m - 1)] = locale.monthName(m, QLocale::LongFormat);
    }
    // Qt counts the days from Monday (1) to Sunday (7); the names start on Sunday.
    for (int d = 1; d <= 7; ++d) {
        s.ShortDayNames[std::size_t(d % 7)] = locale.dayName(d, QLocale::ShortFormat);
        s.LongDayNames[std::size_t(d % 7)] = locale.dayName(d, QLocale::LongFormat);
    }
    return s;
}

TFormatSettings &FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

void GetLocaleFormatSettings()
{
    FormatSettings() = TFormatSettings::FromLocale(QLocale::system());
}

} // namespace dvt
