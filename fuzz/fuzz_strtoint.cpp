// TryStrToInt32 against a plain reference of the same rule: spaces, then a
// signed decimal within 32 bits, or a "$", "x", "X", "0x" or "0X" prefix and
// at most 8 significant hex digits taken as the bit pattern. A failed
// conversion must leave the output alone.
#include "TextUtils.h"

#include <QRegularExpression>

#include <cstring>
#include <optional>

namespace {

std::optional<qint32> reference(const QString &text)
{
    static const QRegularExpression rule(QRegularExpression::anchoredPattern(
        " *(?:([+-]?)0*([0-9]{1,10})|(?:\\$|[xX]|0[xX])0*([0-9A-Fa-f]{1,8}))"));
    const QRegularExpressionMatch m = rule.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    if (m.capturedLength(3) > 0)
        return qint32(m.captured(3).toUInt(nullptr, 16));
    const qint64 value = (m.captured(1) == u"-" ? -1 : 1) * m.captured(2).toLongLong();
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return qint32(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    // An even first byte reads the rest as Latin-1, where the interesting
    // characters are dense; an odd one as UTF-16, to reach other digits.
    if (size == 0)
        return 0;
    QString text = QString::fromLatin1((const char *)data + 1, qsizetype(size - 1));
    if (data[0] % 2 == 1) {
        text.resize(qsizetype(size - 1) / 2);
        std::memcpy(text.data(), data + 1, std::size_t(text.size()) * 2);
    }
    const std::optional<qint32> expected = reference(text);
    const qint32 untouched = data[0] * 7919 - 1;
    qint32 out = untouched;
    const bool ok = TryStrToInt32(text, out);
    if (ok != expected.has_value() || out != (ok ? *expected : untouched))
        __builtin_trap();
    return 0;
}
