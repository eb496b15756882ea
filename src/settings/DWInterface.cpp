#include "DWInterface.h"

#include "IniFile.h"
#include "MyDateTime.h"
#include "Platform.h"
#include "TextUtils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kConfigSection = QStringLiteral("DranelWispConfig");
const QString kMRUSection = QStringLiteral("MRU");

} // namespace

// Composes a command line piece by piece and, alongside, the words the tool
// receives: plain text is split at blanks, and a quoted value joins the word
// it stands in exactly as it is, so a quote or a backslash in a file name
// never changes where a word ends.
class TCommandBuilder
{
public:
    void Plain(const QString &text)
    {
        FLine += text;
        for (const QChar c : text) {
            if (c == u' ' || c == u'\t')
                FInWord = false;
            else
                Word() += c;
        }
    }

    void Quoted(const QString &value)
    {
        FLine += u'"' + value + u'"';
        Word() += value;
    }

    TToolCommand Result() const { return {FLine, FWords}; }

private:
    QString &Word()
    {
        if (!FInWord)
            FWords.append(QString());
        FInWord = true;
        return FWords.last();
    }

    QString FLine;
    QStringList FWords;
    bool FInWord = false;
};

TDWInterface::TDWInterface()
    : TDWInterface(platform::settingsIniPath())
{ }

TDWInterface::TDWInterface(const QString &iniFileName)
{
    SetDefaults();
    FIniFileName = iniFileName;
    LoadConfig();
}

// Saving is the owner's explicit step (SaveConfig), so nothing happens here.
TDWInterface::~TDWInterface() = default;

void TDWInterface::SetDefaults()
{
    FVerbose = true;
    FWispProgram.clear();
    FRtsOn = true;
    FPort = 1;
    FBaud = 19200;
    FPause.clear();
    FTargetEnabled = false;
    FTarget = QStringLiteral("16F84A");
    FReadOutputDir = platform::conventions().defaultReadOutputDir;
}

void TDWInterface::LoadConfig()
{
    if (!platform::fileExists(FIniFileName))
        return;
    const TIniFile ini(FIniFileName);
    const QString &s = kConfigSection;
    FBaud = ini.ReadInteger(s, QStringLiteral("Baud"), FBaud);
    // Read with a lower-case "f"; names match without regard to case, so this
    // finds the "HexInputFile" that SaveConfig writes.
    FHexInputFile = ini.ReadString(s, QStringLiteral("HexInputfile"), FHexInputFile);
    FReadOutputDir = ini.ReadString(s, QStringLiteral("ReadOutputDir"), FReadOutputDir);
    FPort = ini.ReadInteger(s, QStringLiteral("Port"), FPort);
    FRtsOn = ini.ReadBool(s, QStringLiteral("RtsOn"), FRtsOn);
    FVerbose = ini.ReadBool(s, QStringLiteral("Verbose"), FVerbose);
    FWispProgram = ini.ReadString(s, QStringLiteral("WispProgram"), FWispProgram);
    FPause = ini.ReadString(s, QStringLiteral("Pause"), FPause);
    FTargetEnabled = ini.ReadBool(s, QStringLiteral("TargetEnabled"), FTargetEnabled);
    FTarget = ini.ReadString(s, QStringLiteral("Target"), FTarget);

    // Every key of the MRU section counts, whatever its name, in file order. A
    // repeated key yields the value of its first line (that is what a read of
    // that name returns), which the duplicate test then drops.
    for (const QString &line : ini.ReadSectionValues(kMRUSection)) {
        const QString name = TrimText(line.mid(line.indexOf(u'=') + 1));
        if (name.isEmpty())
            continue;
        const bool known = std::any_of(FMRUList.cbegin(), FMRUList.cend(),
            [&](const QString &n) { return platform::sameText(n, name); });
        if (!known)
            FMRUList.append(name);
    }
}

