#pragma once

#include "UiServices.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Plays the user's part in modal windows of type W: each time such a window
// is newly on screen, the next step runs with it (a step normally closes it).
// Polls, because the window may come up only after a timer or a message box.
// A showing after the last step is closed at once and counted as an extra
// one, so an unexpected window fails the test instead of hanging it.
// Destroying the script stops it, so a window that never came cannot catch a
// later test's window.
template<typename W> class TModalScript
{
public:
    using Step = std::function<void(W *)>;

    explicit TModalScript(QList<Step> steps)
        : FSteps(std::move(steps))
    {
        QObject::connect(&FPoll, &QTimer::timeout, [this] { Tick(); });
        FPoll.start(5);
    }

    int StepsRun() const { return FDone; }
    bool Finished() const { return FDone == FSteps.size(); }
    int ExtraShowings() const { return FExtra; }

private:
    void Tick()
    {
        auto *modal = qobject_cast<W *>(QApplication::activeModalWidget());
        const bool onScreen = modal && modal->isVisible();
        if (FWaitForClose) {
            // The same showing is still up: wait until it has gone.
            if (onScreen && modal == FLast)
                return;
            FWaitForClose = false;
        }
        // Focus and keys reach only the active window, which a busy machine
        // may make the new window a little after showing it.
        if (!onScreen || !modal->isActiveWindow())
            return;
        FLast = modal;
        if (Finished()) {
            ++FExtra;
            modal->close();
        } else {
            FSteps[FDone++](modal);
        }
        // A step that closed the window (which may open again at once, as the
        // configuration dialog does after a bad number) ends this showing.
        FWaitForClose = FLast && FLast->isVisible();
    }

    QList<Step> FSteps;
    QTimer FPoll;
    int FDone = 0;
    int FExtra = 0;
    bool FWaitForClose = false;
    QPointer<W> FLast;
};

// One message box the code asked for.
struct TShownMessage
{
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButton button;
};

// Replaces the message box with a recorder that appends to shown (which must
// outlive the test's use of the services); the box closes at once, as if the
// user had pressed its one button.
inline void recordMessageBoxes(QList<TShownMessage> &shown)
{
    UiServices().messageBox = [&shown](QWidget *, QMessageBox::Icon icon, const QString &caption,
                                  const QString &text, QMessageBox::StandardButton button) {
        shown.append({icon, caption, text, button});
    };
}
