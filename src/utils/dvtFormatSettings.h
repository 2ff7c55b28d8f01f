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

    // The settings of a Qt locale, mapped onto the fields above.
    static TFormatSettings FromLocale(const QLocale &locale);
};

// The process-wide settings that every routine reads.
TFormatSettings &FormatSettings();

// Replaces the process-wide settings by those of the system locale.
void GetLocaleFormatSettings();

} // namespace dvt
