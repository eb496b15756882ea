#pragma once

#include "LocalText.h"

// True where the local 8-bit encoding has letters for the bytes 0x80 to 0xFF
// (the ANSI code page of a Western Windows: Latin-1's letters, whose case
// folds), false where it is UTF-8 and such a byte alone is a foreign byte,
// kept exactly.
inline bool highBytesAreLetters()
{
    return !platform::hasEscapedBytes(platform::decodeLocal("\xC4"));
}
