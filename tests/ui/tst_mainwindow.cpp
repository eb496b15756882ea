// The main window with a temporary INI file: start-up state, layout, the
// enabled rules of the programmer actions, the F6/F9 road into the log and the
// launcher, and what reaches the INI file at exit.
#include "Application.h"
#include "ColorButton.h"
#include "DWInterface.h"
#include "Error.h"
#include "FormPainter.h"
#include "LabeledEdit.h"
#include "Launcher.h"
#include "LocalText.h"
#include "MRU.h"
#include "Platform.h"
#include "RecordingUiServices.h"
#include "TestFiles.h"
#include "ufrmMain.h"
#include "ufrmPICLog.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartWithoutIni();
    void layoutAndLook();
    void controlGeometry_data();
    void controlGeometry();
    void captionsAreNotClipped();
    void actionsAndMenu_data();
    void actionsAndMenu();
    void tabOrderAndFirstFocus();
    void recentListDropsDownFifteenRows();
    void recentListBeyondNineShownUntilAdd();
    void recentListBeyondNineWrittenBackWithoutAdd();
    void missingHeadDisablesProgramUntilPickedAgain();
    void missingProgrammerDisablesBothActions();
    void disabledShortcutDoesNothing();
    void cancelledOpenChangesNothing();
    void droppedLocalFilesGoToTheHeadInDropOrder();
    void programSecondEntryMovesItToHead();
    void entriesAreColouredInPressOrder();
    void readLineLoggedIsLineLaunched();
    void entriesAppendedWhileLogHidden();
    void typedLogTextDoesNotDisturbEntries();
    void logShowsNewestEntryAndTakesShortcuts();
    void refusedLaunchIsShown_data();
    void refusedLaunchIsShown();
    void toolGetsExactlyTheChosenValues_data();
    void toolGetsExactlyTheChosenValues();
    void latin1NamesReachTheTool();
    void editsAreSavedAtExitWithoutCommand();
    void failedSaveAtExitRaisesError();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void touch(const QString &name) const;
    void writeIni(const QString &programmer, const QStringList &recent,
        const QString &extra = QString()) const;
    TfrmMain *openMain();
    QStringList logLines() const;
    QColor lineColor(int line) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordingUiServices> m_services;
    std::unique_ptr<TfrmPICLog> m_log;
    std::unique_ptr<TfrmMain> m_main;
    QString m_ini;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ini = path(QStringLiteral("dranelwisp.ini"));
    m_services = std::make_unique<RecordingUiServices>();
    platform::setClock({});
}

void TestMainWindow::cleanup()
{
    m_main.reset();
    m_log.reset();
    m_services.reset();
    platform::setClock({});
    m_dir.reset();
}

void TestMainWindow::touch(const QString &name) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(":00000001FF\n");
}

void TestMainWindow::writeIni(
    const QString &programmer, const QStringList &recent, const QString &extra) const
{
    QFile file(m_ini);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QString text = QStringLiteral("[DranelWispConfig]\nWispProgram=%1\n%2").arg(programmer, extra);
    text += QStringLiteral("[MRU]\n");
    for (qsizetype i = 0; i < recent.size(); ++i)
        text += QStringLiteral("MRU_%1=%2\n").arg(i + 1).arg(recent.at(i));
    file.write(text.toUtf8());
}

TfrmMain *TestMainWindow::openMain()
{
    m_main = std::make_unique<TfrmMain>(m_ini);
    m_log = std::make_unique<TfrmPICLog>();
    m_main->SetLogWindow(m_log.get());
    m_main->Timer1->stop(); // the configuration dialog is not under test here
    return m_main.get();
}

QStringList TestMainWindow::logLines() const
{
    return m_log->reLog()->toPlainText().split(u'\n');
}

QColor TestMainWindow::lineColor(int line) const
{
    const QTextBlock block = m_log->reLog()->document()->findBlockByNumber(line);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    return cursor.charFormat().foreground().color();
}

