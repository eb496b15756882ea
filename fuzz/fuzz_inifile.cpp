// TIniFile on any file: the input less byte 0 and the last byte-0 bytes, which are a
// script of key listings and writes or section erases. Lines no write touched stay as
// they were, values read back with only the documented changes, and saving, loading
// and saving again gives the same bytes.
#include "IniFile.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#define CHECK(ok) ((ok) ? void() : __builtin_trap())

namespace {

QString expectedRead(QString v) // line breaks, blanks, one pair of quotes, the cut
{
    static const QRegularExpression breaks("[\r\n]"), blanks("^[ \t]+|[ \t]+$");
    v.replace(breaks, " ").remove(blanks);
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v.size() <= 2047 ? v : v.left(v.at(2046).isHighSurrogate() ? 2046 : 2047);
}

QList<QByteArray> lines(const QByteArray &b) // each with its line end; Latin-1 keeps the bytes
{
    QList<QByteArray> out;
    static const QRegularExpression line("[^\r\n]*(\r\n|\r|\n)|[^\r\n]+$");
    for (const auto &m : line.globalMatch(QString::fromLatin1(b)))
        out.append(m.captured(0).toLatin1());
    return out;
}

// Whether a and b differ in at most `touched` lines of b and `added` lines of a.
bool sameBut(const QList<QByteArray> &b, const QList<QByteArray> &a, int touched, int added)
{
    qsizetype pre = 0, suf = 0, n = std::min(a.size(), b.size());
    while (pre < n && a[pre] == b[pre])
        ++pre;
    while (suf < n - pre && a[a.size() - 1 - suf] == b[b.size() - 1 - suf])
        ++suf;
    return b.size() - pre - suf <= touched && a.size() - pre - suf <= added;
}

const QString kNames[]
    = {"Sec", "sec", "MRU", "MRU_1", "DranelWispConfig", "", "a b", "\u00e4", "[x", "x;y", "#k"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    static QTemporaryDir dir;
    const qsizetype n = size ? std::min<qsizetype>(data[0], qsizetype(size) - 1) : 0;
    const QByteArray file = QByteArray((const char *)data, qsizetype(size) - n).mid(1);
    const unsigned char *op = data + size - n, *end = data + size;
    auto next = [&] {
        return op < end ? *op++ : 0;
    };
    QFile f(dir.filePath("f.ini"));
    CHECK(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
    f.close();

    TIniFile ini(f.fileName());
    CHECK(ini.ToBytes() == file);
    QHash<QString, QString> written; // by case-folded section, line break, key
    while (op < end) {
        const int code = next(), k = next();
        const QString section = kNames[next() % 11];
        const QStringList keys = ini.ReadSectionKeys(section);
        const QString key = k < 11 || keys.isEmpty() ? kNames[k % 11] : keys.at(k % keys.size());
        const QList<QByteArray> before = lines(ini.ToBytes());
        const QString name = (section + u'\n').toCaseFolded();
        CHECK(ini.ReadSectionValues(section).size() == keys.size());
        if (code % 2 == 0) { // a write, with a key name that a line can hold
            const qsizetype len = std::min<qsizetype>(next(), end - op);
            QString value = QString::fromUtf8((const char *)op, len);
            op += len;
            if (code & 0x80) // long enough to be cut when read
                value = value.repeated(1 + 2100 / (value.size() + 1));
            if (key.isEmpty() || key.trimmed() != key || key.contains(u'=') || key[0] == u';'
                || key[0] == u'[')
                continue;
            ini.WriteString(section, key, value);
            CHECK(ini.ReadString(section, key, "<none>") == expectedRead(value));
            written[name + key.toCaseFolded()] = value;
        } else {
            ini.EraseSection(section);
            CHECK(ini.ReadSectionValues(section).isEmpty());
            written.removeIf([&](auto w) { return w.key().startsWith(name); });
        }
        // A write replaces one line or adds up to two after the line end of the one
        // before; an erase leaves a part of what was there, in order.
        const QList<QByteArray> after = lines(ini.ToBytes());
        const bool open = !before.isEmpty() && !QByteArray("\r\n").contains(before.last().back());
        const int grew = after.size() > before.size();
        qsizetype kept = 0;
        for (const QByteArray &line : before)
            kept += kept < after.size() && after[kept] == line;
        CHECK(code % 2 ? kept == after.size()
                       : sameBut(before, after, grew ? open : 1, grew ? 2 + open : 1));
    }
    const QByteArray saved = ini.ToBytes();
    ini.Save();
    const TIniFile again(f.fileName());
    CHECK(again.ToBytes() == saved);
    for (const auto &[name, value] : written.asKeyValueRange())
        CHECK(again.ReadString(name.section(u'\n', 0, 0), name.section(u'\n', 1), "<none>")
            == expectedRead(value));
    again.Save();
    CHECK(f.open(QIODevice::ReadOnly) && f.readAll() == saved);
    return 0;
}
