// Opening and saving large journal entries with the RTF codec.
//
//   build/bench/rtf_codec_bench [--runs N] [FILE...]
//
// Without files it measures the 1, 10 and 50 MB journals of the shared corpus
// ($QUILLORY_CORPUS/large, default ../shared/corpus beside the source tree). For each file it
// prints the median wall and processor time of N reads (RTF bytes -> QTextDocument) and of N
// writes (QTextDocument -> RTF bytes); the peak resident memory of an open entry (the file's
// bytes and the document read from them) and, apart, while it is saved (the written bytes as
// well), both minus the resident memory before the file was loaded from disk.
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include "BenchSupport.h"
#include <QElapsedTimer>
#include <QFile>

#include <QGuiApplication>
#include <QProcess>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

} // namespace

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
    const bool child = qEnvironmentVariableIsSet("RTF_CODEC_BENCH_CHILD");
    if (!child)
        std::printf("%-18s %6s %8s %8s %8s %8s %9s %7s %9s\n", "file", "MB", "read s", "cpu s",
                    "write s", "cpu s", "open MB", "x file", "save MB");
    if (!child && args.size() > 1) {
        // Each file in a process of its own, so that no file's memory counts for the next.
        std::fflush(stdout);
        qputenv("RTF_CODEC_BENCH_CHILD", "1");
        for (const QString &path : args)
            QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--runs"), QString::number(runs), path});
        return 0;
    }
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
        std::vector<double> readCpu;
        std::vector<double> writes;
        std::vector<double> writeCpu;
        long openKiB = 0;
        for (int i = 0; i < runs; ++i) {
            QTextDocument document;
            QElapsedTimer timer;
            double cpu = ProcessorSeconds();
            timer.start();
            RtfReader::Read(rtf, &document);
            reads.push_back(timer.nsecsElapsed() / 1e9);
            readCpu.push_back(ProcessorSeconds() - cpu);
            if (i == 0)
                openKiB = Bench::StatusKiB("VmHWM:") - before;
            cpu = ProcessorSeconds();
            timer.restart();
            const QByteArray out = RtfWriter::Write(document);
            writes.push_back(timer.nsecsElapsed() / 1e9);
            writeCpu.push_back(ProcessorSeconds() - cpu);
        }
        const double saveMb = (Bench::StatusKiB("VmHWM:") - before) / 1024.0;
        const double openMb = openKiB / 1024.0;
        const double mb = rtf.size() / 1048576.0;
        std::printf("%-18s %6.1f %8.3f %8.3f %8.3f %8.3f %9.1f %7.2f %9.1f\n",
                    qPrintable(path.section(QLatin1Char('/'), -1)), mb, Bench::Median(reads),
                    Bench::Median(readCpu), Bench::Median(writes), Bench::Median(writeCpu), openMb,
                    openMb / mb, saveMb);
        std::fflush(stdout);
    }
    return 0;
}