void TestMainWindow::firstStartWithoutIni()
{
    TfrmMain *w = openMain();
    QCOMPARE(w->cbHexes->count(), 0);
    QVERIFY(!w->acProgramPIC->isEnabled());
    QVERIFY(!w->acReadPIC->isEnabled());
    QVERIFY(!w->btProgram->isEnabled());
    QVERIFY(!w->btRead->isEnabled());
    QVERIFY(w->acConfiguration->isEnabled());
    QVERIFY(w->cbVerbose->isChecked());
    QVERIFY(!w->cbTarget->isChecked());
    QCOMPARE(w->edTarget->text(), QStringLiteral("16F84A"));
    QVERIFY(!w->edTarget->isEnabled());
    QCOMPARE(w->lePauseText->text(), QString());
    QCOMPARE(w->leOutputDir->text(), platform::conventions().defaultReadOutputDir);
    QVERIFY(m_services->messages.isEmpty());

    // Timer1 opens the configuration dialog once, 1500 ms after creation.
    TfrmMain fresh(m_ini);
    QVERIFY(fresh.Timer1->isActive());
    QVERIFY(fresh.Timer1->isSingleShot());
    QCOMPARE(fresh.Timer1->interval(), 1500);
}

void TestMainWindow::layoutAndLook()
{
    TfrmMain *w = openMain();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), QStringLiteral("Dranel-Wisp Command Interface"));
    QCOMPARE(w->centralWidget()->size(), QSize(646, 259));
    QCOMPARE(w->centralWidget()->y(), w->menuBar()->height());
    QCOMPARE(w->minimumSize(), w->maximumSize()); // fixed border
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->font().pixelSize(), 11);
    QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), QColor(128, 128, 128));

    // The tiles cover the gray: a pixel of the client shows the tile's pixel.
    const QImage tile = w->Painter()->Bitmap();
    if (!tile.isNull()) {
        const QImage shot = w->centralWidget()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(2, 2)), QColor(tile.pixel(2, 2)));
    }

    for (QWidget *label : {static_cast<QWidget *>(w->Label1), static_cast<QWidget *>(w->Label2),
             static_cast<QWidget *>(w->Label3), static_cast<QWidget *>(w->lePauseText->EditLabel()),
             static_cast<QWidget *>(w->leOutputDir->EditLabel())}) {
        QVERIFY2(label->font().bold(), qPrintable(label->objectName()));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QVERIFY(!label->autoFillBackground());
    }
    QVERIFY(w->btProgram->font().bold());
    QCOMPARE(w->btProgram->BackColor(), RGBColor(0, 128, 128));
    QCOMPARE(w->btProgram->ForeColor(), RGBColor(255, 255, 0));
    QCOMPARE(w->btProgram->HoverColor(), RGBColor(0, 128, 128));
    QCOMPARE(w->btRead->BackColor(), RGBColor(128, 128, 128));
    QCOMPARE(w->btRead->ForeColor(), RGBColor(255, 255, 0));
    QCOMPARE(w->btRead->HoverColor(), RGBColor(128, 128, 128));
    QCOMPARE(w->cbTarget->toolTip(),
        QStringLiteral("Enable this flag if you want to override the automatically "
                       "detected PIC"));
    QVERIFY(!w->cbHexes->isEditable());
    QCOMPARE(w->odHexInput.filter, QStringLiteral("Hex inputfiles (*.hex);;All files (*)"));
    QCOMPARE(TfrmMain::HexInputFilter(platform::PathStyle::Windows),
        QStringLiteral("Hex inputfiles (*.hex);;All files (*.*)"));
    QCOMPARE(w->odHexInput.defaultSuffix, QStringLiteral("hex"));
    QVERIFY(w->odHexInput.title.isEmpty());
}

void TestMainWindow::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addRow("Bevel1") << "Bevel1" << QRect(8, 8, 626, 186);
    QTest::addRow("cbHexes") << "cbHexes" << QRect(120, 24, 473, 21);
    QTest::addRow("Button1") << "Button1" << QRect(602, 23, 25, 25);
    QTest::addRow("edTarget") << "edTarget" << QRect(144, 85, 121, 21);
    QTest::addRow("lePauseText") << "lePauseText" << QRect(120, 120, 233, 21);
    QTest::addRow("leOutputDir") << "leOutputDir" << QRect(120, 152, 473, 21);
    QTest::addRow("btOutputDir") << "btOutputDir" << QRect(602, 151, 25, 25);
    QTest::addRow("btProgram") << "btProgram" << QRect(176, 214, 121, 33);
    QTest::addRow("btRead") << "btRead" << QRect(336, 214, 121, 33);
}

void TestMainWindow::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    TfrmMain *w = openMain();
    auto *control = w->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), rect);
    QCOMPARE(control->parentWidget(), w->centralWidget());
}

