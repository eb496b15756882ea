// Renders the real windows, as the program builds them, and every state of
// their colour buttons into PNG files in <build>/look-shots, so the look can
// be reviewed without running the program.
#include "ColorButton.h"
#include "FormPainter.h"
#include "LookTestSupport.h"
#include "uConfigDialog.h"
#include "ufrmAbout.h"
#include "ufrmMain.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace LookTest;

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
    QTemporaryDir FIniDir;
    TFormPainter FPainter {QStringLiteral("PB_BACK")};
    std::unique_ptr<TfrmMain> FMain;
};

void TestLookShots::initTestCase()
{
    FShots.setPath(QStringLiteral(DW_BUILD_DIR "/look-shots"));
    QVERIFY(FShots.mkpath(QStringLiteral(".")));
    FMain = std::make_unique<TfrmMain>(FIniDir.filePath(QStringLiteral("dranelwisp.ini")));
    FMain->Timer1->stop();
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
    // Rows of states, columns of the four buttons as their windows set them up.
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
    TfrmConfigDialog dialog;
    const QList<TColorButton *> buttons {
        FMain->btProgram, FMain->btRead, dialog.btRead, dialog.btProgram};
    const int left = 130, top = 30, cellW = 140, cellH = 45;
    QImage sheet(left + cellW * buttons.size(), top + cellH * states.size(), QImage::Format_RGB32);
    QPainter p(&sheet);
    FPainter.PaintForm(p, sheet.size());
    p.setFont(ButtonFont());
    p.setPen(QColor(255, 255, 0));
    for (int c = 0; c < buttons.size(); ++c) {
        TColorButton *button = buttons[c];
        const QString name = QLatin1String(button->window() == FMain.get() ? "main " : "dialog ")
            + button->objectName();
        p.drawText(QRect(left + c * cellW, 5, cellW, 20), Qt::AlignLeft, name);
        for (int r = 0; r < states.size(); ++r) {
            if (c == 0)
                p.drawText(
                    QRect(5, top + r * cellH, left - 10, 33), Qt::AlignVCenter, states[r].name);
            button->SetActiveDefault(states[r].active);
            button->DrawButton(p, QRect(QPoint(left + c * cellW, top + r * cellH), button->size()),
                states[r].item);
        }
    }
    p.end();
    // The teal face of the first button, normal state.
    QVERIFY(Is(sheet, left + 10, top + 5, QColor(0, 128, 128)));
    Save(sheet, QStringLiteral("button-states.png"));
}

void TestLookShots::mainWindow()
{
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
    const QImage image = Grab(*FMain->centralWidget());
    const QImage tile = FPainter.Bitmap().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.pixel(600, 5), tile.pixel(0, 5));
    QVERIFY(Is(image, 176 + 3, 214 + 3, QColor(0, 128, 128)));
    QVERIFY(Is(image, 336 + 3, 214 + 3, QColor(128, 128, 128)));
    Save(Grab(*FMain), QStringLiteral("main-window.png"));
    FMain->hide();
}

void TestLookShots::configurationDialog()
{
    // As the dialog first shows: the focus on OK, which Enter would press.
    TfrmConfigDialog dialog;
    dialog.SetPainter(FMain->Painter());
    dialog.LoadFrom(*FMain->Settings());
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTRY_VERIFY(dialog.btRead->IsActiveDefault() && dialog.btRead->hasFocus());
    const QImage image = Grab(dialog);
    Save(image, QStringLiteral("config-dialog.png"));
    // The dark outline and the dotted focus rectangle take the system's
    // window-frame colour, not the yellow of the captions around them.
    const QColor frame = ToQColor(clWindowFrame, QApplication::palette());
    QVERIFY(frame != QColor(255, 255, 0));
    const QRect ok = dialog.btRead->geometry();
    QVERIFY(Is(image, ok.left(), ok.center().y(), frame));
    QVERIFY(Is(image, ok.center().x(), ok.bottom(), frame));
    QVERIFY(Is(image, ok.left() + 4, ok.top() + 4, frame));
    QVERIFY(Count(image, QColor(255, 255, 0), ok) > 0); // the caption stays yellow
}

void TestLookShots::aboutBox()
{
    TAboutBox about;
    about.SetPainter(FMain->Painter());
    about.lbHiddenText->setVisible(true);
    about.show();
    Save(Grab(about), QStringLiteral("about-box.png"));
}

QTEST_MAIN(TestLookShots)
#include "tst_LookShots.moc"
