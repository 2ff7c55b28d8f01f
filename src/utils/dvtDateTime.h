#pragma once

#include <QString>

namespace dvt {

// A point in time as days since 1899-12-30 00:00; the fraction is the time of day.
// Negative values count back from that day, their fraction still being the time
// of day (-1.25 is 1899-12-29 06:00).
using TDateTime = double;

// Encoding raises EConvertError for an impossible date or time; the Try forms
// answer false instead and leave their result alone. Years run from 1 to 9999.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime &date);
TDateTime EncodeTime(int hour, int min, int sec, int msec = 0);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime &time);

// Decoding takes the date as the whole days of the value and the time of day to
// the nearest millisecond, short of midnight: 0.9999999999 is 1899-12-30
// 23:59:59.999, never the next day. A value that is not finite or lies
// outside the years 1 to 9999 raises EConvertError, here and wherever a
// date-time is taken apart (DayOfWeek, FormatDateTime).
void DecodeDate(TDateTime dateTime, int &year, int &month, int &day);
void DecodeTime(TDateTime dateTime, int &hour, int &min, int &sec, int &msec);
// 1 is Sunday, 7 is Saturday.
int DayOfWeek(TDateTime dateTime);
bool IsLeapYear(int year);
// 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);

// The local clock.
TDateTime Now();
TDateTime Date(); // today at midnight
TDateTime Time(); // the current time of day

// Formats with the pattern language
//   d dd ddd dddd                day; short and long day name
//   ddddd dddddd                 the locale's short and long date format
//   m mm mmm mmmm                month; short and long month name
//   yy yyyy                      two- and four-digit year ("y" counts as "yy",
//                                "yyy" as "yyyy")
//   h hh  n nn  s ss             hour, minute, second; one letter: no leading zero
//   z zzz                        millisecond, without and with leading zeros
//   t tt                         the locale's short and long time format
//   c                            short date, then a blank and the long time unless
//                                the time is midnight
//   am/pm a/p                    a 12-hour clock, with the marker in the letters and
//                                letter case of the pattern ("AM/PM" gives "PM")
//   ampm                         a 12-hour clock with the locale's markers
//   / :                          the locale's date and time separators
//   "..." '...'                  literal text
// "m" and "mm" right after an hour code (separators and literals in between do not
// count) are minutes. Once any am/pm code occurs in the pattern, every hour code
// runs from 1 to 12. Letters are case-insensitive; any other character is copied.
// An empty pattern means "c". An unterminated quote raises EConvertError
// ("Date-time format 'x' has an unterminated quote"), as do locale formats that
// refer to each other without end.
QString FormatDateTime(const QString &pattern, TDateTime dateTime);

// Reads two or three numbers separated by the locale's date separator (blanks may
// surround it), in the order of day, month and year in the locale's short date
// format. Two numbers are the month and day, in that format's order, of the
// current year. A year typed with one or two digits follows
// TwoDigitYearCenturyWindow; "0099" is the year 99. When the short date format
// ends with the separator, the text may too. An impossible date or anything else
// in the text fails.
// StrToDate raises EConvertError ("'x' is not a valid date"); TryStrToDate answers
// false and leaves date alone.
TDateTime StrToDate(const QString &text);
bool TryStrToDate(const QString &text, TDateTime &date);

// Reads "h:n", "h:n:s" or "h:n:s.zzz" (the locale's time separator; up to three
// digits of a second after "." or the locale's decimal separator; numbers of one or
// two digits): hours and minutes at least, so "10" and "10 PM" fail. An AM/PM
// marker (the locale's or "AM"/"PM", any case, with or without a blank) may
// follow the time or precede it.
// Hours run from 0 to 23, or 1 to 12 with a marker; minutes and seconds from 0 to
// 59. Anything else fails.
// StrToTime raises EConvertError ("'x' is not a valid time"); TryStrToTime answers
// false and leaves time alone.
TDateTime StrToTime(const QString &text);
bool TryStrToTime(const QString &text, TDateTime &time);

// A date as StrToDate reads it, optionally followed by blanks and a time as
// StrToTime reads it. StrToDateTime raises EConvertError
// ("'x' is not a valid date and time").
TDateTime StrToDateTime(const QString &text);
bool TryStrToDateTime(const QString &text, TDateTime &dateTime);

} // namespace dvt
