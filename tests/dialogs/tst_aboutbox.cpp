// The about box on its own and the byte routine that hides its extra text.
#include "Colors.h"
#include "FormPainter.h"
#include "TextScrambler.h"
#include "ufrmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestAboutBox : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void descramble_data();
    void descramble();
    void descrambleIsItsOwnInverse_data();
    void descrambleIsItsOwnInverse();
    void descrambleMapsEveryByteToAnother();

    void hiddenTextUnscrambledWhenFirstShown();
    void formLayout();
    void plainBackgroundWithoutPainter();
    void tilesWithPainter();
    void okClosesAndKeepsTheBox();
};

void TestAboutBox::cleanup()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestAboutBox::descramble_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::addRow("empty") << QByteArray() << QByteArray();
    QTest::addRow("abc") << QByteArray("abc") << QByteArray::fromHex("e9d9c9");
    QTest::addRow("zero byte") << QByteArray(1, '\0') << QByteArray::fromHex("ff");
    QTest::addRow("all bits") << QByteArray::fromHex("ff") << QByteArray::fromHex("00");
    QTest::addRow("halves differ") << QByteArray::fromHex("12") << QByteArray::fromHex("de");
    QTest::addRow("low half only") << QByteArray::fromHex("0f") << QByteArray::fromHex("0f");
    QTest::addRow("high bit set") << QByteArray::fromHex("80a5") << QByteArray::fromHex("f7a5");
}

void TestAboutBox::descramble()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(TTextScrambler().Descramble(input), expected);
}

void TestAboutBox::descrambleIsItsOwnInverse_data()
{
    QTest::addColumn<QByteArray>("input");

    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(char(b));
    QTest::addRow("every byte value") << everyByte;
    QTest::addRow("text") << QByteArray("Dranel-Wisp Command Interface");
    QTest::addRow("embedded zeros") << QByteArray("a\0b\0\0c", 6);
    QTest::addRow("long") << QByteArray(100000, '\x5a');
}

void TestAboutBox::descrambleIsItsOwnInverse()
{
    QFETCH(QByteArray, input);
    const TTextScrambler scrambler;
    const QByteArray once = scrambler.Descramble(input);
    QCOMPARE(once.size(), input.size());
    QCOMPARE(scrambler.Descramble(once), input);
}

void TestAboutBox::descrambleMapsEveryByteToAnother()
{
    // Distinct bytes stay distinct, so nothing of the text is lost.
    QSet<char> seen;
    for (int b = 0; b < 256; ++b)
        seen.insert(TTextScrambler().Descramble(QByteArray(1, char(b))).at(0));
    QCOMPARE(seen.size(), 256);
}

void TestAboutBox::hiddenTextUnscrambledWhenFirstShown()
{
    const QByteArray stored = TAboutBox::StoredHiddenText();
    QCOMPARE(stored.size(), 39);

    TAboutBox box;
    box.show();
    const QString shown = box.lbHiddenText->text();
    QCOMPARE(shown, QString::fromLatin1(TTextScrambler().Descramble(stored)));
    QCOMPARE(shown.size(), 39);
    for (const QChar c : shown)
        QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7f, "printable text");
    // The stored form is not the text itself.
    QVERIFY(!stored.contains(shown.left(4).toLatin1()));

    QVERIFY(box.lbHiddenText->isHidden());
    QCOMPARE(box.lbHiddenText->parentWidget(), box.Panel1);
    QCOMPARE(box.lbHiddenText->pos(), QPoint(8, 120));
    // Sized to its text: the whole line fits.
    QVERIFY(box.lbHiddenText->width() >= box.lbHiddenText->fontMetrics().horizontalAdvance(shown));
    QCOMPARE(box.lbHiddenText->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QVERIFY(box.lbHiddenText->font().bold());
}

void TestAboutBox::formLayout()
{
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.size(), QSize(298, 213));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QVERIFY(!(box.windowFlags() & Qt::WindowMinMaxButtonsHint));

    QCOMPARE(box.Panel1->geometry(), QRect(8, 8, 281, 161));
    QCOMPARE(box.ProductName->text(), QStringLiteral("Dranel-Wisp Command Interface"));
    QCOMPARE(box.Version->text(), QStringLiteral("Version 1.0"));
    QVERIFY(box.ProductName->font().bold());
    QVERIFY(box.Version->font().bold());
    QCOMPARE(box.ProgramIcon->parentWidget(), box.Panel1);
    QCOMPARE(box.ProgramIcon->geometry(), QRect(8, 8, 65, 57));
    QVERIFY(box.ProgramIcon->hasScaledContents());
    QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
    QCOMPARE(box.OKButton->geometry(), QRect(111, 180, 75, 25));
    QVERIFY(box.OKButton->isDefault());

    // The sky-blue panel face, away from its bevels and labels.
    const QImage image = box.grab().toImage();
    QCOMPARE(image.pixel(8 + 200, 8 + 100), QColor(166, 202, 240).rgb());

    box.show();
    QVERIFY(!box.ProgramIcon->pixmap().isNull()); // the picture is compiled in
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(QApplication::focusWidget(), box.OKButton);
}

void TestAboutBox::plainBackgroundWithoutPainter()
{
    TAboutBox box;
    const QImage image = box.grab().toImage();
    const QRgb face = ToQColor(clBtnFace, box.palette()).rgb();
    QCOMPARE(image.pixel(3, 3), face);
    QCOMPARE(image.pixel(50, 190), face); // left of the OK button
}

void TestAboutBox::tilesWithPainter()
{
    const TFormPainter painter(QStringLiteral("PB_BACK"));
    const QImage tile = painter.Bitmap();
    QVERIFY(!tile.isNull());
    TAboutBox box;
    box.SetPainter(&painter);
    const QImage image = box.grab().toImage();
    // Around the panel and beside the OK button.
    for (const QPoint &at : {QPoint(3, 3), QPoint(50, 190), QPoint(293, 208)}) {
        const QPoint inTile(at.x() % tile.width(), at.y() % tile.height());
        QCOMPARE(image.pixel(at), tile.pixel(inTile));
    }
}

void TestAboutBox::okClosesAndKeepsTheBox()
{
    TAboutBox box;
    QTimer::singleShot(0, &box, [&box] {
        QVERIFY(box.isVisible());
        // No cancel button: Escape leaves the box open; Enter presses OK.
        QTest::keyClick(box.OKButton, Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QTest::keyClick(box.OKButton, Qt::Key_Return);
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QVERIFY(box.isHidden());
    // A second showing works the same: the box is only hidden, not destroyed.
    QTimer::singleShot(0, &box, [&box] { box.OKButton->click(); });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
