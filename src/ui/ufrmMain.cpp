#include "ufrmMain.h"

#include "Accessibility.h"
#include "Application.h"
#include "ColorButton.h"
#include "Colors.h"
#include "DWInterface.h"
#include "Error.h"
#include "FormPainter.h"
#include "LabeledEdit.h"
#include "MRU.h"
#include "WindowLook.h"
#include "ufrmPICLog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr QSize kClientSize(646, 259);
constexpr int kRecentCount = 9;
constexpr int kTimerInterval = 1500;

// The client area: gray, with the tiles painted over it by the main window.
class TFormClient : public QWidget
{
public:
    explicit TFormClient(TfrmMain *form)
        : QWidget(form)
        , FForm(form)
    {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, ToQColor(clGray, palette));
        setPalette(palette);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        FForm->FormPaint(painter);
    }

private:
    TfrmMain *FForm;
};

template<typename T> T *Named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// A right-aligned label keeps its right edge where the layout puts it and
// grows to the left (and around its middle) when the font needs more room.
void PlaceRightAligned(QLabel *label, int left, int top, int width, int height)
{
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QSize hint = label->sizeHint();
    const int w = std::max(width, hint.width());
    const int h = std::max(height, hint.height());
    label->setGeometry(left + width - w, top - (h - height) / 2, w, h);
}

// A control never gets smaller than the style draws it.
void PlaceAtLeast(QWidget *widget, int left, int top, int width, int height)
{
    const QSize hint = widget->sizeHint();
    widget->setGeometry(left, top, std::max(width, hint.width()), std::max(height, hint.height()));
}

// A button bound to an action shows its caption, follows its enabled state
// and executes it when clicked.
void BindButton(QAbstractButton *button, QAction *action)
{
    SetBoundAction(button, action); // a screen reader tells its key
    auto follow = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
}

// A menu item bound to an action shows its caption and short cut and follows
// its enabled state. The item holds the short cut (shown beside its caption,
// and read by a screen reader as its key) only while its menu is open, where
// the window's short cuts do not work: registered all the time, the key would
// be ambiguous while the menu bar has the focus.
QAction *BoundMenuItem(QMenu *menu, QAction *action, const char *name)
{
    QAction *item = Named(menu->addAction(QString()), name);
    item->setShortcutContext(Qt::WidgetShortcut);
    auto follow = [item, action] {
        item->setText(action->text());
        item->setEnabled(action->isEnabled());
    };
    QObject::connect(
        menu, &QMenu::aboutToShow, item, [item, action] { item->setShortcut(action->shortcut()); });
    QObject::connect(menu, &QMenu::aboutToHide, item, [item] { item->setShortcut({}); });
    follow();
    QObject::connect(action, &QAction::changed, item, follow);
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    return item;
}

} // namespace

TfrmMain::TfrmMain(const QString &iniFileName, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    InstallAccessibility(); // before any control is described
    setWindowTitle(QStringLiteral("Dranel-Wisp Command Interface"));
    // Fixed border with system menu and minimise box, no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(WindowFont());

    odHexInput.filter = HexInputFilter(platform::conventions().style);
    odHexInput.defaultSuffix = QStringLiteral("hex");

    CreateActions();
    CreateControls();
    CreateMenu();
    EnableFileDrops();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);

    // The window sees the key releases of its controls before they do.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    try {
        FormCreate(iniFileName);
    } catch (...) {
        ShowErrorBox(CurrentExceptionText());
        // Without the settings there is nothing the controls could act on.
        if (!FSettings) {
            centralWidget()->setEnabled(false);
            for (QAction *action : {acProgramPIC, acReadPIC, acConfiguration, OpenHexfile})
                action->setEnabled(false);
        }
    }
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::SetLogWindow(TfrmPICLog *log)
{
    FLog = log;
    if (log)
        log->addActions({acProgramPIC, acReadPIC, acConfiguration, OpenHexfile, acShowLog});
}

