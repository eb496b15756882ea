// Drives the real program under an Xvfb of its own: real keys through
// xdotool, the substitute tool recording the arguments it receives, and the
// INI file checked after the window closes through "E&xit".
#include "Launcher.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kTimeout = 15000;
const QString kCaption = QStringLiteral("Dranel-Wisp Command Interface");
const QByteArray kHex = ":0400000000308A0042\n:00000001FF\n";

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void programReadAndExit();

private:
    QProcessEnvironment environment() const;
    QString xdotool(const QStringList &arguments);
    void focusMainWindow();
    void key(const QStringList &keys);
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
    m_xvfb.start(QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
            QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp")});
    QVERIFY2(m_xvfb.waitForStarted(kTimeout), "Xvfb did not start");
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), kTimeout);
    m_display = QStringLiteral(":") + QString::fromLatin1(m_xvfb.readLine()).trimmed();

    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestEndToEnd::cleanupTestCase()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.kill();
        m_app.waitForFinished(kTimeout);
    }
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

// Without a window manager Qt sees keys only while its window has the input
// focus; a terminal window opened for the tool may have taken it meanwhile.
void TestEndToEnd::focusMainWindow()
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), m_window});
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({QStringLiteral("getwindowfocus")}), m_window, kTimeout);
}

void TestEndToEnd::key(const QStringList &keys)
{
    focusMainWindow();
    xdotool(QStringList {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")}
        + keys);
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
    // A folder of its own for the program, so the INI file beside it is ours.
    // A copy, not a link: the program finds its INI file beside its real path.
    const QDir dir(m_dir->path());
    const QString program = dir.filePath(QStringLiteral("dranelwisp"));
    const QString tool = dir.filePath(QStringLiteral("xwisp2w"));
    QVERIFY(QFile::copy(QStringLiteral(DW_BUILD_DIR "/dranelwisp"), program));
    QVERIFY(QFile::copy(QStringLiteral(DW_BUILD_DIR "/xwisp2w"), tool));
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

    m_app.setProcessEnvironment(environment());
    m_app.setWorkingDirectory(dir.path());
    m_app.setProcessChannelMode(QProcess::ForwardedChannels);
    m_app.start(program, {});
    QVERIFY2(m_app.waitForStarted(kTimeout), "the program did not start");
    QTRY_VERIFY_WITH_TIMEOUT(
        !(m_window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
              QStringLiteral("--name"), kCaption}))
             .isEmpty(),
        kTimeout);
    m_window = m_window.section(u'\n', 0, 0);

    // The focus starts on the hex-file list: pick its second entry, program it.
    key({QStringLiteral("Down"), QStringLiteral("F6")});
    QTRY_COMPARE_WITH_TIMEOUT(loggedArguments().size(), 1, kTimeout);

    // Verbose off (two tabs on), then a read output folder typed four tabs on.
    key({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space"),
        QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
        QStringLiteral("ctrl+a")});
    focusMainWindow();
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

    // Close through the menu: Alt+F opens "&File", x is "E&xit".
    key({QStringLiteral("alt+f")});
    key({QStringLiteral("x")});
    QVERIFY2(m_app.waitForFinished(kTimeout), "the program did not end after E&xit");
    QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_app.exitCode(), 0);

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

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
