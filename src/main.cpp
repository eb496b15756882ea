// Start-up: the application object, then the main window, the programming log
// and the about box, in that order; the message loop runs until the main
// window closes, whatever other window is still open.
#include "Application.h"
#include "ufrmAbout.h"
#include "ufrmMain.h"
#include "ufrmPICLog.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <memory>

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    // The desktop finds the menu entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.dranelwisp.dranelwisp"));
    // Read as the PNG it is: by a name without a suffix, QIcon would open the
    // MIME database to learn the type before the first window shows.
    QApplication::setWindowIcon(
        QIcon(QPixmap::fromImage(QImage(QStringLiteral(":/MAINICON"), "PNG"))));

    const auto frmMain = std::make_unique<TfrmMain>();
    const auto frmPICLog = std::make_unique<TfrmPICLog>();
    // The about box is modal over the main window; the main window's child tree
    // does not own it (it is freed here, before the main window).
    const auto AboutBox = std::make_unique<TAboutBox>(frmMain.get());
    AboutBox->SetPainter(frmMain->Painter());
    frmMain->SetLogWindow(frmPICLog.get());
    frmMain->SetAboutBox(AboutBox.get());

    // Only the main window's closing ends the loop; the other two only hide.
    frmPICLog->setAttribute(Qt::WA_QuitOnClose, false);
    AboutBox->setAttribute(Qt::WA_QuitOnClose, false);
    QApplication::setQuitOnLastWindowClosed(true);

    CentreOnScreen(frmMain.get());
    CloseOnSessionEnd(frmMain.get());
    frmMain->show();
    const int result = application.exec();

    frmPICLog->hide();
    try {
        frmMain->FormDestroy();
    } catch (...) {
        ShowErrorBox(CurrentExceptionText());
    }
    return result;
}
