#include "ColorButton.h"
#include "LookTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

using namespace LookTest;

class TestColorButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void defaults_data();
    void defaults();
    void defaultColoursPaintSystemFaceAndText();
    void tealFaceYellowCaption();
    void pressedMovesFaceAndCaption();
    void disabledKeepsFaceAndGreysCaption();
    void disabledCaptionPlace_data();
    void disabledCaptionPlace();
    void emptyCaption_data();
    void emptyCaption();
    void setterRepaintsOnlyOnChange_data();
    void setterRepaintsOnlyOnChange();
    void enabledAndFontChangesRepaint();
    void leaveRestoresColourSavedAtEnter();
    void leaveWithoutEnterKeepsColour();
    void hoverColourEqualToBackLeavesLookUnchanged();
    void outlineAndFocusRectFollowFocus();
    void focusedButtonIsActiveOutsideDialogs();
    void outlineAndFocusRectByState_data();
    void outlineAndFocusRectByState();
    void plainColourValuesAreBgr();

private:
    static void Setup(
        TColorButton &button, const QString &caption, QSize size, TColor back, TColor fore);
    static bool HasOutline(const QImage &image);
    static int FocusDots(const QImage &image);
};

void TestColorButton::initTestCase()
{
    QApplication::setPalette(DistinctPalette());
}

void TestColorButton::Setup(
    TColorButton &button, const QString &caption, QSize size, TColor back, TColor fore)
{
    button.setFont(ButtonFont());
    button.setText(caption);
    button.resize(size);
    button.SetBackColor(back);
    button.SetForeColor(fore);
    button.SetHoverColor(back);
}

// The whole outer ring in the window-frame colour.
bool TestColorButton::HasOutline(const QImage &image)
{
    const QColor frame = QApplication::palette().color(QPalette::WindowText);
    const int w = image.width(), h = image.height();
    return Count(image, frame, QRect(0, 0, w, 1)) == w
        && Count(image, frame, QRect(0, h - 1, w, 1)) == w
        && Count(image, frame, QRect(0, 0, 1, h)) == h
        && Count(image, frame, QRect(w - 1, 0, 1, h)) == h;
}

// Window-frame coloured pixels on the ring 4 pixels inside the edge.
int TestColorButton::FocusDots(const QImage &image)
{
    const QColor frame = QApplication::palette().color(QPalette::WindowText);
    const QRect ring = image.rect().adjusted(4, 4, -4, -4);
    return Count(image, frame, QRect(ring.left(), ring.top(), ring.width(), 1))
        + Count(image, frame, QRect(ring.left(), ring.bottom(), ring.width(), 1))
        + Count(image, frame, QRect(ring.left(), ring.top() + 1, 1, ring.height() - 2))
        + Count(image, frame, QRect(ring.right(), ring.top() + 1, 1, ring.height() - 2));
}

void TestColorButton::defaults_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<quint32>("value");
    QTest::addRow("BackColor") << QByteArray("BackColor") << quint32(0x8000000F);
    QTest::addRow("ForeColor") << QByteArray("ForeColor") << quint32(0x80000012);
    QTest::addRow("HoverColor") << QByteArray("HoverColor") << quint32(0x8000000F);
}

void TestColorButton::defaults()
{
    QFETCH(QByteArray, property);
    QFETCH(quint32, value);
    TColorButton button;
    QCOMPARE(button.property(property.constData()).value<quint32>(), value);
    QCOMPARE(button.RepaintRequests(), 0);
    QVERIFY(!button.IsActiveDefault());
}

