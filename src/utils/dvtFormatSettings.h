#pragma once

#include <QLocale>
#include <QString>

#include <array>

namespace dvt {

// The locale's formatting settings. Every formatting and parsing routine of the
// library reads the process-wide instance (FormatSettings()) at each call, so a
// change takes effect at the very next call. The defaults are United States English.
struct TFormatSettings
{
    // Money: CurrencyFormat places the symbol for positive amounts
    // (0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"); NegCurrFormat for negative ones
    // (0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
    //  8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)").
    // Values outside these ranges act as 0.
    QString CurrencyString = QStringLiteral("$");
    int CurrencyFormat = 0;
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;

    QChar ThousandSeparator = u',';
    QChar DecimalSeparator = u'.';
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';

    // Patterns of FormatDateTime; "/" and ":" in them stand for the separators above.
    QString ShortDateFormat = QStringLiteral("m/d/yyyy");
    QString LongDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
    QString ShortTimeFormat = QStringLiteral("h:nn AMPM");
    QString LongTimeFormat = QStringLiteral("h:nn:ss AMPM");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");

    std::array<QString, 12> ShortMonthNames;
    std::array<QString, 12> LongMonthNames;
    std::array<QString, 7> ShortDayNames; // index 0 is Sunday
    std::array<QString, 7> LongDayNames;

    // A two-digit year yy is placed in the century that puts it within the
    // 100 years ending TwoDigitYearCenturyWindow years after the current year;
    // 0 means "the current century".
    int TwoDigitYearCenturyWindow = 50;

    TFormatSettings(); // United States English

    // The settings of a Qt locale, mapped onto the fields above. Qt's date and time
    // patterns are translated into the FormatDateTime language ("M/d/yy" becomes
    // "m/d/yy", "h:mm AP" becomes "h:nn ampm"); the time zone has no code and is
    // left out. The separators are the first punctuation of the short date and time
    // patterns, which then use "/" and ":" in their place. The money forms and
    // decimals are read off the locale's money texts; forms outside the tables
    // fall back to the symbol's position with a leading minus. Amounts are
    // grouped by thousands even where Qt leaves four-digit amounts ungrouped.
    static TFormatSettings FromLocale(const QLocale &locale);
};

// The process-wide settings that every routine reads.
TFormatSettings &FormatSettings();

// Replaces the process-wide settings by those of the system locale.
void GetLocaleFormatSettings();

} // namespace dvt
