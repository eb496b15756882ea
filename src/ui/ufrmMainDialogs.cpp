// The main window's handlers that open dialogs: configuration, folder picker
// and about box.
#include "ufrmMain.h"

#include "Application.h"
#include "DWInterface.h"
#include "LabeledEdit.h"
#include "UiServices.h"
#include "uBrowseForFolder.h"
#include "uConfigDialog.h"
#include "ufrmAbout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include <exception>
#include <memory>

namespace {

// Runs a clean-up step when a scope ends, also when an error leaves it.
template<typename F> class TScopeExit
{
public:
    explicit TScopeExit(F f)
        : FAction(std::move(f))
    { }
    ~TScopeExit() { FAction(); }
    TScopeExit(const TScopeExit &) = delete;
    TScopeExit &operator=(const TScopeExit &) = delete;

private:
    F FAction;
};

// X11 keymaps turn F11 pressed with Ctrl and Alt into the "switch to console
// 11" key, which Qt knows by no key code; its release still reaches the window
// when the server does not switch consoles itself (nested and virtual servers).
constexpr quint32 xkbSwitchVt11 = 0x1008FE0B;

} // namespace

void TfrmMain::acConfigurationExecute()
{
    auto dialog = std::make_unique<TfrmConfigDialog>(); // no owner: a window of its own
    dialog->SetPainter(FPainter.get());
    dialog->LoadFrom(*FSettings);

    // Centred over where the main window stands, frames counted, although it
    // is hidden meanwhile.
    CentreOver(dialog.get(), this);

    hide();
    FConfigurationOpen = true;
    {
        // The main window must come back even if something below fails.
        const TScopeExit restore([this] {
            FConfigurationOpen = false;
            show();
            raise();
            activateWindow();
        });
        for (;;) {
            if (dialog->exec() != QDialog::Accepted)
                break; // Cancel, Escape or the close box: nothing is saved
            try {
                dialog->SaveTo(*FSettings);
                break;
            } catch (const std::exception &) {
                // The box's answer does not matter: any way of closing it
                // leads back into the dialog with the user's entries.
                UiServices().messageBox(dialog.get(), QMessageBox::Critical,
                    QStringLiteral("Error"),
                    QStringLiteral("There was an error in your Port or Baud "
                                   "settings.\nPlese correct them."),
                    QMessageBox::Cancel);
            }
        }
    }
    dialog.reset();
    // The programmer path may have changed: the actions follow it.
    RefreshHexList();
}

void TfrmMain::Timer1Timer()
{
    if (Timer1)
        Timer1->stop(); // fires once only
    // Only a first start without any programmer path opens the dialog; a
    // path naming a missing file shows as disabled actions instead. A dialog
    // the user opened already is the one: a second one over it would write
    // its stale empty path over the user's choice.
    if (FSettings->WispProgram().isEmpty() && !FConfigurationOpen)
        acConfigurationExecute();
}

void TfrmMain::btOutputDirClick()
{
    // Starts from the stored folder, not from what stands in the edit box.
    const QString folder = BrowseForFolder(
        QStringLiteral("Select the output directory for HEX files read from a PIC"),
        FSettings->ReadOutputDir(), this);
    if (folder.isEmpty())
        return;
    FSettings->SetReadOutputDir(folder);
    leOutputDir->setText(folder);
}

void TfrmMain::About1Click()
{
    if (!FAboutBox)
        return;
    FAboutBox->SetPainter(FPainter.get());
    FAboutBox->exec();
}

void TfrmMain::FormKeyUp(QKeyEvent *event)
{
    // Ctrl+Alt+F11 on the release of F11; Shift may be held too. Releases
    // made by key repeat are not a release of the key.
    const bool f11 = event->key() == Qt::Key_F11 || event->nativeVirtualKey() == xkbSwitchVt11;
    if (!f11 || event->isAutoRepeat())
        return;
    const Qt::KeyboardModifiers held = event->modifiers();
    if (!held.testFlag(Qt::ControlModifier) || !held.testFlag(Qt::AltModifier))
        return;
    if (!FAboutBox)
        return;
    // One release opens the box once. While it travels from a control up to
    // the window it can reach this handler twice (the focus is gone when the
    // box closes, so the window takes it for its own); the mark lasts until
    // the event loop is back, that is until the release has been delivered.
    static const QKeyEvent *opened = nullptr;
    if (event == opened)
        return;
    FAboutBox->SetPainter(FPainter.get());
    FAboutBox->lbHiddenText->setVisible(true);
    {
        const TScopeExit hideAgain([this] { FAboutBox->lbHiddenText->setVisible(false); });
        FAboutBox->exec();
    }
    opened = event;
    QTimer::singleShot(0, [] { opened = nullptr; });
}
