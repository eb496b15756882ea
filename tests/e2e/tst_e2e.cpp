// Drives the real program under an Xvfb of its own: real keys and clicks
// through xdotool, the substitute tool recording the arguments it receives,
// and the INI file checked after the window closes through "E&xit". Each test
// runs the program from a fresh folder of its own.
#include "Launcher.h"
#include "TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>

namespace {

constexpr int kTimeout = 15000;
const QString kCaption = QStringLiteral("Dranel-Wisp Command Interface");
const QString kConfigCaption = QStringLiteral("Programming software and settings");
const QString kToolDialogCaption = QStringLiteral("Locate the xwisp2w executablle");
const QByteArray kHex = ":0400000000308A0042\n:00000001FF\n";

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void programReadAndExit();
    void firstStartChoosesTool();
    void relativeToolRunsInTitledTerminal();
    void hostileFiles_data();
    void hostileFiles();
    void quitSignalsSaveAsExit_data();
    void quitSignalsSaveAsExit();

private:
    QProcessEnvironment environment() const;
    QString xdotool(const QStringList &arguments);
    QString findWindow(const QString &caption, bool visibleOnly);
    QString waitForWindow(const QString &caption, int timeout = kTimeout);
    QByteArray noWindow(const QString &caption) const;
    void copyProgram(QString &program, QString &tool);
    void startProgram(const QString &program);
    void focusWindow(const QString &window);
    void key(const QStringList &keys) { key(m_window, keys); }
    void key(const QString &window, const QStringList &keys);
    void exitThroughMenu();
    void screenshot(const QString &name);
    QList<QStringList> loggedArguments() const;
    QMap<QString, QString> iniValues() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_xvfb;
    QProcess m_app;
    QString m_display;
    QString m_window;
};

void TestEndToEnd::initTestCase()
{
    for (const char *tool : {"Xvfb", "xdotool"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QFAIL(qPrintable(QStringLiteral("%1 is not installed (scripts/setup.sh installs it)")
                                 .arg(QLatin1String(tool))));
    }
    // Xvfb picks a free display itself and writes its number to our pipe.
    // Without -noreset the server starts anew whenever its last client leaves,
    // which happens after every xdotool call while the program is not yet
    // connected (or between two programs); a program connecting during such
    // a reset is refused and ends with "could not connect to display".
    m_xvfb.start(QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
            QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1024x768x24"),
            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QVERIFY2(m_xvfb.waitForStarted(kTimeout), "Xvfb did not start");
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), kTimeout);
    m_display = QStringLiteral(":") + QString::fromLatin1(m_xvfb.readLine()).trimmed();
}

void TestEndToEnd::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window.clear();
}

// A test that failed half-way leaves its program running: end it, so the
// next test starts on an empty screen.
void TestEndToEnd::cleanup()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.kill();
        m_app.waitForFinished(kTimeout);
    }
}

void TestEndToEnd::cleanupTestCase()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        if (!m_xvfb.waitForFinished(kTimeout))
            m_xvfb.kill();
    }
}

QProcessEnvironment TestEndToEnd::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XWISP2W_ARGS_LOG"), m_dir->filePath(QStringLiteral("args.log")));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QString TestEndToEnd::xdotool(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(kTimeout)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The first window of exactly this caption, or nothing; the captions used
// here hold no characters special to xdotool's pattern. Only mapped windows
// count as visible: a hidden Qt window is unmapped.
QString TestEndToEnd::findWindow(const QString &caption, bool visibleOnly)
{
    QStringList arguments {QStringLiteral("search")};
    if (visibleOnly)
        arguments << QStringLiteral("--onlyvisible");
    arguments << QStringLiteral("--name") << QStringLiteral("^%1$").arg(caption);
    return xdotool(arguments).section(u'\n', 0, 0);
}

// Waits until a window of this caption shows; a program that ended meanwhile
// stops the wait at once instead of after the whole timeout.
QString TestEndToEnd::waitForWindow(const QString &caption, int timeout)
{
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        const QString window = findWindow(caption, true);
        if (!window.isEmpty() || deadline.hasExpired() || m_app.state() == QProcess::NotRunning)
            return window;
        QTest::qWait(50);
    }
}

QByteArray TestEndToEnd::noWindow(const QString &caption) const
{
    QString why = QStringLiteral("no window \"%1\" showed").arg(caption);
    if (m_app.state() == QProcess::NotRunning)
        why += QStringLiteral("; the program ended with code %1").arg(m_app.exitCode());
    return why.toUtf8();
}

