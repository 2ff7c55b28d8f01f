#pragma once

#include <QString>

// An amount of money spelled out in English words, as printed on cheques:
// billions, millions, thousands and units, then the currency and the cents.
//
// The words and joining blanks are part of the printed output and stay exactly
// as they are, quirks included ("Tirty", "Fourty", "Tirteen", "Two Millions",
// and single blanks left at either end):
//   1234.56 with currency  "One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"
//   100 with currency      " One Hundred Dollars "
//   2000000 with currency  "Two Millions " (no currency word without a units group)
//   0.5 with currency      "Fifty Cents "
//   1.01 without currency  "One " (the cents are dropped, their joining blank is not)
//   0 either way           "Zero"
//
// With withCurrency false only the whole part (after rounding to cents) is
// spelled, without currency words. The amount is first written with the
// locale's money format ("%m"), so it is rounded half away from zero to the
// locale's currency decimals, which must be two (or none).
//
// Amounts from 0 to 999999999999.99 are spelled. A negative amount is spelled as
// its magnitude preceded by "Minus ", unless the magnitude has no words (it
// rounds to nothing, or only cents are asked for without currency): -100 gives
// "Minus One Hundred Dollars ". An amount that rounds to a trillion or more, NaN,
// the infinities, and every amount under a locale whose money format has other
// than two decimals (or none) give the empty text: the words could only be wrong.
QString dvNumToWords(double amount, bool withCurrency);