// Labels keep their right edge and grow to the left when the font is wide;
// every caption fits in its control.
void TestMainWindow::captionsAreNotClipped()
{
    TfrmMain *w = openMain();
    const struct
    {
        QLabel *label;
        int right; // right edge of the design box, exclusive
        QWidget *beside;
    } labels[] = {{w->Label3, 112, w->cbHexes}, {w->Label1, 112, w->cbVerbose},
        {w->Label2, 112, w->cbTarget}, {w->lePauseText->EditLabel(), 115, w->lePauseText},
        {w->leOutputDir->EditLabel(), 115, w->leOutputDir}};
    for (const auto &entry : labels) {
        const QFontMetrics metrics(entry.label->font());
        const QRect r = entry.label->geometry();
        QVERIFY2(metrics.horizontalAdvance(entry.label->text()) <= r.width(),
            qPrintable(entry.label->text()));
        QVERIFY2(metrics.height() <= r.height(), qPrintable(entry.label->text()));
        QVERIFY2(r.left() > 8 && r.right() < entry.beside->x(), qPrintable(entry.label->text()));
    }
    QCOMPARE(w->Label3->geometry().x() + w->Label3->width(), 112);
    for (QPushButton *button : {static_cast<QPushButton *>(w->btProgram),
             static_cast<QPushButton *>(w->btRead), w->Button1, w->btOutputDir}) {
        const QFontMetrics metrics(button->font());
        QVERIFY2(metrics.horizontalAdvance(button->text()) + 4 <= button->width(),
            qPrintable(button->objectName()));
    }
    for (QCheckBox *box : {w->cbVerbose, w->cbTarget}) {
        QVERIFY(box->text().isEmpty());
        QVERIFY(box->width() >= box->sizeHint().width());
        QVERIFY(box->height() >= box->sizeHint().height());
    }
}

void TestMainWindow::actionsAndMenu_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("category");
    QTest::addColumn<bool>("enabled");
    QTest::addRow("acProgramPIC") << "acProgramPIC"
                                  << "Program PIC (F6)" << QKeySequence(Qt::Key_F6) << "PIC Action"
                                  << false;
    QTest::addRow("acReadPIC") << "acReadPIC"
                               << "Read PIC (F9)" << QKeySequence(Qt::Key_F9) << "PIC Action"
                               << false;
    QTest::addRow("acConfiguration")
        << "acConfiguration"
        << "Configuration" << QKeySequence(Qt::Key_F2) << "File" << true;
    QTest::addRow("OpenHexfile") << "OpenHexfile"
                                 << "..." << QKeySequence(Qt::CTRL | Qt::Key_O) << "" << true;
    QTest::addRow("acShowLog") << "acShowLog"
                               << "Show Log" << QKeySequence(Qt::Key_F4) << "File" << true;
}

void TestMainWindow::actionsAndMenu()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, category);
    QFETCH(bool, enabled);
    TfrmMain *w = openMain();
    auto *action = w->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->property("Category").toString(), category);
    QCOMPARE(action->isEnabled(), enabled);
    QVERIFY(w->actions().contains(action));

    QCOMPARE(w->File1->title(), QStringLiteral("&File"));
    const QList<QAction *> items = w->File1->actions();
    QCOMPARE(items.size(), 4);
    QCOMPARE(items.at(0), w->Configuration2);
    QCOMPARE(items.at(0)->text(), QStringLiteral("Configuration"));
    QCOMPARE(items.at(1), w->ShowLog1);
    QCOMPARE(items.at(1)->text(), QStringLiteral("Show Log"));
    // The short cuts stand beside the captions while the menu is open, and
    // only then: the window's keys stay unambiguous.
    w->File1->popup(QPoint());
    QCOMPARE(items.at(0)->shortcut(), QKeySequence(Qt::Key_F2));
    QCOMPARE(items.at(1)->shortcut(), QKeySequence(Qt::Key_F4));
    w->File1->hide();
    QVERIFY(items.at(0)->shortcut().isEmpty());
    QVERIFY(items.at(2)->isSeparator());
    QCOMPARE(items.at(3)->text(), QStringLiteral("E&xit"));
    QVERIFY(items.at(3)->shortcut().isEmpty());
    QCOMPARE(w->About1->text(), QStringLiteral("About"));
    QVERIFY(!w->About1->menu());
    QCOMPARE(w->menuBar()->actions(), (QList<QAction *> {w->File1->menuAction(), w->About1}));
}

