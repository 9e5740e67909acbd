// Opening the security log viewer on large logs: the time from asking for the viewer to its
// first painted screen, and the memory it takes meanwhile (peak resident size above the size
// before opening); then the time a screen reader's first question takes (the line at the caret,
// which indexes every line's character offset). Logs of 100,000 and 1,000,000 lines are
// generated in a temporary folder.
// Usage: bench_logviewer [runs]   (default 5; the median time and the largest peak are shown)

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "platform/PlainTextView.h"
#include "security/frmView.h"

#include "BenchSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

qint64 WriteLog(const QString &path, int lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    QRandomGenerator random(42);
    QByteArray chunk;
    for (int i = 0; i < lines; ++i) {
        const bool accepted = random.bounded(10) < 8;
        const int hour = 1 + random.bounded(12);
        chunk += QStringLiteral("%1 %2/%3/2026 %4:%5:%6 %7\r\n")
                     .arg(accepted ? QStringLiteral("authorized") : QStringLiteral("unauthorized"))
                     .arg(1 + random.bounded(12))
                     .arg(1 + random.bounded(28))
                     .arg(hour)
                     .arg(random.bounded(60), 2, 10, QLatin1Char('0'))
                     .arg(random.bounded(60), 2, 10, QLatin1Char('0'))
                     .arg(random.bounded(2) ? QStringLiteral("PM") : QStringLiteral("AM"))
                     .toLocal8Bit();
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return file.size();
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir folder;
    const bool peakResets = Bench::ResetPeak();
    if (!peakResets)
        std::printf("note: /proc/self/clear_refs not writable; peaks include earlier sizes\n");

    std::printf("%10s %10s %12s %14s %12s %12s\n", "lines", "file MB", "median ms", "peak +MB",
                "x file", "reader ms");
    for (const int lines : {100000, 1000000}) {
        const QString path = folder.filePath(QStringLiteral("orvlog.txt"));
        const qint64 bytes = WriteLog(path, lines);
        std::vector<double> times;
        std::vector<double> readerTimes;
        long peakKiB = 0;
        for (int run = 0; run < runs; ++run) {
            Module1::Reset();
            Module1::SetAppPath(folder.path());
            QCoreApplication::processEvents();
            const long before = Bench::StatusKiB("VmRSS:");
            Bench::ResetPeak();
            QElapsedTimer timer;
            timer.start();
            Module1::Forms().Show<frmView>();
            frmView &viewer = Module1::Forms().Get<frmView>();
            viewer.repaint();
            viewer.rtbView->viewport()->repaint();
            QCoreApplication::processEvents();
            times.push_back(timer.nsecsElapsed() / 1e6);
            peakKiB = std::max(peakKiB, Bench::StatusKiB("VmHWM:") - before);
            timer.restart();
            QAccessibleTextInterface *text =
                QAccessible::queryAccessibleInterface(viewer.rtbView)->textInterface();
            int start = 0, end = 0;
            text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end);
            readerTimes.push_back(timer.nsecsElapsed() / 1e6);
            if (viewer.rtbView->LineCount() != lines) {
                std::printf("error: the viewer shows %lld lines, not %d\n",
                            static_cast<long long>(viewer.rtbView->LineCount()), lines);
                return 1;
            }
        }
        std::sort(times.begin(), times.end());
        std::sort(readerTimes.begin(), readerTimes.end());
        const double fileMB = bytes / 1048576.0;
        std::printf("%10d %10.1f %12.1f %14.1f %12.2f %12.1f\n", lines, fileMB,
                    times[times.size() / 2], peakKiB / 1024.0, peakKiB / 1024.0 / fileMB,
                    readerTimes[readerTimes.size() / 2]);
        QFile::remove(path);
    }
    Module1::Reset();
    return 0;
}
