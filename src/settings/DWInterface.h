#pragma once

#include <QString>
#include <QStringList>

// One run of the tool: the command line as composed (what the log shows and
// Windows hands the tool as it stands) and the tool's argument vector made from
// the same pieces. There every quoted piece (tool path, hex file, read file,
// pause text) is one argument holding exactly the stored value, whatever
// quotes or backslashes it holds; the unquoted pieces are split at blanks.
struct TToolCommand
{
    QString Line;
    QStringList Arguments; // the tool path first
};

class TCommandBuilder;

// The programmer settings: defaults, INI persistence and the tool's command
// lines. Construction loads the INI file beside the executable. Saving is an
// explicit step of the owner's teardown (SaveConfig), because a failed save
// must reach the user as an error and a destructor cannot throw.
class TDWInterface
{
public:
    // Loads from the program's INI file (platform::settingsIniPath()).
    TDWInterface();
    // Loads from the given INI file (used by tests and tools).
    explicit TDWInterface(const QString &iniFileName);
    ~TDWInterface();

    TDWInterface(const TDWInterface &) = delete;
    TDWInterface &operator=(const TDWInterface &) = delete;

    void SetDefaults();
    void LoadConfig();
    // Writes the whole file atomically; throws TError("Unable to write to <path>")
    // and leaves the old file untouched when it cannot.
    void SaveConfig();

    QString GetProgramCommand() const;
    QString GetReadCommand() const;
    // The same lines with their argument vectors. ReadCommand reads the clock
    // once: its line and its arguments name the same read file.
    TToolCommand ProgramCommand() const;
    TToolCommand ReadCommand() const;

    const QString &IniFileName() const { return FIniFileName; }
    bool Verbose() const { return FVerbose; }
    void SetVerbose(bool value) { FVerbose = value; }
    const QString &WispProgram() const { return FWispProgram; }
    void SetWispProgram(const QString &value) { FWispProgram = value; }
    bool RtsOn() const { return FRtsOn; }
    void SetRtsOn(bool value) { FRtsOn = value; }
    qint32 Port() const { return FPort; }
    void SetPort(qint32 value) { FPort = value; }
    qint32 Baud() const { return FBaud; }
    void SetBaud(qint32 value) { FBaud = value; }
    const QString &HexInputFile() const { return FHexInputFile; }
    void SetHexInputFile(const QString &value) { FHexInputFile = value; }
    const QString &Pause() const { return FPause; }
    void SetPause(const QString &value) { FPause = value; }
    bool TargetEnabled() const { return FTargetEnabled; }
    void SetTargetEnabled(bool value) { FTargetEnabled = value; }
    const QString &Target() const { return FTarget; }
    void SetTarget(const QString &value) { FTarget = value; }
    const QString &ReadOutputDir() const { return FReadOutputDir; }
    void SetReadOutputDir(const QString &value) { FReadOutputDir = value; }
    // The list object itself: owners clear it and append to it directly.
    QStringList &MRUList() { return FMRUList; }
    const QStringList &MRUList() const { return FMRUList; }

private:
    static QString FormatSwitch(const QString &name, bool value, bool flagStyle, bool writeOff);
    QString FormatTarget() const;
    static QString SpaceIfEnabled(const QString &text, bool enabled);
    void CommandHead(TCommandBuilder &command) const; // P1 to P6, shared by both lines
    void PausePiece(TCommandBuilder &command) const; // P8

    QString FIniFileName;
    bool FVerbose = true;
    QString FWispProgram;
    bool FRtsOn = true;
    qint32 FPort = 1;
    qint32 FBaud = 19200;
    QString FHexInputFile;
    QString FPause;
    bool FTargetEnabled = false;
    QString FTarget;
    QStringList FMRUList;
    QString FReadOutputDir;
};