void TestMainWindow::tabOrderAndFirstFocus()
{
    TfrmMain *w = openMain();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), w->cbHexes);
    const QList<QWidget *> expected {w->Button1, w->cbVerbose, w->cbTarget, w->edTarget,
        w->lePauseText, w->leOutputDir, w->btOutputDir, w->btProgram, w->btRead};
    QWidget *current = w->cbHexes;
    for (QWidget *next : expected) {
        current = current->nextInFocusChain();
        while (current->focusPolicy() == Qt::NoFocus || current == w->cbHexes->lineEdit())
            current = current->nextInFocusChain();
        QCOMPARE(current->objectName(), next->objectName());
    }
}

void TestMainWindow::recentListDropsDownFifteenRows()
{
    QStringList recent;
    for (int i = 1; i <= 20; ++i)
        recent << path(QStringLiteral("f%1.hex").arg(i));
    writeIni(QString(), recent);
    TfrmMain *w = openMain();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->cbHexes->showPopup();
    const QAbstractItemView *view = w->cbHexes->view();
    QTRY_VERIFY(view->isVisible());
    int shown = 0; // rows wholly inside the list's height
    for (int row = 0; row < recent.size(); ++row) {
        const QRect r = view->visualRect(view->model()->index(row, 0));
        shown += r.top() >= 0 && r.bottom() < view->viewport()->height();
    }
    QCOMPARE(shown, 15);
    const int rowHeight = view->visualRect(view->model()->index(0, 0)).height();
    QCOMPARE(rowHeight, std::max(13, view->fontMetrics().height()));
    w->cbHexes->hidePopup();
}

void TestMainWindow::recentListBeyondNineShownUntilAdd()
{
    QStringList recent;
    for (int i = 1; i <= 12; ++i)
        recent << path(QStringLiteral("f%1.hex").arg(i));
    writeIni(QString(), recent);
    TfrmMain *w = openMain();
    QCOMPARE(w->cbHexes->count(), 12);
    QCOMPARE(w->Settings()->HexInputFile(), recent.first());

    m_services->nextFileNames << path(QStringLiteral("new.hex"));
    w->OpenHexfile->trigger();
    QCOMPARE(w->cbHexes->count(), 9);
    QCOMPARE(w->cbHexes->itemText(0), path(QStringLiteral("new.hex")));
    QCOMPARE(w->cbHexes->itemText(8), recent.at(7));
    QCOMPARE(w->Settings()->HexInputFile(), path(QStringLiteral("new.hex")));
}

void TestMainWindow::recentListBeyondNineWrittenBackWithoutAdd()
{
    QStringList recent;
    for (int i = 1; i <= 12; ++i)
        recent << path(QStringLiteral("f%1.hex").arg(i));
    writeIni(QString(), recent);
    openMain()->FormDestroy();
    TDWInterface saved(m_ini);
    QCOMPARE(saved.MRUList(), recent);
}

void TestMainWindow::missingHeadDisablesProgramUntilPickedAgain()
{
    touch(QStringLiteral("xwisp2w"));
    touch(QStringLiteral("there.hex"));
    writeIni(path(QStringLiteral("xwisp2w")),
        {path(QStringLiteral("gone.hex")), path(QStringLiteral("there.hex"))});
    TfrmMain *w = openMain();
    QVERIFY(w->acReadPIC->isEnabled());
    QVERIFY(!w->acProgramPIC->isEnabled());
    w->cbHexes->setCurrentIndex(1); // choosing an existing entry changes nothing at once
    QVERIFY(!w->acProgramPIC->isEnabled());

    m_services->nextFileNames << path(QStringLiteral("there.hex"));
    w->OpenHexfile->trigger();
    QVERIFY(w->acProgramPIC->isEnabled());
    QVERIFY(w->btProgram->isEnabled());
    QCOMPARE(w->MRU()->Items(),
        (QStringList {path(QStringLiteral("there.hex")), path(QStringLiteral("gone.hex"))}));
}

