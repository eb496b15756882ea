// The main window's handlers that open the configuration dialog, the folder
// picker and the about box, run against a main window on a temporary INI file.
#include "ColorButton.h"
#include "DWInterface.h"
#include "DialogTestSupport.h"
#include "FormPainter.h"
#include "LabeledEdit.h"
#include "uConfigDialog.h"
#include "ufrmAbout.h"
#include "ufrmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

const QString errorText
    = QStringLiteral("There was an error in your Port or Baud settings.\nPlese correct them.");

// What the user saw in one showing of the configuration dialog.
struct TSeen
{
    QString path, port, baud;
    bool mainVisible = true;
    QPoint centre;
    TfrmConfigDialog *dialog = nullptr;
};

TSeen look(TfrmConfigDialog *dialog, const TfrmMain &main)
{
    return {dialog->leDWProgram->text(), dialog->lePort->text(), dialog->leBaud->text(),
        main.isVisible(), dialog->geometry().center(), dialog};
}

} // namespace

class TestMainFlows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void letterAsPortAnsweredAndShownAgain();
    void emptyBaudThenCancelKeepsPathAndPort();
    void acceptedNumbers_data();
    void acceptedNumbers();
    void twoDigitPortFromIniKeptOnOk();
    void cancelAfterChoosingPathKeepsOld();
    void mainWindowHiddenWhileOpen();
    void closeBoxCancels();
    void actionsFollowPathAfterClosing_data();
    void actionsFollowPathAfterClosing();
    void firstStartTimer_data();
    void firstStartTimer();
    void firstStartOpensByItself();
    void firstStartTimerLeavesOpenDialogAlone();

    void folderPickerCancelKeepsBoth();
    void folderPickerStartsFromStoredFolder_data();
    void folderPickerStartsFromStoredFolder();
    void folderPickerStoresChoice();

    void aboutMenuNeverShowsHiddenText();
    void hiddenTextKeys_data();
    void hiddenTextKeys();
    void hiddenTextOnReleaseInAControl();

private:
    // Creates the main window on the temporary INI file; its first-start timer
    // is stopped unless a test wants it.
    void makeMain(bool keepTimer = false);
    QString makeToolFile(const QString &name = QStringLiteral("xwisp2w"));

    std::unique_ptr<QTemporaryDir> FDir;
    QString FIni;
    QList<TShownMessage> FMessages;
    std::unique_ptr<TAboutBox> FAbout;
    std::unique_ptr<TfrmMain> FMain;
};

void TestMainFlows::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FIni = FDir->filePath(QStringLiteral("dranelwisp.ini"));
    FMessages.clear();
    recordMessageBoxes(FMessages);
    // No test may reach a real file or folder dialog.
    UiServices().openFileName = [](QWidget *, const TOpenFileRequest &) {
        return QString();
    };
    UiServices().browseFolder = [](QWidget *, const QString &, const QString &) {
        return QString();
    };
}