void TestColorButton::defaultColoursPaintSystemFaceAndText()
{
    TColorButton button;
    button.setFont(ButtonFont());
    button.setText(QStringLiteral("Read PIC (F9)"));
    button.resize(121, 33);
    const QImage image = Grab(button);
    const QPalette pal = QApplication::palette();
    const int mid = image.height() / 2;

    // Raised two-pixel frame: light over left and top, dark under right and bottom.
    QVERIFY(Is(image, 0, mid, pal.color(QPalette::Light)));
    QVERIFY(Is(image, 1, mid, pal.color(QPalette::Midlight)));
    QVERIFY(Is(image, image.width() - 1, mid, pal.color(QPalette::Shadow)));
    QVERIFY(Is(image, image.width() - 2, mid, pal.color(QPalette::Dark)));
    QVERIFY(Is(image, 60, image.height() - 1, pal.color(QPalette::Shadow)));
    // Face from the third pixel on, in the system button face.
    QVERIFY(Is(image, 2, 2, pal.color(QPalette::Button)));
    QVERIFY(Is(image, image.width() - 3, image.height() - 3, pal.color(QPalette::Button)));
    // Caption in the system button text, and not outlined (no focus yet).
    QVERIFY(Count(image, pal.color(QPalette::ButtonText)) > 20);
    QVERIFY(!HasOutline(image));
}

void TestColorButton::tealFaceYellowCaption()
{
    TColorButton button;
    Setup(button, QStringLiteral("Program PIC (F6)"), QSize(121, 33), clTeal, clYellow);
    const QImage image = Grab(button);
    const QColor teal(0, 128, 128), yellow(255, 255, 0);

    QVERIFY(Is(image, 2, 2, teal));
    QVERIFY(Is(image, 118, 30, teal));
    QVERIFY(Count(image, yellow) > 20);
    QCOMPARE(Count(image, QApplication::palette().color(QPalette::ButtonText)), 0);
    // Single line, centred both ways in the face (glyph bearings allow a pixel).
    const QRect face = image.rect().adjusted(2, 2, -2, -2);
    const QRect caption = BoxOf(image, yellow);
    QVERIFY2(qAbs((caption.left() - face.left()) - (face.right() - caption.right())) <= 2,
        qPrintable(QStringLiteral("caption %1..%2").arg(caption.left()).arg(caption.right())));
    QVERIFY(qAbs((caption.top() - face.top()) - (face.bottom() - caption.bottom())) <= 3);
    QVERIFY(caption.height() < 14);
}

void TestColorButton::pressedMovesFaceAndCaption()
{
    TColorButton button;
    Setup(button, QStringLiteral("Program PIC (F6)"), QSize(121, 33), clTeal, clYellow);
    const QImage up = Grab(button);
    button.setDown(true);
    const QImage down = Grab(button);
    const QPalette pal = QApplication::palette();
    const QColor teal(0, 128, 128), yellow(255, 255, 0);

    QCOMPARE(BoxOf(down, yellow), BoxOf(up, yellow).translated(1, 1));
    QCOMPARE(Count(down, yellow), Count(up, yellow));
    // Shadow line with a button-face line inside it along left and top; the
    // face reaches over the shadow's right and bottom lines.
    QVERIFY(Is(down, 0, 16, pal.color(QPalette::Dark)));
    QVERIFY(Is(down, 1, 16, pal.color(QPalette::Button)));
    QVERIFY(Is(down, 60, 0, pal.color(QPalette::Dark)));
    QVERIFY(Is(down, 60, 1, pal.color(QPalette::Button)));
    QVERIFY(Is(down, 2, 2, teal));
    QVERIFY(Is(down, 120, 16, teal));
    QVERIFY(Is(down, 60, 32, teal));
}

