#include "IniFile.h"

#include "Error.h"
#include "LocalText.h"
#include "Platform.h"
#include "TextUtils.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray &bytes)
{
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && isBlank(bytes.at(first)))
        ++first;
    while (last > first && isBlank(bytes.at(last - 1)))
        --last;
    return bytes.mid(first, last - first);
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

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

} // namespace

TIniFile::TIniFile(const QString &fileName)
    : FFileName(fileName)
{
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
        FUnreadable = file.error() != QFileDevice::NoError;
    } else {
        // A file that is there but cannot be read is not an empty file: it
        // must never be replaced by one. (A path that cannot even be looked up
        // cannot be written either.)
        FUnreadable = QFileInfo::exists(fileName);
    }
    Parse(FUnreadable ? QByteArray() : bytes);
}

void TIniFile::Parse(const QByteArray &bytes)
{
    FLines.clear();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\n' && c != '\r')
            continue;
        Line line;
        line.text = bytes.mid(start, i - start);
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') {
            line.end = "\r\n";
            ++i;
        } else if (c == '\r') {
            line.end = "\r";
        } else {
            line.end = "\n";
        }
        FLines.push_back(line);
        start = i + 1;
    }
    if (start < n) {
        Line line;
        line.text = bytes.mid(start);
        FLines.push_back(line);
    }
    for (size_t i = 0; i < FLines.size(); ++i)
        Classify(FLines[i], i == 0);
    ChooseNewLineEnd();
}

void TIniFile::ChooseNewLineEnd()
{
    // New lines follow the habit of the lines the file holds when they are
    // written, not when it was read: a save that erased a section and a save
    // of its result then choose alike. Only loading and erasing change that
    // habit: written lines take the chosen end and so only confirm it, which
    // spares a count of every line at each write. Ties and files without any
    // line end go to the convention of the platform style in force.
    int lf = 0, crlf = 0, cr = 0;
    for (const Line &line : FLines) {
        crlf += line.end == "\r\n";
        cr += line.end == "\r";
        lf += line.end == "\n";
    }
    const QByteArray preferred = platform::conventions().iniLineEnd;
    FNewLineEnd = preferred;
    int best = preferred == "\r\n" ? crlf : preferred == "\r" ? cr : lf;
    const std::pair<const char *, int> counts[] = {{"\r\n", crlf}, {"\n", lf}, {"\r", cr}};
    for (const auto &[end, count] : counts) {
        if (count > best) {
            best = count;
            FNewLineEnd = end;
        }
    }
}

void TIniFile::Classify(Line &line, bool firstLine)
{
    line.kind = Kind::Other;
    line.name.clear();
    line.eq = -1;
    const QByteArray &t = line.text;
    qsizetype p = firstLine && t.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (p < t.size() && isBlank(t.at(p)))
        ++p;
    if (p == t.size() || t.at(p) == ';')
        return;
    if (t.at(p) == '[') {
        const qsizetype close = t.indexOf(']', p + 1);
        if (close >= 0) {
            line.kind = Kind::Section;
            line.name = platform::decodeLocal(trimBlanks(t.mid(p + 1, close - p - 1)));
            return;
        }
    }
    const qsizetype eq = t.indexOf('=', p);
    if (eq < 0)
        return;
    const QByteArray name = trimBlanks(t.mid(p, eq - p));
    if (name.isEmpty())
        return;
    line.kind = Kind::Key;
    line.name = platform::decodeLocal(name);
    line.eq = eq;
}

qsizetype TIniFile::FindSection(const QString &section) const
{
    for (size_t i = 0; i < FLines.size(); ++i) {
        if (FLines[i].kind == Kind::Section && sameName(FLines[i].name, section))
            return qsizetype(i);
    }
    return -1;
}

qsizetype TIniFile::SectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < qsizetype(FLines.size()) && FLines[i].kind != Kind::Section)
        ++i;
    return i;
}

qsizetype TIniFile::FindKey(qsizetype header, const QString &key) const
{
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (FLines[i].kind == Kind::Key && sameName(FLines[i].name, key))
            return i;
    }
    return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const qsizetype header = FindSection(section);
    if (header < 0)
        return def;
    const qsizetype k = FindKey(header, key);
    if (k < 0)
        return def;
    const Line &line = FLines[k];
    QString value = platform::decodeLocal(trimBlanks(line.text.mid(line.eq + 1)));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
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
    const qsizetype header = FindSection(section);
    if (header < 0)
        return keys;
    const qsizetype end = SectionEnd(header);
    qsizetype used = 1; // the zero byte that ends the list
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = FLines[i];
        if (line.kind != Kind::Key)
            continue;
        const qsizetype bytes = trimBlanks(line.text.left(line.eq)).size() + 1;
        if (used + bytes > KeyListBufferSize)
            break; // the list is full; a name that does not fit whole is left out
        used += bytes;
        keys.append(line.name);
    }
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString &section) const
{
    QStringList lines;
    for (const QString &key : ReadSectionKeys(section))
        lines.append(key + u'=' + ReadString(section, key, QString()));
    return lines;
}

TIniFile::Line TIniFile::MakeLine(const QByteArray &text) const
{
    Line line;
    line.text = text;
    line.end = FNewLineEnd;
    Classify(line, false);
    return line;
}

void TIniFile::EnsureLastLineEnded()
{
    if (!FLines.empty() && FLines.back().end.isEmpty())
        FLines.back().end = FNewLineEnd;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    if (readChanges(flat))
        flat = u'"' + flat + u'"'; // the read strips these quotes and nothing else
    const QByteArray encodedValue = platform::encodeLocal(flat);

    qsizetype header = FindSection(section);
    if (header < 0) {
        EnsureLastLineEnded();
        FLines.push_back(MakeLine('[' + platform::encodeLocal(section) + ']'));
        header = qsizetype(FLines.size()) - 1;
    }
    const qsizetype k = FindKey(header, key);
    if (k >= 0) {
        // Keep the key as spelt (and indented) in the file; replace only the value.
        Line &line = FLines[k];
        QByteArray prefix = line.text.left(line.eq);
        while (!prefix.isEmpty() && isBlank(prefix.back()))
            prefix.chop(1);
        line.text = prefix + '=' + encodedValue;
        Classify(line, k == 0);
        return;
    }
    // After the section's last non-blank line, so a blank line that separates
    // it from the next section stays in between.
    qsizetype at = SectionEnd(header);
    while (at - 1 > header && trimBlanks(FLines[at - 1].text).isEmpty())
        --at;
    if (FLines[at - 1].end.isEmpty())
        FLines[at - 1].end = FNewLineEnd;
    FLines.insert(FLines.begin() + at, MakeLine(platform::encodeLocal(key) + '=' + encodedValue));
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
    for (qsizetype header = FindSection(section); header >= 0; header = FindSection(section))
        FLines.erase(FLines.begin() + header, FLines.begin() + SectionEnd(header));
    ChooseNewLineEnd();
}

QByteArray TIniFile::ToBytes() const
{
    QByteArray bytes;
    for (const Line &line : FLines)
        bytes += line.text + line.end;
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