void TestMainFlows::cleanup()
{
    FAbout.reset(); // a child of the main window
    FMain.reset();
    ResetUiServices();
    FDir.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestMainFlows::makeMain(bool keepTimer)
{
    FMain = std::make_unique<TfrmMain>(FIni);
    FAbout = std::make_unique<TAboutBox>(FMain.get()); // as the program makes it
    FMain->SetAboutBox(FAbout.get());
    if (!keepTimer)
        FMain->Timer1->stop();
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
}

QString TestMainFlows::makeToolFile(const QString &name)
{
    const QString path = FDir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n");
    return path;
}

void TestMainFlows::letterAsPortAnsweredAndShownAgain()
{
    makeMain();
    TDWInterface &settings = *FMain->Settings();
    settings.SetWispProgram(QStringLiteral("/old/xwisp2w"));
    settings.SetPort(1);
    settings.SetBaud(19200);

    TSeen again;
    TModalScript<TfrmConfigDialog> script({
        [&](TfrmConfigDialog *dialog) {
            dialog->leDWProgram->setText(QStringLiteral("/new/xwisp2w"));
            dialog->lePort->setText(QStringLiteral("a"));
            dialog->btRead->click();
        },
        [&](TfrmConfigDialog *dialog) {
            again = look(dialog, *FMain);
            dialog->btProgram->click();
        },
    });
    TfrmConfigDialog *first = nullptr;
    QTimer::singleShot(
        0, [&] { first = qobject_cast<TfrmConfigDialog *>(QApplication::activeModalWidget()); });
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QCOMPARE(FMessages.size(), 1);
    QCOMPARE(FMessages[0].icon, QMessageBox::Critical);
    QCOMPARE(FMessages[0].caption, QStringLiteral("Error"));
    QCOMPARE(FMessages[0].text, errorText);
    QCOMPARE(FMessages[0].button, QMessageBox::Cancel);
    // The same dialog again, with the user's entries as they were left.
    QCOMPARE(again.dialog, first);
    QCOMPARE(again.port, QStringLiteral("a"));
    QCOMPARE(again.path, QStringLiteral("/new/xwisp2w"));
    QVERIFY(!again.mainVisible);
    // The failed OK stored the path, the step before the bad port.
    QCOMPARE(settings.WispProgram(), QStringLiteral("/new/xwisp2w"));
    QCOMPARE(settings.Port(), 1);
    QVERIFY(FMain->isVisible());
}

void TestMainFlows::emptyBaudThenCancelKeepsPathAndPort()
{
    makeMain();
    TDWInterface &settings = *FMain->Settings();
    settings.SetWispProgram(QStringLiteral("/old/xwisp2w"));
    settings.SetPort(2);
    settings.SetBaud(9600);
    settings.SetRtsOn(true);

    TModalScript<TfrmConfigDialog> script({
        [&](TfrmConfigDialog *dialog) {
            dialog->leDWProgram->setText(QStringLiteral("/new/xwisp2w"));
            dialog->lePort->setText(QStringLiteral("4"));
            dialog->leBaud->clear();
            dialog->cbRTSOn->setChecked(false);
            dialog->btRead->click();
        },
        [&](TfrmConfigDialog *dialog) { QTest::keyClick(dialog->leBaud, Qt::Key_Escape); },
    });
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QCOMPARE(FMessages.size(), 1);
    QCOMPARE(FMessages[0].text, errorText);
    // Path and port, the steps before the bad baud rate, stay after Cancel
    // and reach the INI file at exit; the baud rate and RTS switch do not.
    FMain->FormDestroy();
    QFile ini(FIni);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray saved = ini.readAll();
    for (const char *line :
        {"\nWispProgram=/new/xwisp2w\n", "\nPort=4\n", "\nBaud=9600\n", "\nRtsOn=1\n"})
        QVERIFY2(saved.contains(line), saved.constData());
}

void TestMainFlows::acceptedNumbers_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<qint32>("expectedPort");
    QTest::addColumn<qint32>("expectedBaud");

    QTest::addRow("port 0") << "0"
                            << "19200" << 0 << 19200;
    QTest::addRow("baud -1") << "3"
                             << "-1" << 3 << -1;
    QTest::addRow("baud $4B00") << "2"
                                << "$4B00" << 2 << 19200;
}

void TestMainFlows::acceptedNumbers()
{
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(qint32, expectedPort);
    QFETCH(qint32, expectedBaud);

    makeMain();
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        // Typed as a user would, so the typing limits take part.
        for (QLineEdit *edit :
            {static_cast<QLineEdit *>(dialog->lePort), static_cast<QLineEdit *>(dialog->leBaud)}) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
        }
        QTest::keyClicks(dialog->lePort, port);
        QTest::keyClicks(dialog->leBaud, baud);
        dialog->btRead->click();
    }});
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QVERIFY(FMessages.isEmpty());
    QCOMPARE(FMain->Settings()->Port(), expectedPort);
    QCOMPARE(FMain->Settings()->Baud(), expectedBaud);
}

void TestMainFlows::twoDigitPortFromIniKeptOnOk()
{
    {
        QFile ini(FIni);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[DranelWispConfig]\nPort=12\nBaud=38400\n");
    }
    makeMain();
    QCOMPARE(FMain->Settings()->Port(), 12);

    QString shownPort;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        shownPort = dialog->lePort->text();
        dialog->btRead->click();
    }});
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QCOMPARE(shownPort, QStringLiteral("12"));
    QVERIFY(FMessages.isEmpty());
    QCOMPARE(FMain->Settings()->Port(), 12);
    QCOMPARE(FMain->Settings()->Baud(), 38400);
}