// A folder of its own for the program, so the INI file beside it is ours.
// A copy, not a link: the program finds its INI file beside its real path.
void TestEndToEnd::copyProgram(QString &program, QString &tool)
{
    const QDir dir(m_dir->path());
    program = dir.filePath(QStringLiteral("dranelwisp"));
    tool = dir.filePath(QStringLiteral("xwisp2w"));
    QVERIFY(QFile::copy(QStringLiteral(DW_BUILD_DIR "/dranelwisp"), program));
    QVERIFY(QFile::copy(QStringLiteral(DW_BUILD_DIR "/xwisp2w"), tool));
}

void TestEndToEnd::startProgram(const QString &program)
{
    m_app.setProcessEnvironment(environment());
    m_app.setWorkingDirectory(m_dir->path());
    m_app.setProcessChannelMode(QProcess::ForwardedChannels);
    m_app.start(program, {});
    QVERIFY2(m_app.waitForStarted(kTimeout), "the program did not start");
}

// Without a window manager Qt sees keys only while its window has the input
// focus; a terminal window opened for the tool may have taken it meanwhile,
// and a closed dialog leaves the focus nowhere.
void TestEndToEnd::focusWindow(const QString &window)
{
    QVERIFY(!window.isEmpty());
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({QStringLiteral("getwindowfocus")}), window, kTimeout);
}

void TestEndToEnd::key(const QString &window, const QStringList &keys)
{
    focusWindow(window);
    xdotool(QStringList {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")}
        + keys);
}

// Alt+F opens "&File", x is "E&xit"; the settings are written on the way out.
void TestEndToEnd::exitThroughMenu()
{
    key({QStringLiteral("alt+f")});
    key({QStringLiteral("x")});
    QVERIFY2(m_app.waitForFinished(kTimeout), "the program did not end after E&xit");
    QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_app.exitCode(), 0);
}

// The whole screen into the build folder, for a look at what the test drove.
// Only an aid: without ImageMagick there is no picture and no failure.
void TestEndToEnd::screenshot(const QString &name)
{
    if (QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty())
        return;
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start(QStringLiteral("import"),
        {QStringLiteral("-window"), QStringLiteral("root"),
            QStringLiteral(DW_BUILD_DIR "/") + name});
    if (!import.waitForFinished(kTimeout))
        import.kill();
}

QList<QStringList> TestEndToEnd::loggedArguments() const
{
    QList<QStringList> runs;
    QFile file(m_dir->filePath(QStringLiteral("args.log")));
    if (!file.open(QIODevice::ReadOnly))
        return runs;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QStringList words;
        for (const QJsonValue &value : QJsonDocument::fromJson(line).array())
            words << value.toString();
        runs << words;
    }
    return runs;
}