QString TfrmMain::HexInputFilter(platform::PathStyle style)
{
    const QString all
        = style == platform::PathStyle::Windows ? QStringLiteral("*.*") : QStringLiteral("*");
    return QStringLiteral("Hex inputfiles (*.hex);;All files (%1)").arg(all);
}

void TfrmMain::CreateActions()
{
    auto make = [this](const char *name, const QString &caption, const QKeySequence &key,
                    const QString &category, bool enabled, void (TfrmMain::*handler)()) {
        auto *action = Named(new QAction(caption, this), name);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(enabled);
        if (!category.isEmpty())
            action->setProperty("Category", category);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    const QString picAction = QStringLiteral("PIC Action");
    const QString file = QStringLiteral("File");
    acProgramPIC = make("acProgramPIC", QStringLiteral("Program PIC (F6)"), Qt::Key_F6, picAction,
        false, &TfrmMain::acProgramPICExecute);
    acReadPIC = make("acReadPIC", QStringLiteral("Read PIC (F9)"), Qt::Key_F9, picAction, false,
        &TfrmMain::acReadPICExecute);
    acConfiguration = make("acConfiguration", QStringLiteral("Configuration"), Qt::Key_F2, file,
        true, &TfrmMain::acConfigurationExecute);
    OpenHexfile = make("OpenHexfile", QStringLiteral("..."), QKeySequence(Qt::CTRL | Qt::Key_O),
        QString(), true, &TfrmMain::OpenHexfileExecute);
    acShowLog = make("acShowLog", QStringLiteral("Show Log"), Qt::Key_F4, file, true,
        &TfrmMain::acShowLogExecute);
}

void TfrmMain::CreateControls()
{
    auto *client = new TFormClient(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientSize);
    setCentralWidget(client);

    // Created bottom to top: the bevel lies under everything else.
    Bevel1 = Named(new QFrame(client), "Bevel1");
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 626, 186);

    Label3 = Named(new QLabel(QStringLiteral("Program Hexfile"), client), "Label3");
    MakeYellowBold(Label3);
    PlaceRightAligned(Label3, 22, 28, 90, 13);

    cbHexes = Named(NewDropDownList(client, 15, 13), "cbHexes");
    cbHexes->setGeometry(120, 24, 473, 21);
    cbHexes->setAccessibleName(Label3->text());
    Label3->setBuddy(cbHexes);

    Button1 = Named(new TActionButton(client), "Button1");
    Button1->setGeometry(602, 23, 25, 25);
    Button1->setAccessibleName(QStringLiteral("Choose hex file"));
    BindButton(Button1, OpenHexfile);

    Label1 = Named(new QLabel(QStringLiteral("Verbose"), client), "Label1");
    MakeYellowBold(Label1);
    PlaceRightAligned(Label1, 65, 56, 47, 13);

    cbVerbose = Named(new QCheckBox(client), "cbVerbose");
    MakeYellowBold(cbVerbose);
    cbVerbose->setChecked(true);
    PlaceAtLeast(cbVerbose, 120, 56, 13, 14);
    // The check boxes have no caption of their own: their labels name them.
    cbVerbose->setAccessibleName(Label1->text());
    Label1->setBuddy(cbVerbose);

    Label2 = Named(new QLabel(QStringLiteral("Target PIC"), client), "Label2");
    MakeYellowBold(Label2);
    PlaceRightAligned(Label2, 50, 88, 62, 13);

    cbTarget = Named(new QCheckBox(client), "cbTarget");
    MakeYellowBold(cbTarget);
    cbTarget->setToolTip(
        QStringLiteral("Enable this flag if you want to override the automatically detected PIC"));
    PlaceAtLeast(cbTarget, 120, 88, 13, 14);
    cbTarget->setAccessibleName(Label2->text());
    Label2->setBuddy(cbTarget);
    // Runs whenever the state changes, whether by the user or by SetConfig.
    connect(cbTarget, &QCheckBox::toggled, this, &TfrmMain::cbTargetClick);

    edTarget = Named(new QLineEdit(QStringLiteral("16F84A"), client), "edTarget");
    edTarget->setGeometry(144, 85, 121, 21);
    edTarget->setEnabled(false);
    edTarget->setAccessibleName(QStringLiteral("Target PIC type"));

    lePauseText = Named(new TLabeledEdit(client, QStringLiteral("Pause text")), "lePauseText");
    lePauseText->EditLabel()->setObjectName(QStringLiteral("lePauseTextLabel"));
    MakeYellowBold(lePauseText->EditLabel());
    lePauseText->SetBounds(120, 120, 233, 21);

    leOutputDir = Named(new TLabeledEdit(client, QStringLiteral("Read output dir")), "leOutputDir");
    leOutputDir->EditLabel()->setObjectName(QStringLiteral("leOutputDirLabel"));
    MakeYellowBold(leOutputDir->EditLabel());
    leOutputDir->SetBounds(120, 152, 473, 21);

    btOutputDir = Named(new QPushButton(QStringLiteral("..."), client), "btOutputDir");
    btOutputDir->setGeometry(602, 151, 25, 25);
    btOutputDir->setAccessibleName(QStringLiteral("Choose read output folder"));
    connect(btOutputDir, &QPushButton::clicked, this, &TfrmMain::btOutputDirClick);

    btProgram = Named(new TColorButton(client), "btProgram");
    MakeYellowBold(btProgram);
    btProgram->SetBackColor(clTeal);
    btProgram->SetForeColor(clYellow);
    btProgram->SetHoverColor(clTeal);
    btProgram->setGeometry(176, 214, 121, 33);
    BindButton(btProgram, acProgramPIC);

    btRead = Named(new TColorButton(client), "btRead");
    MakeYellowBold(btRead);
    btRead->SetBackColor(clGray);
    btRead->SetForeColor(clYellow);
    btRead->SetHoverColor(clGray);
    btRead->setGeometry(336, 214, 121, 33);
    BindButton(btRead, acReadPIC);

    for (QWidget *unfocusable : {static_cast<QWidget *>(Bevel1), static_cast<QWidget *>(Label1),
             static_cast<QWidget *>(Label2), static_cast<QWidget *>(Label3)})
        unfocusable->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget *> tabOrder {cbHexes, Button1, cbVerbose, cbTarget, edTarget, lePauseText,
        leOutputDir, btOutputDir, btProgram, btRead};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    // The first control in tab order has the focus when the window first shows.
    cbHexes->setFocus();
}

