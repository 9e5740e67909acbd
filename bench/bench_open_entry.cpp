// Opening a large entry in the window, as File > Open does: the rich text box of a shown window
// loads the file and the text is painted. Prints the median time and the peak memory added,
// for the corpus's large journals or the files given.
// Usage: bench_open_entry [runs] [FILE...]   (default 3 runs)

#include "BenchSupport.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

#ifndef QUILLORY_SOURCE_DIR
#define QUILLORY_SOURCE_DIR "."
#endif

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 3;
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        bool number = false;
        const int value = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (number)
            runs = std::max(1, value);
        else
            files.append(QString::fromLocal8Bit(argv[i]));
    }
    if (files.isEmpty()) {
        const QString large = QStringLiteral(QUILLORY_SOURCE_DIR "/../shared/corpus/large/");
        for (const char *name : {"journal-1mb.rtf", "journal-10mb.rtf", "journal-50mb.rtf"})
            files.append(large + QLatin1String(name));
    }
    std::printf("%-22s %9s %12s %12s %8s\n", "file", "MB", "median ms", "peak +MB", "x file");
    for (const QString &path : files) {
        const double mb = QFileInfo(path).size() / 1048576.0;
        std::vector<double> times;
        long peakKiB = 0;
        for (int run = 0; run < runs; ++run) {
            QWidget window;
            auto *box = new RichTextBox(&window);
            window.resize(860, 600);
            box->resize(window.size());
            window.show();
            QCoreApplication::processEvents();
            const long before = Bench::StatusKiB("VmRSS:");
            Bench::ResetPeak();
            QElapsedTimer clock;
            clock.start();
            box->LoadFile(path, RichTextBox::RichText);
            box->viewport()->repaint();
            QCoreApplication::processEvents();
            times.push_back(clock.nsecsElapsed() / 1e6);
            peakKiB = std::max(peakKiB, Bench::StatusKiB("VmHWM:") - before);
        }
        std::printf("%-22s %9.1f %12.0f %12.1f %8.1f\n",
                    qPrintable(path.section(QLatin1Char('/'), -1)), mb, Bench::Median(times),
                    peakKiB / 1024.0, peakKiB / 1024.0 / mb);
    }
    return 0;
}
