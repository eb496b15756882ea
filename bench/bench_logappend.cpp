// Time per log append while the programming log grows to 100,000 lines: an
// append must cost the same at the 100,000th line as at the first. Run by hand:
//   build/bench/bench_logappend
#include "ufrmPICLog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>

#include <cstdio>

namespace {

// A typical read command line, about 100 characters.
QString line(int i)
{
    return QStringLiteral("\"/opt/xwisp2w/xwisp2w\" VERBOSE PORT 1 BAUD 19200 RTS ON  TARGET 16F84A"
                          "   READ \"./2026030709%1.hex\" RUN")
        .arg(i, 4, 10, QLatin1Char('0'));
}

// Appends up to `total` lines and reports the mean time per append over the
// `window` appends that end at each checkpoint.
void run(bool shown)
{
    TfrmPICLog log;
    if (shown)
        log.show();
    constexpr int kWindow = 1000;
    const int checkpoints[] = {1000, 10000, 50000, 100000};
    int done = 0;
    std::printf("log %s:\n", shown ? "shown" : "hidden");
    for (int checkpoint : checkpoints) {
        // Shown, the untimed appends are painted as they go too: left to pile
        // up, their deferred work (a few microseconds each) would land in the
        // first event round of the timed window and read as growth with length.
        while (done < checkpoint - kWindow) {
            (done % 2 ? log.AddReadEntry(line(done)) : log.AddProgramEntry(line(done)));
            ++done;
            if (shown)
                QCoreApplication::processEvents();
        }
        QElapsedTimer timer;
        timer.start();
        while (done < checkpoint) {
            (done % 2 ? log.AddReadEntry(line(done)) : log.AddProgramEntry(line(done)));
            ++done;
            if (shown)
                QCoreApplication::processEvents(); // let it lay out and paint as it goes
        }
        const double perAppend = double(timer.nsecsElapsed()) / kWindow / 1000.0;
        std::printf("  lines %6d-%6d: %8.2f us per append\n", checkpoint - kWindow + 1, checkpoint,
            perAppend);
        std::fflush(stdout);
    }
    std::printf("  blocks in the log: %d\n", log.reLog()->document()->blockCount());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    run(false);
    run(true);
    return 0;
}
