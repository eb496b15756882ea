#include "QuitSignals.h"

#include <QtGlobal>

#ifndef Q_OS_WIN
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace platform {

#ifndef Q_OS_WIN

namespace {

// Written by the handler, read by the event loop.
int wakeUp[2] = {-1, -1};

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[0], &byte, 1);
    errno = saved;
}

} // namespace

void onQuitSignals(QObject *context, std::function<void()> action)
{
    // Both ends close on exec, so a launched tool does not hold them; the
    // writing end never blocks a handler, however many signals come.
    if (wakeUp[0] < 0
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeUp) != 0) {
        qWarning("No socket pair for the quit signals: %s", qPrintable(qt_error_string(errno)));
        return;
    }
    auto *notifier = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [action = std::move(action)] {
        char bytes[64];
        while (::read(wakeUp[1], bytes, sizeof bytes) > 0)
            continue;
        action();
    });
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction old = {};
        if (::sigaction(number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        struct sigaction handler = {};
        handler.sa_handler = onSignal;
        handler.sa_flags = SA_RESTART;
        sigemptyset(&handler.sa_mask);
        ::sigaction(number, &handler, nullptr);
    }
}

#else

void onQuitSignals(QObject *, std::function<void()>)
{ }

#endif

} // namespace platform
