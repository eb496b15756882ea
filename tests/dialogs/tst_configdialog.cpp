// The configuration dialog on its own: layout, conversion on save, typing
// limits, Escape and Enter, locating the tool, background.
#include "ColorButton.h"
#include "DWInterface.h"
#include "DialogTestSupport.h"
#include "Error.h"
#include "FormPainter.h"
#include "LabeledEdit.h"
#include "Platform.h"
#include "uConfigDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class TestConfigDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formLayout();
    void tabOrderStartsWithOk();
    void saveConverts_data();
    void saveConverts();
    void saveStopsAtBadNumber_data();
    void saveStopsAtBadNumber();
    void longerValuesFromSettingsKept();
    void typingIsLimited_data();
    void typingIsLimited();
    void overlongTextStaysEditable();
    void escapeCancels_data();
    void escapeCancels();
    void enterPressesDefault_data();
    void enterPressesDefault();
    void locateToolRequest();
    void ctrlOLocatesTool();
    void locateToolCancelKeepsPath();
    void fileDialogReturnsProposal_data();
    void fileDialogReturnsProposal();
    void plainBackgroundWithoutPainter();
    void tilesWithPainter();

private:
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TDWInterface> FSettings;
};

void TestConfigDialog::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FSettings = std::make_unique<TDWInterface>(FDir->filePath(QStringLiteral("dw.ini")));
}

void TestConfigDialog::cleanup()
{
    ResetUiServices();
    FSettings.reset();
    FDir.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestConfigDialog::formLayout()
{
    TfrmConfigDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Programming software and settings"));
    QCOMPARE(dialog.size(), QSize(616, 210));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);

    QCOMPARE(dialog.leDWProgram->EditLabel()->text(), QStringLiteral("Dranel-Wisp program "));
    QCOMPARE(dialog.lePort->EditLabel()->text(), QStringLiteral("Port"));
    QCOMPARE(dialog.leBaud->EditLabel()->text(), QStringLiteral("Baud"));
    QCOMPARE(dialog.Label1->text(), QStringLiteral("RTS On"));
    QCOMPARE(dialog.btRead->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.btProgram->text(), QStringLiteral("Cancel"));
    QCOMPARE(dialog.sbDranelWisp->text(), QStringLiteral("..."));
    // Each label stands 5 pixels left of its edit box.
    for (TLabeledEdit *edit : {dialog.leDWProgram, dialog.lePort, dialog.leBaud})
        QCOMPARE(edit->EditLabel()->geometry().right() + 1 + 5, 144);

    QVERIFY(dialog.leDWProgram->isReadOnly());
    QVERIFY(dialog.cbRTSOn->isChecked());
    QVERIFY(dialog.btRead->isDefault());
    QVERIFY(!dialog.btProgram->isDefault());
    QCOMPARE(dialog.btRead->BackColor(), clTeal);
    QCOMPARE(dialog.btRead->ForeColor(), clYellow);
    QCOMPARE(dialog.btRead->HoverColor(), clTeal);
    QCOMPARE(dialog.btProgram->BackColor(), clRed);
    QCOMPARE(dialog.btProgram->ForeColor(), clYellow);
    QCOMPARE(dialog.btProgram->HoverColor(), clRed);
    QCOMPARE(dialog.btRead->geometry(), QRect(163, 166, 102, 33));
    QCOMPARE(dialog.btProgram->geometry(), QRect(331, 166, 121, 33));

    const QColor yellow(255, 255, 0);
    for (QWidget *label : QList<QWidget *> {dialog.leDWProgram->EditLabel(),
             dialog.lePort->EditLabel(), dialog.leBaud->EditLabel(), dialog.Label1}) {
        QCOMPARE(label->palette().color(QPalette::WindowText), yellow);
        QVERIFY(label->font().bold());
        QVERIFY(!label->autoFillBackground()); // the tiles show through
    }
    for (const char *name : {"Bevel1", "leDWProgram", "sbDranelWisp", "lePort", "leBaud", "Label1",
             "cbRTSOn", "btRead", "btProgram"})
        QVERIFY2(dialog.findChild<QWidget *>(QLatin1String(name)), name);
}

void TestConfigDialog::tabOrderStartsWithOk()
{
    TfrmConfigDialog dialog;
    QCOMPARE(dialog.sbDranelWisp->focusPolicy(), Qt::NoFocus);

    // Walk the focus chain from OK over the controls that Tab visits.
    QStringList order;
    QWidget *widget = dialog.btRead;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != dialog.btRead && order.size() < 20);
    QCOMPARE(
        order, QStringList({"btRead", "btProgram", "leDWProgram", "lePort", "leBaud", "cbRTSOn"}));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.btRead);
}

