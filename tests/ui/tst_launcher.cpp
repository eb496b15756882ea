// Splitting the tool's command line the way the Windows C runtime does, and
// the detached start that never involves a shell.
#include "Launcher.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void splitCommandLine_data();
    void splitCommandLine();
    void refusedStarts_data();
    void refusedStarts();
    void startsProgramWithExactArguments();
    void startsTestedFileNotItsNamesakeInPath_data();
    void startsTestedFileNotItsNamesakeInPath();
    void windowsToolGetsTheLineAsItStands();
};

void TestLauncher::splitCommandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::addRow("program command")
        << R"("C:\Tools\xwisp2w.exe" VERBOSE PORT 1 BAUD 19200 RTS ON GO "C:\Pic\blink.hex")"
        << QStringList {R"(C:\Tools\xwisp2w.exe)", "VERBOSE", "PORT", "1", "BAUD", "19200", "RTS",
               "ON", "GO", R"(C:\Pic\blink.hex)"};
    QTest::addRow("doubled spaces, target and pause")
        << R"("/opt/x w/xwisp2w" PORT 2 BAUD 57600  TARGET 16F84A   READ "./20260307090503.hex" RUN  PAUSE "Done now")"
        << QStringList {"/opt/x w/xwisp2w", "PORT", "2", "BAUD", "57600", "TARGET", "16F84A",
               "READ", "./20260307090503.hex", "RUN", "PAUSE", "Done now"};
    QTest::addRow("program path ends at the next quote, backslash kept")
        << R"("C:\dir\" a)" << QStringList {R"(C:\dir\)", "a"};
    QTest::addRow("program path runs on after its closing quote")
        << R"("C:\a b"c d)" << QStringList {R"(C:\a bc)", "d"};
    QTest::addRow("unquoted program") << "tool\targ" << QStringList {"tool", "arg"};
    QTest::addRow("empty line") << "" << QStringList {""};
    QTest::addRow("empty program") << R"("" GO "")" << QStringList {"", "GO", ""};
    QTest::addRow("leading blank gives an empty program") << " a" << QStringList {"", "a"};
    QTest::addRow("trailing blanks") << "p a  \t " << QStringList {"p", "a"};
    QTest::addRow("backslashes without quote are literal")
        << R"(p a\\b\c)" << QStringList {"p", R"(a\\b\c)"};
    QTest::addRow("two backslashes before a quote")
        << R"(p "a\\" b)" << QStringList {"p", R"(a\)", "b"};
    QTest::addRow("three backslashes before a quote")
        << R"(p a\\\"b)" << QStringList {"p", R"(a\"b)"};
    QTest::addRow("escaped quote") << R"(p \"x\")" << QStringList {"p", R"("x")"};
    QTest::addRow("doubled quote inside quotes")
        << R"(p "a""b" c)" << QStringList {"p", R"(a"b)", "c"};
    QTest::addRow("quote in the middle of a word")
        << R"(p ab"c d"e)" << QStringList {"p", "abc de"};
    QTest::addRow("unclosed quote runs to the end") << R"(p "a b)" << QStringList {"p", "a b"};
    QTest::addRow("trailing backslashes") << R"(p a\\)" << QStringList {"p", R"(a\\)"};
    QTest::addRow("value with a quote, as composed")
        << R"("t" GO "my"file.hex")" << QStringList {"t", "GO", "myfile.hex"};
    QTest::addRow("percent and non-ASCII")
        << QStringLiteral("p \"50% ä\"") << QStringList {"p", QStringLiteral("50% ä")};
}

void TestLauncher::splitCommandLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QCOMPARE(platform::splitCommandLine(line), words);
}

// Starts the words of the line, the program first.
static bool start(const QString &line, QString *reason = nullptr)
{
    QString ignored;
    return platform::startDetached(
        line, platform::splitCommandLine(line), reason ? *reason : ignored);
}

// Each refusal carries the system's reason; the exec that fails in the
// detached child (a file the system cannot run) is refused too.
void TestLauncher::refusedStarts_data()
{
    QTest::addColumn<QByteArray>("file"); // made as "tool" when not empty
    QTest::addColumn<QString>("line"); // @ stands for the made file's path
    QTest::addColumn<int>("error");
    QTest::addRow("empty") << QByteArray() << "" << ENOENT;
    QTest::addRow("empty program") << QByteArray() << R"("" PORT 1)" << ENOENT;
    QTest::addRow("missing program") << QByteArray() << R"("/no/such/xwisp2w" PORT 1)" << ENOENT;
    QTest::addRow("folder") << QByteArray() << QStringLiteral("\"%1\" PORT 1").arg(QDir::tempPath())
                            << EISDIR;
    QTest::addRow("not executable") << QByteArray("-") << R"("@" PORT 1)" << EACCES;
    QTest::addRow("not a program") << QByteArray("+not a program\n") << R"("@" PORT 1)" << ENOEXEC;
    QTest::addRow("missing interpreter")
        << QByteArray("+#!/no/such/shell\n") << R"("@" PORT 1)" << ENOENT;
    // Started in a terminal, the script's own start would fail only there.
    QTest::addRow("interpreter with a Windows line end, in a terminal")
        << QByteArray("+#!/bin/sh\r\necho\r\n") << R"("@" PORT 1)" << ENOENT;
}

