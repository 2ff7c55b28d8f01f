#pragma once

#include <QString>

namespace dvt {

// A point in time as days since 1899-12-30 00:00; the fraction is the time of day.
// Negative values count back from that day, their fraction still being the time
// of day (-1.25 is 1899-12-29 06:00).
using TDateTime = double;

// Encoding raises EConvertError for an impossible date or time; the Try forms
// answer false instead. Years run from 1 to 9999.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime &date);
TDateTime EncodeTime(int hour, int min, int sec, int msec = 0);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime &time);

void DecodeDate(TDateTime dateTime, int &year, int &month, int &day);
// The time of day to the nearest millisecond.
void DecodeTime(TDateTime dateTime, int &hour, int &min, int &sec, int &msec);
// 1 is Sunday, 7 is Saturday.
int DayOfWeek(TDateTime dateTime);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

TDateTime Now();
TDateTime Date(); // today at midnight
TDateTime Time(); // the current time of day

// Formats with the pattern language
//   d dd ddd dddd ddddd dddddd  day, with names, short and long date format
//   m mm mmm mmmm               month (minutes when right after an hour code)
//   yy yyyy  h hh  n nn  s ss  z zzz  t tt (short and long time format)
//   am/pm a/p ampm               12-hour clock with the given or the locale's markers
//   / :                          the locale's date and time separators
//   "..." '...'                  literal text
// Letters are case-insensitive; any other character is copied. An unterminated
// quote raises EConvertError naming the pattern. An empty pattern means "c"
// (short date, then the long time when the time is not midnight).
QString FormatDateTime(const QString &pattern, TDateTime dateTime);

// Reads a date in the order of the locale's short date format: three numbers,
// or two (month and day in that order, the current year), separated by the
// locale's date separator; a year below 100 follows the two-digit-year window.
// StrToDate raises EConvertError ("'x' is not a valid date").
TDateTime StrToDate(const QString &text);
bool TryStrToDate(const QString &text, TDateTime &date);

// Reads "h:n" or "h:n:s" (the locale's time separator) with an optional AM/PM
// marker (the locale's or "AM"/"PM", any case), or a bare hour with a marker.
// StrToTime raises EConvertError ("'x' is not a valid time").
TDateTime StrToTime(const QString &text);
bool TryStrToTime(const QString &text, TDateTime &time);

// A date, optionally followed by blanks and a time.
TDateTime StrToDateTime(const QString &text);
bool TryStrToDateTime(const QString &text, TDateTime &dateTime);

} // namespace dvt