void TDWInterface::SaveConfig()
{
    TIniFile ini(FIniFileName);
    const QString &s = kConfigSection;
    ini.WriteInteger(s, QStringLiteral("Baud"), FBaud);
    ini.WriteString(s, QStringLiteral("HexInputFile"), FHexInputFile);
    ini.WriteInteger(s, QStringLiteral("Port"), FPort);
    ini.WriteBool(s, QStringLiteral("RtsOn"), FRtsOn);
    ini.WriteBool(s, QStringLiteral("Verbose"), FVerbose);
    ini.WriteBool(s, QStringLiteral("TargetEnabled"), FTargetEnabled);
    ini.WriteString(s, QStringLiteral("Target"), FTarget);
    ini.WriteString(s, QStringLiteral("WispProgram"), FWispProgram);
    ini.WriteString(s, QStringLiteral("Pause"), FPause);
    ini.WriteString(s, QStringLiteral("ReadOutputDir"), FReadOutputDir);

    // Erased and written anew, so the list stands at the end of the file and
    // no name of an earlier, longer list survives.
    ini.EraseSection(kMRUSection);
    for (qsizetype i = 0; i < FMRUList.size(); ++i)
        ini.WriteString(
            kMRUSection, QStringLiteral("MRU_") + QString::number(i + 1), FMRUList.at(i));

    // An installed program's configuration folder is made by its first save
    // (a file that is there already has its folder).
    if (!platform::fileExists(FIniFileName))
        QDir().mkpath(QFileInfo(FIniFileName).absolutePath());
    ini.Save();
}

QString TDWInterface::FormatSwitch(const QString &name, bool value, bool flagStyle, bool writeOff)
{
    if (flagStyle)
        return value ? u' ' + name : QString();
    if (value)
        return u' ' + name + QStringLiteral(" ON");
    if (writeOff)
        return u' ' + name + QStringLiteral(" OFF");
    return QString();
}

QString TDWInterface::FormatTarget() const
{
    return QStringLiteral(" TARGET ") + FTarget + u' ';
}

QString TDWInterface::SpaceIfEnabled(const QString &text, bool enabled)
{
    return enabled ? u' ' + text + u' ' : QString();
}

// Values are concatenated, never passed through a format, so a "%" in a
// value is copied like any other character.
void TDWInterface::CommandHead(TCommandBuilder &command) const
{
    command.Quoted(FWispProgram);
    command.Plain(FormatSwitch(QStringLiteral("VERBOSE"), FVerbose, true, false)
        + QStringLiteral(" PORT ") + QString::number(FPort) + QStringLiteral(" BAUD ")
        + QString::number(FBaud) + FormatSwitch(QStringLiteral("RTS"), FRtsOn, false, false)
        + SpaceIfEnabled(FormatTarget(), FTargetEnabled));
}

// The flag-style switch named PAUSE "<text>": a blank, then the name.
void TDWInterface::PausePiece(TCommandBuilder &command) const
{
    if (TrimText(FPause).isEmpty())
        return;
    command.Plain(QStringLiteral("  PAUSE "));
    command.Quoted(FPause);
}

QString TDWInterface::GetProgramCommand() const
{
    return ProgramCommand().Line;
}

QString TDWInterface::GetReadCommand() const
{
    return ReadCommand().Line;
}

TToolCommand TDWInterface::ProgramCommand() const
{
    TCommandBuilder command;
    CommandHead(command);
    command.Plain(QStringLiteral(" GO "));
    command.Quoted(FHexInputFile);
    PausePiece(command);
    return command.Result();
}

TToolCommand TDWInterface::ReadCommand() const
{
    QString fileName = TMyDateTime::Create().Stamp() + QStringLiteral(".hex");
    if (!TrimText(FReadOutputDir).isEmpty())
        fileName.prepend(AddTrailingBackslash(FReadOutputDir));
    TCommandBuilder command;
    CommandHead(command);
    command.Plain(QStringLiteral(" READ "));
    command.Quoted(fileName);
    command.Plain(QStringLiteral(" RUN"));
    PausePiece(command);
    return command.Result();
}
