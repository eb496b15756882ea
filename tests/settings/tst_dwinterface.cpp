#include "DWInterface.h"
#include "Error.h"
#include "Launcher.h"
#include "LocalBytes.h"
#include "Platform.h"
#include "TestFiles.h"
#include "TextUtils.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const platform::LocalTime kExampleClock {2026, 3, 7, 9, 5, 3, 250};

// Two settings of quite different sizes, for saves that alternate.
void setState(TDWInterface &s, int which)
{
    s.SetPort(which + 1);
    s.MRUList().clear();
    for (int i = 0; i < which * 300; ++i)
        s.MRUList() << QStringLiteral("C:\\Pic\\a rather long file name %1.hex").arg(i);
}

// Child modes of this executable. "--save INI": load, print the port read,
// set port 7, save, print "saved" or the error. "--save-loop INI": save the
// two states in turn, a "." after each save, until killed.
int childMain(const QByteArray &mode, const QString &ini)
{
    QTextStream out(stdout);
    TDWInterface s(ini);
    if (mode == "--save") {
        out << s.Port() << ' ';
        s.SetPort(7);
        try {
            s.SaveConfig();
            out << "saved";
        } catch (const TError &e) {
            out << e.Message();
        }
        return 0;
    }
    for (int i = 0;; ++i) {
        setState(s, i % 2);
        s.SaveConfig();
        out << '.' << Qt::flush;
    }
}

} // namespace

class TestDWInterface : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString iniPath(const QString &name = QStringLiteral("dranelwisp.ini"))
    {
        return FDir.filePath(name);
    }

    std::unique_ptr<TDWInterface> loadFrom(const QByteArray &bytes)
    {
        writeAll(iniPath(), bytes);
        return std::make_unique<TDWInterface>(iniPath());
    }

