// Typing in a large entry, as a user meets it: the journal opened in a shown window and its end
// shown once (Ctrl+End), then keys typed at the start, in the middle and at the end of the text.
// For each key, the time from the key event to the end of the paint it causes; prints the median
// and the 99th percentile per position.
// Usage: bench_typing [keys] [FILE...]   (default 200 keys; the corpus's 1, 10 and 50 MB journals)

#include "BenchSupport.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <cstdio>

#ifndef QUILLORY_SOURCE_DIR
#define QUILLORY_SOURCE_DIR "."
#endif

namespace {

const QString kLarge = QStringLiteral(QUILLORY_SOURCE_DIR "/../shared/corpus/large/");

// Letters with a space now and then, as words are typed.
Qt::Key NthKey(int n) {
    return n % 7 == 6 ? Qt::Key_Space : Qt::Key(Qt::Key_A + n % 26);
}

std::vector<double> TypeAt(RichTextBox &box, Bench::PaintWatch &painted, int position, int keys) {
    painted.Arm();
    box.SetSelStart(position);
    painted.Wait();
    std::vector<double> times;
    for (int n = 0; n < keys; ++n) {
        QElapsedTimer clock;
        clock.start();
        painted.Arm();
        QTest::keyClick(&box, NthKey(n));
        if (!painted.Wait())
            std::printf("  (key %d was never painted)\n", n);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    return times;
}

void TypeInto(const QString &path, int keys) {
    QWidget window;
    window.resize(860, 600);
    auto *box = new RichTextBox(&window);
    box->resize(window.size());
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // as the main window's entry
    Bench::PaintWatch painted(box->viewport());
    window.show();
    window.activateWindow();
    box->setFocus();
    QCoreApplication::processEvents();
    painted.Arm();
    box->LoadFile(path, RichTextBox::RichText);
    painted.Wait();
    painted.Arm();
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    painted.Wait();

    const int length = box->document()->characterCount() - 1;
    std::printf("%-20s %6.1f", qPrintable(path.section(QLatin1Char('/'), -1)),
                QFileInfo(path).size() / 1048576.0);
    for (const int position : {0, length / 2, length}) {
        const std::vector<double> times = TypeAt(*box, painted, position, keys);
        std::printf("   %7.1f %7.1f", Bench::Median(times), Bench::Percentile(times, 0.99));
        std::fflush(stdout);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int keys = 200;
    QStringList files = Bench::CountAndFiles(argc, argv, keys);
    if (files.isEmpty())
        for (const char *name : {"journal-1mb.rtf", "journal-10mb.rtf", "journal-50mb.rtf"})
            files.append(kLarge + QLatin1String(name));
    std::printf("ms per key, key event to the end of its paint (%d keys per position)\n", keys);
    std::printf("%-20s %6s   %15s   %15s   %15s\n", "file", "MB", "start p50 p99", "middle p50 p99",
                "end p50 p99");
    for (const QString &path : files)
        TypeInto(path, keys);
    return 0;
}
