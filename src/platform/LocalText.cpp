#include "LocalText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace platform {

namespace {

bool localIsUtf8()
{
    static const bool utf8
        = QByteArray(QStringEncoder(QStringConverter::System)(u"\u00E4")) == QByteArray("\xC3\xA4");
    return utf8;
}

bool isContinuation(uchar c)
{
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at p (n bytes left), or 0 when
// the byte at p does not start one. Overlong forms, surrogates and code points
// above U+10FFFF are not well formed.
int utf8SequenceLength(const uchar *p, qsizetype n)
{
    const uchar c = p[0];
    int len = 0;
    uchar lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80;
        hi = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    }
    if (len == 0 || n < len || p[1] < lo || p[1] > hi)
        return 0;
    for (int k = 2; k < len; ++k) {
        if (!isContinuation(p[k]))
            return 0;
    }
    return len;
}

// Well-formed UTF-8 as it stands (a byte order mark is text like any other),
// written at out, which has room for n + 1 characters; gives the end.
QChar *appendUtf8Exact(QChar *out, const char *bytes, qsizetype n)
{
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder.appendToBuffer(out, QByteArrayView(bytes, n));
}

// Text as the local (UTF-8) encoder writes it, at out, which has room for
// 3 * (text's size + 1) bytes; gives the end. On POSIX systems Qt's local
// encoder is its UTF-8 encoder behind a step that copies the result once
// more; the UTF-8 encoder is called directly there.
char *appendUtf8(char *out, QStringView text)
{
#ifdef Q_OS_WIN
    constexpr auto kLocal = QStringConverter::System;
#else
    constexpr auto kLocal = QStringConverter::Utf8;
#endif
    QStringEncoder encoder(kLocal, QStringConverter::Flag::Stateless);
    return encoder.appendToBuffer(out, text);
}

// Where the first byte of 0x80 or above is, from i on: eight bytes at a time,
// as nearly all names and values are ASCII.
qsizetype skipAscii(const uchar *p, qsizetype i, qsizetype n)
{
    for (; n - i >= 8; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

bool isEscapeUnit(char16_t u)
{
    return char16_t(u - 0xDC80) < 0x80;
}

bool isEscape(const QString &text, qsizetype i)
{
    return isEscapeUnit(text.at(i).unicode()) && (i == 0 || !text.at(i - 1).isHighSurrogate());
}

// The first escaped byte of text at or after i, or text's size.
qsizetype nextEscape(const QString &text, qsizetype i)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    for (; i < n; ++i) {
        if (isEscapeUnit(units[i]) && (i == 0 || !QChar::isHighSurrogate(units[i - 1])))
            return i;
    }
    return n;
}

// The same from the start. Text without lone surrogates (nearly all) has no
// escaped byte, which Qt's check of the whole text finds quickly.
qsizetype firstEscape(const QString &text)
{
    return QtPrivate::isValidUtf16(text) ? text.size() : nextEscape(text, 0);
}

} // namespace

QString decodeLocal(const QByteArray &bytes)
{
    if (!localIsUtf8())
        return QString::fromLocal8Bit(bytes);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    // Each byte gives at most one character: the runs of well-formed bytes
    // and the escaped bytes between them go straight into one buffer.
    QString text(n + 1, Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype run = 0; // start of the current run of well-formed bytes
    // ASCII (nearly every name and value) is one run, found so in Qt's scan.
    const bool ascii = QtPrivate::isAscii(QLatin1StringView(bytes.constData(), n));
    for (qsizetype i = ascii ? n : skipAscii(p, 0, n); i < n; i = skipAscii(p, i, n)) {
        const int len = utf8SequenceLength(p + i, n - i);
        if (len > 0) {
            i += len;
            continue;
        }
        out = appendUtf8Exact(out, bytes.constData() + run, i - run);
        *out++ = QChar(char16_t(0xDC00 + p[i]));
        run = ++i;
    }
    out = appendUtf8Exact(out, bytes.constData() + run, n - run);
    text.truncate(out - text.constData());
    return text;
}

namespace {

// The room writeUtf8Local() needs for text.
qsizetype utf8LocalSpace(const QString &text)
{
    return 3 * (text.size() + 1);
}

// The runs between escaped bytes as the local (UTF-8) encoder writes them, and
// each escaped byte as it was, at out; gives the end.
char *writeUtf8Local(char *out, const QString &text)
{
    const qsizetype n = text.size();
    qsizetype run = 0;
    for (qsizetype i = firstEscape(text); i < n; i = nextEscape(text, run)) {
        out = appendUtf8(out, QStringView(text).mid(run, i - run));
        *out++ = char(text.at(i).unicode() - 0xDC00);
        run = i + 1;
    }
    return appendUtf8(out, QStringView(text).mid(run));
}

} // namespace

QByteArray encodeLocal(const QString &text)
{
    if (!localIsUtf8()) {
        QByteArray bytes;
        qsizetype run = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!isEscape(text, i))
                continue;
            bytes += QStringView(text).mid(run, i - run).toLocal8Bit();
            bytes += char(text.at(i).unicode() - 0xDC00);
            run = i + 1;
        }
        bytes += QStringView(text).mid(run).toLocal8Bit();
        return bytes;
    }
    if (text.isEmpty())
        return QByteArray(); // null, as an empty text always gave
    QByteArray bytes(utf8LocalSpace(text), Qt::Uninitialized);
    bytes.truncate(writeUtf8Local(bytes.data(), text) - bytes.constData());
    return bytes;
}

void appendLocal(QByteArray &bytes, const QString &text)
{
    if (!localIsUtf8()) {
        bytes += encodeLocal(text);
        return;
    }
    if (text.isEmpty())
        return;
    // Room at the end (resize grows the array geometrically), written, and
    // what was not used given back.
    const qsizetype size = bytes.size();
    bytes.resize(size + utf8LocalSpace(text));
    bytes.truncate(writeUtf8Local(bytes.data() + size, text) - bytes.constData());
}

bool hasEscapedBytes(const QString &text)
{
    return firstEscape(text) < text.size();
}

} // namespace platform
