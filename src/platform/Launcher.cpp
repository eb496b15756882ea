#include "Launcher.h"

#ifdef Q_OS_WIN
#include "WinLaunch.h"

#include <QDir>
#include <QFileInfo>
#else
#include "LocalText.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <vector>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

// The error the system would give when it runs a script of that file whose
// interpreter is missing or not executable (such as "#!/bin/sh\r" from a
// file with Windows line ends), or 0. Run inside a terminal, the script's
// start is the terminal's, and its failure would show only there.
int interpreterError(const QByteArray &file)
{
    char head[256];
    const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0; // the exec tells
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    if (got < 2 || head[0] != '#' || head[1] != '!')
        return 0;
    // As the system reads the line: blanks before the name are skipped, and
    // the name ends at a blank, a line end or a NUL (a carriage return is
    // part of it).
    ssize_t at = 2;
    while (at < got && (head[at] == ' ' || head[at] == '\t'))
        ++at;
    QByteArray interpreter;
    while (at < got && head[at] != ' ' && head[at] != '\t' && head[at] != '\n' && head[at] != '\0')
        interpreter += head[at++];
    struct stat info;
    if (interpreter.isEmpty())
        return ENOEXEC;
    if (::stat(interpreter.constData(), &info) != 0 || ::access(interpreter.constData(), X_OK) != 0)
        return errno;
    return S_ISREG(info.st_mode) ? 0 : EACCES;
}

// The absolute name of the executable file that the path names, as bytes, or
// nothing with the system's error number in error. A relative path is taken
// against the working folder, once.
QByteArray executableFile(const QString &path, int &error)
{
    const QByteArray bytes = encodeLocal(path);
    struct stat info;
    error = 0;
    if (bytes.isEmpty())
        error = ENOENT;
    else if (::stat(bytes.constData(), &info) != 0 || ::access(bytes.constData(), X_OK) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
    else
        error = interpreterError(bytes);
    if (error != 0)
        return {};
    if (bytes.startsWith('/'))
        return encodeLocal(QDir::cleanPath(path));
    char *cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) {
        error = errno;
        return {};
    }
    const QString absolute = decodeLocal(cwd) + u'/' + path;
    ::free(cwd);
    return encodeLocal(QDir::cleanPath(absolute));
}

// Starts the program of args[0] with exactly these bytes as its arguments, in
// a session of its own. A child forks the program and ends at once, so the
// program is never ours to wait for and leaves no zombie. Returns 0 when the
// program itself was started, otherwise the system's error number: a failed
// exec reports it through a pipe that a successful one closes.
int spawnDetached(const std::vector<QByteArray> &args)
{
    std::vector<char *> argv;
    for (const QByteArray &arg : args)
        argv.push_back(const_cast<char *>(arg.constData()));
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return errno;
    // Between fork and exec only calls that are safe in a forked child.
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program > 0)
            ::_exit(0);
        if (program == 0) {
            struct sigaction defaults = {};
            defaults.sa_handler = SIG_DFL;
            ::sigaction(SIGPIPE, &defaults, nullptr);
            ::execv(argv[0], argv.data());
        }
        // The second fork or the exec failed.
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    const int forkError = child < 0 ? errno : 0;
    ::close(report[1]);
    int error = forkError;
    if (child > 0) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
            continue;
        ssize_t got = 0;
        do {
            got = ::read(report[0], &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        if (got == 0)
            error = 0; // closed by the exec: the program runs
        else if (got != sizeof error || error == 0)
            error = EIO;
    }
    ::close(report[0]);
    return error;
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

bool startDetached(const QString &commandLine, const QStringList &arguments, QString &reason)
{
    reason.clear();
    // The file the main window tested: a relative name is taken against the
    // working folder, once, and never looked up in PATH, by us or a terminal.
#ifdef Q_OS_WIN
    Q_UNUSED(arguments);
    const QString named = splitCommandLine(commandLine).constFirst();
    const QFileInfo info(named);
    if (named.isEmpty() || !info.isFile() || !info.isExecutable())
        return false;
    const QString program = info.absoluteFilePath();
    // Windows hands the tool the line as it stands; only the file is fixed.
    return startWin32Process(
        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(program).utf16()),
        reinterpret_cast<const wchar_t *>(commandLine.utf16()));
#else
    Q_UNUSED(commandLine);
    int error = 0;
    const QByteArray program = executableFile(arguments.value(0), error);
    if (program.isEmpty()) {
        reason = qt_error_string(error);
        return false;
    }
    // An argument vector all the way: no shell ever sees the line. Each word
    // reaches the tool as the bytes it stands for, so a file name in another
    // 8-bit encoding names the same file there.
    std::vector<QByteArray> args;
    const QString terminal = terminalEmulator();
    if (!terminal.isEmpty()) {
        // The terminal's title names the tool that runs in it.
        args = {QFile::encodeName(terminal), "-T", program, "-e"};
    }
    args.push_back(program);
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(encodeLocal(arguments.at(i)));
    error = spawnDetached(args);
    if (error != 0)
        reason = qt_error_string(error);
    return error == 0;
#endif
}

} // namespace platform