void TestConfigDialog::saveConverts_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<qint32>("expectedPort");
    QTest::addColumn<qint32>("expectedBaud");

    QTest::addRow("port 0") << "0"
                            << "19200" << 0 << 19200;
    QTest::addRow("negative baud") << "1"
                                   << "-1" << 1 << -1;
    QTest::addRow("dollar hex") << "2"
                                << "$4B00" << 2 << 19200;
    QTest::addRow("0x hex, lower case") << "3"
                                        << "0x4b00" << 3 << 19200;
    QTest::addRow("x hex") << "4"
                           << "X2580" << 4 << 9600;
    QTest::addRow("leading blanks") << "  5"
                                    << " 9600" << 5 << 9600;
    QTest::addRow("plus sign") << "+6"
                               << "+115200" << 6 << 115200;
    QTest::addRow("32-bit pattern") << "7"
                                    << "$FFFFFFFF" << 7 << -1;
    QTest::addRow("range ends") << "-2147483648"
                                << "2147483647" << qint32(-2147483647 - 1) << 2147483647;
}

void TestConfigDialog::saveConverts()
{
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(qint32, expectedPort);
    QFETCH(qint32, expectedBaud);

    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    dialog.leDWProgram->setText(QStringLiteral("/opt/pic/xwisp2w"));
    dialog.lePort->setText(port);
    dialog.leBaud->setText(baud);
    dialog.cbRTSOn->setChecked(false);
    dialog.SaveTo(*FSettings);

    QCOMPARE(FSettings->WispProgram(), QStringLiteral("/opt/pic/xwisp2w"));
    QCOMPARE(FSettings->Port(), expectedPort);
    QCOMPARE(FSettings->Baud(), expectedBaud);
    QCOMPARE(FSettings->RtsOn(), false);
}

void TestConfigDialog::saveStopsAtBadNumber_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<bool>("portTaken"); // the port converts: only the baud rate stops the save

    QTest::addRow("letter as port") << "a"
                                    << "19200" << false;
    QTest::addRow("empty port") << ""
                                << "19200" << false;
    QTest::addRow("empty baud") << "1"
                                << "" << true;
    QTest::addRow("lone sign") << "-"
                               << "19200" << false;
    QTest::addRow("lone prefix") << "1"
                                 << "$" << true;
    QTest::addRow("lone 0x") << "1"
                             << "0x" << true;
    QTest::addRow("trailing blank") << "1 "
                                    << "19200" << false;
    QTest::addRow("decimal out of range") << "1"
                                          << "2147483648" << true;
    QTest::addRow("nine hex digits") << "1"
                                     << "$100000000" << true;
    QTest::addRow("sign with prefix") << "1"
                                      << "-$4B00" << true;
    QTest::addRow("both bad") << "a"
                              << "b" << false;
}

void TestConfigDialog::saveStopsAtBadNumber()
{
    QFETCH(QString, port);
    QFETCH(QString, baud);
    QFETCH(bool, portTaken);

    FSettings->SetWispProgram(QStringLiteral("/old/xwisp2w"));
    FSettings->SetPort(3);
    FSettings->SetBaud(57600);
    FSettings->SetRtsOn(true);

    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    dialog.leDWProgram->setText(QStringLiteral("/new/xwisp2w"));
    dialog.lePort->setText(port);
    dialog.leBaud->setText(baud);
    dialog.cbRTSOn->setChecked(false);
    QVERIFY_THROWS_EXCEPTION(TError, dialog.SaveTo(*FSettings));

    // The steps before the bad number are done; it and those after are not.
    QCOMPARE(FSettings->WispProgram(), QStringLiteral("/new/xwisp2w"));
    QCOMPARE(FSettings->Port(), portTaken ? 1 : 3);
    QCOMPARE(FSettings->Baud(), 57600);
    QCOMPARE(FSettings->RtsOn(), true);
    // The entries stay for the user to correct.
    QCOMPARE(dialog.lePort->text(), port);
    QCOMPARE(dialog.leBaud->text(), baud);
}

void TestConfigDialog::longerValuesFromSettingsKept()
{
    FSettings->SetPort(12);
    FSettings->SetBaud(1000000);
    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    QCOMPARE(dialog.lePort->text(), QStringLiteral("12"));
    QCOMPARE(dialog.leBaud->text(), QStringLiteral("1000000"));

    FSettings->SetPort(1);
    FSettings->SetBaud(1);
    dialog.SaveTo(*FSettings);
    QCOMPARE(FSettings->Port(), 12);
    QCOMPARE(FSettings->Baud(), 1000000);
}