private slots:
    void init()
    {
        QVERIFY(FDir.isValid());
        QFile::remove(iniPath());
        platform::setPathStyle(platform::PathStyle::Windows);
        platform::setClock([] { return kExampleClock; });
    }

    void cleanup()
    {
        platform::setPathStyle(platform::nativePathStyle());
        platform::setClock({});
    }

    void defaultsWithoutFile_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QString>("readOutputDir");
        QTest::addRow("windows") << true << ".\\";
        QTest::addRow("posix") << false << "./";
    }

    void defaultsWithoutFile()
    {
        QFETCH(bool, windows);
        QFETCH(QString, readOutputDir);
        platform::setPathStyle(windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
        const TDWInterface s(iniPath());
        QCOMPARE(s.IniFileName(), iniPath());
        QCOMPARE(s.Verbose(), true);
        QCOMPARE(s.WispProgram(), QString());
        QCOMPARE(s.RtsOn(), true);
        QCOMPARE(s.Port(), 1);
        QCOMPARE(s.Baud(), 19200);
        QCOMPARE(s.HexInputFile(), QString());
        QCOMPARE(s.Pause(), QString());
        QCOMPARE(s.TargetEnabled(), false);
        QCOMPARE(s.Target(), QStringLiteral("16F84A"));
        QCOMPARE(s.ReadOutputDir(), readOutputDir);
        QVERIFY(s.MRUList().isEmpty());
    }

    void setDefaultsLeavesHexFileAndList()
    {
        TDWInterface s(iniPath());
        s.SetHexInputFile("h.hex");
        s.MRUList().append("a.hex");
        s.SetPort(5);
        s.SetTarget("");
        s.SetDefaults();
        QCOMPARE(s.Port(), 1);
        QCOMPARE(s.Target(), QStringLiteral("16F84A"));
        QCOMPARE(s.HexInputFile(), QStringLiteral("h.hex"));
        QCOMPARE(s.MRUList(), QStringList {"a.hex"});
    }

    void savedFileOfWorkedExample_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<QByteArray>("readOutputDir");
        QTest::addRow("windows") << true << QByteArray("\r\n") << QByteArray(".\\");
        QTest::addRow("posix") << false << QByteArray("\n") << QByteArray("./");
    }

    void savedFileOfWorkedExample()
    {
        QFETCH(bool, windows);
        QFETCH(QByteArray, lineEnd);
        QFETCH(QByteArray, readOutputDir);
        platform::setPathStyle(windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
        {
            TDWInterface s(iniPath());
            s.MRUList() << "C:\\Pic\\blink.hex"
                        << "C:\\Pic\\test.hex";
            s.SaveConfig();
        }
        const QList<QByteArray> lines {"[DranelWispConfig]", "Baud=19200",
            "HexInputFile=", "Port=1", "RtsOn=1", "Verbose=1", "TargetEnabled=0", "Target=16F84A",
            "WispProgram=", "Pause=", "ReadOutputDir=" + readOutputDir, "[MRU]",
            "MRU_1=C:\\Pic\\blink.hex", "MRU_2=C:\\Pic\\test.hex"};
        QCOMPARE(lines.size(), 14);
        QCOMPARE(readAll(iniPath()), lines.join(lineEnd) + lineEnd);
    }

    void destructionDoesNotSave()
    {
        {
            TDWInterface s(iniPath());
            s.SetPort(4);
        }
        QVERIFY(!QFile::exists(iniPath()));
    }

    void roundTrip()
    {
        {
            TDWInterface s(iniPath());
            s.SetVerbose(false);
            s.SetWispProgram("C:\\Tools\\xwisp2w.exe");
            s.SetRtsOn(false);
            s.SetPort(-3);
            s.SetBaud(57600);
            s.SetHexInputFile("C:\\Pic\\blink.hex");
            s.SetPause("Done 100%");
            s.SetTargetEnabled(true);
            s.SetTarget("");
            s.SetReadOutputDir("D:\\Dumps");
            s.MRUList() << "a.hex"
                        << "b.hex";
            s.SaveConfig();
        }
        const TDWInterface s(iniPath());
        QCOMPARE(s.Verbose(), false);
        QCOMPARE(s.WispProgram(), QStringLiteral("C:\\Tools\\xwisp2w.exe"));
        QCOMPARE(s.RtsOn(), false);
        QCOMPARE(s.Port(), -3);
        QCOMPARE(s.Baud(), 57600);
        QCOMPARE(s.HexInputFile(), QStringLiteral("C:\\Pic\\blink.hex"));
        QCOMPARE(s.Pause(), QStringLiteral("Done 100%"));
        QCOMPARE(s.TargetEnabled(), true);
        QCOMPARE(s.Target(), QString());
        QCOMPARE(s.ReadOutputDir(), QStringLiteral("D:\\Dumps"));
        QCOMPARE(s.MRUList(), QStringList({"a.hex", "b.hex"}));
    }

    void loadsValues_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::addRow("port COM1 keeps default") << QByteArray("Port=COM1") << "Port"
                                                 << "1";
        QTest::addRow("port empty keeps default") << QByteArray("Port=") << "Port"
                                                  << "1";
        QTest::addRow("port 0x10") << QByteArray("Port=0x10") << "Port"
                                   << "16";
        QTest::addRow("port $10") << QByteArray("Port=$10") << "Port"
                                  << "16";
        QTest::addRow("port 12abc keeps default") << QByteArray("Port=12abc") << "Port"
                                                  << "1";
        QTest::addRow("port -3") << QByteArray("Port=-3") << "Port"
                                 << "-3";
        QTest::addRow("baud out of range") << QByteArray("Baud=4294967296") << "Baud"
                                           << "19200";
        QTest::addRow("verbose yes keeps true") << QByteArray("Verbose=yes") << "Verbose"
                                                << "1";
        QTest::addRow("verbose 0") << QByteArray("Verbose=0") << "Verbose"
                                   << "0";
        QTest::addRow("repeated key: first line counts")
            << QByteArray("RtsOn=0\nRtsOn=-1") << "RtsOn"
            << "0";
        QTest::addRow("target enabled 5") << QByteArray("TargetEnabled=5") << "TargetEnabled"
                                          << "1";
        QTest::addRow("target enabled true keeps false")
            << QByteArray("TargetEnabled=true") << "TargetEnabled"
            << "0";
        QTest::addRow("target empty") << QByteArray("Target=") << "Target"
                                      << "";
        QTest::addRow("hex key as saved") << QByteArray("HexInputFile=a.hex") << "HexInputFile"
                                          << "a.hex";
        QTest::addRow("hex key as read") << QByteArray("HexInputfile=a.hex") << "HexInputFile"
                                         << "a.hex";
        QTest::addRow("hex key capitals") << QByteArray("HEXINPUTFILE=a.hex") << "HexInputFile"
                                          << "a.hex";
        QTest::addRow("read dir empty") << QByteArray("ReadOutputDir=") << "ReadOutputDir"
                                        << "";
        QTest::addRow("pause quoted") << QByteArray("Pause=\" x \"") << "Pause"
                                      << " x ";
        QTest::addRow("program") << QByteArray("wispprogram=C:\\x.exe") << "WispProgram"
                                 << "C:\\x.exe";
    }

    void loadsValues()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const auto s = loadFrom("[dranelwispconfig]\r\n" + lines + "\r\n");
        const QMap<QString, QString> fields {
            {"Port", QString::number(s->Port())},
            {"Baud", QString::number(s->Baud())},
            {"Verbose", QString::number(s->Verbose())},
            {"RtsOn", QString::number(s->RtsOn())},
            {"TargetEnabled", QString::number(s->TargetEnabled())},
            {"Target", s->Target()},
            {"HexInputFile", s->HexInputFile()},
            {"ReadOutputDir", s->ReadOutputDir()},
            {"Pause", s->Pause()},
            {"WispProgram", s->WispProgram()},
        };
        QVERIFY(fields.contains(field));
        QCOMPARE(fields.value(field), expected);
    }

    void loadsMRU_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("blanks, other keys, case-insensitive duplicates")
            << QByteArray("MRU_1=C:\\a.hex\nMRU_2=  \t \nOther=c:\\A.HEX\nMRU_3=  C:\\b.hex  \n")
            << QStringList {"C:\\a.hex", "C:\\b.hex"};
        QTest::addRow("repeated key reads its first line") << QByteArray(
            "MRU_1=a.hex\nMRU_2=b.hex\nmru_1=c.hex\n") << QStringList {"a.hex", "b.hex"};
        QTest::addRow("non-ASCII case")
            << "MRU_1=" + platform::encodeLocal(QString::fromUtf8("\xC3\x84.hex"))
                + "\nMRU_2=" + platform::encodeLocal(QString::fromUtf8("\xC3\xA4.HEX")) + "\n"
            << QStringList {QString::fromUtf8("\xC3\x84.hex")};
        QTest::addRow("file order, not key order")
            << QByteArray("MRU_9=z.hex\nMRU_1=a.hex\n") << QStringList {"z.hex", "a.hex"};
        QTest::addRow("different paths stay apart")
            << QByteArray("MRU_1=C:\\Pic\\a.hex\nMRU_2=C:\\Pic\\.\\a.hex\n")
            << QStringList {"C:\\Pic\\a.hex", "C:\\Pic\\.\\a.hex"};
        QTest::addRow("control characters trimmed")
            << QByteArray("MRU_1=\"\x01 a.hex \x1f\"\n") << QStringList {"a.hex"};
        QTest::addRow("comment and no-equals lines ignored")
            << QByteArray(";MRU_1=x.hex\nnothing\nMRU_2=y.hex\n") << QStringList {"y.hex"};
        QStringList twelve;
        QByteArray twelveLines;
        for (int i = 1; i <= 12; ++i) {
            twelve << QStringLiteral("f%1.hex").arg(i);
            twelveLines += "MRU_" + QByteArray::number(i) + "=f" + QByteArray::number(i) + ".hex\n";
        }
        QTest::addRow("more than nine names load whole") << twelveLines << twelve;
    }

    void loadsMRU()
    {
        QFETCH(QByteArray, section);
        QFETCH(QStringList, expected);
        const auto s = loadFrom("[DranelWispConfig]\nPort=2\n[MRU]\n" + section);
        QCOMPARE(s->MRUList(), expected);
        QCOMPARE(s->Port(), 2);
    }

    void saveKeepsUnknownAndRewritesMRU()
    {
        const QByteArray before("; my settings\r\n"
                                "[DranelWispConfig]\r\n"
                                "Mine=keep me\r\n"
                                "port=7\r\n"
                                "\r\n"
                                "[MRU]\r\n"
                                "MRU_1=a.hex\r\n"
                                "MRU_2=b.hex\r\n"
                                "Stray=s.hex\r\n"
                                "[Other]\r\n"
                                "x=1\r\n");
        auto s = loadFrom(before);
        QCOMPARE(s->MRUList(), QStringList({"a.hex", "b.hex", "s.hex"}));
        s->MRUList() = QStringList {"n.hex"};
        s->SaveConfig();
        const QByteArray after("; my settings\r\n"
                               "[DranelWispConfig]\r\n"
                               "Mine=keep me\r\n"
                               "port=7\r\n"
                               "Baud=19200\r\n"
                               "HexInputFile=\r\n"
                               "RtsOn=1\r\n"
                               "Verbose=1\r\n"
                               "TargetEnabled=0\r\n"
                               "Target=16F84A\r\n"
                               "WispProgram=\r\n"
                               "Pause=\r\n"
                               "ReadOutputDir=.\\\r\n"
                               "\r\n"
                               "[Other]\r\n"
                               "x=1\r\n"
                               "[MRU]\r\n"
                               "MRU_1=n.hex\r\n");
        QCOMPARE(readAll(iniPath()), after);
    }

    void foreignBytesSurviveSave()
    {
        // A Windows file in Latin-1: none of these values is valid UTF-8.
        auto s = loadFrom(
            "[DranelWispConfig]\r\nHexInputFile=C:\\\xC4.hex\r\nPause=M\xFCller\r\n"
            "[MRU]\r\nMRU_1=C:\\\xC4.hex\r\nMRU_2=C:\\\xE4.hex\r\nMRU_3=c:\\\xC4.HEX\r\n");
        // Capital and small umlaut stay apart, unless they are letters of the
        // local code page.
        const bool letters = highBytesAreLetters();
        QCOMPARE(s->MRUList().size(), letters ? 1 : 2);
        s->SaveConfig();
        QCOMPARE(readAll(iniPath()),
            QByteArray("[DranelWispConfig]\r\nHexInputFile=C:\\\xC4.hex\r\nPause=M\xFCller\r\n"
                       "Baud=19200\r\nPort=1\r\nRtsOn=1\r\nVerbose=1\r\nTargetEnabled=0\r\n"
                       "Target=16F84A\r\nWispProgram=\r\nReadOutputDir=.\\\r\n"
                       "[MRU]\r\nMRU_1=C:\\\xC4.hex\r\n")
                + (letters ? "" : "MRU_2=C:\\\xE4.hex\r\n"));
    }

    void emptyListRemovesMRUSection()
    {
        auto s = loadFrom("[MRU]\nMRU_1=a.hex\n[Other]\nx=1\n");
        s->MRUList().clear();
        s->SaveConfig();
        const QByteArray saved = readAll(iniPath());
        QVERIFY2(!saved.contains("MRU"), saved.constData());
        QVERIFY(saved.startsWith("[Other]\nx=1\n[DranelWispConfig]\n"));
    }

    void unwritableIniKeepsOldFile()
    {
        // The longest name the file system allows: the file can be read, but no
        // temporary file can be made beside it, whoever runs the test.
        const QString path = iniPath(QString(251, u'd') + ".ini");
        const QByteArray old("[DranelWispConfig]\nPort=3\n[MRU]\nMRU_1=a.hex\n");
        writeAll(path, old);
        TDWInterface s(path);
        QCOMPARE(s.Port(), 3);
        s.SetPort(4);
        s.MRUList().clear();
        try {
            s.SaveConfig();
            QFAIL("SaveConfig succeeded");
        } catch (const TError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Unable to write to ") + path);
        }
        QCOMPARE(readAll(path), old);
    }

