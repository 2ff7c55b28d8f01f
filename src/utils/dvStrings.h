#pragma once

#include <QString>

#include "dvtDateTime.h"

// Everyday text and number routines. Positions are 1-based, a character is a
// QChar, and comparisons are ordinal (code unit by code unit, case-sensitive).
// Every routine returns a new value and changes none of its arguments; none of
// them fails on any argument value (empty texts, negative or huge counts, NaN):
// what each gives for such input is stated with it. A result that needs more
// memory than there is raises std::bad_alloc, as every Qt container does.

// The second argument when the condition holds, otherwise the third.
int dvIf(bool condition, int ifTrue, int ifFalse);
QString dvIf(bool condition, const QString &ifTrue, const QString &ifFalse);
double dvIf(bool condition, double ifTrue, double ifFalse);

// The smaller and the larger of two date-times (compared as numbers) or two texts
// (compared ordinally). On a tie dvMin answers its first argument and dvMax its
// second. A NaN compares false with everything, so dvMin answers its second
// argument and dvMax its second when either is NaN.
dvt::TDateTime dvMin(dvt::TDateTime a, dvt::TDateTime b);
QString dvMin(const QString &a, const QString &b);
dvt::TDateTime dvMax(dvt::TDateTime a, dvt::TDateTime b);
QString dvMax(const QString &a, const QString &b);

// The text repeated count times; empty for a count of 0 or less.
QString dvReplicate(const QString &text, int count);
// count blanks; empty for a count of 0 or less.
QString dvSpace(int count);

// The text cut or right-padded with blanks to exactly length characters (empty
// for a length of 0 or less). With trim, blanks and control characters are then
// removed from both ends: dvLeft("abc", 5, false) is "abc  ", with trim "abc".
QString dvLeft(const QString &text, int length, bool trim);

// The text right-aligned in exactly length characters: blanks are put in front
// of a shorter text, a longer one loses its leftmost characters (empty for a
// length of 0 or less); then trimmed as dvLeft does. dvRight("ab", 4, false) is
// "  ab", dvRight("abcdef", 3, false) is "def".
QString dvRight(const QString &text, int length, bool trim);

// The text rotated left by start - 1 places: start 1 gives the text unchanged,
// start 2 moves its first character to the end. A start of 0 or less gives the
// text unchanged; a start of L (the text's length) or more is first reduced by L
// as often as needed, so start L and L + 1 both give the text unchanged and
// L + 2 rotates by one place. The scrambling routines rely on exactly this.
QString dvRotate(const QString &text, int start);

// Every occurrence of search replaced by replacement, scanning left to right;
// matches do not overlap and the replacement is never rescanned:
// dvStrTran("aaaa", "aa", "b") is "bb". An empty search gives the text unchanged.
QString dvStrTran(const QString &text, const QString &search, const QString &replacement);

// The item-th item (counted from 1; an item below 1 counts as 1) of a list whose
// items are delimited by separator; empty for an item beyond the last and for an
// empty item. Nothing is trimmed: dvStringItem("a,b,,d", 4, u',') is "d".
QString dvStringItem(const QString &text, int item, QChar separator);

// Tolerant number reading: removes the locale's currency symbol and thousands
// separator, turns "(" into "-", removes ")", "$" and blanks, then converts
// strictly with the locale's decimal separator. Any failure gives 0, silently:
// dvStrToFloat("$1,234.50") is 1234.5, dvStrToInt("(12)") is -12, and
// dvStrToInt("12.5") is 0 because the cleaned text is no integer.
double dvStrToFloat(const QString &text);
int dvStrToInt(const QString &text);

// The value rounded to the given number of decimals, halves to the even digit
// and negative values symmetrically to positive ones: dvRound(2.5, 0) is 2,
// dvRound(3.5, 0) is 4, dvRound(-1.25, 1) is -1.2. Only the fraction is scaled
// (in extended precision), so the integer part is never disturbed. NaN and the
// infinities are returned unchanged, and so is a value whose scaled fraction
// needs no rounding any more (very many decimals).
double dvRound(double value, quint16 decimals);

// The absolute value in general format (decimals is the number of significant
// digits, 15 when it is 0 or less; scientific notation such as "1E+020" when the
// integer part needs more digits than that, or below 0.00001), with zeros put in
// front up to width characters. The sign is dropped and the text is never
// shortened: dvStrZero(42, 5, 0) is "00042", dvStrZero(-7, 3, 0) is "007",
// dvStrZero(3.14159, 6, 3) is "003.14". NaN and the infinities are written NAN
// and INF, after the zeros.
QString dvStrZero(double value, int width, int decimals);