void TfrmMain::CreateMenu()
{
    File1 = Named(menuBar()->addMenu(QStringLiteral("&File")), "File1");
    File1->setFont(font()); // a pop-up is a window of its own: the font does not reach it
    Configuration2 = BoundMenuItem(File1, acConfiguration, "Configuration2");
    ShowLog1 = BoundMenuItem(File1, acShowLog, "ShowLog1");
    N1 = Named(File1->addSeparator(), "N1");
    Exit1 = Named(File1->addAction(QStringLiteral("E&xit")), "Exit1");
    connect(Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);
    About1 = Named(menuBar()->addAction(QStringLiteral("About")), "About1");
    connect(About1, &QAction::triggered, this, &TfrmMain::About1Click);
}

void TfrmMain::FormCreate(const QString &iniFileName)
{
    FPainter = std::make_unique<TFormPainter>(QStringLiteral("PB_BACK"));
    FSettings = iniFileName.isEmpty() ? std::make_unique<TDWInterface>()
                                      : std::make_unique<TDWInterface>(iniFileName);
    FMRU = std::make_unique<TMRU>(kRecentCount);
    // Taken as they are: the bound applies from the next Add on.
    FMRU->Items().append(FSettings->MRUList());
    SetConfig();
    Timer1->start();
}

void TfrmMain::FormDestroy()
{
    FPainter.reset();
    if (FSettings && FMRU) {
        GetConfig();
        FSettings->SaveConfig();
    }
    FSettings.reset();
    FMRU.reset();
}

void TfrmMain::SetConfig()
{
    cbVerbose->setChecked(FSettings->Verbose());
    lePauseText->setText(FSettings->Pause());
    edTarget->setText(FSettings->Target());
    cbTarget->setChecked(FSettings->TargetEnabled());
    leOutputDir->setText(FSettings->ReadOutputDir());
    RefreshHexList();
}