#ifndef Q_OS_WIN
    // POSIX users, modes and locks.
    void savesAsUnprivilegedUser_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("fileOfNobody");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QString>("output");
        QTest::addRow("folder not writable, file writable") << 0755 << true << 0644 << "3 saved";
        QTest::addRow("file writable, not readable")
            << 0777 << true << 0200 << "1 Unable to write to ";
        QTest::addRow("file of root, mode 000") << 0777 << false << 0 << "1 Unable to write to ";
        QTest::addRow("file read-only") << 0777 << true << 0444 << "3 Unable to write to ";
        QTest::addRow("folder not searchable") << 0700 << true << 0644 << "1 Unable to write to ";
    }

    void savesAsUnprivilegedUser()
    {
        QFETCH(int, folderMode);
        QFETCH(bool, fileOfNobody);
        QFETCH(int, fileMode);
        QFETCH(QString, output);
        const passwd *nobody = getpwnam("nobody");
        if (!nobody || QProcess::execute("runuser", {"-u", "nobody", "--", "true"}) != 0)
            QSKIP("runuser or the user nobody is not available");
        QTemporaryDir base; // the test's executable is copied where nobody can run it
        QVERIFY(chmod(base.path().toLocal8Bit(), 0755) == 0);
        const QString child = base.filePath("child"), ini = base.filePath("d/dranelwisp.ini");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), child));
        QVERIFY(QDir(base.path()).mkdir("d"));
        const QByteArray old("[DranelWispConfig]\nPort=3\n");
        writeAll(ini, old);
        QVERIFY(!fileOfNobody || chown(ini.toLocal8Bit(), nobody->pw_uid, nobody->pw_gid) == 0);
        QVERIFY(chmod(ini.toLocal8Bit(), fileMode) == 0);
        QVERIFY(chmod(base.filePath("d").toLocal8Bit(), folderMode) == 0);

        QProcess p;
        p.start("runuser", {"-u", "nobody", "--", child, "--save", ini});
        QVERIFY(p.waitForFinished(30000));
        const bool saved = output.endsWith("saved");
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()), saved ? output : output + ini);
        QCOMPARE(readAll(ini),
            saved ? QByteArray("[DranelWispConfig]\nPort=7\nBaud=19200\nHexInputFile=\nRtsOn=1\n"
                               "Verbose=1\nTargetEnabled=0\nTarget=16F84A\nWispProgram=\nPause=\n"
                               "ReadOutputDir=./\n")
                  : old);
    }

    void saveKilledHalfwayLeavesWholeFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("dranelwisp.ini");
        QByteArray contents[2];
        for (int which : {1, 0}) {
            TDWInterface s(ini);
            setState(s, which);
            s.SaveConfig();
            contents[which] = readAll(ini);
        }
        int seen[2] = {0, 0};
        qsizetype strays = 0; // the most temporaries found beside it after a kill
        const QStringList temporaries {"dranelwisp.ini.dwsave-*"};
        for (int kill = 0; kill < 200; ++kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--save-loop", ini});
            QVERIFY(child.waitForReadyRead(30000)); // a first save is done
            QThread::usleep(QRandomGenerator::global()->bounded(20000));
            child.kill(); // SIGKILL
            QVERIFY(child.waitForFinished(30000));
            const QByteArray now = readAll(ini);
            QVERIFY2(now == contents[0] || now == contents[1], qPrintable(QString::number(kill)));
            ++seen[now == contents[1]];
            strays = qMax(strays, QDir(dir.path()).entryList(temporaries, QDir::Files).size());
        }
        qInfo("200 kills: small contents %d times, large %d times, at most %d temporaries", seen[0],
            seen[1], int(strays));
        QVERIFY(strays <= 1); // each save removes those of the saves killed before
        // Only temporaries that no save is writing go; the user's files stay,
        // whatever their names.
        writeAll(ini + ".dwsave-AbC123", "stray");
        writeAll(ini + ".dwsave-InUse1", "being written");
        QFile inUse(ini + ".dwsave-InUse1");
        QVERIFY(inUse.open(QIODevice::ReadOnly) && flock(inUse.handle(), LOCK_EX) == 0);
        for (const char *own : {".bak", ".backup", ".abcdef", ".dwsave-AbC12"})
            writeAll(ini + own, "kept");
        TDWInterface(ini).SaveConfig();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({"dranelwisp.ini", "dranelwisp.ini.abcdef", "dranelwisp.ini.backup",
                "dranelwisp.ini.bak", "dranelwisp.ini.dwsave-AbC12",
                "dranelwisp.ini.dwsave-InUse1"}));
    }