void TestConfigDialog::typingIsLimited_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::addRow("port takes one character") << "lePort"
                                              << "123"
                                              << "1";
    QTest::addRow("baud takes six characters") << "leBaud"
                                               << "12345678"
                                               << "123456";
    QTest::addRow("baud takes a hex text too") << "leBaud"
                                               << "$4B00"
                                               << "$4B00";
}

void TestConfigDialog::typingIsLimited()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    TfrmConfigDialog dialog;
    auto *box = dialog.findChild<QLineEdit *>(edit);
    QVERIFY(box);
    box->clear();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), expected);
}

void TestConfigDialog::overlongTextStaysEditable()
{
    FSettings->SetPort(12);
    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    dialog.lePort->end(false);
    QTest::keyClicks(dialog.lePort, QStringLiteral("3"));
    QCOMPARE(dialog.lePort->text(), QStringLiteral("12"));
    QTest::keyClick(dialog.lePort, Qt::Key_Backspace);
    QCOMPARE(dialog.lePort->text(), QStringLiteral("1"));
    QTest::keyClicks(dialog.lePort, QStringLiteral("2")); // the user's own typing is limited
    QCOMPARE(dialog.lePort->text(), QStringLiteral("1"));
    dialog.lePort->selectAll();
    QTest::keyClicks(dialog.lePort, QStringLiteral("4"));
    QCOMPARE(dialog.lePort->text(), QStringLiteral("4"));
}

void TestConfigDialog::escapeCancels_data()
{
    QTest::addColumn<QString>("control");
    for (const char *name : {"leBaud", "lePort", "leDWProgram", "cbRTSOn", "btRead", "btProgram"})
        QTest::addRow("%s", name) << QString::fromLatin1(name);
}

void TestConfigDialog::escapeCancels()
{
    QFETCH(QString, control);

    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    bool focused = false;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *shown) {
        auto *target = shown->findChild<QWidget *>(control);
        target->setFocus(Qt::TabFocusReason);
        focused = QApplication::focusWidget() == target;
        QTest::keyClick(target, Qt::Key_Escape);
        if (shown->isVisible())
            shown->done(99); // not closed by Escape: end the test all the same
    }});
    const int result = dialog.exec();
    QVERIFY(script.Finished());
    QVERIFY(focused);
    QCOMPARE(result, int(QDialog::Rejected));
}

void TestConfigDialog::enterPressesDefault_data()
{
    QTest::addColumn<QStringList>("focusPath"); // focus moves along it; Enter at its end
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");

    QTest::addRow("in the baud box")
        << QStringList {"leBaud"} << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::addRow("keypad Enter in the port box")
        << QStringList {"lePort"} << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::addRow("on the check box")
        << QStringList {"cbRTSOn"} << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::addRow("on OK") << QStringList {"btRead"} << int(Qt::Key_Return)
                           << int(QDialog::Accepted);
    QTest::addRow("on Cancel") << QStringList {"btProgram"} << int(Qt::Key_Return)
                               << int(QDialog::Rejected);
    QTest::addRow("back in an edit box after Cancel")
        << QStringList {"btProgram", "leBaud"} << int(Qt::Key_Return) << int(QDialog::Accepted);
}

void TestConfigDialog::enterPressesDefault()
{
    QFETCH(QStringList, focusPath);
    QFETCH(int, key);
    QFETCH(int, expected);

    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    bool focused = false;
    TModalScript<TfrmConfigDialog> script({[&](TfrmConfigDialog *shown) {
        for (const QString &name : focusPath)
            shown->findChild<QWidget *>(name)->setFocus(Qt::TabFocusReason);
        QWidget *target = shown->findChild<QWidget *>(focusPath.constLast());
        focused = QApplication::focusWidget() == target;
        QTest::keyClick(target, Qt::Key(key));
        if (shown->isVisible())
            shown->done(99);
    }});
    const int result = dialog.exec();
    QVERIFY(script.Finished());
    QVERIFY(focused);
    QCOMPARE(result, expected);
}

