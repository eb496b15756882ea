#include "LocalBytes.h"
#include "LocalText.h"
#include "Platform.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        platform::setPathStyle(platform::nativePathStyle());
        platform::setClock({});
    }

    void iniPath_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("ini");
        QTest::addRow("win extension") << true << "C:\\Tools\\picfront.exe"
                                       << "C:\\Tools\\picfront.ini";
        QTest::addRow("win no extension") << true << "C:\\Tools\\picfront"
                                          << "C:\\Tools\\picfront.ini";
        QTest::addRow("win dot in folder") << true << "C:\\My.Tools\\picfront"
                                           << "C:\\My.Tools\\picfront.ini";
        QTest::addRow("win two dots") << true << "C:\\Tools\\pic.front.exe"
                                      << "C:\\Tools\\pic.front.ini";
        QTest::addRow("win drive only") << true << "C:picfront"
                                        << "C:picfront.ini";
        QTest::addRow("win dot before colon") << true << "a.b:picfront"
                                              << "a.b:picfront.ini";
        QTest::addRow("win forward slash") << true << "C:/My.Tools/picfront"
                                           << "C:/My.Tools/picfront.ini";
        QTest::addRow("win trailing dot") << true << "C:\\Tools\\picfront."
                                          << "C:\\Tools\\picfront.ini";
        QTest::addRow("posix extension") << false << "/opt/dw/dranelwisp.bin"
                                         << "/opt/dw/dranelwisp.ini";
        QTest::addRow("posix no extension") << false << "/opt/dw/dranelwisp"
                                            << "/opt/dw/dranelwisp.ini";
        QTest::addRow("posix dot in folder") << false << "/opt/dw.1/dranelwisp"
                                             << "/opt/dw.1/dranelwisp.ini";
        QTest::addRow("posix backslash is a name character") << false << "/opt/a.b\\prog"
                                                             << "/opt/a.ini";
        QTest::addRow("posix colon is a name character") << false << "/opt/a.b:prog"
                                                         << "/opt/a.ini";
    }

    void iniPath()
    {
        QFETCH(bool, windows);
        QFETCH(QString, executable);
        QFETCH(QString, ini);
        platform::setPathStyle(windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
        QCOMPARE(platform::iniPathFor(executable), ini);
    }

    // Which INI file a portable and an installed build use.
    void settingsIniPath_data()
    {
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("beside"); // what lies beside the executable
        QTest::addColumn<bool>("usesBeside");
        QTest::addRow("portable, nothing beside") << true << "" << true;
        QTest::addRow("portable, INI beside") << true << "file" << true;
        QTest::addRow("installed, nothing beside") << false << "" << false;
        QTest::addRow("installed, INI beside wins") << false << "file" << true;
        QTest::addRow("installed, folder of that name") << false << "folder" << false;
    }

    void settingsIniPath()
    {
        QFETCH(bool, portable);
        QFETCH(QString, beside);
        QFETCH(bool, usesBeside);
        QTemporaryDir dir;
        const QString besideIni = dir.filePath(QStringLiteral("bin/dranelwisp.ini"));
        QVERIFY(QDir(dir.path()).mkpath(beside == "folder" ? besideIni : QStringLiteral("bin")));
        QFile file(besideIni);
        QVERIFY(beside != "file" || file.open(QIODevice::WriteOnly));
        file.close();
        const QString config = dir.filePath(QStringLiteral("config/dranelwisp"));
        QCOMPARE(platform::settingsIniPath(
                     dir.filePath(QStringLiteral("bin/dranelwisp")), portable, config),
            usesBeside
                ? besideIni
                : config + platform::conventions().delimiter + QStringLiteral("dranelwisp.ini"));
    }

    void executablePathIsThisProgram()
    {
        // Whatever conventions a test chose, the path names the real file.
        platform::setPathStyle(platform::PathStyle::Windows);
        const QString path = platform::executablePath();
        QVERIFY(platform::fileExists(path));
#ifdef Q_OS_WIN
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("tst_platform.exe"));
#else
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("tst_platform"));
#endif
    }

    void conventions()
    {
        platform::setPathStyle(platform::PathStyle::Windows);
        QCOMPARE(platform::conventions().delimiter, QChar(u'\\'));
        QCOMPARE(platform::conventions().defaultReadOutputDir, QStringLiteral(".\\"));
        platform::setPathStyle(platform::PathStyle::Posix);
        QCOMPARE(platform::conventions().delimiter, QChar(u'/'));
        QCOMPARE(platform::conventions().defaultReadOutputDir, QStringLiteral("./"));
#ifdef Q_OS_WIN
        QCOMPARE(platform::nativePathStyle(), platform::PathStyle::Windows);
#else
        QCOMPARE(platform::nativePathStyle(), platform::PathStyle::Posix);
#endif
    }

    void fileExists()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile f(dir.filePath("a.hex"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(platform::fileExists(dir.filePath("a.hex")));
        QVERIFY(!platform::fileExists(dir.path())); // a folder is no file
        QVERIFY(!platform::fileExists(dir.filePath("b.hex")));
        QVERIFY(!platform::fileExists(QString()));
    }

    void sameText_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("same");
        QTest::addRow("equal") << "C:\\Pic\\a.hex"
                               << "C:\\Pic\\a.hex" << true;
        QTest::addRow("ASCII case") << "C:\\Pic\\a.hex"
                                    << "c:\\PIC\\A.HEX" << true;
        QTest::addRow("umlaut case")
            << QString::fromUtf8("\xC3\x84") << QString::fromUtf8("\xC3\xA4") << true;
        QTest::addRow("accent differs") << QString::fromUtf8("\xC3\xA9") << "e" << false;
        QTest::addRow("different") << "a.hex"
                                   << "b.hex" << false;
        QTest::addRow("prefix") << "a.hex"
                                << "a.hex2" << false;
        QTest::addRow("not normalised") << "C:\\Pic\\a.hex"
                                        << "C:\\Pic\\.\\a.hex" << false;
        QTest::addRow("blank") << "a"
                               << " a" << false;
        QTest::addRow("both empty") << ""
                                    << "" << true;
        QTest::addRow("one empty") << ""
                                   << "a" << false;
        // Latin-1 capital and small A umlaut: bytes of an unknown encoding stay
        // distinct; letters of the local code page compare without case.
        QTest::addRow("foreign bytes differ")
            << platform::decodeLocal("C:\\\xC4.hex") << platform::decodeLocal("C:\\\xE4.hex")
            << highBytesAreLetters();
        QTest::addRow("foreign bytes, ASCII case") << platform::decodeLocal("C:\\\xC4.hex")
                                                   << platform::decodeLocal("c:\\\xC4.HEX") << true;
    }

    void sameText()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, same);
        QCOMPARE(platform::sameText(a, b), same);
        QCOMPARE(platform::sameText(b, a), same);
    }

    void clock()
    {
        int readings = 0;
        platform::setClock([&] {
            ++readings;
            return platform::LocalTime {2026, 3, 7, 9, 5, 3, 0};
        });
        QCOMPARE(platform::localNow().year, quint16(2026));
        QCOMPARE(readings, 1);
        platform::setClock({});
        const platform::LocalTime t = platform::localNow();
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(readings, 1); // the system clock is back
        QVERIFY(qAbs(QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second))
                         .secsTo(now))
            <= 2);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