void TestMainWindow::missingProgrammerDisablesBothActions()
{
    touch(QStringLiteral("a.hex"));
    writeIni(path(QStringLiteral("missing-tool")), {path(QStringLiteral("a.hex"))});
    TfrmMain *w = openMain();
    QVERIFY(!w->acReadPIC->isEnabled());
    QVERIFY(!w->acProgramPIC->isEnabled());
    QVERIFY(w->acConfiguration->isEnabled());
    QVERIFY(w->Configuration2->isEnabled());

    // A folder of that name is no programmer either.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    writeIni(path(QStringLiteral("folder")), {path(QStringLiteral("a.hex"))});
    w = openMain();
    QVERIFY(!w->acReadPIC->isEnabled());
}

void TestMainWindow::disabledShortcutDoesNothing()
{
    touch(QStringLiteral("a.hex"));
    writeIni(path(QStringLiteral("missing-tool")), {path(QStringLiteral("a.hex"))});
    TfrmMain *w = openMain();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->cbHexes, Qt::Key_F6);
    QTest::keyClick(w->cbHexes, Qt::Key_F9);
    QVERIFY(m_services->launched.isEmpty());
    QCOMPARE(m_log->reLog()->toPlainText(), QString());

    // The same keys work once the actions are enabled.
    touch(QStringLiteral("xwisp2w"));
    writeIni(path(QStringLiteral("xwisp2w")), {path(QStringLiteral("a.hex"))});
    w = openMain();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->cbHexes, Qt::Key_F6);
    QCOMPARE(m_services->launched.size(), 1);
}

void TestMainWindow::cancelledOpenChangesNothing()
{
    touch(QStringLiteral("a.hex"));
    writeIni(QString(), {path(QStringLiteral("a.hex"))});
    TfrmMain *w = openMain();
    w->OpenHexfile->trigger(); // no answer queued: the user cancels
    QCOMPARE(m_services->fileRequests.size(), 1);
    QCOMPARE(m_services->fileRequests.first().filter, w->odHexInput.filter);
    QCOMPARE(m_services->fileRequests.first().folder, m_dir->path()); // where a.hex lies
    QCOMPARE(w->MRU()->Items(), QStringList {path(QStringLiteral("a.hex"))});
}

// A drop arrives at the control under the pointer (here an edit box), from
// which the application passes it on to the window that takes drops.
void TestMainWindow::droppedLocalFilesGoToTheHeadInDropOrder()
{
    writeIni(QString(), {path(QStringLiteral("old.hex"))});
    TfrmMain *w = openMain();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QWidget *target = w->leOutputDir;
    const QPoint at = target->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    const QUrl remote(QStringLiteral("https://example.org/c.hex"));
    QMimeData remoteOnly;
    remoteOnly.setUrls({remote});
    QDragEnterEvent refused(at, offered, &remoteOnly, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &refused);
    QVERIFY(!refused.isAccepted()); // the no-drop cursor

    const QString a = path(QStringLiteral("a.hex"));
    const QString b = path(QStringLiteral("b.hex"));
    QMimeData mixed;
    mixed.setUrls({QUrl::fromLocalFile(a), remote, QUrl::fromLocalFile(b)});
    mixed.setText(a); // file managers offer the names as text too
    QDragEnterEvent enter(at, offered, &mixed, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, offered, &mixed, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction); // a move would delete the dropped files
    QCOMPARE(w->MRU()->Items(), (QStringList {b, a, path(QStringLiteral("old.hex"))}));
    QCOMPARE(w->cbHexes->currentText(), b);
    QCOMPARE(w->Settings()->HexInputFile(), b);
    QCOMPARE(w->leOutputDir->text(), platform::conventions().defaultReadOutputDir);
}

void TestMainWindow::programSecondEntryMovesItToHead()
{
    touch(QStringLiteral("xwisp2w"));
    touch(QStringLiteral("first.hex"));
    touch(QStringLiteral("second.hex"));
    writeIni(path(QStringLiteral("xwisp2w")),
        {path(QStringLiteral("first.hex")), path(QStringLiteral("second.hex"))});
    TfrmMain *w = openMain();
    QVERIFY(w->acProgramPIC->isEnabled());
    w->cbHexes->setCurrentIndex(1);
    w->acProgramPIC->trigger();

    const QString second = path(QStringLiteral("second.hex"));
    QCOMPARE(w->MRU()->Items(), (QStringList {second, path(QStringLiteral("first.hex"))}));
    QCOMPARE(w->cbHexes->currentIndex(), 0);
    QCOMPARE(w->cbHexes->currentText(), second);
    QCOMPARE(w->Settings()->HexInputFile(), second);
    QCOMPARE(m_services->launched.size(), 1);
    QVERIFY2(m_services->launched.first().endsWith(QStringLiteral(" GO \"%1\"").arg(second)),
        qPrintable(m_services->launched.first()));
    QCOMPARE(logLines(), m_services->launched);
}

