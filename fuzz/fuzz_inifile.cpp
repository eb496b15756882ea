// TIniFile on any file, then a script of listings, reads, writes and erases: byte 0 is the
// script's length n, the last n bytes the script. Lines no write touched stay as they were,
// values read back with only the documented changes, save, load, save gives the same bytes.
#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#define CHECK(ok) ((ok) ? void() : __builtin_trap())

namespace {

// Each line with its line end (LF, CR LF or a lone CR), and a last line without
// one; views into b, which must outlive them.
QList<QByteArrayView> lines(const QByteArray &b)
{
    QList<QByteArrayView> out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n')
            ++i;
        if (b[i] == '\r' || b[i] == '\n') {
            out.append(QByteArrayView(b).sliced(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < b.size())
        out.append(QByteArrayView(b).sliced(start));
    return out;
}

// Whether a and b differ in at most `touched` lines of b and `added` lines of a.
bool sameBut(const QList<QByteArrayView> &b, const QList<QByteArrayView> &a, int touched, int added)
{
    const auto pre = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    const auto suf
        = std::mismatch(a.rbegin(), a.rend() - pre, b.rbegin(), b.rend() - pre).first - a.rbegin();
    return b.size() - pre - suf <= touched && a.size() - pre - suf <= added;
}

const QString kNames[] = {"Sec", "sec", "MRU", "MRU_1", "", "a b", "\u00e4", "[x", "x;y", "#k"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    static QTemporaryDir dir;
    const qsizetype n = size ? std::min<qsizetype>(data[0], qsizetype(size) - 1) : 0;
    const QByteArray file = QByteArray((const char *)data, qsizetype(size) - n).mid(1);
    const unsigned char *op = data + size - n, *end = data + size;
    const auto next = [&op, end] {
        return op < end ? *op++ : 0;
    };
    QFile f(dir.filePath("f.ini"));
    CHECK(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
    f.close();
    TIniFile ini(f.fileName());
    CHECK(ini.ToBytes() == file);
    // Key and value written, by case-folded names (which lose lone surrogates).
    QHash<std::pair<QString, QString>, std::pair<QString, QString>> written;
    while (op < end) {
        const int code = next(), k = next();
        const QString section = kNames[next() % 10];
        const QStringList keys = ini.ReadSectionKeys(section);
        const QString key = k < 10 || keys.isEmpty() ? kNames[k % 10] : keys.at(k % keys.size());
        const QByteArray bytesBefore = ini.ToBytes();
        const QList<QByteArrayView> before = lines(bytesBefore);
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
            written.removeIf([&](auto w) { return w.key().first == section.toCaseFolded(); });
        }
        // A write replaces one line or adds up to two after the line end of the one
        // before; an erase leaves a part of what was there, in order.
        const QByteArray bytesAfter = ini.ToBytes();
        const QList<QByteArrayView> after = lines(bytesAfter);
        const int open = !before.isEmpty() && !QByteArray("\r\n").contains(before.last().back());
        qsizetype kept = 0;
        for (const QByteArrayView line : before)
            kept += kept < after.size() && after[kept] == line;
        CHECK(code % 2                          ? kept == after.size()
                : after.size() == before.size() ? sameBut(before, after, 1, 1)
                                                : sameBut(before, after, open, 2 + open));
    }
    const QByteArray saved = ini.ToBytes();
    ini.Save();
    const TIniFile again(f.fileName());
    CHECK(again.ToBytes() == saved);
    for (const auto &[name, kv] : written.asKeyValueRange())
        CHECK(again.ReadString(name.first, kv.first, "<none>") == kv.second);
    again.Save();
    CHECK(f.open(QIODevice::ReadOnly) && f.readAll() == saved);
    return 0;
}