#endif

    void commands_data()
    {
        QTest::addColumn<bool>("verbose");
        QTest::addColumn<bool>("rts");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<bool>("targetEnabled");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("pause");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("hexFile");
        QTest::addColumn<QString>("programCommand");
        QTest::addColumn<QString>("readCommand");
        QTest::addColumn<int>("programLength");
        QTest::addColumn<int>("readLength");

        const QString tool = "C:\\Tools\\xwisp2w.exe";
        const QString hex = "C:\\Pic\\blink.hex";
        QTest::addRow("defaults") << true << true << 1 << 19200 << false << "16F84A"
                                  << "" << tool << hex
                                  << "\"C:\\Tools\\xwisp2w.exe\" VERBOSE PORT 1 BAUD 19200 RTS ON "
                                     "GO \"C:\\Pic\\blink.hex\""
                                  << "\"C:\\Tools\\xwisp2w.exe\" VERBOSE PORT 1 BAUD 19200 RTS ON "
                                     "READ \".\\20260307090503.hex\" RUN"
                                  << 77 << 87;
        QTest::addRow("target and pause")
            << false << false << 2 << 57600 << true << "16F84A"
            << "Done" << tool << hex
            << "\"C:\\Tools\\xwisp2w.exe\" PORT 2 BAUD 57600  TARGET 16F84A   GO "
               "\"C:\\Pic\\blink.hex\"  PAUSE \"Done\""
            << "\"C:\\Tools\\xwisp2w.exe\" PORT 2 BAUD 57600  TARGET 16F84A   READ "
               "\".\\20260307090503.hex\" RUN  PAUSE \"Done\""
            << 93 << 103;
        QTest::addRow("empty paths")
            << false << false << 1 << 19200 << false << "16F84A"
            << ""
            << ""
            << ""
            << "\"\" PORT 1 BAUD 19200 GO \"\""
            << "\"\" PORT 1 BAUD 19200 READ \".\\20260307090503.hex\" RUN" << -1 << -1;
        QTest::addRow("pause of spaces only")
            << false << false << 1 << 19200 << false << ""
            << " \t "
            << "t"
            << "h"
            << "\"t\" PORT 1 BAUD 19200 GO \"h\""
            << "\"t\" PORT 1 BAUD 19200 READ \".\\20260307090503.hex\" RUN" << -1 << -1;
        QTest::addRow("pause untrimmed")
            << false << false << 1 << 19200 << false << ""
            << " go on "
            << "t"
            << "h"
            << "\"t\" PORT 1 BAUD 19200 GO \"h\"  PAUSE \" go on \""
            << "\"t\" PORT 1 BAUD 19200 READ \".\\20260307090503.hex\" RUN  PAUSE \" go on \"" << -1
            << -1;
        QTest::addRow("empty target enabled")
            << false << false << 1 << 19200 << true << ""
            << ""
            << "t"
            << "h"
            << "\"t\" PORT 1 BAUD 19200  TARGET    GO \"h\""
            << "\"t\" PORT 1 BAUD 19200  TARGET    READ \".\\20260307090503.hex\" RUN" << -1 << -1;
        QTest::addRow("negative numbers")
            << false << false << -1 << -19200 << false << ""
            << ""
            << "t"
            << "h"
            << "\"t\" PORT -1 BAUD -19200 GO \"h\""
            << "\"t\" PORT -1 BAUD -19200 READ \".\\20260307090503.hex\" RUN" << -1 << -1;
        QTest::addRow("quotes and percent copied")
            << true << false << 1 << 19200 << false << ""
            << "50% \"now\""
            << "a\"b %1 %s"
            << "x%2\".hex"
            << "\"a\"b %1 %s\" VERBOSE PORT 1 BAUD 19200 GO \"x%2\".hex\"  PAUSE \"50% \"now\"\""
            << "\"a\"b %1 %s\" VERBOSE PORT 1 BAUD 19200 READ \".\\20260307090503.hex\" RUN  PAUSE "
               "\"50% \"now\"\""
            << -1 << -1;
        QTest::addRow("hex name ending in a backslash")
            << false << false << 1 << 19200 << false << ""
            << "Press Enter"
            << "t"
            << "C:\\Pic\\odd\\"
            << "\"t\" PORT 1 BAUD 19200 GO \"C:\\Pic\\odd\\\"  PAUSE \"Press Enter\""
            << "\"t\" PORT 1 BAUD 19200 READ \".\\20260307090503.hex\" RUN  PAUSE \"Press Enter\""
            << -1 << -1;
    }

    void commands()
    {
        QFETCH(bool, verbose);
        QFETCH(bool, rts);
        QFETCH(int, port);
        QFETCH(int, baud);
        QFETCH(bool, targetEnabled);
        QFETCH(QString, target);
        QFETCH(QString, pause);
        QFETCH(QString, program);
        QFETCH(QString, hexFile);
        QFETCH(QString, programCommand);
        QFETCH(QString, readCommand);
        QFETCH(int, programLength);
        QFETCH(int, readLength);

        TDWInterface s(iniPath());
        s.SetVerbose(verbose);
        s.SetRtsOn(rts);
        s.SetPort(port);
        s.SetBaud(baud);
        s.SetTargetEnabled(targetEnabled);
        s.SetTarget(target);
        s.SetPause(pause);
        s.SetWispProgram(program);
        s.SetHexInputFile(hexFile);
        QCOMPARE(s.GetProgramCommand(), programCommand);
        QCOMPARE(s.GetReadCommand(), readCommand);

        // The tool's words: each quoted value whole, as it stands.
        const TToolCommand go = s.ProgramCommand();
        const TToolCommand read = s.ReadCommand();
        QCOMPARE(go.Line, programCommand);
        QCOMPARE(read.Line, readCommand);
        for (const QStringList &words : {go.Arguments, read.Arguments}) {
            QCOMPARE(words.first(), program);
            if (!TrimText(pause).isEmpty())
                QCOMPARE(words.mid(words.size() - 2), (QStringList {"PAUSE", pause}));
        }
        QCOMPARE(go.Arguments.at(go.Arguments.indexOf("GO") + 1), hexFile);
        QCOMPARE(read.Arguments.at(read.Arguments.indexOf("READ") + 1),
            QStringLiteral(".\\20260307090503.hex"));
        // Without a quote in a value, or a backslash before a closing quote,
        // they are the words the line splits into.
        const auto plain = [](const QString &v) {
            return !v.contains(u'"') && !v.endsWith(u'\\');
        };
        if (plain(program) && plain(hexFile) && plain(pause)) {
            QCOMPARE(go.Arguments, platform::splitCommandLine(programCommand));
            QCOMPARE(read.Arguments, platform::splitCommandLine(readCommand));
        }
        if (programLength >= 0) {
            QCOMPARE(programCommand.size(), programLength);
            QCOMPARE(readCommand.size(), readLength);
        }
    }

    void readFileNames_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addRow("default") << true << ".\\"
                                 << ".\\20260307090503.hex";
        QTest::addRow("no delimiter") << true << "D:\\Dumps"
                                      << "D:\\Dumps\\20260307090503.hex";
        QTest::addRow("delimiter") << true << "D:\\Dumps\\"
                                   << "D:\\Dumps\\20260307090503.hex";
        QTest::addRow("slash") << true << "D:/Dumps/"
                               << "D:/Dumps/\\20260307090503.hex";
        QTest::addRow("blanks kept") << true << " D:\\Dumps "
                                     << " D:\\Dumps \\20260307090503.hex";
        QTest::addRow("empty") << true << ""
                               << "20260307090503.hex";
        QTest::addRow("spaces") << true << "   "
                                << "20260307090503.hex";
        QTest::addRow("posix default") << false << "./"
                                       << "./20260307090503.hex";
        QTest::addRow("posix no delimiter") << false << "/tmp/dumps"
                                            << "/tmp/dumps/20260307090503.hex";
        QTest::addRow("posix delimiter") << false << "/tmp/dumps/"
                                         << "/tmp/dumps/20260307090503.hex";
        QTest::addRow("posix empty") << false << ""
                                     << "20260307090503.hex";
    }

    void readFileNames()
    {
        QFETCH(bool, windows);
        QFETCH(QString, dir);
        QFETCH(QString, name);
        platform::setPathStyle(windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
        TDWInterface s(iniPath());
        s.SetVerbose(false);
        s.SetRtsOn(false);
        s.SetReadOutputDir(dir);
        QCOMPARE(s.GetReadCommand(), "\"\" PORT 1 BAUD 19200 READ \"" + name + "\" RUN");
    }

    void readCommandReadsClockEachTime()
    {
        platform::LocalTime now = kExampleClock;
        int readings = 0;
        platform::setClock([&] {
            ++readings;
            return now;
        });
        TDWInterface s(iniPath());
        const QString first = s.GetReadCommand();
        now.second = 4;
        const QString second = s.GetReadCommand();
        QCOMPARE(readings, 2);
        QVERIFY(first.contains("20260307090503.hex"));
        QVERIFY(second.contains("20260307090504.hex"));
        now = {987, 1, 2, 3, 4, 5, 0};
        QVERIFY(s.GetReadCommand().contains("\".\\09870102030405.hex\""));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]).startsWith("--save"))
        return childMain(argv[1], QString::fromLocal8Bit(argv[2]));
    TestDWInterface test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_dwinterface.moc"
