#include "TextUtils.h"

#include "Platform.h"

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

bool TryStrToInt32(const QString &text, qint32 &out)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i) == u' ')
        ++i;
    if (i == n)
        return false;

    // Hexadecimal: "$", "x", "X", "0x" or "0X", then hex digits only.
    qsizetype hexStart = -1;
    if (text.at(i) == u'$' || text.at(i) == u'x' || text.at(i) == u'X')
        hexStart = i + 1;
    else if (text.at(i) == u'0' && i + 1 < n && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X'))
        hexStart = i + 2;
    if (hexStart >= 0) {
        if (hexStart == n)
            return false;
        quint32 value = 0;
        int significant = 0;
        for (qsizetype k = hexStart; k < n; ++k) {
            const int d = hexDigit(text.at(k));
            if (d < 0)
                return false;
            if (significant > 0 || d != 0)
                ++significant;
            if (significant > 8)
                return false;
            value = (value << 4) | quint32(d);
        }
        out = qint32(value); // the 32-bit pattern: FFFFFFFF is -1
        return true;
    }

    // Decimal: optional sign, then digits within the signed 32-bit range.
    bool negative = false;
    if (text.at(i) == u'+' || text.at(i) == u'-') {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == n)
        return false;
    const quint64 limit = negative ? 2147483648ULL : 2147483647ULL;
    quint64 value = 0;
    for (; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < u'0' || u > u'9')
            return false;
        value = value * 10 + (u - u'0');
        if (value > limit)
            return false;
    }
    out = negative ? qint32(-qint64(value)) : qint32(value);
    return true;
}

QString ZeroPad(qint64 number, int width)
{
    QString text = QString::number(number);
    if (text.size() < width)
        text.prepend(QString(width - text.size(), u'0'));
    return text;
}

QString AddTrailingBackslash(const QString &path)
{
    const QChar delimiter = platform::conventions().delimiter;
    if (path.endsWith(delimiter))
        return path;
    return path + delimiter;
}

QString TrimText(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}
