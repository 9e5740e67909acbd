// Opening the security log viewer on large logs: the time from asking for the viewer to its
// first painted screen, and the memory it takes meanwhile (peak resident size above the size
// before opening); then the time a screen reader's first question takes (the line at the caret,
// which indexes every line's character offset). Logs of 100,000 and 1,000,000 lines are
// generated in a temporary folder; with --huge also one of 10,000,000 lines of about 107 bytes
// (1 GB, its lines padded), removed afterwards.
// Usage: bench_logviewer [runs] [--huge]   (default 5 runs; the median time and the largest
// peak are shown)

#include "app/FormRegistry.h"
#include "app/Run.h"
#include "platform/PlainTextView.h"
#include "security/frmView.h"

#include "BenchSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Lines as the gate writes them, each padded with `padding` spaces.
qint64 WriteLog(const QString &path, int lines, int padding) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    QRandomGenerator random(42);
    QByteArray chunk;
    char line[64];
    const QByteArray pad(padding, ' ');
    for (int i = 0; i < lines; ++i) {
        const bool accepted = random.bounded(10) < 8;
        const int length =
            std::snprintf(line, sizeof(line), "%s %d/%d/2026 %d:%02d:%02d %s",
                          accepted ? "authorized" : "unauthorized", 1 + random.bounded(12),
                          1 + random.bounded(28), 1 + random.bounded(12), random.bounded(60),
                          random.bounded(60), random.bounded(2) ? "PM" : "AM");
        chunk.append(line, length).append(pad).append("\r\n");
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
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false")); // offscreen's noise
    int runs = 5;
    std::vector<std::pair<int, int>> logs = {{100000, 0}, {1000000, 0}}; // lines, padding
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--huge") == 0)
            logs.emplace_back(10000000, 73);
        else
            runs = std::max(1, atoi(argv[i]));
    }
    QTemporaryDir folder;
    const bool peakResets = Bench::ResetPeak();
    if (!peakResets)
        std::printf("note: /proc/self/clear_refs not writable; peaks include earlier sizes\n");

    std::printf("%10s %10s %12s %14s %12s %12s\n", "lines", "file MB", "median ms", "peak +MB",
                "x file", "reader ms");
    for (const auto &[lines, padding] : logs) {
        const QString path = folder.filePath(QStringLiteral("orvlog.txt"));
        const qint64 bytes = WriteLog(path, lines, padding);
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
