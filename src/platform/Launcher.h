#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Splits a command line into program and arguments by the rules of the
// Windows C runtime (quotes group, backslashes escape only before a quote),
// so the tool sees the same words on every system.
QStringList splitCommandLine(const QString &commandLine);

// Starts the command line as its own, visible, detached process. The program
// is the file its first word names, relative to the working folder (never
// searched in PATH). On Windows the line reaches it as it stands, in a new
// console; elsewhere it is split into words, each passed as the bytes it
// stands for (escaped bytes included, LocalText.h), and started inside a
// terminal window titled with the program's path when a terminal emulator is
// installed, otherwise directly. Never goes through a shell. Returns false
// when nothing could be started.
bool startDetached(const QString &commandLine);

} // namespace platform
