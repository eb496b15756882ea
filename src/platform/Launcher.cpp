#include "Launcher.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include "WinLaunch.h"

#include <QDir>
#else
#include <QProcess>
#include <QStandardPaths>
#endif

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

#ifndef Q_OS_WIN

// A terminal window to show the tool's output in, when there is a display
// to put it on: the system's chosen emulator first, then plain xterm.
QString terminalEmulator()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    for (const char *name : {"x-terminal-emulator", "xterm"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}
#endif

} // namespace

QStringList splitCommandLine(const QString &commandLine)
{
    QStringList words;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;

    // The program name: quotes only group, up to the next quote; backslashes
    // are part of the path.
    QString program;
    bool inQuote = false;
    for (; i < n; ++i) {
        const QChar c = commandLine.at(i);
        if (c == u'"') {
            inQuote = !inQuote;
            continue;
        }
        if (!inQuote && isBlank(c))
            break;
        program += c;
    }
    words.append(program);

    // The arguments: 2n backslashes before a quote give n backslashes and the
    // quote toggles quoting; 2n+1 give n backslashes and a literal quote; ""
    // inside quotes is a literal quote; other backslashes stand for themselves.
    for (;;) {
        while (i < n && isBlank(commandLine.at(i)))
            ++i;
        if (i >= n)
            break;
        QString word;
        inQuote = false;
        while (i < n) {
            qsizetype slashes = 0;
            while (i < n && commandLine.at(i) == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < n && commandLine.at(i) == u'"') {
                word += QString(slashes / 2, u'\\');
                if (slashes % 2 == 1) {
                    word += u'"';
                } else if (inQuote && i + 1 < n && commandLine.at(i + 1) == u'"') {
                    word += u'"';
                    ++i;
                } else {
                    inQuote = !inQuote;
                }
                ++i;
                continue;
            }
            word += QString(slashes, u'\\');
            if (i >= n || (!inQuote && isBlank(commandLine.at(i))))
                break;
            word += commandLine.at(i);
            ++i;
        }
        words.append(word);
    }
    return words;
}

bool startDetached(const QString &commandLine)
{
    QStringList words = splitCommandLine(commandLine);
    const QString named = words.takeFirst();
    // The file the main window tested: a relative name is taken against the
    // working folder, once, and never looked up in PATH, by us or a terminal.
    const QFileInfo info(named);
    if (named.isEmpty() || !info.isFile() || !info.isExecutable())
        return false;
    const QString program = info.absoluteFilePath();
#ifdef Q_OS_WIN
    // Windows hands the tool the line as it stands; only the file is fixed.
    return startWin32Process(
        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(program).utf16()),
        reinterpret_cast<const wchar_t *>(commandLine.utf16()));
#else
    // An argument vector all the way: no shell ever sees the line.
    const QString terminal = terminalEmulator();
    if (terminal.isEmpty())
        return QProcess::startDetached(program, words);
    // The terminal's title names the tool that runs in it.
    return QProcess::startDetached(terminal,
        QStringList {QStringLiteral("-T"), program, QStringLiteral("-e"), program} + words);
#endif
}

} // namespace platform