void TestMainWindow::entriesAreColouredInPressOrder()
{
    touch(QStringLiteral("xwisp2w"));
    touch(QStringLiteral("a.hex"));
    writeIni(path(QStringLiteral("xwisp2w")), {path(QStringLiteral("a.hex"))});
    TfrmMain *w = openMain();
    w->acProgramPIC->trigger();
    w->acReadPIC->trigger();
    w->acProgramPIC->trigger();

    QCOMPARE(m_services->launched.size(), 3);
    QCOMPARE(logLines(), m_services->launched);
    QVERIFY(m_services->launched.at(1).contains(QStringLiteral(" READ \"")));
    QCOMPARE(lineColor(0), QColor(255, 0, 0));
    QCOMPARE(lineColor(1), QColor(0, 128, 0));
    QCOMPARE(lineColor(2), QColor(255, 0, 0));
}

// The clock moves on by a second at every reading: a command composed twice
// would name two different files.
void TestMainWindow::readLineLoggedIsLineLaunched()
{
    int seconds = 58;
    platform::setClock([&seconds] {
        platform::LocalTime t;
        t.year = 2026;
        t.month = 3;
        t.day = 7;
        t.hour = 9;
        t.minute = 5 + seconds / 60;
        t.second = quint16(seconds % 60);
        ++seconds;
        return t;
    });
    touch(QStringLiteral("xwisp2w"));
    writeIni(path(QStringLiteral("xwisp2w")), {});
    TfrmMain *w = openMain();
    w->acReadPIC->trigger();
    w->acReadPIC->trigger();
    QCOMPARE(m_services->launched.size(), 2);
    QCOMPARE(logLines(), m_services->launched);
    QVERIFY(m_services->launched.at(0).contains(QStringLiteral("20260307090558.hex")));
    QVERIFY(m_services->launched.at(1).contains(QStringLiteral("20260307090559.hex")));
    // The tool's arguments name the file of the logged line.
    QVERIFY(m_services->launchedArguments.at(0).contains(QStringLiteral("./20260307090558.hex")));
    QVERIFY(m_services->launchedArguments.at(1).contains(QStringLiteral("./20260307090559.hex")));
    QVERIFY(w->MRU()->Items().isEmpty()); // reading leaves the recent list alone
}

void TestMainWindow::entriesAppendedWhileLogHidden()
{
    touch(QStringLiteral("xwisp2w"));
    touch(QStringLiteral("a.hex"));
    writeIni(path(QStringLiteral("xwisp2w")), {path(QStringLiteral("a.hex"))});
    TfrmMain *w = openMain();
    w->show();
    w->acProgramPIC->trigger();
    w->acReadPIC->trigger();
    QVERIFY(!m_log->isVisible());
    w->acShowLog->trigger();
    QVERIFY(m_log->isVisible());
    QCOMPARE(logLines(), m_services->launched);
    m_log->close(); // only hides: contents stay, later entries still arrive
    w->acProgramPIC->trigger();
    QCOMPARE(logLines().size(), 3);
    QCOMPARE(logLines(), m_services->launched);
}

void TestMainWindow::typedLogTextDoesNotDisturbEntries()
{
    touch(QStringLiteral("xwisp2w"));
    writeIni(path(QStringLiteral("xwisp2w")), {});
    TfrmMain *w = openMain();
    w->acReadPIC->trigger();
    w->acShowLog->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(m_log.get()));
    m_log->reLog()->setFocus();
    m_log->reLog()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(m_log->reLog(), QStringLiteral("typed "));
    m_log->reLog()->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_log->reLog(), QStringLiteral(" more"));
    QTest::keyClick(m_log->reLog(), Qt::Key_Return);
    w->acReadPIC->trigger();
    w->acReadPIC->trigger();

    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0),
        QStringLiteral("typed ") + m_services->launched.at(0) + QStringLiteral(" more"));
    QCOMPARE(lines.at(1), m_services->launched.at(1));
    QCOMPARE(lines.at(2), m_services->launched.at(2));
    QCOMPARE(lineColor(1), QColor(0, 128, 0));
    QCOMPARE(lineColor(2), QColor(0, 128, 0));
}

