// TIniFile on any file, then a script of listings, reads, writes and erases: byte 0 is the
// script's length n, the last n bytes the script. Lines no write touched stay as they were,
// values read back with only the documented changes, save, load, save gives the same bytes.
#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

#define CHECK(ok) ((ok) ? void() : __builtin_trap())

#include "FuzzFiles.h"

namespace {

using Lines = std::vector<QByteArrayView>;

// Each line with its line end (LF, CR LF or a lone CR), and a last line without
// one; views into b, which must outlive them. Into out, whose room is kept from
// one input to the next.
void lines(const QByteArray &b, Lines &out)
{
    out.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n')
            ++i;
        if (b[i] == '\r' || b[i] == '\n') {
            out.push_back(QByteArrayView(b).sliced(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < b.size())
        out.push_back(QByteArrayView(b).sliced(start));
}

// Whether a and b differ in at most `touched` lines of b and `added` lines of a.
bool sameBut(const Lines &b, const Lines &a, qsizetype touched, qsizetype added)
{
    const qsizetype pre = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    const qsizetype suf
        = std::mismatch(a.rbegin(), a.rend() - pre, b.rbegin(), b.rend() - pre).first - a.rbegin();
    return qsizetype(b.size()) - pre - suf <= touched && qsizetype(a.size()) - pre - suf <= added;
}

const QString kNames[] = {"Sec", "sec", "MRU", "MRU_1", "", "a b", "\u00e4", "[x", "x;y", "#k"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath("f.ini");
    static const QByteArray nativePath = QFile::encodeName(path);
    static Lines before, after;
    static std::string read;
    const qsizetype n = size ? std::min<qsizetype>(data[0], qsizetype(size) - 1) : 0;
    const QByteArray file
        = size ? QByteArray((const char *)data + 1, qsizetype(size) - n - 1) : QByteArray();
    const unsigned char *op = data + size - n, *end = data + size;
    const auto next = [&op, end] {
        return op < end ? *op++ : 0;
    };
    writeFile(nativePath.constData(), file.constData(), std::size_t(file.size()));
    TIniFile ini(path);
    // The bytes before each operation: those after the one before, as reads
    // change none.
    QByteArray bytesBefore = ini.ToBytes();
    CHECK(bytesBefore == file);
    lines(bytesBefore, before);
    // Key and value written, by case-folded names (which lose lone surrogates).
    QHash<std::pair<QString, QString>, std::pair<QString, QString>> written;
    while (op < end) {
        const int code = next(), k = next();
        const QString section = kNames[next() % 10];
        const QStringList keys = ini.ReadSectionKeys(section);
        const QString key = k < 10 || keys.isEmpty() ? kNames[k % 10] : keys.at(k % keys.size());
        CHECK(ini.ReadSectionValues(section).size() == keys.size());
        if (code % 2 == 0) {
            const qsizetype len = std::min<qsizetype>(next(), end - op);
            QString value = QString::fromUtf8((const char *)op, len);
            op += len;
            if (code & 0x80) // long enough to be cut when read
                value = value.repeated(1 + 2100 / (value.size() + 1));
            if (key.isEmpty() || key[0] == u'[') // no key line could hold it
                continue;
            ini.WriteString(section, key, value);
            // What a read gives: line breaks as spaces, at most 2047 characters.
            value.replace(u'\r', u' ').replace(u'\n', u' ');
            value.truncate(value.size() > 2047 && value.at(2046).isHighSurrogate() ? 2046 : 2047);
            CHECK(ini.ReadString(section, key, "<none>") == value);
            written[{section.toCaseFolded(), key.toCaseFolded()}] = {key, value};
        } else {
            ini.EraseSection(section);
            CHECK(ini.ReadSectionValues(section).isEmpty());
            const QString folded = section.toCaseFolded();
            written.removeIf([&](auto w) { return w.key().first == folded; });
        }
        // A write replaces one line or adds up to two after the line end of the one
        // before; an erase leaves a part of what was there, in order.
        QByteArray bytesAfter = ini.ToBytes();
        lines(bytesAfter, after);
        const int open = !before.empty() && !QByteArray("\r\n").contains(before.back().back());
        qsizetype kept = 0;
        for (const QByteArrayView line : before)
            kept += kept < qsizetype(after.size()) && after[size_t(kept)] == line;
        CHECK(code % 2                          ? kept == qsizetype(after.size())
                : after.size() == before.size() ? sameBut(before, after, 1, 1)
                                                : sameBut(before, after, open, 2 + open));
        bytesBefore = std::move(bytesAfter); // the views of after stay valid
        std::swap(before, after);
    }
    const QByteArray saved = ini.ToBytes();
    ini.Save();
    const TIniFile again(path);
    CHECK(again.ToBytes() == saved);
    for (const auto &[name, kv] : written.asKeyValueRange())
        CHECK(again.ReadString(name.first, kv.first, "<none>") == kv.second);
    again.Save();
    readFile(nativePath.constData(), read);
    CHECK(QByteArrayView(read.data(), qsizetype(read.size())) == saved);
    return 0;
}
