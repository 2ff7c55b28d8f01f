#pragma once

#include <QString>

// Phonetic keys for names, and the validation of state codes and US ZIP codes
// entered in address fields. All three are pure functions of their arguments.

// A phonetic key of the name (letters a to z, any case), so that names that
// sound alike get the same key: KNIGHT gives "NKT", PHONE "FN", SCHMIDT "SKMTT",
// XAVIER "SFR". Silent initial letters (KN, GN, PN, AE, WR) are dropped, vowels
// count only as the first letter, and the key is built while it holds fewer than
// 6 characters, so a final X ("KS") can leave it at 7: MAXXXX gives "MKSKSKS".
// Digits, punctuation and accented letters add nothing; an empty or all-blank
// name, and a lone A, E, G, K, N, P, R or W, give the empty key.
QString dvSoundex(const QString &name);

// Whether the state (or province) code is one of the country's. The country is
// compared trimmed and upper-cased, the state upper-cased but not trimmed.
// Countries: US, U.S., U.S.A., USA, UNITED STATES, UNITED STATES OF AMERICA;
// CA, CANADA; MX, MEXICO. The US territories (AS FM GU MH MP PW PR VI) pass only
// when the country is given as exactly "US".
// Membership is a substring test of the list text ("AL|AK|AZ|..."), so a
// fragment such as a single letter, or "L|A", also passes, and an empty state
// never does. A country text that matches several lists (a lone "A") is judged
// by the last of US, Canada, Mexico that it matches; any other country passes.
bool dvValidState(const QString &state, const QString &country);

// Whether the ZIP code's first three characters (read with dvStrToInt, so 0
// when they are no number) are a ZIP prefix of the state. The state code is
// compared exactly, case included. Beyond the prefix ranges of the states,
// AR 755, MA 055, TX 885, VA 201, NY 004 and NY 063 are accepted, and FL 343, 345
// and 348 are refused. An unknown state gives false.
bool dvValidUSZip(const QString &zip, const QString &state);