void TestConfigDialog::locateToolRequest()
{
    QList<TOpenFileRequest> requests;
    QString answer = QStringLiteral("/opt/pic/xwisp2w");
    UiServices().openFileName = [&](QWidget *, const TOpenFileRequest &request) {
        requests.append(request);
        return answer;
    };

    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings); // no tool path yet
    dialog.sbDranelWisp->click();
    QCOMPARE(requests.size(), 1);
    const platform::Conventions &conventions = platform::conventions();
    QCOMPARE(requests[0].title, QStringLiteral("Locate the xwisp2w executablle"));
    QCOMPARE(requests[0].fileName, conventions.toolFileName);
    QCOMPARE(requests[0].filter, conventions.toolDialogFilter);
    QCOMPARE(requests[0].defaultSuffix, conventions.toolDefaultSuffix);
    QCOMPARE(requests[0].executablesOnly, conventions.style == platform::PathStyle::Posix);
    QCOMPARE(requests[0].hidePatterns, conventions.style == platform::PathStyle::Windows);
    QCOMPARE(dialog.leDWProgram->text(), answer);

    // The next opening starts at the file now in the box.
    answer = QStringLiteral("/usr/local/bin/xwisp2w");
    dialog.sbDranelWisp->click();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[1].fileName, QStringLiteral("/opt/pic/xwisp2w"));
    QCOMPARE(dialog.leDWProgram->text(), answer);
}

// Without a mouse: the button takes no focus, Ctrl+O does what it does.
void TestConfigDialog::ctrlOLocatesTool()
{
    UiServices().openFileName = [](QWidget *, const TOpenFileRequest &) {
        return QStringLiteral("/opt/pic/xwisp2w");
    };
    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.leBaud, Qt::Key_O, Qt::ControlModifier);
    QTRY_COMPARE(dialog.leDWProgram->text(), QStringLiteral("/opt/pic/xwisp2w"));
}

void TestConfigDialog::locateToolCancelKeepsPath()
{
    QList<TOpenFileRequest> requests;
    UiServices().openFileName = [&](QWidget *, const TOpenFileRequest &request) {
        requests.append(request);
        return QString();
    };
    FSettings->SetWispProgram(QStringLiteral("/opt/pic/xwisp2w"));
    TfrmConfigDialog dialog;
    dialog.LoadFrom(*FSettings);
    dialog.sbDranelWisp->click();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].fileName, QStringLiteral("/opt/pic/xwisp2w"));
    QCOMPARE(dialog.leDWProgram->text(), QStringLiteral("/opt/pic/xwisp2w"));
}

void TestConfigDialog::fileDialogReturnsProposal_data()
{
    QTest::addColumn<QString>("folder"); // below the temporary folder
    QTest::addColumn<bool>("exists");
    QTest::addRow("folder exists") << "bin" << true;
    QTest::addRow("folder missing") << "gone/bin" << false;
}

// The real file dialog, accepted with Enter as it opens.
void TestConfigDialog::fileDialogReturnsProposal()
{
    QFETCH(QString, folder);
    QFETCH(bool, exists);
    const QString proposal = FDir->filePath(folder + QStringLiteral("/xwisp2w"));
    QVERIFY(!exists || QDir(FDir->path()).mkpath(folder));
    TfrmConfigDialog dialog;
    FSettings->SetWispProgram(proposal);
    dialog.LoadFrom(*FSettings);
    QString shownFolder;
    TModalScript<QFileDialog> script({[&](QFileDialog *files) {
        shownFolder = files->directory().absolutePath();
        QTest::keyClick(files, Qt::Key_Return);
    }});
    dialog.sbDranelWisp->click();
    QVERIFY(script.Finished());
    QCOMPARE(dialog.leDWProgram->text(), proposal);
    QCOMPARE(shownFolder, exists ? FDir->filePath(folder) : FDir->path());
}

void TestConfigDialog::plainBackgroundWithoutPainter()
{
    TfrmConfigDialog dialog;
    const QImage image = dialog.grab().toImage();
    const QRgb shadow = ToQColor(clBtnShadow, dialog.palette()).rgb();
    // Corners outside the bevel and between the buttons.
    QCOMPARE(image.pixel(3, 3), shadow);
    QCOMPARE(image.pixel(612, 205), shadow);
    QCOMPARE(image.pixel(300, 180), shadow);
}

void TestConfigDialog::tilesWithPainter()
{
    const TFormPainter painter(QStringLiteral("PB_BACK"));
    const QImage tile = painter.Bitmap();
    QVERIFY(!tile.isNull());
    TfrmConfigDialog dialog;
    dialog.SetPainter(&painter);
    const QImage image = dialog.grab().toImage();
    // Points outside the bevel and the controls, in the first and later tiles.
    for (const QPoint &at : {QPoint(3, 3), QPoint(300, 180), QPoint(612, 205)}) {
        const QPoint inTile(at.x() % tile.width(), at.y() % tile.height());
        QCOMPARE(image.pixel(at), tile.pixel(inTile));
    }
}

QTEST_MAIN(TestConfigDialog)
#include "tst_configdialog.moc"