void TestMainWindow::logShowsNewestEntryAndTakesShortcuts()
{
    touch(QStringLiteral("xwisp2w"));
    writeIni(path(QStringLiteral("xwisp2w")), {});
    TfrmMain *w = openMain();
    w->show();
    w->acShowLog->trigger();
    QVERIFY(QTest::qWaitForWindowActive(m_log.get()));
    // F9 pressed in the log window runs the main window's action.
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(m_log->reLog(), Qt::Key_F9);
    QCOMPARE(m_services->launched.size(), 30);
    // The caret is at the end, and the box scrolled it (with the newest line) into view.
    QVERIFY(m_log->reLog()->verticalScrollBar()->value() > 0);
    QVERIFY(m_log->reLog()->textCursor().atEnd());
    QVERIFY(m_log->reLog()->viewport()->rect().contains(m_log->reLog()->cursorRect()));
}

// The real launcher; the tool runs without a terminal, its input closed.
static void useRealLauncher()
{
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    UiServices().runCommand = [](const TToolCommand &command, QString &reason) {
        const int input = ::dup(0), null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        const bool started = platform::startDetached(command.Line, command.Arguments, reason);
        ::dup2(input, 0);
        return ::close(input) == 0 && ::close(null) == 0 && started;
    };
}

void TestMainWindow::refusedLaunchIsShown_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<int>("error");
    QTest::addRow("no execute permission") << QByteArray("chmod") << EACCES;
    QTest::addRow("removed") << QByteArray("rm") << ENOENT;
    QTest::addRow("exec fails in the child") << QByteArray("garble") << ENOEXEC;
}

// The tool changes after the check that enabled F9: the line is logged, then
// the standard error box names the tool and the system's reason.
void TestMainWindow::refusedLaunchIsShown()
{
    QFETCH(QByteArray, change);
    QFETCH(int, error);
    const QString tool = path(QStringLiteral("xwisp2w"));
    QVERIFY(QFile::copy(DW_BUILD_DIR "/xwisp2w", tool));
    writeIni(tool, {});
    useRealLauncher();
    qsizetype logged = -1;
    UiServices().messageBox = [&](QWidget *, QMessageBox::Icon icon, const QString &caption,
                                  const QString &text, QMessageBox::StandardButton button) {
        logged = logLines().size();
        m_services->messages.append({icon, caption, text, button});
    };
    TfrmMain *w = openMain();
    if (change == "chmod")
        QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner));
    else if (change == "rm")
        QVERIFY(QFile::remove(tool));
    else
        writeAll(tool, "not a program\n");
    w->acReadPIC->trigger();
    QCOMPARE(logged, 1);
    QCOMPARE(m_services->messages.size(), 1);
    QCOMPARE(m_services->messages.at(0).caption, ApplicationTitle());
    QCOMPARE(m_services->messages.at(0).text,
        QStringLiteral("Unable to start %1: %2.").arg(tool, qt_error_string(error)));
    QVERIFY(w->acReadPIC->isEnabled()); // nothing else changed
}

void TestMainWindow::toolGetsExactlyTheChosenValues_data()
{
    QTest::addColumn<QString>("toolFolder");
    QTest::addColumn<QString>("hexName");
    QTest::addColumn<QString>("pause");
    QTest::addRow("quotes") << "tools"
                            << R"(say "hi".hex)"
                            << R"(Press "Enter")";
    QTest::addRow("hex name ending in a backslash") << "tools"
                                                    << R"(odd\)"
                                                    << "Press Enter";
    QTest::addRow("quote and backslash in the tool's folder") << R"(to"ol\s)"
                                                              << "a.hex"
                                                              << "";
}

// The real F6: the substitute tool records each chosen value as one word.
void TestMainWindow::toolGetsExactlyTheChosenValues()
{
    QFETCH(QString, toolFolder);
    QFETCH(QString, hexName);
    QFETCH(QString, pause);
    QVERIFY(QDir(m_dir->path()).mkdir(toolFolder));
    const QString tool = path(toolFolder + QStringLiteral("/xwisp2w")), hex = path(hexName),
                  log = path(QStringLiteral("args.log"));
    QVERIFY(QFile::copy(DW_BUILD_DIR "/xwisp2w", tool));
    touch(hexName);
    writeIni(tool, {hex});
    qputenv("XWISP2W_ARGS_LOG", QFile::encodeName(log));
    useRealLauncher();
    TfrmMain *w = openMain();
    w->lePauseText->setText(pause); // typed: the INI file would strip its quotes
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->cbHexes, Qt::Key_F6);
    QTRY_VERIFY_WITH_TIMEOUT(readAll(log).endsWith('\n'), 30000);
    QStringList expected {"VERBOSE", "PORT", "1", "BAUD", "19200", "RTS", "ON", "GO", hex};
    if (!pause.isEmpty())
        expected << "PAUSE" << pause;
    QCOMPARE(QVariant(QJsonDocument::fromJson(readAll(log)).array().toVariantList()).toStringList(),
        expected);
}