void TestMainFlows::cancelAfterChoosingPathKeepsOld()
{
    makeMain();
    FMain->Settings()->SetWispProgram(QStringLiteral("/old/xwisp2w"));
    UiServices().openFileName = [](QWidget *, const TOpenFileRequest &) {
        return QStringLiteral("/chosen/xwisp2w");
    };

    QString chosen;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        dialog->sbDranelWisp->click();
        chosen = dialog->leDWProgram->text();
        dialog->btProgram->click();
    }});
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QCOMPARE(chosen, QStringLiteral("/chosen/xwisp2w"));
    QCOMPARE(FMain->Settings()->WispProgram(), QStringLiteral("/old/xwisp2w"));
}

void TestMainFlows::mainWindowHiddenWhileOpen()
{
    makeMain();
    FMain->move(120, 90);
    const QPoint mainCentre = FMain->geometry().center();

    TSeen seen;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        seen = look(dialog, *FMain);
        dialog->btRead->click();
    }});
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QVERIFY(!seen.mainVisible);
    QVERIFY2((seen.centre - mainCentre).manhattanLength() <= 2, "centred over the main window");
    QVERIFY(FMain->isVisible());
    // The dialog is freed after each opening.
    QTRY_VERIFY(QApplication::topLevelWidgets().count(seen.dialog) == 0);
}

void TestMainFlows::closeBoxCancels()
{
    makeMain();
    FMain->Settings()->SetPort(2);
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        dialog->lePort->setText(QStringLiteral("5"));
        // The window's own close, as its close box asks for it; the main
        // window is hidden meanwhile.
        dialog->windowHandle()->close();
    }});
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QCOMPARE(FMain->Settings()->Port(), 2);
    QVERIFY(FMain->isVisible());
}

void TestMainFlows::actionsFollowPathAfterClosing_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addRow("OK with a chosen tool") << true;
    QTest::addRow("Cancel after the tool file appeared") << false;
}

void TestMainFlows::actionsFollowPathAfterClosing()
{
    QFETCH(bool, ok);

    makeMain();
    QVERIFY(!FMain->acReadPIC->isEnabled());
    const QString tool = FDir->filePath(QStringLiteral("xwisp2w"));
    if (!ok)
        FMain->Settings()->SetWispProgram(tool); // named, but not there yet
    QCOMPARE(makeToolFile(), tool);
    UiServices().openFileName = [tool](QWidget *, const TOpenFileRequest &) {
        return tool;
    };

    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        if (ok) {
            dialog->sbDranelWisp->click();
            dialog->btRead->click();
        } else {
            dialog->btProgram->click();
        }
    }});
    FMain->acConfigurationExecute();

    QVERIFY(script.Finished());
    QCOMPARE(FMain->Settings()->WispProgram(), tool);
    QVERIFY(FMain->acReadPIC->isEnabled());
}

void TestMainFlows::firstStartTimer_data()
{
    QTest::addColumn<bool>("toolFile"); // a tool file that exists
    QTest::addColumn<QString>("path"); // used when toolFile is false
    QTest::addColumn<bool>("opens");

    QTest::addRow("no path") << false << QString() << true;
    QTest::addRow("path of a missing file") << false << "/nowhere/xwisp2w" << false;
    QTest::addRow("path of a file") << true << QString() << false;
}

void TestMainFlows::firstStartTimer()
{
    QFETCH(bool, toolFile);
    QFETCH(QString, path);
    QFETCH(bool, opens);

    makeMain();
    FMain->Settings()->SetWispProgram(toolFile ? makeToolFile() : path);

    bool mainVisible = true;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        mainVisible = FMain->isVisible();
        dialog->btProgram->click();
    }});
    FMain->Timer1->start();
    FMain->Timer1Timer();
    QVERIFY(!FMain->Timer1->isActive()); // it fires once only

    if (opens) {
        QVERIFY(script.Finished());
        QVERIFY(!mainVisible);
    } else {
        // Nothing modal came up, not even a little later.
        QTest::qWait(100);
        QCOMPARE(script.StepsRun(), 0);
    }
    QVERIFY(FMain->isVisible());
}

