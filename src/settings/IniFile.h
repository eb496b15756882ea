#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// An INI file held in memory: loaded once on construction, read and changed
// in memory, and written back whole by Save().
//
// It behaves like the Windows private-profile service, because users bring
// INI files written there:
//  - section and key names match without regard to case; a repeated section
//    or key is seen (read, listed, written) only in its first occurrence,
//    later ones stay in the file untouched;
//  - a line ends at LF, CRLF or a lone CR; blanks (space, tab) around names
//    and values are not part of them; a read strips one pair of matching
//    outer quotes and cuts the value to 2047 characters;
//  - only ";" starts a comment; comments, blank lines, lines without "=" and
//    keys before the first section header are never read or listed and are
//    kept as they are;
//  - a written key is replaced in place and keeps its spelling, a new key
//    goes after the last non-blank line of its section, a new section at the
//    end of the file;
//  - lines that are not changed are written back byte for byte; names and
//    values are decoded and encoded losslessly (platform::decodeLocal), so a
//    value in another 8-bit encoding that is read and written back keeps its
//    bytes.
// New lines take the line end that dominates the lines the file holds when
// they are written; a file without line ends gets "\r\n" in the Windows
// conventions and "\n" in the POSIX ones.
class TIniFile
{
public:
    static constexpr int MaxValueLength = 2047; // characters of a value read
    static constexpr int KeyListBufferSize = 16384; // bytes of a key-name list

    // Reads the file when it exists. A missing file is empty, and the first
    // Save() creates it; a file that exists but cannot be read is empty too,
    // and Save() refuses to replace it.
    explicit TIniFile(const QString &fileName);

    const QString &FileName() const { return FFileName; }

    // The value of the first key of that name in the first section of that
    // name, or def when either is missing. An empty value is a value.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // The value converted by TryStrToInt32, or def when missing or not a number.
    qint32 ReadInteger(const QString &section, const QString &key, qint32 def) const;
    // ReadInteger with 1 or 0 as default; true when the result is not zero.
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    // The key names of the section in file order, repeated names included, as
    // far as they fit whole, each with a zero byte after it and one more zero
    // byte at the end, into a list of KeyListBufferSize bytes.
    QStringList ReadSectionKeys(const QString &section) const;
    // For each listed key: name, "=", and the value read with an empty default.
    QStringList ReadSectionValues(const QString &section) const;

    // Line breaks in a value are written as spaces: a value never adds lines
    // (and so never keys or sections) to the file. A value with blanks at
    // either end or in a pair of matching quotes is written inside double
    // quotes, so that it reads back as written.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, qint32 value);
    void WriteBool(const QString &section, const QString &key, bool value);
    // Removes every section of that name, each with all its lines up to the
    // next section header. A missing section is no error.
    void EraseSection(const QString &section);

    // The file's contents as Save() writes them.
    QByteArray ToBytes() const;
    // Replaces the file atomically with ToBytes(), or writes it in place when
    // its folder is not writable (platform::replaceFile, which also removes
    // the temporary files of saves killed halfway). Throws TError("Unable to
    // write to <file>") when the file could not be read or cannot be written;
    // the old file is then left as it was (in place, a write that fails
    // midway cannot keep it).
    void Save() const;

private:
    enum class Kind : unsigned char { Other, Section, Key };
    enum End : unsigned char { NoEnd, LF, CRLF, CR };
    // A line refers to its bytes in the file as read, or, once written, in
    // FWritten; names are decoded only when they are looked up.
    struct Line
    {
        qsizetype start = 0; // in FData, or in FWritten
        qsizetype size = 0; // bytes of the line, without its line end
        qsizetype nameStart = 0; // the section or key name, blanks trimmed
        qsizetype nameSize = 0;
        qsizetype eq = -1; // position of the "=" of a key line, from start
        mutable quint64 hash = 0; // NameHash(), once hashed
        mutable bool hashed = false;
        bool written = false; // the bytes are in FWritten
        End end = NoEnd;
        Kind kind = Kind::Other;
    };
    // Positions of names by the hashes of their folded forms (see
    // IniFile.cpp): open addressing with linear probing, so a lookup costs
    // about one visit to memory however large the section.
    class NameIndex
    {
    public:
        // The position recorded for the hash, or null.
        qsizetype *Find(quint64 hash);
        // Records the position when the hash is new and gives null; else
        // gives the position recorded earlier.
        qsizetype *Insert(quint64 hash, qsizetype at);
        void Clear();

    private:
        struct Slot
        {
            quint64 hash = 0;
            qsizetype at = -2; // -2: free
        };
        qsizetype *Probe(quint64 hash, bool &found);
        std::vector<Slot> FSlots;
        qsizetype FCount = 0;
    };
    // A section header with the lines up to the next one; the first section
    // holds the lines before any header and has no name. Until a section is
    // searched, listed or written, its lines after the header are only a
    // range of the file's bytes: a load looks at each line's first character
    // and keeps nothing per line.
    struct Section
    {
        std::vector<Line> lines; // the header, and the other lines once split
        qsizetype bodyStart = 0; // the bytes of the other lines while not split
        qsizetype bodyEnd = 0;
        bool split = true;
        // Key lines by a hash of the case-folded form of their names: the
        // first of each, or -1 where different names share the hash.
        NameIndex keys;
        bool keysIndexed = false;
    };

    void Parse();
    template<typename Action> void ForEachLine(qsizetype from, qsizetype to, Action action) const;
    qsizetype LineCount(qsizetype from, qsizetype to) const;
    Section &Split(qsizetype section) const; // the section with all its lines
    void Classify(Line &line, bool firstLine) const;
    QByteArrayView Text(const Line &line) const;
    QString Name(const Line &line) const;
    quint64 NameHash(const Line &line) const;
    bool HasName(
        const Line &line, const QString &name, std::optional<quint64> *hash = nullptr) const;
    Line OwnLine(qsizetype start); // a new line of the bytes appended to FWritten from start
    void SetEnd(Line &line, End end);
    qsizetype FindSection(const QString &section) const;
    qsizetype FindKey(qsizetype section, const QString &key) const;
    void IndexSections() const;
    void IndexKeys(Section &section) const;
    void IndexKey(Section &section, qsizetype line) const;
    void SplitAt(qsizetype section, qsizetype line); // a written line became a header
    void ChooseNewLineEnd(); // sets FNewLineEnd from the lines held now (after loads and erases)
    void EnsureLastLineEnded();

    QString FFileName;
    QByteArray FData; // the file as read
    QByteArray FWritten; // the texts of lines written since, one after the other
    mutable std::vector<Section> FSections;
    mutable NameIndex FSectionIndex; // like Section::keys, for headers
    mutable bool FSectionsIndexed = false;
    qsizetype FEndCount[4] = {}; // lines held, by line end
    End FNewLineEnd = LF;
    bool FUnreadable = false; // the file exists but could not be read
};