void TestLauncher::refusedStarts()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, line);
    QFETCH(int, error);
    qunsetenv("DISPLAY"); // the tool itself is started, not a terminal
    qunsetenv("WAYLAND_DISPLAY");
    QTemporaryDir dir;
    const QByteArray path = qgetenv("PATH");
    const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
    if (QString::fromLatin1(QTest::currentDataTag()).endsWith(QLatin1String("terminal"))) {
        // A terminal that starts nothing: only the check before it can tell.
        writeExecutable(dir.filePath(QStringLiteral("xterm")), "#!/bin/sh\n");
        qputenv("PATH", QFile::encodeName(dir.path()));
        qputenv("DISPLAY", ":99");
    }
    const QString tool = dir.filePath(QStringLiteral("tool"));
    if (file.startsWith('+'))
        writeExecutable(tool, file.mid(1));
    else if (file.startsWith('-'))
        writeAll(tool, file.mid(1));
    QString reason;
    QVERIFY(!start(line.replace(u'@', tool), &reason));
    QCOMPARE(reason, qt_error_string(error));
}

// Without a display the program runs directly; the arguments arrive as words,
// with blanks, quotes and shell characters untouched.
void TestLauncher::startsProgramWithExactArguments()
{
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    QTemporaryDir dir;
    const QString spaced = dir.filePath(QStringLiteral("a b;$(x).txt"));
    const QString second = dir.filePath(QStringLiteral("q\"q"));
    const QString line = QStringLiteral("\"/usr/bin/touch\" \"%1\" \"%2\"")
                             .arg(spaced, QString(second).replace(u'"', QStringLiteral("\\\"")));
    QVERIFY(start(line));
    QTRY_VERIFY(QFile::exists(spaced));
    QTRY_VERIFY(QFile::exists(second));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

void TestLauncher::startsTestedFileNotItsNamesakeInPath_data()
{
    QTest::addColumn<QString>("program");
    QTest::addRow("bare name") << "xwisp2w";
    QTest::addRow("in a folder") << "tools/xwisp2w";
}

// A relative program is the file in the working folder that the main window
// tested, even when an executable of the same name comes first in PATH.
void TestLauncher::startsTestedFileNotItsNamesakeInPath()
{
    QFETCH(QString, program);
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("work/tools")) && root.mkpath(QStringLiteral("decoy")));
    QVERIFY(QFile::copy(DW_BUILD_DIR "/xwisp2w", root.filePath("work/" + program)));
    writeExecutable(root.filePath(QStringLiteral("decoy/xwisp2w")),
        "#!/bin/sh\necho '[\"decoy\"]' >> \"$XWISP2W_ARGS_LOG\"\n");
    const QByteArray path = qgetenv("PATH");
    const QString cwd = QDir::currentPath();
    const auto restore = qScopeGuard([&] {
        qputenv("PATH", path);
        QDir::setCurrent(cwd);
    });
    qputenv("PATH", QFile::encodeName(root.filePath(QStringLiteral("decoy"))) + ':' + path);
    const QString log = root.filePath(QStringLiteral("args.log"));
    qputenv("XWISP2W_ARGS_LOG", QFile::encodeName(log));
    QVERIFY(QDir::setCurrent(root.filePath(QStringLiteral("work"))));

    QVERIFY(start(QStringLiteral("\"%1\" PORT 1 BAUD 19200 READ \"r.hex\" RUN").arg(program)));
    QTRY_COMPARE_WITH_TIMEOUT(readAll(log),
        QByteArray(R"(["PORT","1","BAUD","19200","READ","r.hex","RUN"])"
                   "\n"),
        30000);
}

// The Windows start, built with mingw-w64 and run under Wine: the raw command
// line the tool gets is the composed line, byte for byte.
void TestLauncher::windowsToolGetsTheLineAsItStands()
{
    const QString compiler
        = QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-g++"));
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (compiler.isEmpty() || wine.isEmpty())
        QSKIP("mingw-w64 (x86_64-w64-mingw32-g++) and wine are not installed");
    QTemporaryDir dir;
    QProcess gxx;
    gxx.setWorkingDirectory(dir.path());
    gxx.setProcessChannelMode(QProcess::MergedChannels);
    gxx.start(compiler,
        {"-std=c++17", "-static", "-s", "-I" DW_SOURCE_DIR "/src/platform", "-o", "winlaunch.exe",
            DW_SOURCE_DIR "/tests/ui/winlaunch.cpp", DW_SOURCE_DIR "/src/platform/WinLaunch.cpp"});
    QVERIFY(gxx.waitForFinished(-1));
    QVERIFY2(gxx.exitCode() == 0, gxx.readAll().constData());

    // Doubled spaces, backslashes, a trailing backslash before a quote, an
    // escaped quote, a percent sign and a non-ASCII letter.
    const QString exe = "Z:" + dir.filePath("winlaunch.exe").replace(u'/', u'\\');
    const QString line = QStringLiteral(R"("%1" PORT 1 BAUD 19200  TARGET 16F84A   READ )"
                                        R"("C:\Pic\out\" RUN PAUSE "50% \"done\" ä\\" x\\\"y)")
                             .arg(exe);
    writeAll(dir.filePath("launch.txt"), (exe + u'\n' + line).toUtf8());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), QStringLiteral(DW_BUILD_DIR "/wineprefix"));
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess run;
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(dir.path());
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(wine, {QStringLiteral("winlaunch.exe")});
    // Wine takes tens of seconds to set up a new prefix: no bound on that.
    QVERIFY(run.waitForFinished(-1));
    QVERIFY2(run.exitCode() == 0, run.readAll().constData());
    const QString received = dir.filePath(QStringLiteral("received.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(received), 300000);
    QCOMPARE(QString::fromUtf8(readAll(received)), line);
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
