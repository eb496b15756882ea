#pragma once

#include <QApplication>
#include <QMargins>

#include <functional>

class QWidget;

// The application title: the executable's file name cut at its first full
// stop, every character after the first in lower case.
QString ApplicationTitle(const QString &executableFileName);
QString ApplicationTitle(); // of the running executable

// The text of the standard error box: a full stop is appended when the last
// character sorts after ".".
QString ErrorBoxText(const QString &message);

// The standard error box: the text, the application title as caption, an
// error icon and one OK button. Shown through UiServices().messageBox.
void ShowErrorBox(const QString &message);

// The text of whatever is being thrown (call from a catch block only).
QString CurrentExceptionText();

// Qt must not let an exception cross its event loop, so every event is
// delivered inside a catch: an error that escapes a handler ends that handler,
// is shown in the standard error box and the program goes on.
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// When the system asks the program to end (SIGTERM, SIGHUP, SIGINT) or the
// desktop session ends, the main window closes as File > Exit closes it, and
// the message loop ends; the owner then saves the settings, once. A modal
// dialog open at that moment is left as if cancelled.
void CloseOnSessionEnd(QWidget *mainWindow);

// Places the window, its frame included, in the middle of its screen (without
// a window manager Qt would leave it at the top-left corner). A window manager
// tells the frame only once it has framed the window, so a window centred
// before that is centred again then.
void CentreOnScreen(QWidget *window);

// Places the window, its frame included, in the middle of the other window's
// frame (also while that one is hidden). Until a window manager has framed the
// window, its frame is taken to be the other's; once it is known, the window
// is centred again.
void CentreOver(QWidget *window, const QWidget *other);

// Runs action once, as soon as a window manager has framed the window and Qt
// knows the frame; without a window manager it never runs.
void WhenFramed(QWidget *window, std::function<void(QMargins frame)> action);