QMap<QString, QString> TestEndToEnd::iniValues() const
{
    QMap<QString, QString> values;
    QFile file(m_dir->filePath(QStringLiteral("dranelwisp.ini")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    QString section;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString text = line.trimmed();
        if (text.startsWith(u'[')) {
            section = text.mid(1, text.size() - 2);
        } else if (const qsizetype eq = text.indexOf(u'='); eq > 0) {
            values.insert(section + u'/' + text.left(eq).trimmed(), text.mid(eq + 1).trimmed());
        }
    }
    return values;
}

void TestEndToEnd::programReadAndExit()
{
    const QDir dir(m_dir->path());
    QString program;
    QString tool;
    copyProgram(program, tool);
    if (QTest::currentTestFailed())
        return;
    const QString blink = dir.filePath(QStringLiteral("blink.hex"));
    const QString other = dir.filePath(QStringLiteral("other.hex"));
    for (const QString &name : {blink, other}) {
        QFile hex(name);
        QVERIFY(hex.open(QIODevice::WriteOnly));
        hex.write(kHex);
    }
    const QString outDir = dir.filePath(QStringLiteral("out"));
    QVERIFY(dir.mkdir(QStringLiteral("out")));
    {
        QFile ini(dir.filePath(QStringLiteral("dranelwisp.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Text));
        ini.write(QStringLiteral("[DranelWispConfig]\nWispProgram=%1\nPort=3\nBaud=57600\n"
                                 "RtsOn=1\nVerbose=1\nTargetEnabled=1\nTarget=16F628\n"
                                 "ReadOutputDir=./\n[MRU]\nMRU_1=%2\nMRU_2=%3\n")
                      .arg(tool, blink, other)
                      .toUtf8());
    }

    startProgram(program);
    if (QTest::currentTestFailed())
        return;
    m_window = waitForWindow(kCaption);
    QVERIFY2(!m_window.isEmpty(), noWindow(kCaption));

    // The focus starts on the hex-file list: pick its second entry, program it.
    key({QStringLiteral("Down"), QStringLiteral("F6")});
    QTRY_COMPARE_WITH_TIMEOUT(loggedArguments().size(), 1, kTimeout);

    // Verbose off (two tabs on), then a read output folder typed four tabs on.
    key({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space"),
        QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
        QStringLiteral("ctrl+a")});
    focusWindow(m_window);
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), outDir});
    key({QStringLiteral("F9")});
    QTRY_COMPARE_WITH_TIMEOUT(loggedArguments().size(), 2, kTimeout);

    // What the tool received is what the logged lines split into.
    const QList<QStringList> runs = loggedArguments();
    const QString programLine = QStringLiteral("\"%1\" VERBOSE PORT 3 BAUD 57600 RTS ON  TARGET "
                                               "16F628   GO \"%2\"")
                                    .arg(tool, other);
    QStringList expected = platform::splitCommandLine(programLine);
    QCOMPARE(expected.takeFirst(), tool);
    QCOMPARE(runs.at(0), expected);

    const QStringList read = runs.at(1);
    const qsizetype readIndex = read.indexOf(QStringLiteral("READ"));
    QVERIFY2(readIndex >= 0 && readIndex + 1 < read.size(), qPrintable(read.join(u' ')));
    const QString readFile = read.at(readIndex + 1);
    const QRegularExpression stamp(
        QStringLiteral("^%1/\\d{14}\\.hex$").arg(QRegularExpression::escape(outDir)));
    QVERIFY2(stamp.match(readFile).hasMatch(), qPrintable(readFile));
    const QString readLine = QStringLiteral("\"%1\" PORT 3 BAUD 57600 RTS ON  TARGET 16F628   "
                                            "READ \"%2\" RUN")
                                 .arg(tool, readFile);
    expected = platform::splitCommandLine(readLine);
    expected.removeFirst();
    QCOMPARE(read, expected);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(readFile), kTimeout);
    QCOMPARE(QDir(outDir).entryList(QDir::Files), QStringList {QFileInfo(readFile).fileName()});

    exitThroughMenu();
    if (QTest::currentTestFailed())
        return;

    const QMap<QString, QString> ini = iniValues();
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/Verbose")), QStringLiteral("0"));
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/ReadOutputDir")), outDir);
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/HexInputFile")), other);
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/TargetEnabled")), QStringLiteral("1"));
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/Port")), QStringLiteral("3"));
    QCOMPARE(ini.value(QStringLiteral("MRU/MRU_1")), other);
    QCOMPARE(ini.value(QStringLiteral("MRU/MRU_2")), blink);
    QVERIFY(!ini.contains(QStringLiteral("MRU/MRU_3")));
}