void TestColorButton::disabledKeepsFaceAndGreysCaption()
{
    TColorButton button;
    Setup(button, QStringLiteral("Read PIC (F9)"), QSize(121, 33), clTeal, clYellow);
    const QImage enabled = Grab(button);
    button.setEnabled(false);
    const QImage image = Grab(button);
    const QPalette pal = QApplication::palette();
    const QColor teal(0, 128, 128);

    QVERIFY(Is(image, 2, 2, teal));
    QVERIFY(Is(image, 118, 30, teal));
    QCOMPARE(Count(image, QColor(255, 255, 0)), 0);
    // Embossed: shadow-coloured glyphs over light ones one pixel down and right.
    const QRect face = image.rect().adjusted(2, 2, -2, -2);
    const QRect shadowInk = BoxOf(image, pal.color(QPalette::Dark), face);
    const QRect lightInk = BoxOf(image, pal.color(QPalette::Light), face);
    QVERIFY(shadowInk.width() > 40);
    QCOMPARE(lightInk.bottomRight(), shadowInk.bottomRight() + QPoint(1, 1));
    QVERIFY2(qAbs((shadowInk.left() - face.left()) - (face.right() - shadowInk.right())) <= 2,
        qPrintable(QStringLiteral("ink %1..%2").arg(shadowInk.left()).arg(shadowInk.right())));
    // Same frame geometry, but the inactive look differs from the active one.
    QVERIFY(Is(image, 0, 16, pal.color(QPalette::Light)));
    QVERIFY(image.pixel(120, 16) != enabled.pixel(120, 16));
}

void TestColorButton::disabledCaptionPlace_data()
{
    // Face width = caption width + excess; the caption starts at the face's
    // left plus half the excess, halved toward zero.
    QTest::addColumn<int>("excess");
    QTest::addColumn<int>("offset");
    QTest::addRow("narrower by 21") << -21 << -10;
    QTest::addRow("narrower by 20") << -20 << -10;
    QTest::addRow("narrower by 1") << -1 << 0;
    QTest::addRow("wider by 7") << 7 << 3;
    QTest::addRow("wider by 30") << 30 << 15;
}

void TestColorButton::disabledCaptionPlace()
{
    QFETCH(int, excess);
    QFETCH(int, offset);
    const QString caption = QStringLiteral("Program PIC (F6)");
    const QColor shadow = QApplication::palette().color(QPalette::Dark);
    const QFont font = ButtonFont();

    // Where the first full-colour column of the glyphs lies relative to the pen.
    QImage reference(200, 40, QImage::Format_RGB32);
    reference.fill(Qt::white);
    int textWidth = 0;
    {
        QPainter p(&reference);
        p.setFont(font);
        p.setPen(shadow);
        p.drawText(QPoint(50, 25), caption);
        textWidth = p.fontMetrics().horizontalAdvance(caption);
    }
    const int bearing = BoxOf(reference, shadow).left() - 50;

    TColorButton button;
    Setup(button, caption, QSize(121, 33), clTeal, clYellow);
    const QRect item(60, 10, textWidth + excess + 4, 33); // + 2-pixel frame on both sides
    QImage image(item.right() + 60, 60, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter p(&image);
        button.DrawButton(p, item, TColorButton::odsDisabled);
    }
    const QRect textRows(0, item.top() + 6, image.width(), 20);
    QCOMPARE(BoxOf(image, shadow, textRows).left(), item.left() + 2 + offset + bearing);
}

void TestColorButton::emptyCaption_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addRow("enabled") << true;
    QTest::addRow("disabled") << false;
}

void TestColorButton::emptyCaption()
{
    QFETCH(bool, enabled);
    TColorButton button;
    Setup(button, QString(), QSize(102, 33), clRed, clYellow);
    button.setEnabled(enabled);
    const QImage image = Grab(button);
    const QRect face = image.rect().adjusted(2, 2, -2, -2);
    QCOMPARE(Count(image, QColor(255, 0, 0), face), face.width() * face.height());
}

void TestColorButton::setterRepaintsOnlyOnChange_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addRow("BackColor") << QByteArray("BackColor");
    QTest::addRow("ForeColor") << QByteArray("ForeColor");
    QTest::addRow("HoverColor") << QByteArray("HoverColor");
}