void TestMainFlows::firstStartOpensByItself()
{
    makeMain(true); // a first start: no INI file, no programmer path
    QCOMPARE(FMain->Timer1->interval(), 1500);
    bool mainVisible = true;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        mainVisible = FMain->isVisible();
        dialog->btProgram->click();
    }});
    QTRY_VERIFY_WITH_TIMEOUT(script.Finished(), 5000);
    QVERIFY(!mainVisible);
    QTRY_VERIFY(FMain->isVisible());
    QVERIFY(!FMain->Timer1->isActive());
}

// F2 within the first 1,500 ms: the timer fires while that dialog is open and
// opens no second one, whose OK would write its empty path over the choice.
void TestMainFlows::firstStartTimerLeavesOpenDialogAlone()
{
    makeMain(true);
    const QString tool = makeToolFile();
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *dialog) {
        dialog->leDWProgram->setText(tool);
        FMain->Timer1->start(0); // fires now, in this dialog's loop
        QTimer::singleShot(200, dialog->btRead, &QPushButton::click);
    }});
    FMain->acConfiguration->trigger();
    QVERIFY(script.Finished());
    QCOMPARE(script.ExtraShowings(), 0);
    QCOMPARE(FMain->Settings()->WispProgram(), tool);
    QVERIFY(FMain->isVisible());
}

void TestMainFlows::folderPickerCancelKeepsBoth()
{
    makeMain();
    FMain->Settings()->SetReadOutputDir(QStringLiteral("/stored/dir"));
    FMain->leOutputDir->setText(QStringLiteral("typed by the user"));
    QStringList titles, initials;
    UiServices().browseFolder = [&](QWidget *, const QString &title, const QString &initial) {
        titles << title;
        initials << initial;
        return QString();
    };
    FMain->btOutputDir->click();

    QCOMPARE(titles,
        QStringList {QStringLiteral("Select the output directory for HEX files read from a PIC")});
    QCOMPARE(initials, QStringList {QStringLiteral("/stored/dir")});
    QCOMPARE(FMain->Settings()->ReadOutputDir(), QStringLiteral("/stored/dir"));
    QCOMPARE(FMain->leOutputDir->text(), QStringLiteral("typed by the user"));
}

void TestMainFlows::folderPickerStartsFromStoredFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addRow("default, relative") << "./";
    QTest::addRow("Windows-style relative") << ".\\";
    QTest::addRow("relative folder") << "reads/today";
    QTest::addRow("empty: nothing selected in advance") << "";
    QTest::addRow("absolute") << "/home/pic/reads";
}

void TestMainFlows::folderPickerStartsFromStoredFolder()
{
    QFETCH(QString, stored);
    makeMain();
    FMain->Settings()->SetReadOutputDir(stored);
    QStringList initials;
    UiServices().browseFolder = [&](QWidget *, const QString &, const QString &initial) {
        initials << initial;
        return QString();
    };
    FMain->btOutputDirClick();
    QCOMPARE(initials, QStringList {stored});
}

void TestMainFlows::folderPickerStoresChoice()
{
    makeMain();
    FMain->leOutputDir->setText(QStringLiteral("typed by the user"));
    const QString chosen = FDir->path();
    UiServices().browseFolder = [&](QWidget *, const QString &, const QString &) {
        return chosen;
    };
    FMain->btOutputDir->click();
    QCOMPARE(FMain->Settings()->ReadOutputDir(), chosen);
    QCOMPARE(FMain->leOutputDir->text(), chosen);
}