void TestEndToEnd::firstStartChoosesTool()
{
    // No INI file: the program knows no tool yet.
    const QDir dir(m_dir->path());
    QString program;
    QString tool;
    copyProgram(program, tool);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("dranelwisp.ini"))));
    startProgram(program);
    if (QTest::currentTestFailed())
        return;

    // Shortly after the start the configuration dialog opens by itself, in
    // place of the main window, which is still there but hidden.
    const QString dialog = waitForWindow(kConfigCaption);
    QVERIFY2(!dialog.isEmpty(), noWindow(kConfigCaption));
    QTRY_VERIFY_WITH_TIMEOUT(findWindow(kCaption, true).isEmpty(), kTimeout);
    m_window = findWindow(kCaption, false);
    QVERIFY2(!m_window.isEmpty(), "the main window is gone instead of hidden");
    screenshot(QStringLiteral("e2e-first-start-dialog.png"));

    // "..." takes no focus and has no key: a click on its middle. The file
    // dialog offers the tool's plain name; its name box has the focus.
    focusWindow(dialog);
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
        dialog, QStringLiteral("587"), QStringLiteral("35"), QStringLiteral("click"),
        QStringLiteral("1")});
    const QString files = waitForWindow(kToolDialogCaption);
    QVERIFY2(!files.isEmpty(), noWindow(kToolDialogCaption));
    key(files, {QStringLiteral("ctrl+a")});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), tool});
    screenshot(QStringLiteral("e2e-first-start-files.png"));
    key(files, {QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(findWindow(kToolDialogCaption, true).isEmpty(), kTimeout);
    screenshot(QStringLiteral("e2e-first-start-chosen.png"));

    // OK has the focus and is the default button; the main window comes back.
    key(dialog, {QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(findWindow(kConfigCaption, true).isEmpty(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(findWindow(kCaption, true), m_window, kTimeout);

    // "Read PIC (F9)" works now: the chosen tool reads into the working folder.
    QVERIFY(loggedArguments().isEmpty());
    key({QStringLiteral("F9")});
    QTRY_COMPARE_WITH_TIMEOUT(loggedArguments().size(), 1, kTimeout);
    const QStringList read = loggedArguments().constFirst();
    const qsizetype readIndex = read.indexOf(QStringLiteral("READ"));
    QVERIFY2(readIndex >= 0 && readIndex + 2 < read.size(), qPrintable(read.join(u' ')));
    QCOMPARE(read.at(readIndex + 2), QStringLiteral("RUN"));
    const QString readFile = dir.absoluteFilePath(read.at(readIndex + 1));
    QVERIFY2(QRegularExpression(QStringLiteral("/\\d{14}\\.hex$")).match(readFile).hasMatch(),
        qPrintable(readFile));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(readFile), kTimeout);

    exitThroughMenu();
    if (QTest::currentTestFailed())
        return;
    const QMap<QString, QString> ini = iniValues();
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/WispProgram")), tool);
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/Port")), QStringLiteral("1"));
    QCOMPARE(ini.value(QStringLiteral("DranelWispConfig/Baud")), QStringLiteral("19200"));
}

// The tool named without a folder is the file the main window tested in the
// working folder, not a namesake earlier in PATH; its terminal is titled
// with its path.
void TestEndToEnd::relativeToolRunsInTitledTerminal()
{
    const QDir dir(m_dir->path());
    QString program;
    QString tool;
    copyProgram(program, tool);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(dir.mkdir(QStringLiteral("decoy")));
    writeExecutable(dir.filePath(QStringLiteral("decoy/xwisp2w")),
        "#!/bin/sh\necho '[\"decoy\"]' >> \"$XWISP2W_ARGS_LOG\"\n");
    const QByteArray path = qgetenv("PATH");
    const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
    qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("decoy"))) + ':' + path);
    writeAll(dir.filePath(QStringLiteral("dranelwisp.ini")),
        "[DranelWispConfig]\nWispProgram=xwisp2w\nPause=Press Enter\n");

    startProgram(program);
    if (QTest::currentTestFailed())
        return;
    m_window = waitForWindow(kCaption);
    QVERIFY2(!m_window.isEmpty(), noWindow(kCaption));
    key({QStringLiteral("F9")});
    QTRY_COMPARE_WITH_TIMEOUT(loggedArguments().size(), 1, kTimeout);
    const QStringList read = loggedArguments().constFirst();
    QCOMPARE(read.mid(read.size() - 2), QStringList({QStringLiteral("PAUSE"), "Press Enter"}));

    // The tool waits for Enter in its terminal; Enter ends both.
    const QString terminal = waitForWindow(tool);
    QVERIFY2(!terminal.isEmpty(), noWindow(tool));
    screenshot(QStringLiteral("e2e-terminal.png"));
    key(terminal, {QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(findWindow(tool, false).isEmpty(), kTimeout);
    exitThroughMenu();
}

// The lines of an INI file that are not the program's: all but the header and
// the ten keys of "DranelWispConfig" and the whole "MRU" section.
static QList<QByteArray> foreignLines(QByteArray file)
{
    static const QByteArrayList own {"baud", "hexinputfile", "port", "rtson", "verbose",
        "targetenabled", "target", "wispprogram", "pause", "readoutputdir"};
    QList<QByteArray> foreign;
    QByteArray section;
    for (const QByteArray &line : file.replace("\r\n", "\n").replace('\r', '\n').split('\n')) {
        const QByteArray text = line.trimmed();
        const qsizetype close = text.indexOf(']');
        if (text.startsWith('[') && close > 0)
            section = text.mid(1, close - 1).trimmed().toLower();
        const bool header = text.startsWith('[') && close > 0;
        const bool ownKey = section == "dranelwispconfig"
            && (header || own.contains(text.left(text.indexOf('=')).trimmed().toLower()));
        if (section != "mru" && !ownKey)
            foreign.append(line);
    }
    if (!foreign.isEmpty() && foreign.last().isEmpty())
        foreign.removeLast(); // the end of the last line
    return foreign;
}

void TestEndToEnd::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray config("[DranelWispConfig]\nWispProgram=@TOOL@\n");
    static const char nul[] = "Mine=a\0b\nTarget=16\0F84A\nPa\0use=x\n[Other\0]\nk\0=\0v\0\n"
                              "\0\0\0\n[MRU]\nMRU_1=a\0.hex\n";
    QTest::addRow("NUL bytes") << config + QByteArray(nul, sizeof nul - 1);
    QByteArray random(10 << 20, Qt::Uninitialized);
    QRandomGenerator(20260307).fillRange(
        reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    QTest::addRow("10 MB of random bytes") << random + '\n' + config;
    const QByteArray mega(1 << 20, 'x');
    QTest::addRow("1 MB line") << config + "Mine=" + mega + "\nPause=" + mega + "\n[Other]\n" + mega
            + "\n[MRU]\nMRU_1=" + mega + '\n';
    QTest::addRow("invalid UTF-8") << config
            + "Mine=\xff\xfe\xc3\x28\xed\xa0\x80\xf4\x90\x80\x80\xc0\xaf\nTarget=\xe9\n"
              "[\xff\xfeOther]\n\xe9t\xe9=\x80\x81\n[MRU]\nMRU_1=\xff.hex\n";
    QTest::addRow("[ without ]") << "[DranelWispConfig\nPort=3\n" + config
            + "Mine=1\n[Other\nx=1\n[\n]\n[MRU\nMRU_1=a.hex\n";
    QByteArray names = config + "[MRU]\n";
    for (int i = 1; i <= 5000; ++i)
        names += "MRU_" + QByteArray::number(i) + "=C:\\Pic\\f" + QByteArray::number(i) + ".hex\n";
    QTest::addRow("5,000 recent names") << names + "[After]\nkeep=1\n";
}

// The program starts on a hostile INI file, shows its window, ends through
// E&xit with status 0 and keeps every line that is not its own.
void TestEndToEnd::hostileFiles()
{
    QFETCH(QByteArray, file);
    QString program;
    QString tool;
    copyProgram(program, tool);
    if (QTest::currentTestFailed())
        return;
    file.replace("@TOOL@", tool.toUtf8());
    const QString ini = QDir(m_dir->path()).filePath(QStringLiteral("dranelwisp.ini"));
    {
        QFile out(ini);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(file), file.size());
    }
    QElapsedTimer clock;
    clock.start();
    startProgram(program);
    if (QTest::currentTestFailed())
        return;
    m_window = waitForWindow(kCaption, 4 * kTimeout);
    QVERIFY2(!m_window.isEmpty(), noWindow(kCaption));
    qInfo(
        "%s: the window showed %lld ms after the start", QTest::currentDataTag(), clock.elapsed());
    exitThroughMenu();
    if (QTest::currentTestFailed())
        return;
    QFile saved(ini);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(foreignLines(saved.readAll()), foreignLines(file));
}

void TestEndToEnd::quitSignalsSaveAsExit_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("dialogOpen"); // the configuration dialog
    QTest::addRow("SIGTERM") << int(SIGTERM) << false;
    QTest::addRow("SIGHUP") << int(SIGHUP) << false;
    QTest::addRow("SIGINT") << int(SIGINT) << false;
    QTest::addRow("SIGTERM over the configuration dialog") << int(SIGTERM) << true;
}

// A kill or the end of the session saves what File > Exit saves: the same
// change gives the same INI bytes either way, and the program ends with 0.
void TestEndToEnd::quitSignalsSaveAsExit()
{
    QFETCH(int, signal);
    QFETCH(bool, dialogOpen);
    QString program;
    QString tool;
    copyProgram(program, tool);
    if (QTest::currentTestFailed())
        return;
    const QString ini = QDir(m_dir->path()).filePath(QStringLiteral("dranelwisp.ini"));
    const QByteArray start = "[DranelWispConfig]\nWispProgram=" + tool.toUtf8() + "\n";
    QByteArray saved[2];
    for (const bool byMenu : {true, false}) {
        writeAll(ini, start);
        startProgram(program);
        if (QTest::currentTestFailed())
            return;
        m_window = waitForWindow(kCaption);
        QVERIFY2(!m_window.isEmpty(), noWindow(kCaption));
        // Verbose off: the focus starts on the hex-file list, two tabs on.
        key({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")});
        if (byMenu) {
            exitThroughMenu();
        } else {
            if (dialogOpen) {
                key({QStringLiteral("F2")});
                QVERIFY2(!waitForWindow(kConfigCaption).isEmpty(), noWindow(kConfigCaption));
            }
            QTest::qWait(200); // the key has reached the check box
            QVERIFY(::kill(pid_t(m_app.processId()), signal) == 0);
            QVERIFY2(m_app.waitForFinished(kTimeout), "the program did not end on the signal");
            QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
            QCOMPARE(m_app.exitCode(), 0);
        }
        if (QTest::currentTestFailed())
            return;
        saved[byMenu] = readAll(ini);
    }
    QVERIFY2(saved[1].contains("\nVerbose=0"), saved[1].constData());
    QCOMPARE(saved[0], saved[1]);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