void TestColorButton::setterRepaintsOnlyOnChange()
{
    QFETCH(QByteArray, property);
    TColorButton button;
    const QVariant current = button.property(property.constData());
    QVERIFY(button.setProperty(property.constData(), current));
    QCOMPARE(button.RepaintRequests(), 0);
    QVERIFY(button.setProperty(property.constData(), QVariant::fromValue(quint32(clTeal))));
    QCOMPARE(button.RepaintRequests(), 1);
    QVERIFY(button.setProperty(property.constData(), QVariant::fromValue(quint32(clTeal))));
    QCOMPARE(button.RepaintRequests(), 1);
    QCOMPARE(button.property(property.constData()).value<quint32>(), quint32(clTeal));

    button.SetActiveDefault(false);
    QCOMPARE(button.RepaintRequests(), 1);
    button.SetActiveDefault(true);
    QCOMPARE(button.RepaintRequests(), 2);
}

void TestColorButton::enabledAndFontChangesRepaint()
{
    TColorButton button;
    button.setEnabled(false);
    QCOMPARE(button.RepaintRequests(), 1);
    QFont font = ButtonFont();
    font.setPixelSize(14);
    button.setFont(font);
    QCOMPARE(button.RepaintRequests(), 2);
}

void TestColorButton::leaveRestoresColourSavedAtEnter()
{
    TColorButton button;
    Setup(button, QStringLiteral("OK"), QSize(102, 33), clTeal, clYellow);
    button.SetHoverColor(clRed);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.BackColor(), clRed);
    QVERIFY(Is(Grab(button), 2, 2, QColor(255, 0, 0)));

    // Assigned while the pointer is over the button: lasts until it leaves.
    button.SetBackColor(clGreen);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(button.BackColor(), clTeal);
    QVERIFY(Is(Grab(button), 2, 2, QColor(0, 128, 128)));
}

void TestColorButton::leaveWithoutEnterKeepsColour()
{
    // Restoring the never-saved colour would paint the face black.
    TColorButton button;
    button.SetBackColor(clTeal);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(button.BackColor(), clTeal);
}

void TestColorButton::hoverColourEqualToBackLeavesLookUnchanged()
{
    TColorButton button;
    Setup(button, QStringLiteral("Cancel"), QSize(121, 33), clRed, clYellow);
    const QImage before = Grab(button);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(Grab(button), before);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(Grab(button), before);
    QCOMPARE(button.BackColor(), clRed);
}

void TestColorButton::outlineAndFocusRectFollowFocus()
{
    QDialog dialog;
    dialog.resize(616, 210);
    auto *edit = new QLineEdit(&dialog);
    edit->setGeometry(144, 24, 200, 21);
    auto *ok = new TColorButton(&dialog);
    Setup(*ok, QStringLiteral("OK"), QSize(102, 33), clTeal, clYellow);
    ok->move(163, 166);
    ok->setDefault(true);
    auto *cancel = new TColorButton(&dialog);
    Setup(*cancel, QStringLiteral("Cancel"), QSize(121, 33), clRed, clYellow);
    cancel->move(331, 166);
    auto *browse = new QPushButton(QStringLiteral("..."), &dialog);
    browse->setGeometry(576, 24, 23, 22);
    QWidget::setTabOrder(ok, cancel);
    QWidget::setTabOrder(cancel, edit);
    QWidget::setTabOrder(edit, browse);

    // Nothing is active before the focus first moves.
    QVERIFY(!HasOutline(Grab(*ok)));
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(ok->IsActiveDefault());
    QVERIFY(!cancel->IsActiveDefault());
    QVERIFY(HasOutline(Grab(*ok)));
    QCOMPARE(FocusDots(Grab(*ok)), 0);
    QVERIFY(!HasOutline(Grab(*cancel)));
    QCOMPARE(FocusDots(Grab(*cancel)), 0);

    ok->setFocus();
    QTRY_VERIFY(ok->hasFocus());
    QVERIFY(HasOutline(Grab(*ok)));
    // Every other pixel of the ring (102 x 33 less 4 on each side: 2*94 + 2*23).
    QCOMPARE(FocusDots(Grab(*ok)), (2 * 94 + 2 * 23) / 2);
    QVERIFY(!HasOutline(Grab(*cancel)));

    QTest::keyClick(ok, Qt::Key_Tab);
    QTRY_VERIFY(cancel->hasFocus());
    QVERIFY(HasOutline(Grab(*cancel)));
    QVERIFY(FocusDots(Grab(*cancel)) > 50);
    QVERIFY(!HasOutline(Grab(*ok)));
    QCOMPARE(FocusDots(Grab(*ok)), 0);

    // A plain push button with the focus is the one Enter presses.
    browse->setFocus();
    QTRY_VERIFY(browse->hasFocus());
    QVERIFY(!ok->IsActiveDefault());
    QVERIFY(!cancel->IsActiveDefault());
    QVERIFY(!HasOutline(Grab(*ok)));

    // Focus moving in another window leaves this one's buttons alone.
    edit->setFocus();
    QTRY_VERIFY(ok->IsActiveDefault());
    QWidget other;
    auto *otherEdit = new QLineEdit(&other);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    otherEdit->setFocus();
    QTRY_VERIFY(otherEdit->hasFocus());
    QVERIFY(ok->IsActiveDefault());
}