void TestMainFlows::aboutMenuNeverShowsHiddenText()
{
    makeMain();
    const QImage tile = FMain->Painter()->Bitmap();
    QList<bool> labelShown;
    QList<QRgb> corner;
    QList<QPoint> offCentre;
    FMain->move(20, 30);
    auto record = [&](TAboutBox *box) {
        labelShown << box->lbHiddenText->isVisible();
        offCentre << (box->geometry().center() - box->screen()->geometry().center());
        // Either way of opening lends the painter: the tiles show around the panel.
        corner << box->grab().toImage().pixel(3, 3);
        box->OKButton->click();
    };
    TModalScript<TAboutBox> script({record, record, record});

    FMain->About1->trigger();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F11, Qt::ControlModifier | Qt::AltModifier);
    FMain->FormKeyUp(&release);
    QVERIFY(FAbout->lbHiddenText->isHidden());
    FMain->About1->trigger();

    QVERIFY(script.Finished());
    QCOMPARE(labelShown, QList<bool>({false, true, false}));
    for (const QRgb pixel : corner)
        QCOMPARE(pixel, tile.pixel(3, 3));
    for (const QPoint &off : offCentre) // centred on the screen, not over the main window
        QVERIFY(off.manhattanLength() <= 1);
    QVERIFY(FAbout->lbHiddenText->isHidden());
}

void TestMainFlows::hiddenTextKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<uint>("keysym"); // the X11 key symbol, where it matters
    QTest::addColumn<bool>("opens");

    const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier, shift = Qt::ShiftModifier;
    const int f11 = Qt::Key_F11;
    const uint noSym = 0, vt11 = 0x1008FE0B, vt10 = 0x1008FE0A;
    QTest::addRow("Ctrl+Alt+F11") << f11 << (ctrl | alt) << noSym << true;
    QTest::addRow("Ctrl+Alt+Shift+F11") << f11 << (ctrl | alt | shift) << noSym << true;
    // What X11 delivers for the release of F11 while Ctrl and Alt are held.
    QTest::addRow("Ctrl+Alt+F11 as the console key") << 0 << (ctrl | alt) << vt11 << true;
    QTest::addRow("Ctrl+F11") << f11 << ctrl << noSym << false;
    QTest::addRow("Alt+F11") << f11 << alt << noSym << false;
    QTest::addRow("F11 alone") << f11 << 0 << noSym << false;
    QTest::addRow("Ctrl+Shift+F11") << f11 << (ctrl | shift) << noSym << false;
    QTest::addRow("Ctrl+Alt+F10") << int(Qt::Key_F10) << (ctrl | alt) << noSym << false;
    QTest::addRow("Ctrl+Alt+F10 as the console key") << 0 << (ctrl | alt) << vt10 << false;
    QTest::addRow("Ctrl+Alt+F12") << int(Qt::Key_F12) << (ctrl | alt) << noSym << false;
}

void TestMainFlows::hiddenTextKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(uint, keysym);
    QFETCH(bool, opens);

    makeMain();
    bool labelShown = false;
    TModalScript<TAboutBox> script({[&](TAboutBox *box) {
        labelShown = box->lbHiddenText->isVisible();
        box->OKButton->click();
    }});
    QKeyEvent release(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), 0, keysym, 0);
    FMain->FormKeyUp(&release);
    if (!opens)
        QTest::qWait(100);
    QCOMPARE(script.Finished(), opens);
    QCOMPARE(script.ExtraShowings(), 0);
    QCOMPARE(labelShown, opens);
    QVERIFY(FAbout->lbHiddenText->isHidden());
}

void TestMainFlows::hiddenTextOnReleaseInAControl()
{
    makeMain();
    QVERIFY(QTest::qWaitForWindowActive(FMain.get()));
    FMain->cbHexes->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), FMain->cbHexes);

    bool labelShown = false;
    TModalScript<TAboutBox> script({[&](TAboutBox *box) {
        labelShown = box->lbHiddenText->isVisible();
        box->OKButton->click();
    }});
    const auto held = Qt::ControlModifier | Qt::AltModifier;
    // Pressing F11 opens nothing; its release does, while Ctrl and Alt are held.
    QTest::keyPress(FMain->cbHexes, Qt::Key_F11, held);
    QTest::qWait(50);
    QCOMPARE(script.StepsRun(), 0);
    QTest::keyRelease(FMain->cbHexes, Qt::Key_F11, held);
    QTRY_VERIFY(script.Finished());
    QVERIFY(labelShown);
    QTest::qWait(50);
    QCOMPARE(script.ExtraShowings(), 0); // one release, one showing
    QVERIFY(FAbout->lbHiddenText->isHidden());
}

QTEST_MAIN(TestMainFlows)
#include "tst_mainflows.moc"
