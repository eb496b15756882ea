#pragma once

#include <QByteArray>

// Hides a short text from a casual look at the executable: each byte has its
// two halves swapped and all bits inverted. The routine is its own inverse, so
// the same call makes the stored form and restores the text.
class TTextScrambler
{
public:
    // A new byte string of the input's length; accepts any bytes, the empty string too.
    QByteArray Descramble(const QByteArray &input) const;
};
