// Opening entries in the window, as File > Open does: the rich text box of a shown window loads
// the file and the text is painted.
// - the corpus's large journals (or the files given), until ready: the time from the load call
//   to the first screen painted, then Ctrl+End until the end is painted, then a Find of the
//   text's last words until the match is painted; medians after one unmeasured open, and the
//   peak memory added;
// - the 10 MB journal opened 50 times into the same box: resident memory after each tenth open;
// - entries made of one over-long word (200,000 and 1,000,000 characters, base64 or minified
//   text looks like this) and of 3 million one-letter groups {a}: median time to open and to
//   type one key at the end of the word, until painted.
// Usage: bench_open_entry [runs] [FILE...]   (default 3 runs; with files, only those)

#include "BenchSupport.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <cstdio>
#include <memory>

#ifndef QUILLORY_SOURCE_DIR
#define QUILLORY_SOURCE_DIR "."
#endif

namespace {

const QString kLarge = QStringLiteral(QUILLORY_SOURCE_DIR "/../shared/corpus/large/");

// A shown window holding a rich text box, as the main window holds the entry.
struct Window {
    QWidget window;
    RichTextBox *box = new RichTextBox(&window);
    Bench::PaintWatch painted{box->viewport()};
    Window() {
        window.resize(860, 600);
        box->resize(window.size());
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // as the main window's entry
        window.show();
        window.activateWindow();
        box->setFocus();
        QCoreApplication::processEvents();
    }
    void Paint() {
        QCoreApplication::processEvents();
        box->viewport()->repaint();
    }
    // Runs `act` and waits until the box has painted what it changed; returns milliseconds.
    template <class Act> double UntilPainted(Act act) {
        QElapsedTimer clock;
        clock.start();
        painted.Arm();
        act();
        painted.Wait();
        return clock.nsecsElapsed() / 1e6;
    }
};

double Milliseconds(const QElapsedTimer &clock) {
    return clock.nsecsElapsed() / 1e6;
}

// The last few words of the entry, which a search finds only at its end.
QString LastWords(const QTextDocument &document) {
    QTextBlock block = document.lastBlock();
    while (block.isValid() && block.text().trimmed().isEmpty())
        block = block.previous();
    return block.text().trimmed().section(QLatin1Char(' '), -3);
}

void OpenToReady(const QStringList &files, int runs) {
    std::printf("%-20s %6s %9s %9s %9s %9s %9s %7s\n", "file", "MB", "shown ms", "+end ms",
                "+find ms", "ready ms", "peak +MB", "x file");
    for (const QString &path : files) {
        const double mb = QFileInfo(path).size() / 1048576.0;
        std::vector<double> shown, end, find, ready;
        long peakKiB = 0;
        // Run -1 warms up: the first entry a process opens also pays for the fonts and glyph
        // caches every later one shares, a few MB that are not the entry's.
        for (int run = -1; run < runs; ++run) {
            Window window;
            RichTextBox &box = *window.box;
            const long before = Bench::StatusKiB("VmRSS:");
            Bench::ResetPeak();
            shown.push_back(
                window.UntilPainted([&] { box.LoadFile(path, RichTextBox::RichText); }));
            end.push_back(window.UntilPainted(
                [&] { QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier); }));
            const QString needle = LastWords(*box.document());
            find.push_back(window.UntilPainted([&] { box.Find(needle); }));
            ready.push_back(shown.back() + end.back() + find.back());
            if (run < 0) {
                shown.clear(), end.clear(), find.clear(), ready.clear();
                continue;
            }
            peakKiB = std::max(peakKiB, Bench::StatusKiB("VmHWM:") - before);
            if (box.SelText() != needle)
                std::printf("  (the Find did not select \"%s\")\n", qPrintable(needle));
        }
        std::printf("%-20s %6.1f %9.0f %9.0f %9.0f %9.0f %9.1f %7.1f\n",
                    qPrintable(path.section(QLatin1Char('/'), -1)), mb, Bench::Median(shown),
                    Bench::Median(end), Bench::Median(find), Bench::Median(ready), peakKiB / 1024.0,
                    peakKiB / 1024.0 / mb);
        std::fflush(stdout);
    }
}

void OpenAgainAndAgain(const QString &path, int opens) {
    Window window;
    std::printf("\n%s opened %d times into one box, resident MB after open:",
                qPrintable(path.section(QLatin1Char('/'), -1)), opens);
    for (int open = 1; open <= opens; ++open) {
        window.box->LoadFile(path, RichTextBox::RichText);
        window.Paint();
        if (open == 1 || open % 10 == 0)
            std::printf(" #%d %.0f", open, Bench::StatusKiB("VmRSS:") / 1024.0);
        std::fflush(stdout);
    }
    std::printf("\n");
}

void OpenOverLongWords(int runs) {
    QTemporaryDir folder;
    const struct {
        const char *name;
        QByteArray body;
    } entries[] = {
        {"one word of 200,000", QByteArray(200'000, 'a')},
        {"one word of 1,000,000", QByteArray(1'000'000, 'a')},
        {"3,000,000 groups {a}", QByteArray("{a}").repeated(3'000'000)},
    };
    std::printf("\n%-24s %14s %16s\n", "entry", "open ms", "one key ms");
    for (const auto &entry : entries) {
        const QString path = folder.filePath(QStringLiteral("entry.rtf"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("{\\rtf1\\ansi " + entry.body + "\\par}");
        file.close();
        std::vector<double> open, key;
        // Run -1 warms up: the first entry a process opens also pays for the fonts and glyph
        // caches every later one shares, a few MB that are not the entry's.
        for (int run = -1; run < runs; ++run) {
            Window window;
            QElapsedTimer clock;
            clock.start();
            window.box->LoadFile(path, RichTextBox::RichText);
            window.Paint();
            open.push_back(Milliseconds(clock));
            window.box->moveCursor(QTextCursor::End);
            window.Paint();
            for (int i = 0; i < 5; ++i) {
                clock.restart();
                QTest::keyClick(window.box, Qt::Key_B);
                window.Paint();
                key.push_back(Milliseconds(clock));
            }
        }
        std::printf("%-24s %14.0f %16.1f\n", entry.name, Bench::Median(open), Bench::Median(key));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 3;
    QStringList files = Bench::CountAndFiles(argc, argv, runs);
    if (files == QStringList{QStringLiteral("words")}) {
        OpenOverLongWords(runs);
        return 0;
    }
    if (!files.isEmpty()) {
        OpenToReady(files, runs);
        return 0;
    }
    OpenToReady({kLarge + QLatin1String("journal-1mb.rtf"),
                 kLarge + QLatin1String("journal-10mb.rtf"),
                 kLarge + QLatin1String("journal-50mb.rtf")},
                runs);
    OpenAgainAndAgain(kLarge + QLatin1String("journal-10mb.rtf"), 50);
    OpenOverLongWords(runs);
    return 0;
}
