// The substitute programmer tool: which command lines it takes, what it
// writes, and what it records for the end-to-end tests.

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestXwisp2w : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FDir;
    QString FGoodHex;

    struct Run
    {
        int exitCode = -1;
        QByteArray out, err;
    };

    Run run(const QStringList &args, const QByteArray &input = QByteArray(),
        const QString &argsLog = QString())
    {
        QProcess process;
        if (!argsLog.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XWISP2W_ARGS_LOG"), argsLog);
            process.setProcessEnvironment(env);
        }
        process.start(QStringLiteral(DW_BUILD_DIR "/xwisp2w"), args);
        process.waitForStarted();
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(10000))
            process.kill();
        return {
            process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QString path(const QString &name) const { return FDir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        FGoodHex = path(QStringLiteral("good.hex"));
        QFile f(FGoodHex);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(":0400000001020304F2\r\n:00000001FF\r\n");
    }

    void acceptsCommandLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addRow("program, defaults") << "VERBOSE PORT 1 BAUD 19200 RTS ON GO %1";
        QTest::addRow("program, all words")
            << "VERBOSE PORT 2 BAUD 57600 RTS ON TARGET 16F84A GO %1 PAUSE Done";
        QTest::addRow("program, minimal") << "PORT 1 BAUD 19200 GO %1";
        QTest::addRow("negative numbers") << "PORT -1 BAUD -1 GO %1";
        QTest::addRow("read") << "VERBOSE PORT 1 BAUD 19200 RTS ON READ %2 RUN";
        QTest::addRow("read with target") << "PORT 2 BAUD 57600 TARGET 16F84A READ %2 RUN";
    }

    void acceptsCommandLines()
    {
        QFETCH(QString, line);
        const QString readFile = path(QStringLiteral("read-%1.hex").arg(QTest::currentDataTag()));
        const QStringList args = line.arg(FGoodHex, readFile).split(u' ');
        const Run r = run(args, "\n");
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
    }

    void rejectsOtherCommandLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("complaint");
        QTest::addRow("nothing") << "" << QByteArray("expected PORT");
        QTest::addRow("words out of order")
            << "PORT 1 VERBOSE BAUD 1 GO %1" << QByteArray("expected BAUD");
        QTest::addRow("lower case") << "port 1 BAUD 1 GO %1" << QByteArray("expected PORT");
        QTest::addRow("port not a number")
            << "PORT COM1 BAUD 1 GO %1" << QByteArray("PORT needs a whole number");
        QTest::addRow("RTS OFF") << "PORT 1 BAUD 1 RTS OFF GO %1" << QByteArray("expected ON");
        QTest::addRow("target without a name")
            << "PORT 1 BAUD 1 TARGET GO %1" << QByteArray("TARGET needs a PIC type");
        QTest::addRow("no action") << "PORT 1 BAUD 1" << QByteArray("expected GO or READ");
        QTest::addRow("READ without RUN")
            << "PORT 1 BAUD 1 READ x.hex" << QByteArray("expected RUN");
        QTest::addRow("trailing word")
            << "PORT 1 BAUD 1 GO %1 EXTRA" << QByteArray("unexpected \"EXTRA\"");
        QTest::addRow("PAUSE without text")
            << "PORT 1 BAUD 1 GO %1 PAUSE" << QByteArray("PAUSE needs a value");
    }

    void rejectsOtherCommandLines()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, complaint);
        const QStringList args = line.arg(FGoodHex).split(u' ', Qt::SkipEmptyParts);
        const Run r = run(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(complaint), r.err.constData());
    }

    void checksTheHexFileToProgram_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("complaint");
        QTest::addRow("bad checksum")
            << QByteArray(":0400000001020304F3\n:00000001FF\n") << QByteArray("bad checksum");
        QTest::addRow("no end record")
            << QByteArray(":0400000001020304F2\n") << QByteArray("no end record");
        QTest::addRow("not hex") << QByteArray("hello\n") << QByteArray("not an Intel HEX");
        QTest::addRow("short record")
            << QByteArray(":0400000001F2\n:00000001FF\n") << QByteArray("bad length");
    }

    void checksTheHexFileToProgram()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, complaint);
        const QString file = path(QStringLiteral("bad.hex"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        const Run r = run({"PORT", "1", "BAUD", "1", "GO", file});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains(complaint), r.err.constData());
    }

    void missingHexFileFails()
    {
        const Run r = run({"PORT", "1", "BAUD", "1", "GO", path(QStringLiteral("none.hex"))});
        QCOMPARE(r.exitCode, 3);
        QVERIFY(r.err.contains("cannot open"));
    }

    void readWritesAHexFileItAcceptsBack()
    {
        const QString file = path(QStringLiteral("20260307090503.hex"));
        QCOMPARE(run({"PORT", "1", "BAUD", "1", "READ", file, "RUN"}).exitCode, 0);
        QVERIFY(QFile::exists(file));
        QCOMPARE(run({"PORT", "1", "BAUD", "1", "GO", file}).exitCode, 0);
    }

    void pausePrintsTheTextAndWaitsForEnter()
    {
        QProcess process;
        process.start(QStringLiteral(DW_BUILD_DIR "/xwisp2w"),
            {"PORT", "1", "BAUD", "1", "GO", FGoodHex, "PAUSE", " Done "});
        QVERIFY(process.waitForStarted());
        QByteArray out;
        QTRY_VERIFY((out += process.readAllStandardOutput()).contains(" Done "));
        QVERIFY(!process.waitForFinished(300));
        process.write("\n");
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 0);
    }

    void recordsEveryRunsArguments()
    {
        const QString log = path(QStringLiteral("args.log"));
        const QStringList first {"PORT", "1", "BAUD", "1", "GO", "C:\\Pic\\blink \"x\".hex"};
        const QStringList second {"nonsense", QString::fromUtf8("\xc3\xa4")};
        run(first, {}, log);
        run(second, {}, log);
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(
            QJsonDocument::fromJson(lines.at(0)).array().toVariantList(), QVariant(first).toList());
        QCOMPARE(QJsonDocument::fromJson(lines.at(1)).array().toVariantList(),
            QVariant(second).toList());
    }
};

QTEST_GUILESS_MAIN(TestXwisp2w)
#include "tst_xwisp2w.moc"