TDWInterface *TfrmMain::GetConfig()
{
    if (!FSettings || !FMRU)
        throw TError(QStringLiteral("The settings are not loaded"));
    FSettings->SetVerbose(cbVerbose->isChecked());
    FSettings->SetPause(lePauseText->text());
    FSettings->SetTarget(edTarget->text());
    FSettings->SetTargetEnabled(cbTarget->isChecked());
    FSettings->MRUList().clear();
    FSettings->MRUList().append(FMRU->Items());
    FSettings->SetReadOutputDir(leOutputDir->text());
    return FSettings.get();
}

void TfrmMain::RefreshHexList()
{
    const bool programmerFound = platform::fileExists(FSettings->WispProgram());
    acReadPIC->setEnabled(programmerFound);
    cbHexes->clear();
    cbHexes->addItems(FMRU->Items());
    if (cbHexes->count() == 0)
        return;
    cbHexes->setCurrentIndex(0);
    FSettings->SetHexInputFile(cbHexes->currentText());
    acProgramPIC->setEnabled(programmerFound && platform::fileExists(FSettings->HexInputFile()));
}

void TfrmMain::OpenHexfileExecute()
{
    // The dialog opens where the current hex file lies (if that folder is gone,
    // where the dialog itself chooses).
    odHexInput.folder = FSettings->HexInputFile().isEmpty()
        ? QString()
        : QFileInfo(FSettings->HexInputFile()).absolutePath();
    const QString fileName = UiServices().openFileName(this, odHexInput);
    if (fileName.isEmpty())
        return;
    FMRU->Add(fileName);
    RefreshHexList();
    cbHexes->setFocus();
}

void TfrmMain::cbTargetClick()
{
    edTarget->setEnabled(cbTarget->isChecked());
}

void TfrmMain::FormPaint(QPainter &painter)
{
    // The painter is gone once FormDestroy ran; the gray background remains.
    if (FPainter)
        FPainter->PaintForm(painter, centralWidget()->size());
}

void TfrmMain::Exit1Click()
{
    close();
}

void TfrmMain::acProgramPICExecute()
{
    if (cbHexes->currentIndex() >= 0) {
        FMRU->Add(cbHexes->currentText());
        RefreshHexList();
    }
    const TToolCommand command = GetConfig()->ProgramCommand();
    if (FLog)
        FLog->AddProgramEntry(command.Line);
    RunCommand(command);
}

void TfrmMain::acReadPICExecute()
{
    // Composed once: the log and the launch name the same read-back file.
    const TToolCommand command = GetConfig()->ReadCommand();
    if (FLog)
        FLog->AddReadEntry(command.Line);
    RunCommand(command);
}

void TfrmMain::acShowLogExecute()
{
    if (!FLog)
        return;
    FLog->show();
    FLog->raise();
    FLog->activateWindow();
}

void TfrmMain::RunCommand(const TToolCommand &command)
{
    // Only a start the system refused is told; once the tool runs, its fate
    // is its own.
    QString reason;
    if (UiServices().runCommand(command, reason))
        return;
    QString text = QStringLiteral("Unable to start ") + command.Arguments.value(0);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    ShowErrorBox(text);
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Enter presses the focused push button, as Space does (outside a dialog
    // a push button leaves Enter alone). Held down, it presses it once.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && button
            && button == QApplication::focusWidget()) {
            if (!key->isAutoRepeat() && button->isEnabled())
                button->click();
            return true;
        }
    }
    // A key release travels from the focused control up through its parents;
    // only its first stop counts, so FormKeyUp sees each release once.
    if (event->type() == QEvent::KeyRelease && watched == QApplication::focusWidget())
        FormKeyUp(static_cast<QKeyEvent *>(event));
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::keyReleaseEvent(QKeyEvent *event)
{
    // Releases with no focused control in the window arrive here directly.
    const QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == this)
        FormKeyUp(event);
    QMainWindow::keyReleaseEvent(event);
}