void TestColorButton::focusedButtonIsActiveOutsideDialogs()
{
    // In a plain window no button is default, and Qt makes none default on
    // focus either: the focused one must still become the active one.
    QWidget window;
    window.resize(646, 259);
    auto *program = new TColorButton(&window);
    Setup(*program, QStringLiteral("Program PIC (F6)"), QSize(121, 33), clTeal, clYellow);
    program->move(176, 214);
    auto *read = new TColorButton(&window);
    Setup(*read, QStringLiteral("Read PIC (F9)"), QSize(121, 33), clGray, clYellow);
    read->move(336, 214);
    auto *edit = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    read->setFocus();
    QTRY_VERIFY(read->hasFocus());
    QVERIFY(read->IsActiveDefault());
    QVERIFY(!program->IsActiveDefault());
    QVERIFY(FocusDots(Grab(*read)) > 50);

    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!read->IsActiveDefault());
    QVERIFY(!HasOutline(Grab(*read)));
    QVERIFY(!HasOutline(Grab(*program)));
}

void TestColorButton::outlineAndFocusRectByState_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<unsigned>("state");
    QTest::addColumn<bool>("outline");
    QTest::addColumn<bool>("dots");
    QTest::addRow("plain") << false << 0u << false << false;
    QTest::addRow("active default") << true << 0u << true << false;
    QTest::addRow("focus bit only") << false << unsigned(TColorButton::odsFocus) << true << false;
    QTest::addRow("active and focused") << true << unsigned(TColorButton::odsFocus) << true << true;
    QTest::addRow("active, focused, pressed")
        << true << unsigned(TColorButton::odsFocus | TColorButton::odsSelected) << true << true;
}

void TestColorButton::outlineAndFocusRectByState()
{
    QFETCH(bool, active);
    QFETCH(unsigned, state);
    QFETCH(bool, outline);
    QFETCH(bool, dots);
    TColorButton button;
    Setup(button, QStringLiteral("OK"), QSize(102, 33), clTeal, clYellow);
    button.SetActiveDefault(active);
    QImage image(102, 33, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter p(&image);
        button.DrawButton(p, image.rect(), state);
    }
    QCOMPARE(HasOutline(image), outline);
    QCOMPARE(FocusDots(image), dots ? (2 * 94 + 2 * 23) / 2 : 0);
    // Inside the outline the raised frame starts one pixel further in.
    if (outline && !(state & TColorButton::odsSelected)) {
        QVERIFY(Is(image, 1, 16, QApplication::palette().color(QPalette::Light)));
        QVERIFY(Is(image, 3, 3, QColor(0, 128, 128)));
    }
}

void TestColorButton::plainColourValuesAreBgr()
{
    TColorButton button;
    Setup(button, QString(), QSize(40, 20), 0x00332211u, clYellow);
    QVERIFY(Is(Grab(button), 5, 5, QColor(0x11, 0x22, 0x33)));
    QCOMPARE(ToQColor(clSkyBlue, QPalette()), QColor(166, 202, 240));
}

QTEST_MAIN(TestColorButton)
#include "tst_ColorButton.moc"
