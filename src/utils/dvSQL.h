#pragma once

#include <QString>

#include "dvtDateTime.h"

// Values as the literals that stand for them in the library's SQL statements:
// texts, dates, times and the Y/N codes in double quotes (the string delimiter of
// the server's dialect 1), a double quote inside a text removed rather than
// escaped, numbers bare, and a date that cannot be read the bare word null.
// The locale's date, time and decimal separators and its short date format are
// read at each call (dvt::FormatSettings()). No routine raises.

// The text without its double quotes, in double quotes: "" for an empty text;
// blanks, single quotes and control characters are kept.
QString dvSQLString(const QString &text);

// "N" (quotes included) when the text, its letters a to z upper-cased, is NO or
// N; "Y" for every other text, the empty one and " no" included.
QString dvSQLBoolean(const QString &text);
// "Y" for true, "N" for false (quotes included).
QString dvSQLBoolean(bool value);
// A string literal would otherwise convert to bool, not to QString.
inline QString dvSQLBoolean(const char *text)
{
    return dvSQLBoolean(QString::fromUtf8(text));
}
inline QString dvSQLBoolean(const char16_t *text)
{
    return dvSQLBoolean(QString::fromUtf16(text));
}

// The shortest general form of the number (dvt::FloatToStr): up to 15
// significant digits, the locale's decimal separator, no quotes; "1E-6" style
// below 0.00001 and beyond 15 integer digits. NaN and the infinities give
// NAN, INF and -INF, which no statement accepts: callers pass real numbers.
QString dvSQLFloat(double value);

// The date read with the locale's short date format, written as "mm/dd/yyyy"
// in double quotes, "/" being the locale's date separator; null (bare) when the
// text is no date, the empty text included.
QString dvSQLDate(const QString &text);
// The date part of the value, written as above; null for a value outside the
// years 1 to 9999 (NaN and the infinities included).
QString dvSQLDate(dvt::TDateTime value);

// The time read with the locale's time separator, written as "hh:nn:ss" on a
// 24-hour clock in double quotes, ":" being the locale's time separator; a
// double quote, eight blanks and a double quote when the text is no time.
QString dvSQLTime(const QString &text);
// The time of day of the value (to the nearest millisecond, the seconds not
// rounded up), written as above; the quoted eight blanks for a value outside the
// years 1 to 9999 (NaN and the infinities included).
QString dvSQLTime(dvt::TDateTime value);

// The decimal digits with a leading minus sign when negative, bare.
QString dvSQLInteger(int value);
