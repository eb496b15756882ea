#pragma once

#include <functional>

class QObject;

namespace platform {

// Runs action in the event loop when the system asks the program to end:
// SIGTERM, SIGHUP or SIGINT on POSIX systems (a signal that was ignored when
// the program started stays ignored). The signal handler only writes a byte
// to a socket pair; the action runs from the event loop, where it may do
// anything. context owns the watch. On Windows nothing is watched.
void onQuitSignals(QObject *context, std::function<void()> action);

} // namespace platform
