#include "Application.h"

#include "Error.h"
#include "QuitSignals.h"
#include "UiServices.h"

#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <exception>

QString ApplicationTitle(const QString &executableFileName)
{
    QString title = executableFileName;
    const qsizetype dot = title.indexOf(u'.');
    if (dot >= 0)
        title.truncate(dot);
    return title.left(1) + title.mid(1).toLower();
}

QString ApplicationTitle()
{
    return ApplicationTitle(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void ShowErrorBox(const QString &message)
{
    UiServices().messageBox(QApplication::activeWindow(), QMessageBox::Critical, ApplicationTitle(),
        ErrorBoxText(message), QMessageBox::Ok);
}

QString CurrentExceptionText()
{
    try {
        throw;
    } catch (const TError &error) {
        return error.Message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = CurrentExceptionText();
        try {
            ShowErrorBox(text);
        } catch (...) {
            // The box itself failed (out of memory): nothing more can be shown.
        }
        return false;
    }
}

void CloseOnSessionEnd(QWidget *mainWindow)
{
    const QPointer<QWidget> window(mainWindow);
    const auto end = [window] {
        if (window && window->isVisible() && !QApplication::activeModalWidget()) {
            window->close(); // as File > Exit
            return;
        }
        // A modal dialog runs a loop of its own, and a hidden main window
        // (hidden while the configuration dialog is open) ends nothing by
        // closing: leaving every loop ends the dialogs as Cancel, then the run.
        QCoreApplication::exit(0);
    };
    platform::onQuitSignals(mainWindow, end);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, mainWindow, end);
}

namespace {

// The frame a window manager put around the window; none before it did.
QMargins FrameOf(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Watches a window until its frame is known: the window is framed before it
// is first exposed, but a move or a resize may be the first news of it too.
class TFrameWatch : public QObject
{
public:
    TFrameWatch(QWidget *window, std::function<void(QMargins)> action)
        : QObject(window)
        , FWindow(window)
        , FAction(std::move(action))
    {
        setObjectName(QStringLiteral("FrameWatch"));
        window->installEventFilter(this);
        Watch();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WinIdChange:
            Watch();
            break;
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
            if (const QMargins frame = FrameOf(FWindow); !frame.isNull()) {
                FWindow->removeEventFilter(this);
                if (FHandle)
                    FHandle->removeEventFilter(this);
                deleteLater();
                FAction(frame);
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Watch()
    {
        QWindow *handle = FWindow->windowHandle();
        if (!handle || handle == FHandle)
            return;
        FHandle = handle;
        handle->installEventFilter(this);
    }

    QWidget *FWindow;
    QPointer<QWindow> FHandle;
    std::function<void(QMargins)> FAction;
};

// Sets the client area's place, so the frame's size counts whatever the
// window manager makes of a requested position. An unframed window is taken
// to get the guessed frame.
void CentreIn(QWidget *window, const QRect &area, QMargins guess = {})
{
    QMargins frame = FrameOf(window);
    if (frame.isNull())
        frame = guess;
    const QSize outer = window->size().grownBy(frame);
    const QPoint topLeft(area.x() + (area.width() - outer.width()) / 2,
        area.y() + (area.height() - outer.height()) / 2);
    window->setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window->size()));
}

void CentreWithFrame(QWidget *window)
{
    if (const QScreen *screen = window->screen())
        CentreIn(window, screen->geometry());
}

} // namespace

void WhenFramed(QWidget *window, std::function<void(QMargins frame)> action)
{
    const QMargins frame = FrameOf(window);
    if (!frame.isNull())
        action(frame);
    else
        new TFrameWatch(window, std::move(action));
}

void CentreOver(QWidget *window, const QWidget *other)
{
    const QRect area = other->frameGeometry();
    CentreIn(window, area, FrameOf(other));
    if (FrameOf(window).isNull())
        WhenFramed(window, [window, area](QMargins) { CentreIn(window, area); });
}

void CentreOnScreen(QWidget *window)
{
    CentreWithFrame(window);
    // One watch is enough however often an unframed window is centred.
    if (FrameOf(window).isNull()
        && !window->findChild<QObject *>(QStringLiteral("FrameWatch"), Qt::FindDirectChildrenOnly))
        WhenFramed(window, [window](QMargins) { CentreWithFrame(window); });
}
