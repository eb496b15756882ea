#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Splits a command line into program and arguments by the rules of the
// Windows C runtime (quotes group, backslashes escape only before a quote),
// so the tool sees the same words on every system.
QStringList splitCommandLine(const QString &commandLine);

// Starts the tool as its own, visible, detached process and never waits for
// it. On Windows commandLine reaches it as it stands, in a new console; the
// program is the file its first word names. Elsewhere arguments is the
// argument vector, its first entry the program: each argument is passed as the
// bytes it stands for (escaped bytes included, LocalText.h), and the program is
// started inside a terminal window titled with its path when a terminal
// emulator is installed, otherwise directly. A relative program is taken
// against the working folder (never searched in PATH). Never goes through a
// shell. Returns false when nothing could be started, with the system's reason
// in reason (empty where the system gave none).
bool startDetached(const QString &commandLine, const QStringList &arguments, QString &reason);

} // namespace platform
