#include "TextScrambler.h"

QByteArray TTextScrambler::Descramble(const QByteArray &input) const
{
    QByteArray output;
    output.reserve(input.size());
    for (const char byte : input) {
        const auto b = static_cast<quint8>(byte);
        const auto swapped = static_cast<quint8>(((b & 0x0F) << 4) | ((b & 0xF0) >> 4));
        output.append(static_cast<char>(swapped ^ 0xFF));
    }
    return output;
}
