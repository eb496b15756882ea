#pragma once

// Everything the settings and the windows need from the operating system,
// gathered in one place so that the Windows conventions (backslash, ".\",
// "xwisp2w.exe") and their POSIX counterparts stay side by side.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace platform {

enum class PathStyle { Windows, Posix };

// Texts and conventions that differ between Windows and POSIX systems.
struct Conventions
{
    PathStyle style;
    QChar delimiter; // '\\' or '/'
    QString defaultReadOutputDir; // ".\\" or "./"
    QString toolFileName; // "xwisp2w.exe" or "xwisp2w"
    QString toolDialogFilter; // filter of the "locate the tool" file dialog
    QString toolDefaultSuffix; // "exe" or empty
    QByteArray iniLineEnd; // line end of a new INI file: "\r\n" or "\n"
};

// The conventions in force: those of the system we were built for, unless a
// test chose the other set with setPathStyle().
const Conventions &conventions();
const Conventions &conventionsFor(PathStyle style);
void setPathStyle(PathStyle style);
PathStyle nativePathStyle();

// Full path of the running executable, in the system's own notation (it names
// a real file, whichever conventions a test chose).
QString executablePath();

// The INI path rule: the extension (the text from the last "." after the last
// delimiter) is replaced by ".ini"; without one, ".ini" is appended to the
// whole path. In the Windows conventions the delimiters are backslash, colon
// and slash (Windows accepts both slashes); in the POSIX ones only slash.
QString iniPathFor(const QString &executable);

// Where the program keeps its INI file. A portable build keeps it beside the
// executable (iniPathFor). An installed build keeps "dranelwisp.ini" in the
// user's configuration folder, because the executable's folder is not the
// user's; an INI file that already lies beside the executable still wins, so
// a copy carried around with its settings stays portable.
QString settingsIniPath(const QString &executable, bool portable, const QString &configFolder);
// The rule above for this build, the running executable and the user's
// configuration folder ($XDG_CONFIG_HOME/dranelwisp, else ~/.config/dranelwisp).
QString settingsIniPath();

// True when a file (not a folder) of that name exists. The name's escaped
// bytes (LocalText.h) are looked up as the bytes they stand for.
bool fileExists(const QString &path);

// Replaces the file's contents with bytes, so that it never holds a mix of old
// and new ones (FileReplace.h). False when the file was not written.
bool replaceFile(const QString &path, const QByteArray &bytes);

// Case-insensitive comparison in the user's locale (linguistic, not a byte fold).
// Texts with escaped bytes (LocalText.h) compare those bytes exactly.
bool sameText(const QString &a, const QString &b);

// One reading of the local clock, broken down.
struct LocalTime
{
    quint16 year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

using ClockFunction = std::function<LocalTime()>;

// Reads the local clock (or the replacement set by a test) exactly once.
LocalTime localNow();
// Replaces the clock; an empty function restores the system clock.
void setClock(ClockFunction clock);

} // namespace platform
