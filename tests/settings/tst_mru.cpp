#include "MRU.h"

#include <QtTest>

namespace {

QStringList names(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QStringLiteral("f%1.hex").arg(i);
    return list;
}

} // namespace

class TestMRU : public QObject
{
    Q_OBJECT

private slots:
    void add_data()
    {
        QTest::addColumn<int>("maxCount");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("after");

        QTest::addRow("into empty") << 9 << QStringList {} << "a" << QStringList {"a"};
        QTest::addRow("new at head")
            << 9 << QStringList {"a", "b"} << "c" << QStringList {"c", "a", "b"};
        QTest::addRow("middle moves to front")
            << 9 << QStringList {"a", "b", "c", "d"} << "c" << QStringList {"c", "a", "b", "d"};
        QTest::addRow("head stays") << 9 << QStringList {"a", "b"} << "a" << QStringList {"a", "b"};
        QTest::addRow("last moves to front")
            << 9 << QStringList {"a", "b", "c"} << "c" << QStringList {"c", "a", "b"};
        QTest::addRow("tenth drops oldest")
            << 9 << names(1, 9) << "new" << QStringList {"new"} + names(1, 8);
        QTest::addRow("case of the new name wins")
            << 9 << QStringList {"x", "C:\\Pic\\a.hex"} << "c:\\PIC\\A.HEX"
            << QStringList {"c:\\PIC\\A.HEX", "x"};
        QTest::addRow("non-ASCII case") << 9 << QStringList {"x", QString::fromUtf8("\xC3\x84.hex")}
                                        << QString::fromUtf8("\xC3\xA4.hex")
                                        << QStringList {QString::fromUtf8("\xC3\xA4.hex"), "x"};
        QTest::addRow("not normalised")
            << 9 << QStringList {"C:\\Pic\\a.hex"} << "C:\\Pic\\.\\a.hex"
            << QStringList {"C:\\Pic\\.\\a.hex", "C:\\Pic\\a.hex"};
        QTest::addRow("blanks matter") << 9 << QStringList {"a"} << " a" << QStringList {" a", "a"};
        QTest::addRow("filled twice: only first removed")
            << 9 << QStringList {"x", "a", "y", "A"} << "a" << QStringList {"a", "x", "y", "A"};
        QTest::addRow("filled with twelve")
            << 9 << names(1, 12) << "new" << QStringList {"new"} + names(1, 8);
        QTest::addRow("filled with twelve, add one of them")
            << 9 << names(1, 12) << "f11.hex" << QStringList {"f11.hex"} + names(1, 8);
        QTest::addRow("max zero") << 0 << QStringList {"a", "b"} << "c" << QStringList {};
        QTest::addRow("max one") << 1 << QStringList {"a", "b"} << "b" << QStringList {"b"};
        QTest::addRow("empty name") << 9 << QStringList {"a"} << "" << QStringList {"", "a"};
        QTest::addRow("empty name twice")
            << 9 << QStringList {"", "a"} << "" << QStringList {"", "a"};
    }

    void add()
    {
        QFETCH(int, maxCount);
        QFETCH(QStringList, before);
        QFETCH(QString, name);
        QFETCH(QStringList, after);
        TMRU mru(maxCount);
        QCOMPARE(mru.MaxCount(), maxCount);
        mru.Items() = before;
        mru.Add(name);
        QCOMPARE(mru.Items(), after);
    }

    void remove_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("after");
        QTest::addRow("absent") << QStringList {"a", "b"} << "c" << QStringList {"a", "b"};
        QTest::addRow("from empty") << QStringList {} << "c" << QStringList {};
        QTest::addRow("first of two copies")
            << QStringList {"b", "A", "a"} << "a" << QStringList {"b", "a"};
        QTest::addRow("any case") << QStringList {"C:\\Pic\\a.hex", "b"} << "c:\\PIC\\A.HEX"
                                  << QStringList {"b"};
        QTest::addRow("no prefix match") << QStringList {"ab"} << "a" << QStringList {"ab"};
    }

    void remove()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, name);
        QFETCH(QStringList, after);
        TMRU mru(9);
        mru.Items() = before;
        mru.Remove(name);
        QCOMPARE(mru.Items(), after);
    }

    void boundHoldsOverManyAdds()
    {
        TMRU mru(9);
        QVERIFY(mru.Items().isEmpty());
        for (int i = 1; i <= 20; ++i)
            mru.Add(QStringLiteral("f%1.hex").arg(i));
        QCOMPARE(mru.Items().size(), 9);
        QCOMPARE(mru.Items().first(), QStringLiteral("f20.hex"));
        QCOMPARE(mru.Items().last(), QStringLiteral("f12.hex"));
    }
};

QTEST_GUILESS_MAIN(TestMRU)
#include "tst_mru.moc"
