#include "MyDateTime.h"
#include "Platform.h"
#include "TextUtils.h"

#include <QtTest>

class TestTextUtils : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        platform::setPathStyle(platform::nativePathStyle());
        platform::setClock({});
    }

    void tryStrToInt32_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");

        QTest::addRow("plain") << "19200" << true << 19200;
        QTest::addRow("zero") << "0" << true << 0;
        QTest::addRow("leading zeros") << "007" << true << 7;
        QTest::addRow("many leading zeros") << "000000000000000000012" << true << 12;
        QTest::addRow("plus") << "+5" << true << 5;
        QTest::addRow("minus") << "-3" << true << -3;
        QTest::addRow("minus zero") << "-0" << true << 0;
        QTest::addRow("max") << "2147483647" << true << 2147483647;
        QTest::addRow("min") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::addRow("above max") << "2147483648" << false << 0;
        QTest::addRow("below min") << "-2147483649" << false << 0;
        QTest::addRow("huge") << "99999999999999999999999" << false << 0;
        QTest::addRow("leading spaces") << "   42" << true << 42;
        QTest::addRow("leading spaces before sign") << "  -42" << true << -42;
        QTest::addRow("leading tab") << "\t42" << false << 0;
        QTest::addRow("space after sign") << "- 42" << false << 0;
        QTest::addRow("trailing space") << "42 " << false << 0;
        QTest::addRow("trailing letters") << "12abc" << false << 0;
        QTest::addRow("double sign") << "--1" << false << 0;
        QTest::addRow("empty") << "" << false << 0;
        QTest::addRow("only spaces") << "   " << false << 0;
        QTest::addRow("only sign") << "-" << false << 0;
        QTest::addRow("word") << "COM1" << false << 0;
        QTest::addRow("yes") << "yes" << false << 0;
        QTest::addRow("decimal point") << "1.5" << false << 0;
        QTest::addRow("non-ASCII digit") << QString::fromUtf8("\u0661") << false << 0;

        QTest::addRow("dollar") << "$10" << true << 16;
        QTest::addRow("x") << "x10" << true << 16;
        QTest::addRow("X") << "X1f" << true << 31;
        QTest::addRow("0x") << "0x10" << true << 16;
        QTest::addRow("0X mixed case") << "0XaB" << true << 0xAB;
        QTest::addRow("hex after spaces") << "  $ff" << true << 255;
        QTest::addRow("hex all ones") << "$FFFFFFFF" << true << -1;
        QTest::addRow("hex top bit") << "0x80000000" << true << int(-2147483647 - 1);
        QTest::addRow("hex max positive") << "$7FFFFFFF" << true << 2147483647;
        QTest::addRow("hex leading zeros") << "$000000000001" << true << 1;
        QTest::addRow("hex nine digits") << "$100000000" << false << 0;
        QTest::addRow("hex prefix only") << "$" << false << 0;
        QTest::addRow("0x prefix only") << "0x" << false << 0;
        QTest::addRow("hex bad digit") << "$1G" << false << 0;
        QTest::addRow("hex trailing space") << "$10 " << false << 0;
        QTest::addRow("sign and dollar") << "-$10" << false << 0;
        QTest::addRow("sign and 0x") << "+0x10" << false << 0;
        QTest::addRow("double prefix") << "0x$10" << false << 0;
        QTest::addRow("00x") << "00x10" << false << 0;
        QTest::addRow("hex digits without prefix") << "ff" << false << 0;
    }

    void tryStrToInt32()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        qint32 out = 12345;
        QCOMPARE(TryStrToInt32(text, out), ok);
        QCOMPARE(out, ok ? value : 12345); // untouched on failure
    }

    void zeroPad_data()
    {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::addRow("shorter") << qint64(7) << 2 << "07";
        QTest::addRow("exact") << qint64(12) << 2 << "12";
        QTest::addRow("longer unchanged") << qint64(12345) << 4 << "12345";
        QTest::addRow("zero") << qint64(0) << 4 << "0000";
        QTest::addRow("width zero") << qint64(5) << 0 << "5";
    }

    void zeroPad()
    {
        QFETCH(qint64, number);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(ZeroPad(number, width), expected);
    }

    void addTrailingBackslash_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addRow("win plain") << true << "D:\\Dumps"
                                   << "D:\\Dumps\\";
        QTest::addRow("win ended") << true << "D:\\Dumps\\"
                                   << "D:\\Dumps\\";
        QTest::addRow("win slash counts not") << true << "D:/Dumps/"
                                              << "D:/Dumps/\\";
        QTest::addRow("win empty") << true << ""
                                   << "\\";
        QTest::addRow("win trailing space") << true << " D:\\Dumps "
                                            << " D:\\Dumps \\";
        QTest::addRow("posix plain") << false << "/tmp/dumps"
                                     << "/tmp/dumps/";
        QTest::addRow("posix ended") << false << "/tmp/dumps/"
                                     << "/tmp/dumps/";
        QTest::addRow("posix backslash counts not") << false << "dumps\\"
                                                    << "dumps\\/";
        QTest::addRow("posix empty") << false << ""
                                     << "/";
    }

    void addTrailingBackslash()
    {
        QFETCH(bool, windows);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        platform::setPathStyle(windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
        QCOMPARE(AddTrailingBackslash(path), expected);
    }

    void trimText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addRow("spaces") << "  a b  "
                                << "a b";
        QTest::addRow("controls") << QString("\t\r\n\x01"
                                             "a\x1f\x7f\x20")
                                  << "a\x1f\x7f";
        QTest::addRow("only blanks") << " \t "
                                     << "";
        QTest::addRow("non-breaking space kept")
            << QStringLiteral(u"\u00a0a\u00a0") << QStringLiteral(u"\u00a0a\u00a0");
        QTest::addRow("empty") << ""
                               << "";
    }

    void trimText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(TrimText(text), expected);
    }

    void stamps_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addRow("worked example") << 2026 << 3 << 7 << 9 << 5 << 3 << "20260307090503"
                                        << "2026-03-07"
                                        << "09:05:03";
        QTest::addRow("new year") << 2027 << 1 << 5 << 0 << 0 << 7 << "20270105000007"
                                  << "2027-01-05"
                                  << "00:00:07";
        QTest::addRow("year 999") << 999 << 12 << 31 << 23 << 59 << 59 << "09991231235959"
                                  << "0999-12-31"
                                  << "23:59:59";
        QTest::addRow("year 5") << 5 << 6 << 15 << 12 << 30 << 0 << "00050615123000"
                                << "0005-06-15"
                                << "12:30:00";
    }

    void stamps()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, second);
        QFETCH(QString, stamp);
        QFETCH(QString, date);
        QFETCH(QString, time);
        const platform::LocalTime moment {quint16(year), quint16(month), quint16(day),
            quint16(hour), quint16(minute), quint16(second), 999};
        const TMyDateTime t = TMyDateTime::CreateAt(moment);
        QCOMPARE(t.Stamp(), stamp);
        QCOMPARE(t.DateStr(QStringLiteral("-")), date);
        QCOMPARE(t.TimeStr(QStringLiteral(":")), time);
        QCOMPARE(t.Millisecond(), quint16(999));
    }

    void createReadsTheClockOnce()
    {
        // A clock that moves across midnight between readings: a stamp taken
        // from two readings would mix the days.
        int readings = 0;
        platform::setClock([&] {
            ++readings;
            return readings == 1 ? platform::LocalTime {2026, 3, 7, 23, 59, 59, 999}
                                 : platform::LocalTime {2026, 3, 8, 0, 0, 0, 0};
        });
        const TMyDateTime t = TMyDateTime::Create();
        QCOMPARE(readings, 1);
        QCOMPARE(t.Stamp(), QStringLiteral("20260307235959"));
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
