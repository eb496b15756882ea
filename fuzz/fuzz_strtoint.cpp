// TryStrToInt32 against a plain reference of the same rule: skip spaces, then
// a signed decimal within 32 bits, or a "$", "x", "X", "0x" or "0X" prefix and
// at most 8 significant hex digits taken as the bit pattern. A failed
// conversion must leave the output alone.
#include "TextUtils.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

int digitValue(char16_t c, int base)
{
    int v = 99;
    if (c >= u'0' && c <= u'9')
        v = c - u'0';
    else if (c >= u'a' && c <= u'z')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'Z')
        v = c - u'A' + 10;
    return v < base ? v : -1;
}

// The digits, leading zeros dropped, as a number; nothing when a character is
// no digit, there are none, or more than maxDigits significant ones.
std::optional<std::uint64_t> digits(std::u16string s, int base, std::size_t maxDigits)
{
    if (s.empty())
        return std::nullopt;
    for (char16_t c : s) {
        if (digitValue(c, base) < 0)
            return std::nullopt;
    }
    s.erase(0,
        s.find_first_not_of(u'0') == std::u16string::npos ? s.size() - 1
                                                          : s.find_first_not_of(u'0'));
    if (s.size() > maxDigits)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : s)
        value = value * base + std::uint64_t(digitValue(c, base));
    return value;
}

std::optional<std::int32_t> reference(std::u16string s)
{
    s.erase(0,
        s.find_first_not_of(u' ') == std::u16string::npos ? s.size() : s.find_first_not_of(u' '));
    for (const std::u16string prefix : {u"0x", u"0X", u"$", u"x", u"X"}) {
        if (s.starts_with(prefix)) {
            const auto v = digits(s.substr(prefix.size()), 16, 8);
            return v ? std::optional<std::int32_t>(std::int32_t(std::uint32_t(*v))) : std::nullopt;
        }
    }
    const bool negative = s.starts_with(u'-');
    if (negative || s.starts_with(u'+'))
        s.erase(0, 1);
    const auto v = digits(s, 10, 10);
    const std::int64_t value = v ? (negative ? -std::int64_t(*v) : std::int64_t(*v)) : 1LL << 40;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return std::int32_t(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // An even first byte reads the rest as Latin-1, where the interesting
    // characters are dense; an odd one as UTF-16, to reach other digits.
    if (size == 0)
        return 0;
    QString text
        = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] % 2 == 1) {
        text.resize(qsizetype(size - 1) / 2);
        std::memcpy(text.data(), data + 1, std::size_t(text.size()) * 2);
    }
    const std::optional<std::int32_t> expected = reference(text.toStdU16String());
    const qint32 untouched = data[0] * 7919 - 1;
    qint32 out = untouched;
    const bool ok = TryStrToInt32(text, out);
    if (ok != expected.has_value() || out != (ok ? *expected : untouched))
        std::abort();
    return 0;
}
