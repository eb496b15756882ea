#pragma once

#include <QString>
#include <QtGlobal>

// Small text helpers shared by the settings, the command lines and the
// configuration dialog.

// Converts text to a 32-bit signed integer by the one rule the INI reads and
// the configuration dialog share:
//   - leading space characters (code 32 only; a tab is an ordinary character)
//     are skipped;
//   - then either an optional "+" or "-" and decimal digits within the signed
//     32-bit range, or one of the prefixes "$", "x", "X", "0x", "0X" and at
//     most 8 significant hexadecimal digits, taken as the 32-bit pattern
//     ($FFFFFFFF is -1); a sign never goes with a prefix;
//   - anything else (empty text, a stray or trailing character, a value out of
//     range) fails.
// Returns false on failure and leaves out untouched.
bool TryStrToInt32(const QString &text, qint32 &out);

// The decimal text of number, with "0" characters put in front until it is
// width characters long; a longer text is returned unchanged.
QString ZeroPad(qint64 number, int width);

// The path unchanged when it already ends in the path delimiter of the
// conventions in force, otherwise the path followed by that delimiter. Only
// that one character counts ("/" does not when the delimiter is a backslash).
QString AddTrailingBackslash(const QString &path);

// Removes every leading and trailing character whose code is 32 or below.
QString TrimText(const QString &text);
