// splitCommandLine on any text, and the round trip: words quoted by the C
// runtime's rules and joined by blanks split into the same words. The program
// name has simpler rules (quotes only group, backslashes are plain), so it is
// always quoted and holds no quote of its own.
#include "Launcher.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

QString quoteArgument(const QString &word)
{
    if (!word.isEmpty() && !word.contains(u' ') && !word.contains(u'\t') && !word.contains(u'"'))
        return word;
    QString quoted = QStringLiteral("\"");
    qsizetype slashes = 0;
    for (QChar c : word) {
        if (c == u'\\') {
            ++slashes;
            continue;
        }
        // Backslashes double only before a quote, which then gets one more.
        quoted += QString(c == u'"' ? 2 * slashes + 1 : slashes, u'\\') + c;
        slashes = 0;
    }
    return quoted + QString(2 * slashes, u'\\') + u'"';
}

void checkRoundTrip(QStringList words, const QString &separator)
{
    words.first().remove(u'"');
    QString line = u'"' + words.first() + u'"';
    for (qsizetype i = 1; i < words.size(); ++i)
        line += separator + quoteArgument(words.at(i));
    if (platform::splitCommandLine(line) != words)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString separator = data[0] & 1 ? QStringLiteral(" ") : QStringLiteral(" \t ");
    if (data[0] & 2) {
        // Any text splits; the words it gives survive quoting and splitting.
        const QStringList words = platform::splitCommandLine(text);
        if (words.isEmpty())
            std::abort();
        checkRoundTrip(words, separator);
    } else {
        // Words of any characters, NUL-separated in the input.
        checkRoundTrip(text.split(QChar(0)), separator);
    }
    return 0;
}
