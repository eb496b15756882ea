#include "LocalText.h"

#include <QStringEncoder>

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

// Well-formed UTF-8 as it stands: a byte order mark is text like any other.
QString fromUtf8Exact(const char *bytes, qsizetype n)
{
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    return decoder(QByteArrayView(bytes, n));
}

bool isEscape(const QString &text, qsizetype i)
{
    const char16_t u = text.at(i).unicode();
    return u >= 0xDC80 && u <= 0xDCFF && (i == 0 || !text.at(i - 1).isHighSurrogate());
}

} // namespace

QString decodeLocal(const QByteArray &bytes)
{
    if (!localIsUtf8())
        return QString::fromLocal8Bit(bytes);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    QString text;
    text.reserve(n);
    qsizetype run = 0; // start of the current run of well-formed bytes
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = utf8SequenceLength(p + i, n - i);
        if (len > 0) {
            i += len;
            continue;
        }
        text += fromUtf8Exact(bytes.constData() + run, i - run);
        text += QChar(char16_t(0xDC00 + p[i]));
        run = ++i;
    }
    text += fromUtf8Exact(bytes.constData() + run, n - run);
    return text;
}

QByteArray encodeLocal(const QString &text)
{
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

bool hasEscapedBytes(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscape(text, i))
            return true;
    }
    return false;
}

} // namespace platform