// An INI file from a Latin-1 system names the tool's folder and a hex file
// with bytes that are not UTF-8: the window finds both, and the tool receives
// the names' own bytes.
void TestMainWindow::latin1NamesReachTheTool()
{
    const QByteArray dir = QFile::encodeName(m_dir->path());
    const QByteArray folder = dir + "/tools\xe4", tool = folder + "/xwisp2w",
                     hex = dir + "/\xc4.hex";
    const auto remove = qScopeGuard([&] { // names that QTemporaryDir cannot remove
        ::unlink(tool.constData());
        ::rmdir(folder.constData());
        ::unlink(hex.constData());
    });
    QVERIFY(::mkdir(folder.constData(), 0755) == 0);
    QVERIFY(::symlink(DW_BUILD_DIR "/xwisp2w", tool.constData()) == 0);
    const int fd = ::open(hex.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY(fd >= 0 && ::close(fd) == 0);
    writeAll(m_ini, "[DranelWispConfig]\nWispProgram=" + tool + "\n[MRU]\nMRU_1=" + hex);
    QVERIFY(platform::fileExists(platform::decodeLocal(hex)));

    const QString log = path(QStringLiteral("args.log"));
    qputenv("XWISP2W_ARGS_LOG", QFile::encodeName(log));
    useRealLauncher(); // the tool runs directly, without a terminal
    TfrmMain *w = openMain();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->cbHexes, Qt::Key_F6);
    QTRY_VERIFY_WITH_TIMEOUT(readAll(log).endsWith('\n'), 30000);
    const QJsonArray args = QJsonDocument::fromJson(readAll(log)).array();
    QCOMPARE(platform::encodeLocal(args.last().toString()), hex);
}

void TestMainWindow::editsAreSavedAtExitWithoutCommand()
{
    writeIni(QString(), {}, QStringLiteral("TargetEnabled=1\nTarget=16F628\n"));
    TfrmMain *w = openMain();
    QVERIFY(w->cbTarget->isChecked());
    QVERIFY(w->edTarget->isEnabled()); // SetConfig ran the click handler
    w->lePauseText->setText(QStringLiteral(" Press Enter "));
    w->leOutputDir->setText(QStringLiteral("/tmp/dumps"));
    w->cbVerbose->setChecked(false);
    w->cbTarget->setChecked(false);
    QVERIFY(!w->edTarget->isEnabled());
    QCOMPARE(w->edTarget->text(), QStringLiteral("16F628"));
    // Nothing but FormDestroy copies the controls into the settings here, and
    // the INI file keeps the texts as they stand.
    w->FormDestroy();

    TDWInterface saved(m_ini);
    QCOMPARE(saved.Pause(), QStringLiteral(" Press Enter "));
    QCOMPARE(saved.ReadOutputDir(), QStringLiteral("/tmp/dumps"));
    QCOMPARE(saved.Verbose(), false);
    QCOMPARE(saved.TargetEnabled(), false);
    QCOMPARE(saved.Target(), QStringLiteral("16F628"));
    QVERIFY(m_services->launched.isEmpty());
}

void TestMainWindow::failedSaveAtExitRaisesError()
{
    // A missing folder is made by the save; a file in its place cannot be.
    touch(QStringLiteral("not-a-folder"));
    m_ini = path(QStringLiteral("not-a-folder/dranelwisp.ini"));
    TfrmMain *w = openMain();
    try {
        w->FormDestroy();
        QFAIL("the save below a file succeeded");
    } catch (const TError &error) {
        QCOMPARE(error.Message(), QStringLiteral("Unable to write to ") + m_ini);
    }
    w->update(); // painting after the painter is gone must not crash
    QVERIFY(w->centralWidget()->grab().width() == 646);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
