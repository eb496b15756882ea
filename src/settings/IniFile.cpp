#include "IniFile.h"

#include "Error.h"
#include "LocalText.h"
#include "Platform.h"
#include "TextUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QStringBuilder>

#include <bit>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimBlanks(QByteArrayView bytes)
{
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && isBlank(bytes[first]))
        ++first;
    while (last > first && isBlank(bytes[last - 1]))
        --last;
    return bytes.sliced(first, last - first);
}

QString decode(QByteArrayView bytes)
{
    return platform::decodeLocal(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

// Whether a read would not give back this value as it stands: blanks at
// either end are not part of a value read, nor is a pair of matching quotes.
bool readChanges(const QString &value)
{
    if (value.isEmpty())
        return false;
    const QChar first = value.front();
    const QChar last = value.back();
    return first == u' ' || first == u'\t' || last == u' ' || last == u'\t'
        || (value.size() >= 2 && (first == u'"' || first == u'\'') && last == first);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A hash of a name that two names share whenever sameName() holds for them:
// it covers each UTF-16 unit case-folded as the comparison folds it, except
// that every surrogate (whose folding depends on its neighbour) counts as one
// and the same. Names of different hashes never match; names of one hash are
// still compared, so the hash only narrows the search.
quint64 nameHash(const QString &name)
{
    quint64 hash = 14695981039346656037ULL; // FNV-1a
    for (const QChar c : name) {
        char16_t unit = c.unicode();
        if (unit < 0x80)
            unit = unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
        else
            unit = c.isSurrogate() ? char16_t(0xFFFF)
                                   : char16_t(QChar::toCaseFolded(char32_t(unit)));
        hash = (hash ^ unit) * 1099511628211ULL;
    }
    return hash;
}

// The same for a name of ASCII bytes, which decode to the same characters.
quint64 nameHash(QByteArrayView ascii)
{
    quint64 hash = 14695981039346656037ULL;
    for (const char c : ascii)
        hash = (hash ^ char16_t(c >= 'A' && c <= 'Z' ? c + 32 : c)) * 1099511628211ULL;
    return hash;
}

bool isAscii(QByteArrayView bytes)
{
    return QtPrivate::isAscii(QLatin1StringView(bytes.data(), bytes.size()));
}

// Up to this many sections, or lines in a section, names are looked up one by
// one instead of through a hash.
constexpr size_t kFewNames = 16;

const QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
const QByteArrayView kEnds[] = {"", "\n", "\r\n", "\r"};

} // namespace

TIniFile::TIniFile(const QString &fileName)
    : FFileName(fileName)
{
    QFile file(fileName);
    // Read in one go: a buffer of the device's own would only add a copy.
    if (file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        FData = file.readAll();
        FUnreadable = file.error() != QFileDevice::NoError;
    } else {
        // A file that is there but cannot be read is not an empty file: it
        // must never be replaced by one. (A path that cannot even be looked up
        // cannot be written either.)
        FUnreadable = QFileInfo::exists(fileName);
    }
    if (FUnreadable)
        FData.clear();
    Parse();
}

// Calls action(line) for each line of the file's bytes from..to (which begin
// and end at line boundaries); a line ends at LF, CR LF or a lone CR.
template<typename Action>
void TIniFile::ForEachLine(qsizetype from, qsizetype to, Action action) const
{
    const char *data = FData.constData();
    qsizetype start = from;
    qsizetype nextLf = -1; // the next LF at or after start, or to
    while (start < to) {
        if (nextLf < start) {
            const void *lf = std::memchr(data + start, '\n', size_t(to - start));
            nextLf = lf ? static_cast<const char *>(lf) - data : to;
        }
        const void *cr = std::memchr(data + start, '\r', size_t(nextLf - start));
        const qsizetype i = cr ? static_cast<const char *>(cr) - data : nextLf;
        Line line;
        line.start = start;
        line.size = i - start;
        if (i == to) {
            start = to;
        } else if (data[i] == '\n') {
            line.end = LF;
            start = i + 1;
        } else if (i + 1 < to && data[i + 1] == '\n') {
            line.end = CRLF;
            start = i + 2;
        } else {
            line.end = CR;
            start = i + 1;
        }
        action(line);
    }
}

// How many lines the file's bytes from..to hold, at most (each LF and each CR
// ends one, and the last may have no end): found by memchr, not byte by byte.
qsizetype TIniFile::LineCount(qsizetype from, qsizetype to) const
{
    qsizetype count = 1;
    for (const char end : {'\n', '\r'}) {
        const char *p = FData.constData() + from;
        const char *last = FData.constData() + to;
        while (const void *found = std::memchr(p, end, size_t(last - p))) {
            ++count;
            p = static_cast<const char *>(found) + 1;
        }
    }
    return count;
}

// One pass over the bytes: only section headers are taken apart; the lines
// between them stay in the file's bytes until their section is needed.
void TIniFile::Parse()
{
    FSections.clear();
    FSections.reserve(8); // most files have fewer sections
    FSections.emplace_back().split = false;
    const char *data = FData.constData();
    ForEachLine(0, FData.size(), [this, data](Line &line) {
        ++FEndCount[line.end];
        qsizetype p = line.start == 0 && Text(line).startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
        while (p < line.size && isBlank(data[line.start + p]))
            ++p;
        if (p < line.size && data[line.start + p] == '[') {
            Classify(line, line.start == 0);
            if (line.kind == Kind::Section) {
                const qsizetype body = line.start + line.size + kEnds[line.end].size();
                Section &section = FSections.emplace_back();
                section.lines.push_back(line);
                section.split = false;
                section.bodyStart = section.bodyEnd = body;
                return;
            }
        }
        FSections.back().bodyEnd = line.start + line.size + kEnds[line.end].size();
    });
    FSectionsIndexed = false;
    FSectionIndex.Clear();
    ChooseNewLineEnd();
}

TIniFile::Section &TIniFile::Split(qsizetype s) const
{
    Section &section = FSections[size_t(s)];
    if (!section.split) {
        section.lines.reserve(section.lines.size() + LineCount(section.bodyStart, section.bodyEnd));
        ForEachLine(section.bodyStart, section.bodyEnd, [this, &section](Line &line) {
            Classify(line, line.start == 0);
            section.lines.push_back(line);
        });
        section.split = true;
    }
    return section;
}

void TIniFile::ChooseNewLineEnd()
{
    // New lines follow the habit of the lines the file holds when they are
    // written, not when it was read: a save that erased a section and a save
    // of its result then choose alike. Only loading and erasing change that
    // habit: written lines take the chosen end and so only confirm it. Ties
    // and files without any line end go to the convention of the platform
    // style in force.
    const QByteArray &preferred = platform::conventions().iniLineEnd;
    FNewLineEnd = preferred == "\r\n" ? CRLF : preferred == "\r" ? CR : LF;
    qsizetype best = FEndCount[FNewLineEnd];
    for (const End end : {CRLF, LF, CR}) {
        if (FEndCount[end] > best) {
            best = FEndCount[end];
            FNewLineEnd = end;
        }
    }
}

QByteArrayView TIniFile::Text(const Line &line) const
{
    const char *base = line.written ? FWritten.constData() : FData.constData();
    return QByteArrayView(base + line.start, line.size);
}

QString TIniFile::Name(const Line &line) const
{
    return decode(Text(line).sliced(line.nameStart, line.nameSize));
}

// Names of ASCII bytes (nearly all) are hashed and compared without being
// decoded: they decode to the same characters in every local encoding.
// Kept with the line until its text changes.
quint64 TIniFile::NameHash(const Line &line) const
{
    if (!line.hashed) {
        const QByteArrayView bytes = Text(line).sliced(line.nameStart, line.nameSize);
        line.hash = isAscii(bytes) ? nameHash(bytes) : nameHash(decode(bytes));
        line.hashed = true;
    }
    return line.hash;
}

bool TIniFile::HasName(const Line &line, const QString &name, std::optional<quint64> *hash) const
{
    const QByteArrayView bytes = Text(line).sliced(line.nameStart, line.nameSize);
    // The comparison folds character by character, so names of another
    // length never match.
    if (isAscii(bytes))
        return bytes.size() == name.size()
            && QLatin1StringView(bytes.data(), bytes.size()).compare(name, Qt::CaseInsensitive)
            == 0;
    // Other names are decoded once, for their hash, and again only where the
    // hashes agree: names of different hashes never match. The hash of the
    // name looked for is kept in *hash for the next line.
    std::optional<quint64> own;
    std::optional<quint64> &wanted = hash ? *hash : own;
    if (!wanted)
        wanted = nameHash(name);
    return NameHash(line) == *wanted && sameName(decode(bytes), name);
}

void TIniFile::Classify(Line &line, bool firstLine) const
{
    line.kind = Kind::Other;
    line.nameStart = line.nameSize = 0;
    line.hashed = false;
    line.eq = -1;
    const QByteArrayView t = Text(line);
    qsizetype p = firstLine && t.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (p < t.size() && isBlank(t[p]))
        ++p;
    if (p == t.size() || t[p] == ';')
        return;
    const auto setName = [&line, &t](qsizetype from, qsizetype to) {
        const QByteArrayView name = trimBlanks(t.sliced(from, to - from));
        line.nameStart = name.data() - t.data();
        line.nameSize = name.size();
    };
    if (t[p] == '[') {
        const qsizetype close = t.indexOf(']', p + 1);
        if (close >= 0) {
            line.kind = Kind::Section;
            setName(p + 1, close);
            return;
        }
    }
    const qsizetype eq = t.indexOf('=', p);
    if (eq < 0)
        return;
    setName(p, eq);
    if (line.nameSize == 0)
        return;
    line.kind = Kind::Key;
    line.eq = eq;
}

// Names are looked up through a hash of their folded forms (nameHash), built when a
// section (or the list of sections) is first searched: a file is read, looked
// up and written in time that grows with its size, not with its size squared.
namespace {

// Records the name of item `at` under its hash, unless an item of the same
// name came earlier. Where different names share a hash, the hash is marked
// with -1 and lookups of it search item by item.
template<typename Index, typename SameName>
void indexName(Index &index, quint64 hash, qsizetype at, SameName sameAs)
{
    qsizetype *earlier = index.Insert(hash, at);
    if (earlier && *earlier >= 0 && !sameAs(*earlier))
        *earlier = -1;
}

} // namespace

qsizetype *TIniFile::NameIndex::Probe(quint64 hash, bool &found)
{
    // The top bits of the scrambled hash pick the slot: doubling the table
    // then sends slot i to slot 2i or 2i + 1, so a rehash walks both tables
    // in order instead of jumping about memory.
    const size_t mask = FSlots.size() - 1;
    const int shift = 64 - std::countr_zero(FSlots.size());
    for (size_t i = size_t((hash * 0x9E3779B97F4A7C15ULL) >> shift);; i = (i + 1) & mask) {
        Slot &slot = FSlots[i];
        if (slot.at == -2 || slot.hash == hash) {
            found = slot.at != -2;
            slot.hash = hash;
            return &slot.at;
        }
    }
}

qsizetype *TIniFile::NameIndex::Find(quint64 hash)
{
    if (FSlots.empty())
        return nullptr;
    bool found = false;
    qsizetype *at = Probe(hash, found);
    return found ? at : nullptr;
}

qsizetype *TIniFile::NameIndex::Insert(quint64 hash, qsizetype at)
{
    if (2 * (FCount + 1) > qsizetype(FSlots.size())) {
        std::vector<Slot> old(std::max<size_t>(16, 2 * FSlots.size()));
        old.swap(FSlots);
        for (const Slot &slot : old) {
            bool found = false;
            if (slot.at != -2)
                *Probe(slot.hash, found) = slot.at;
        }
    }
    bool found = false;
    qsizetype *slot = Probe(hash, found);
    if (found)
        return slot;
    *slot = at;
    ++FCount;
    return nullptr;
}

void TIniFile::NameIndex::Clear()
{
    FSlots.clear();
    FCount = 0;
}

void TIniFile::IndexSections() const
{
    if (FSectionsIndexed)
        return;
    FSectionIndex.Clear();
    for (size_t s = 1; s < FSections.size(); ++s) {
        const Line &header = FSections[s].lines.front();
        indexName(FSectionIndex, NameHash(header), qsizetype(s), [this, &header](qsizetype at) {
            return HasName(FSections[size_t(at)].lines.front(), Name(header));
        });
    }
    FSectionsIndexed = true;
}

void TIniFile::IndexKey(Section &section, qsizetype line) const
{
    const Line &key = section.lines[size_t(line)];
    indexName(section.keys, NameHash(key), line, [this, &section, &key](qsizetype at) {
        return HasName(section.lines[size_t(at)], Name(key));
    });
}

void TIniFile::IndexKeys(Section &section) const
{
    if (section.keysIndexed)
        return;
    section.keys.Clear();
    for (size_t i = 1; i < section.lines.size(); ++i) {
        if (section.lines[i].kind == Kind::Key)
            IndexKey(section, qsizetype(i));
    }
    section.keysIndexed = true;
}

qsizetype TIniFile::FindSection(const QString &section) const
{
    // A few names are quicker compared one by one than hashed.
    if (FSections.size() > kFewNames) {
        IndexSections();
        const qsizetype *at = FSectionIndex.Find(nameHash(section));
        if (!at)
            return -1;
        if (*at >= 0)
            return HasName(FSections[size_t(*at)].lines.front(), section) ? *at : -1;
    }
    std::optional<quint64> hash;
    for (size_t s = 1; s < FSections.size(); ++s) {
        if (HasName(FSections[s].lines.front(), section, &hash))
            return qsizetype(s);
    }
    return -1;
}

qsizetype TIniFile::FindKey(qsizetype s, const QString &key) const
{
    Section &section = Split(s);
    if (section.lines.size() > kFewNames) {
        IndexKeys(section);
        const qsizetype *at = section.keys.Find(nameHash(key));
        if (!at)
            return -1;
        if (*at >= 0)
            return HasName(section.lines[size_t(*at)], key) ? *at : -1;
    }
    std::optional<quint64> hash;
    for (size_t i = 1; i < section.lines.size(); ++i) {
        const Line &line = section.lines[i];
        if (line.kind == Kind::Key && HasName(line, key, &hash))
            return qsizetype(i);
    }
    return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const qsizetype s = FindSection(section);
    if (s < 0)
        return def;
    const qsizetype k = FindKey(s, key);
    if (k < 0)
        return def;
    const Line &line = FSections[size_t(s)].lines[size_t(k)];
    QString value = decode(trimBlanks(Text(line).sliced(line.eq + 1)));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front()) {
        value.chop(1);
        value.remove(0, 1); // in place: the text just starts one character later
    }
    if (value.size() > MaxValueLength) {
        value.truncate(MaxValueLength);
        if (value.back().isHighSurrogate())
            value.chop(1); // never keep half a character
    }
    return value;
}

qint32 TIniFile::ReadInteger(const QString &section, const QString &key, qint32 def) const
{
    qint32 value = def;
    if (!TryStrToInt32(ReadString(section, key, QString()), value))
        return def;
    return value;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

QStringList TIniFile::ReadSectionKeys(const QString &section) const
{
    QStringList keys;
    const qsizetype s = FindSection(section);
    if (s < 0)
        return keys;
    qsizetype used = 1; // the zero byte that ends the list
    for (const Line &line : Split(s).lines) {
        if (line.kind != Kind::Key)
            continue;
        const qsizetype bytes = line.nameSize + 1;
        if (used + bytes > KeyListBufferSize)
            break; // the list is full; a name that does not fit whole is left out
        used += bytes;
        keys.append(Name(line));
    }
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString &section) const
{
    const QStringList keys = ReadSectionKeys(section);
    QStringList lines;
    lines.reserve(keys.size());
    for (const QString &key : keys)
        lines.append(key % u'=' % ReadString(section, key, QString()));
    return lines;
}

TIniFile::Line TIniFile::OwnLine(qsizetype start)
{
    Line line;
    line.written = true;
    line.start = start;
    line.size = FWritten.size() - start;
    line.end = FNewLineEnd;
    Classify(line, false);
    return line;
}

void TIniFile::SetEnd(Line &line, End end)
{
    --FEndCount[line.end];
    ++FEndCount[end];
    line.end = end;
}

void TIniFile::EnsureLastLineEnded()
{
    for (qsizetype s = qsizetype(FSections.size()) - 1; s >= 0; --s) {
        const Section &section = FSections[size_t(s)];
        if (!section.split && section.bodyEnd > section.bodyStart) {
            const char last = FData.at(section.bodyEnd - 1);
            if (last == '\n' || last == '\r')
                return;
        }
        Section &lines = Split(s);
        if (!lines.lines.empty()) {
            if (lines.lines.back().end == NoEnd)
                SetEnd(lines.lines.back(), FNewLineEnd);
            return;
        }
    }
}

// A written line that reads as a section header starts a section of its own
// with the lines after it, as it does when the file is read again.
void TIniFile::SplitAt(qsizetype s, qsizetype line)
{
    Section &section = Split(s);
    Section tail;
    tail.lines.assign(section.lines.begin() + line, section.lines.end());
    section.lines.erase(section.lines.begin() + line, section.lines.end());
    section.keysIndexed = false;
    section.keys.Clear();
    FSections.insert(FSections.begin() + s + 1, std::move(tail));
    FSectionsIndexed = false;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    if (readChanges(flat))
        flat = u'"' + flat + u'"'; // the read strips these quotes and nothing else

    qsizetype s = FindSection(section);
    if (s < 0) {
        EnsureLastLineEnded();
        const qsizetype start = FWritten.size();
        FWritten.append('[');
        platform::appendLocal(FWritten, section);
        FWritten.append(']');
        const Line header = OwnLine(start);
        FSections.emplace_back().lines.push_back(header);
        ++FEndCount[header.end];
        s = qsizetype(FSections.size()) - 1;
        if (FSectionsIndexed) {
            indexName(FSectionIndex, NameHash(header), s, [this, &header](qsizetype at) {
                return HasName(FSections[size_t(at)].lines.front(), Name(header));
            });
        }
    }
    const qsizetype k = FindKey(s, key);
    Section &sec = FSections[size_t(s)]; // split by FindKey
    if (k >= 0) {
        // Keep the key as spelt (and indented) in the file; replace only the value.
        Line &line = sec.lines[size_t(k)];
        QByteArrayView prefix = Text(line).first(line.eq);
        while (!prefix.isEmpty() && isBlank(prefix.back()))
            prefix.chop(1);
        // The new text goes after all that was written (Qt copies a part of
        // FWritten appended to itself before it moves the array), and moves
        // over the line's earlier text when it fits there.
        const qsizetype start = FWritten.size();
        FWritten.append(prefix).append('=');
        platform::appendLocal(FWritten, flat);
        const qsizetype size = FWritten.size() - start;
        if (line.written && size <= line.size) {
            char *bytes = FWritten.data();
            std::memcpy(bytes + line.start, bytes + start, size_t(size));
            FWritten.truncate(start);
        } else {
            line.written = true;
            line.start = start;
        }
        line.size = size;
        Classify(line, false);
        if (line.kind == Kind::Section)
            SplitAt(s, k);
        return;
    }
    // After the section's last non-blank line, so a blank line that separates
    // it from the next section stays in between. The lines moved are blank, so
    // the positions of the section's keys stay as they are.
    qsizetype at = qsizetype(sec.lines.size());
    while (at - 1 > 0 && trimBlanks(Text(sec.lines[size_t(at - 1)])).isEmpty())
        --at;
    if (sec.lines[size_t(at - 1)].end == NoEnd)
        SetEnd(sec.lines[size_t(at - 1)], FNewLineEnd);
    const qsizetype start = FWritten.size();
    platform::appendLocal(FWritten, key);
    FWritten.append('=');
    platform::appendLocal(FWritten, flat);
    const Line line = OwnLine(start);
    sec.lines.insert(sec.lines.begin() + at, line);
    ++FEndCount[line.end];
    if (line.kind == Kind::Key && sec.keysIndexed)
        IndexKey(sec, at);
    else if (line.kind == Kind::Section)
        SplitAt(s, at);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, qint32 value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::EraseSection(const QString &section)
{
    if (FindSection(section) >= 0) {
        // The sections kept move up in place.
        size_t kept = 0;
        std::optional<quint64> hash;
        for (size_t s = 0; s < FSections.size(); ++s) {
            if (s > 0 && HasName(FSections[s].lines.front(), section, &hash)) {
                for (const Line &line : Split(qsizetype(s)).lines)
                    --FEndCount[line.end];
            } else {
                if (kept != s)
                    FSections[kept] = std::move(FSections[s]);
                ++kept;
            }
        }
        FSections.erase(FSections.begin() + qsizetype(kept), FSections.end());
        FSectionsIndexed = false;
    }
    ChooseNewLineEnd();
}

QByteArray TIniFile::ToBytes() const
{
    qsizetype size = 0;
    for (const Section &section : FSections) {
        for (const Line &line : section.lines)
            size += line.size + kEnds[line.end].size();
        if (!section.split)
            size += section.bodyEnd - section.bodyStart;
    }
    QByteArray bytes;
    bytes.reserve(size);
    for (const Section &section : FSections) {
        for (const Line &line : section.lines)
            bytes.append(Text(line)).append(kEnds[line.end]);
        if (!section.split)
            bytes.append(QByteArrayView(FData).sliced(
                section.bodyStart, section.bodyEnd - section.bodyStart));
    }
    return bytes;
}

void TIniFile::Save() const
{
    // Replaced atomically, or written in place where the folder takes no new
    // file (platform::replaceFile); a file that could not be read is never
    // replaced.
    if (FUnreadable || !platform::replaceFile(FFileName, ToBytes()))
        throw TError(QStringLiteral("Unable to write to ") + FFileName);
}
