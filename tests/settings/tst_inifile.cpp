#include "Error.h"
#include "IniFile.h"
#include "LocalBytes.h"
#include "LocalText.h"
#include "Platform.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString fileWith(const QByteArray &bytes)
    {
        const QString path = FDir.filePath(QStringLiteral("test.ini"));
        writeAll(path, bytes);
        return path;
    }

private slots:
    void init() { QVERIFY(FDir.isValid()); }
    void cleanup() { platform::setPathStyle(platform::nativePathStyle()); }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray basic("[Sec]\nKey=value\n");
        QTest::addRow("plain") << basic << "Sec"
                               << "Key"
                               << "value";
        QTest::addRow("section case") << basic << "SEC"
                                      << "Key"
                                      << "value";
        QTest::addRow("key case") << basic << "Sec"
                                  << "kEY"
                                  << "value";
        QTest::addRow("missing key") << basic << "Sec"
                                     << "Other"
                                     << "<def>";
        QTest::addRow("missing section") << basic << "Other"
                                         << "Key"
                                         << "<def>";
        QTest::addRow("empty value is a value") << QByteArray("[Sec]\nKey=\n") << "Sec"
                                                << "Key"
                                                << "";
        QTest::addRow("CRLF") << QByteArray("[A]\r\nx=1\r\n[Sec]\r\nKey=v\r\n") << "Sec"
                              << "Key"
                              << "v";
        QTest::addRow("lone CR") << QByteArray("[A]\rx=1\r[Sec]\rKey=v\r") << "Sec"
                                 << "Key"
                                 << "v";
        QTest::addRow("mixed ends") << QByteArray("[A]\rx=1\r\n[Sec]\nKey=v") << "Sec"
                                    << "Key"
                                    << "v";
        QTest::addRow("no final line end") << QByteArray("[Sec]\nKey=v") << "Sec"
                                           << "Key"
                                           << "v";
        QTest::addRow("blanks around names and value")
            << QByteArray("[ \tSec\t ]\n \t Key \t= \t some value \t\n") << "Sec"
            << "Key"
            << "some value";
        QTest::addRow("text after bracket ignored")
            << QByteArray("[Sec] trailing ; words\nKey=v\n") << "Sec"
            << "Key"
            << "v";
        QTest::addRow("bracket without close is no header")
            << QByteArray("[Sec]\n[Other\nKey=v\n") << "Sec"
            << "Key"
            << "v";
        QTest::addRow("double quotes stripped") << QByteArray("[Sec]\nKey=\"a b\"\n") << "Sec"
                                                << "Key"
                                                << "a b";
        QTest::addRow("single quotes stripped") << QByteArray("[Sec]\nKey='a b'\n") << "Sec"
                                                << "Key"
                                                << "a b";
        QTest::addRow("only one pair stripped") << QByteArray("[Sec]\nKey=\"\"a\"\"\n") << "Sec"
                                                << "Key"
                                                << "\"a\"";
        QTest::addRow("unmatched quotes kept") << QByteArray("[Sec]\nKey=\"a'\n") << "Sec"
                                               << "Key"
                                               << "\"a'";
        QTest::addRow("lone quote kept") << QByteArray("[Sec]\nKey=\"\n") << "Sec"
                                         << "Key"
                                         << "\"";
        QTest::addRow("inner equals kept") << QByteArray("[Sec]\nKey=a=b\n") << "Sec"
                                           << "Key"
                                           << "a=b";
        QTest::addRow("semicolon comment") << QByteArray("[Sec]\n ;Key=x\n") << "Sec"
                                           << "Key"
                                           << "<def>";
        QTest::addRow("hash is no comment") << QByteArray("[Sec]\n#Key=x\n") << "Sec"
                                            << "#Key"
                                            << "x";
        QTest::addRow("key before first section") << QByteArray("Key=x\n[Sec]\n") << "Sec"
                                                  << "Key"
                                                  << "<def>";
        QTest::addRow("repeated key: first") << QByteArray("[Sec]\nKey=1\nkey=2\n") << "Sec"
                                             << "KEY"
                                             << "1";
        QTest::addRow("repeated section: first")
            << QByteArray("[Sec]\nA=1\n[Other]\n[sec]\nA=2\nB=3\n") << "Sec"
            << "A"
            << "1";
        QTest::addRow("key only in later repeat") << QByteArray("[Sec]\nA=1\n[sec]\nB=3\n") << "Sec"
                                                  << "B"
                                                  << "<def>";
        QTest::addRow("key of another section") << QByteArray("[Sec]\n[Other]\nKey=v\n") << "Sec"
                                                << "Key"
                                                << "<def>";
        QTest::addRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF[Sec]\nKey=v\n") << "Sec"
                                               << "Key"
                                               << "v";
        QTest::addRow("byte order mark starting a value")
            << QByteArray("[Sec]\nKey=\xEF\xBB\xBFv\n") << "Sec"
            << "Key" << platform::decodeLocal("\xEF\xBB\xBFv"); // a character here, not a mark
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const TIniFile ini(fileWith(file));
        QCOMPARE(ini.ReadString(section, key, QStringLiteral("<def>")), expected);
    }

    void missingFileReadsDefaults()
    {
        const TIniFile ini(FDir.filePath(QStringLiteral("none.ini")));
        QCOMPARE(ini.ReadString("Sec", "Key", "d"), QStringLiteral("d"));
        QCOMPARE(ini.ReadInteger("Sec", "Key", 7), 7);
        QVERIFY(ini.ReadSectionKeys("Sec").isEmpty());
    }

    void valueCutTo2047()
    {
        const QByteArray longValue(3000, 'v');
        const TIniFile ini(fileWith("[Sec]\nKey=" + longValue + "\nQ=\"" + longValue + "\"\n"));
        QCOMPARE(ini.ReadString("Sec", "Key", {}), QString(2047, u'v'));
        QCOMPARE(ini.ReadString("Sec", "Q", {}), QString(2047, u'v'));
    }

    void integersAndBooleans_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("flagDefaultTrue");
        QTest::addColumn<bool>("flagDefaultFalse");
        QTest::addRow("1") << QByteArray("1") << 1 << true << true;
        QTest::addRow("0") << QByteArray("0") << 0 << false << false;
        QTest::addRow("2") << QByteArray("2") << 2 << true << true;
        QTest::addRow("-1") << QByteArray("-1") << -1 << true << true;
        QTest::addRow("yes") << QByteArray("yes") << 99 << true << false;
        QTest::addRow("empty") << QByteArray("") << 99 << true << false;
        QTest::addRow("quoted") << QByteArray("\"16\"") << 16 << true << true;
        QTest::addRow("hex") << QByteArray("0x10") << 16 << true << true;
        QTest::addRow("COM1") << QByteArray("COM1") << 99 << true << false;
        QTest::addRow("blanks") << QByteArray("  5  ") << 5 << true << true;
    }

    void integersAndBooleans()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, integer);
        QFETCH(bool, flagDefaultTrue);
        QFETCH(bool, flagDefaultFalse);
        const TIniFile ini(fileWith("[Sec]\nKey=" + value + "\n"));
        QCOMPARE(ini.ReadInteger("Sec", "Key", 99), integer);
        QCOMPARE(ini.ReadBool("Sec", "Key", true), flagDefaultTrue);
        QCOMPARE(ini.ReadBool("Sec", "Key", false), flagDefaultFalse);
    }

    void listing()
    {
        const TIniFile ini(fileWith("Top=0\n[MRU]\n; note\nMRU_1=a\n\nnoequals\n  Other = b \n"
                                    "mru_1=c\n=nameless\n[X]\nK=d\n[mru]\nLater=e\n"));
        QCOMPARE(ini.ReadSectionKeys("mru"), QStringList({"MRU_1", "Other", "mru_1"}));
        // A repeated key name lists twice and reads the first line's value both times.
        QCOMPARE(ini.ReadSectionValues("MRU"), QStringList({"MRU_1=a", "Other=b", "mru_1=a"}));
    }

    void keyListLimitedTo16384Bytes_data()
    {
        QTest::addColumn<int>("lastLength");
        QTest::addColumn<int>("listed");
        // 163 names of 99 bytes take 16300 bytes with their zero bytes; one
        // more zero byte ends the list. A last name of 82 bytes fills the 16384
        // exactly; one of 83 does not fit, and nothing after it is listed.
        QTest::addRow("fills exactly") << 82 << 164;
        QTest::addRow("one byte too long") << 83 << 163;
    }

    void keyListLimitedTo16384Bytes()
    {
        QFETCH(int, lastLength);
        QFETCH(int, listed);
        QByteArray file("[S]\n");
        for (int i = 0; i < 163; ++i)
            file += QByteArray::number(i).rightJustified(99, 'k') + "=v\n";
        file += QByteArray(lastLength, 'L') + "=v\nz=v\n";
        const TIniFile ini(fileWith(file));
        const QStringList keys = ini.ReadSectionKeys("S");
        QCOMPARE(keys.size(), listed);
        QCOMPARE(keys.last(),
            listed == 164 ? QString(lastLength, u'L')
                          : QString::fromLatin1(QByteArray::number(162).rightJustified(99, 'k')));
    }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::addRow("in place, spelling kept")
            << QByteArray("[Sec]\nA=1\nkEy = old \nB=2\n") << "SEC"
            << "KEY"
            << "new" << QByteArray("[Sec]\nA=1\nkEy=new\nB=2\n");
        QTest::addRow("indentation kept") << QByteArray("[Sec]\n  Key=old\n") << "Sec"
                                          << "Key"
                                          << "new" << QByteArray("[Sec]\n  Key=new\n");
        QTest::addRow("new key at section end")
            << QByteArray("[Sec]\nA=1\n[Other]\nB=2\n") << "Sec"
            << "C"
            << "3" << QByteArray("[Sec]\nA=1\nC=3\n[Other]\nB=2\n");
        QTest::addRow("new key before blank separator")
            << QByteArray("[Sec]\nA=1\n; end of Sec\n\n\n[Other]\n") << "Sec"
            << "C"
            << "3" << QByteArray("[Sec]\nA=1\n; end of Sec\nC=3\n\n\n[Other]\n");
        QTest::addRow("new key into empty section") << QByteArray("[Sec]\n[Other]\n") << "Sec"
                                                    << "C"
                                                    << "3" << QByteArray("[Sec]\nC=3\n[Other]\n");
        QTest::addRow("new key into last section without line end")
            << QByteArray("[Sec]\nA=1") << "Sec"
            << "C"
            << "3" << QByteArray("[Sec]\nA=1\nC=3\n");
        QTest::addRow("new section at file end")
            << QByteArray("; head\n[Sec]\nA=1\n") << "New"
            << "K"
            << "v" << QByteArray("; head\n[Sec]\nA=1\n[New]\nK=v\n");
        QTest::addRow("new section after missing line end")
            << QByteArray("[Sec]\nA=1") << "New"
            << "K"
            << "v" << QByteArray("[Sec]\nA=1\n[New]\nK=v\n");
        QTest::addRow("repeated key: first replaced") << QByteArray("[Sec]\nK=1\nK=2\n") << "Sec"
                                                      << "k"
                                                      << "3" << QByteArray("[Sec]\nK=3\nK=2\n");
        QTest::addRow("repeated section: first written")
            << QByteArray("[Sec]\nA=1\n[sec]\nK=2\n") << "Sec"
            << "K"
            << "3" << QByteArray("[Sec]\nA=1\nK=3\n[sec]\nK=2\n");
        QTest::addRow("CRLF file gets CRLF") << QByteArray("[Sec]\r\nA=1\r\n") << "Sec"
                                             << "B"
                                             << "2" << QByteArray("[Sec]\r\nA=1\r\nB=2\r\n");
        QTest::addRow("CR file gets CR") << QByteArray("[Sec]\rA=1\r") << "New"
                                         << "B"
                                         << "2" << QByteArray("[Sec]\rA=1\r[New]\rB=2\r");
        QTest::addRow("dominant end wins")
            << QByteArray("[Sec]\r\nA=1\nB=1\r\nC=1\r\n") << "Sec"
            << "D"
            << "2" << QByteArray("[Sec]\r\nA=1\nB=1\r\nC=1\r\nD=2\r\n");
        QTest::addRow("line ends of other lines kept") << QByteArray("[Sec]\rA=1\nB=1\r\n") << "Sec"
                                                       << "A"
                                                       << "2" << QByteArray("[Sec]\rA=2\nB=1\r\n");
        QTest::addRow("empty value keeps key") << QByteArray("[Sec]\nA=1\n") << "Sec"
                                               << "A"
                                               << "" << QByteArray("[Sec]\nA=\n");
        QTest::addRow("comments and keys before first section kept")
            << QByteArray("Top=1\n;c\n#h\n[Sec]\n") << "Sec"
            << "A"
            << "1" << QByteArray("Top=1\n;c\n#h\n[Sec]\nA=1\n");
        QTest::addRow("line breaks in a value do not add lines")
            << QByteArray("[Sec]\n") << "Sec"
            << "A"
            << "x\r\n[Evil]\nB=1" << QByteArray("[Sec]\nA=x  [Evil] B=1\n");
        QTest::addRow("blanks at the ends kept inside quotes")
            << QByteArray("[Sec]\n") << "Sec"
            << "A"
            << " a b\t" << QByteArray("[Sec]\nA=\" a b\t\"\n");
        QTest::addRow("outer quotes kept inside quotes")
            << QByteArray("[Sec]\n") << "Sec"
            << "A"
            << "'x'" << QByteArray("[Sec]\nA=\"'x'\"\n");
        QTest::addRow("unmatched quotes as they are") << QByteArray("[Sec]\n") << "Sec"
                                                      << "A"
                                                      << "\"x'" << QByteArray("[Sec]\nA=\"x'\n");
        QTest::addRow("a key named like a header line is no header")
            << QByteArray("[Sec]\n[X\n") << "Sec"
            << "A"
            << "1" << QByteArray("[Sec]\n[X\nA=1\n");
        // Latin-1 names and values, as read from the file, keep their bytes.
        QTest::addRow("foreign bytes in names and value")
            << QByteArray("[Gr\xFC\xDF]\nK\xE4y=old\n") << platform::decodeLocal("GR\xFC\xDF")
            << platform::decodeLocal("K\xE4y") << platform::decodeLocal("M\xFCller \xC4")
            << QByteArray("[Gr\xFC\xDF]\nK\xE4y=M\xFCller \xC4\n");
        QTest::addRow("foreign names that differ stay apart")
            << QByteArray("[S]\nK\xC4=1\n") << "S" << platform::decodeLocal("K\xE4") << "2"
            << (highBytesAreLetters() ? QByteArray("[S]\nK\xC4=2\n") // one name: Ä and ä
                                      : QByteArray("[S]\nK\xC4=1\nK\xE4=2\n"));
    }

    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = fileWith(before);
        TIniFile ini(path);
        ini.WriteString(section, key, value);
        QCOMPARE(ini.ToBytes(), after);
        QCOMPARE(readAll(path), before); // nothing reaches the file before Save
        ini.Save();
        QCOMPARE(readAll(path), after);
        if (!value.contains(u'\n'))
            QCOMPARE(TIniFile(path).ReadString(section, key, "<def>"), value);
    }

    void newFileLineEnd_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QByteArray>("expected");
        QTest::addRow("windows") << true << QByteArray("[Sec]\r\nA=1\r\nB=0\r\n");
        QTest::addRow("posix") << false << QByteArray("[Sec]\nA=1\nB=0\n");
    }

    void newFileLineEnd()
    {
        QFETCH(bool, windows);
        QFETCH(QByteArray, expected);
        platform::setPathStyle(windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
        const QString path = FDir.filePath(QStringLiteral("new.ini"));
        QFile::remove(path);
        TIniFile ini(path);
        ini.WriteInteger("Sec", "A", 1);
        ini.WriteBool("Sec", "B", false);
        ini.Save();
        QCOMPARE(readAll(path), expected);
    }

    void eraseSection()
    {
        TIniFile ini(fileWith("[A]\nx=1\n[MRU]\nMRU_1=a\n; c\n\n[B]\ny=2\n[mru]\nMRU_9=z\n[C]\n"));
        ini.EraseSection("Mru");
        QCOMPARE(ini.ToBytes(), QByteArray("[A]\nx=1\n[B]\ny=2\n[C]\n"));
        ini.EraseSection("Missing");
        QCOMPARE(ini.ToBytes(), QByteArray("[A]\nx=1\n[B]\ny=2\n[C]\n"));
        ini.WriteString("MRU", "MRU_1", "b");
        QCOMPARE(ini.ToBytes(), QByteArray("[A]\nx=1\n[B]\ny=2\n[C]\n[MRU]\nMRU_1=b\n"));

        // New lines follow the lines that are left, not the erased ones: a
        // save and a save of its result write the same bytes.
        TIniFile mixed(fileWith("[A]\nx=1\n[MRU]\r1=a\r2=b\r"));
        mixed.EraseSection("MRU");
        mixed.WriteString("MRU", "MRU_1", "a");
        QCOMPARE(mixed.ToBytes(), QByteArray("[A]\nx=1\n[MRU]\nMRU_1=a\n"));
    }

    void foreignBytesKeptExactly()
    {
        // Latin-1 ("M\xFCller", "\xC4nderung"), a byte order mark after a
        // foreign byte, overlong forms, an encoded surrogate, a code point
        // beyond U+10FFFF and a cut sequence: read and written back unchanged,
        // every value keeps its bytes.
        const QByteArray before(
            "[Sec]\r\nName=M\xFCller\r\n; \xC4nderung\r\nB=\xE4\xEF\xBB\xBF\r\n"
            "C=\xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80\r\n[Sec2]\nK=\xE9t\xE9\xE2\x82\n");
        const QString path = fileWith(before);
        TIniFile ini(path);
        for (const QString section : {"Sec", "Sec2"}) {
            for (const QString &key : ini.ReadSectionKeys(section))
                ini.WriteString(section, key, ini.ReadString(section, key, QString()));
        }
        ini.WriteString("Sec2", "New", QStringLiteral("1"));
        ini.Save();
        QCOMPARE(readAll(path), before + "New=1\r\n"); // CRLF dominates the file
    }

#ifndef Q_OS_WIN
    // POSIX file modes and symbolic links.
    void saveKeepsModeAndLink()
    {
        // A link to the INI file stays a link, and the file keeps its mode.
        QTemporaryDir dir;
        const QString real = dir.filePath("real.ini"), link = dir.filePath("link.ini");
        writeAll(real, "[Sec]\nA=1\n");
        QVERIFY(chmod(QFile::encodeName(real), 0604) == 0);
        QVERIFY(QFile::link(real, link));
        TIniFile ini(link);
        ini.WriteString("Sec", "A", "2");
        ini.Save();
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QCOMPARE(readAll(real), QByteArray("[Sec]\nA=2\n"));
        struct stat info;
        QVERIFY(stat(QFile::encodeName(real), &info) == 0);
        QCOMPARE(info.st_mode & 07777, 0604u);
    }
#endif

    void unwritableFileKeepsOldOne_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addRow("parent is a file") << "parent";
        QTest::addRow("name too long for a temporary file") << "long";
#ifndef Q_OS_WIN
        QTest::addRow("write fails midway") << "size"; // a POSIX file size limit
#endif
    }

    void unwritableFileKeepsOldOne()
    {
        // Root ignores permission bits, so unwritable places are made in ways
        // that hold for every user.
        QFETCH(QString, how);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray old("[Sec]\nA=1\n");
        QString path;
        if (how == "parent") {
            writeAll(dir.filePath("blocker"), "not a folder");
            path = dir.filePath("blocker/test.ini");
        } else {
            // "long": the longest name the file system allows, so no temporary
            // name can be made beside the file.
            path = dir.filePath(how == "long" ? QString(255 - 4, u'n') + ".ini" : QString("t.ini"));
            writeAll(path, old);
            QCOMPARE(readAll(path), old);
        }
        TIniFile ini(path);
        ini.WriteString("Sec", "A", QString(100000, u'x'));

        QString message;
#ifndef Q_OS_WIN
        struct rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        if (how == "size") {
            // Files may grow to 4 KiB only: the new contents cannot be written whole.
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = saved;
            small.rlim_cur = 4096;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
#endif
        try {
            ini.Save();
        } catch (const TError &e) {
            message = e.Message();
        }
#ifndef Q_OS_WIN
        setrlimit(RLIMIT_FSIZE, &saved);
#endif

        QCOMPARE(message, QStringLiteral("Unable to write to ") + path);
        if (how != "parent") {
            QCOMPARE(readAll(path), old);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                QStringList {QFileInfo(path).fileName()}); // no temporary file left behind
        }
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
