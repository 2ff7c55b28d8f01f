#pragma once

#include <QString>

// A light, position-dependent substitution that makes a line of text unreadable
// at a glance (the optional scrambling of export files); it is no cipher in the
// cryptographic sense and protects nothing against a determined reader.
//
// Each character of the 110-character alphabet (the blank, a-z, A-Z,
// "~!@#$%^&*()-_=+/?.>,<", 0-9 and the accented letters áÁéÉíÍóÓúÚãÃõÕñÑàÀèÈìÌòÒùÙ)
// is replaced through a fixed permutation of that alphabet, rotated with the
// character's position as dvRotate rotates: positions 1, 110 and 111 use it
// unrotated, positions 2 and 112 rotated by one place, and so on, with a period
// of 110 from position 111 on. Every other character (quotes, ";", "\", control
// characters, other letters and symbols) passes through unchanged and keeps its
// place. The result has the length of the text, and
//   dvDeCrypt(dvEnCrypt(text, k), m) == text
// for every text and any keys k and m. The key has no effect: it is accepted so
// that callers can pass one, and files scrambled under any key read back under
// any other.

QString dvEnCrypt(const QString &text, int key);
QString dvDeCrypt(const QString &text, int key);
