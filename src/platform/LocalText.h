#pragma once

// Lossless conversion between the bytes of the local 8-bit encoding and text.
//
// INI files and file names come from anywhere, often in another 8-bit
// encoding than the local one. A byte that is not valid where it stands in
// the local encoding is decoded as the lone surrogate U+DC80 + byte (an
// "escaped byte") and encoded back to that same byte, so bytes read and
// written back unchanged stay exactly as they were, and distinct byte strings
// stay distinct texts. Only bytes 0x80 to 0xFF are ever escaped.

#include <QByteArray>
#include <QString>

namespace platform {

// The text of bytes in the local encoding, each invalid byte escaped.
QString decodeLocal(const QByteArray &bytes);
// The bytes of text in the local encoding; an escaped byte becomes its byte.
QByteArray encodeLocal(const QString &text);
// Appends encodeLocal(text) to bytes, without a byte array of its own.
void appendLocal(QByteArray &bytes, const QString &text);
// True when text holds at least one escaped byte.
bool hasEscapedBytes(const QString &text);

} // namespace platform
