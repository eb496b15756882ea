// Renders the tiled windows and every colour button state into PNG files in
// <build>/look-shots, so the look can be reviewed without running the program.
#include "ColorButton.h"
#include "FormPainter.h"
#include "LookTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

using namespace LookTest;

namespace {

class TTiledWindow : public QWidget
{
public:
    TTiledWindow(const TFormPainter &painter, QSize client, const QColor &background)
        : FPainter(painter)
    {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, background);
        setPalette(pal);
        setFixedSize(client);
    }

protected:
    void paintEvent(QPaintEvent *) override { FPainter.PaintForm(this); }

private:
    const TFormPainter &FPainter;
};

struct TButtonLook
{
    const char *name;
    QString caption;
    QSize size;
    TColor back;
};

const QList<TButtonLook> &Buttons()
{
    static const QList<TButtonLook> buttons = {
        {"btProgram (main)", QStringLiteral("Program PIC (F6)"), QSize(121, 33), clTeal},
        {"btRead (main)", QStringLiteral("Read PIC (F9)"), QSize(121, 33), clGray},
        {"OK (dialog)", QStringLiteral("OK"), QSize(102, 33), clTeal},
        {"Cancel (dialog)", QStringLiteral("Cancel"), QSize(121, 33), clRed},
    };
    return buttons;
}

TColorButton *MakeButton(const TButtonLook &look, QWidget *parent)
{
    auto *button = new TColorButton(parent);
    button->setFont(ButtonFont());
    button->setText(look.caption);
    button->resize(look.size);
    button->SetBackColor(look.back);
    button->SetForeColor(clYellow);
    button->SetHoverColor(look.back);
    return button;
}

QLabel *YellowLabel(const QString &text, QPoint at, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(ButtonFont());
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 255, 0));
    label->setPalette(pal);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

class TestLookShots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tile();
    void buttonStates();
    void mainWindow();
    void configurationDialog();
    void aboutBox();

private:
    void Save(const QImage &image, const QString &name);
    QDir FShots;
    TFormPainter FPainter {QStringLiteral("PB_BACK")};
};

void TestLookShots::initTestCase()
{
    FShots.setPath(QStringLiteral(DW_BUILD_DIR "/look-shots"));
    QVERIFY(FShots.mkpath(QStringLiteral(".")));
}

void TestLookShots::Save(const QImage &image, const QString &name)
{
    const QString path = FShots.filePath(name);
    QVERIFY(image.save(path));
    const QImage back(path);
    QCOMPARE(back.size(), image.size());
    qInfo("wrote %s", qPrintable(path));
}

void TestLookShots::tile()
{
    const QImage tile = FPainter.Bitmap();
    Save(tile.scaled(tile.size() * 4), QStringLiteral("tile-x4.png"));
}

void TestLookShots::buttonStates()
{
    // Rows of states, columns of the four buttons, on the tiled background.
    struct TState
    {
        const char *name;
        bool active;
        unsigned item;
    };
    const QList<TState> states = {
        {"normal", false, 0},
        {"pressed", false, TColorButton::odsSelected},
        {"disabled", false, TColorButton::odsDisabled},
        {"Enter target", true, 0},
        {"focused", true, TColorButton::odsFocus},
        {"focused+pressed", true, TColorButton::odsFocus | TColorButton::odsSelected},
    };
    const int left = 130, top = 30, cellW = 140, cellH = 45;
    QImage sheet(
        left + cellW * Buttons().size(), top + cellH * states.size(), QImage::Format_RGB32);
    QPainter p(&sheet);
    FPainter.PaintForm(p, sheet.size());
    p.setFont(ButtonFont());
    p.setPen(QColor(255, 255, 0));
    QWidget owner;
    for (int c = 0; c < Buttons().size(); ++c) {
        const TButtonLook &look = Buttons()[c];
        p.drawText(QRect(left + c * cellW, 5, cellW, 20), Qt::AlignLeft, look.name);
        TColorButton *button = MakeButton(look, &owner);
        for (int r = 0; r < states.size(); ++r) {
            if (c == 0)
                p.drawText(
                    QRect(5, top + r * cellH, left - 10, 33), Qt::AlignVCenter, states[r].name);
            button->SetActiveDefault(states[r].active);
            button->DrawButton(
                p, QRect(QPoint(left + c * cellW, top + r * cellH), look.size), states[r].item);
        }
    }
    p.end();
    // The teal face of the first button, normal state.
    QVERIFY(Is(sheet, left + 10, top + 5, QColor(0, 128, 128)));
    Save(sheet, QStringLiteral("button-states.png"));
}

void TestLookShots::mainWindow()
{
    TTiledWindow window(FPainter, QSize(646, 259), QColor(128, 128, 128));
    YellowLabel(QStringLiteral("Hex file"), QPoint(16, 28), &window);
    YellowLabel(QStringLiteral("Verbose"), QPoint(16, 56), &window);
    YellowLabel(QStringLiteral("Target PIC"), QPoint(16, 88), &window);
    YellowLabel(QStringLiteral("Pause text"), QPoint(16, 120), &window);
    YellowLabel(QStringLiteral("Read output folder"), QPoint(16, 152), &window);
    TColorButton *program = MakeButton(Buttons()[0], &window);
    program->move(176, 214);
    TColorButton *read = MakeButton(Buttons()[1], &window);
    read->move(336, 214);
    read->setEnabled(false);
    const QImage image = Grab(window);
    const QImage tile = FPainter.Bitmap().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.pixel(600, 5), tile.pixel(0, 5));
    QVERIFY(Is(image, 176 + 3, 214 + 3, QColor(0, 128, 128)));
    QVERIFY(Is(image, 336 + 3, 214 + 3, QColor(128, 128, 128)));
    Save(image, QStringLiteral("main-window.png"));
}

void TestLookShots::configurationDialog()
{
    // As the dialog first shows: the focus on OK, which Enter would press.
    TTiledWindow dialog(FPainter, QSize(616, 210), ToQColor(clBtnShadow, QApplication::palette()));
    YellowLabel(QStringLiteral("Programmer"), QPoint(16, 28), &dialog);
    YellowLabel(QStringLiteral("Port"), QPoint(16, 60), &dialog);
    YellowLabel(QStringLiteral("Baud"), QPoint(16, 92), &dialog);
    YellowLabel(QStringLiteral("RTS on"), QPoint(16, 120), &dialog);
    auto *edit = new QLineEdit(QStringLiteral("/usr/local/bin/xwisp2w"), &dialog);
    edit->setGeometry(144, 24, 425, 21);
    TColorButton *ok = MakeButton(Buttons()[2], &dialog);
    ok->move(163, 166);
    ok->setDefault(true);
    TColorButton *cancel = MakeButton(Buttons()[3], &dialog);
    cancel->move(331, 166);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    ok->setFocus();
    QTRY_VERIFY(ok->IsActiveDefault());
    const QImage image = Grab(dialog);
    QVERIFY(Is(image, 163, 180, QApplication::palette().color(QPalette::WindowText)));
    Save(image, QStringLiteral("config-dialog.png"));
}

void TestLookShots::aboutBox()
{
    TTiledWindow about(FPainter, QSize(298, 213), ToQColor(clBtnFace, QApplication::palette()));
    auto *picture = new QLabel(&about);
    picture->setPixmap(QPixmap(QStringLiteral(":/ABOUT_PICTURE")));
    picture->setScaledContents(true);
    picture->setGeometry(8, 8, 65, 57);
    const QImage image = Grab(about);
    Save(image, QStringLiteral("about-box.png"));
}

QTEST_MAIN(TestLookShots)
#include "tst_LookShots.moc"
