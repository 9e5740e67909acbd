// Opening and saving large journal entries with the RTF codec.
//
//   build/bench/rtf_codec_bench [--runs N] [FILE...]
//
// Without files it measures the 1, 10 and 50 MB journals of the shared corpus
// ($QUILLORY_CORPUS/large, default ../shared/corpus beside the source tree). For each file it
// prints the median wall time of N reads (RTF bytes -> QTextDocument) and of N writes
// (QTextDocument -> RTF bytes), and the peak resident memory while doing so, minus the resident
// memory before the file was loaded from disk.
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include "BenchSupport.h"
#include <QElapsedTimer>
#include <QFile>

#include <QGuiApplication>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int runs = 5;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = std::max(1, args[1].toInt());
        args = args.mid(2);
    }
    if (args.isEmpty()) {
        QString corpus = qEnvironmentVariable("QUILLORY_CORPUS");
        if (corpus.isEmpty())
            corpus = QStringLiteral(QUILLORY_SOURCE_DIR "/../shared/corpus");
        for (const char *name : {"journal-1mb.rtf", "journal-10mb.rtf", "journal-50mb.rtf"})
            args << corpus + QStringLiteral("/large/") + QLatin1String(name);
    }
    std::printf("%-22s %10s %12s %12s %14s %10s\n", "file", "MB", "read s", "write s",
                "peak RSS MB", "x file");
    for (const QString &path : args) {
        Bench::ResetPeak();
        const long before = Bench::StatusKiB("VmRSS:");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
            return 1;
        }
        const QByteArray rtf = file.readAll();
        std::vector<double> reads;
        std::vector<double> writes;
        for (int i = 0; i < runs; ++i) {
            QTextDocument document;
            QElapsedTimer timer;
            timer.start();
            RtfReader::Read(rtf, &document);
            reads.push_back(timer.nsecsElapsed() / 1e9);
            timer.restart();
            const QByteArray out = RtfWriter::Write(document);
            writes.push_back(timer.nsecsElapsed() / 1e9);
        }
        const double peakMb = (Bench::StatusKiB("VmHWM:") - before) / 1024.0;
        const double mb = rtf.size() / 1e6;
        std::printf("%-22s %10.1f %12.3f %12.3f %14.1f %10.1f\n",
                    qPrintable(path.section(QLatin1Char('/'), -1)), mb, Bench::Median(reads),
                    Bench::Median(writes), peakMb, peakMb * 1.048576 / mb);
        std::fflush(stdout);
    }
    return 0;
}
