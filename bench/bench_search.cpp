// Find and Next through a large entry, as the search window runs them: a first match at the very
// end of a 10 MB entry, and 10,000 matches walked one after the other with Next (a Find from the
// selection's start plus the text's length). Entries of ~80-character paragraphs, and one single
// 10 MB paragraph for the worst case.
// Then Find in the real windows, shown: the 10 MB journal opened in the main window as File >
// Open opens it, the search window's Find clicked for the journal's last words, and the time
// until the entry has painted the selected match; right after the open, and once more.
// Usage: bench_search [runs]   (default 5; medians are shown)

#include "app/FormRegistry.h"
#include "app/Run.h"
#include "entry/frmSearch.h"
#include "mainwindow/frmMain.h"
#include "platform/CommandButton.h"
#include "platform/RichTextBox.h"

#include "BenchSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextBlock>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kEntryChars = 10 * 1024 * 1024;
constexpr int kMatches = 10000;

// Filler text in paragraphs of `paragraph` characters (0: one paragraph), with `needles`
// occurrences of "Needle" spread evenly, or one at the very end when `needles` is 0.
QString MakeEntry(int paragraph, int needles) {
    QString text;
    text.reserve(kEntryChars + 16);
    const QString filler = QStringLiteral("the quiet day went by and nothing much happened ");
    const int every = needles > 0 ? kEntryChars / needles : kEntryChars + 1;
    int placed = 0;
    int sinceBreak = 0;
    while (text.size() < kEntryChars) {
        if (placed < needles && text.size() >= placed * qsizetype(every)) {
            text += QStringLiteral("Needle ");
            ++placed;
        }
        text += filler;
        sinceBreak += filler.size();
        if (paragraph > 0 && sinceBreak >= paragraph) {
            text += QLatin1Char('\n');
            sinceBreak = 0;
        }
    }
    if (needles == 0)
        text += QStringLiteral("needle");
    return text;
}

void Report(const char *what, const std::vector<double> &milliseconds) {
    std::printf("%-58s median %9.2f ms\n", what, Bench::Median(milliseconds));
}

void BenchEntry(const char *shape, int paragraph, int runs) {
    RichTextBox box;
    std::vector<double> first;
    std::vector<double> again;
    std::vector<double> perNext;
    box.setPlainText(MakeEntry(paragraph, 0));
    for (int run = 0; run < runs; ++run) {
        // A keystroke first, so the search starts on freshly edited text.
        box.SetSelStart(0);
        box.SetSelText(QStringLiteral("x"));
        box.SetSelStart(0);
        QElapsedTimer clock;
        clock.start();
        int at = box.Find(QStringLiteral("NEEDLE"));
        first.push_back(clock.nsecsElapsed() / 1e6);
        box.SetSelStart(0);
        clock.restart();
        at = std::min(at, box.Find(QStringLiteral("NEEDLE")));
        again.push_back(clock.nsecsElapsed() / 1e6);
        if (at < 0)
            std::printf("error: no match\n");
    }
    box.setPlainText(MakeEntry(paragraph, kMatches));
    for (int run = 0; run < runs; ++run) {
        box.SetSelStart(0);
        QElapsedTimer clock;
        clock.start();
        int found = 0;
        for (int at = box.Find(QStringLiteral("needle"), 0); at >= 0;
             at = box.Find(QStringLiteral("needle"), box.SelStart() + 6))
            ++found;
        perNext.push_back(clock.nsecsElapsed() / 1e6 / std::max(found, 1));
        if (found < kMatches)
            std::printf("error: %d matches\n", found);
    }
    std::printf("%s (%d characters)\n", shape, kEntryChars);
    Report("  Find, the only match at the end, just after an edit", first);
    Report("  the same Find again, text unchanged", again);
    Report("  Next, per match over 10,000 matches", perNext);
}

// The last 40 characters of the entry's last paragraph that has as many.
QString LastWords(const QTextDocument &document) {
    for (QTextBlock block = document.lastBlock(); block.isValid(); block = block.previous())
        if (block.text().trimmed().size() >= 40)
            return block.text().trimmed().right(40);
    return {};
}

// Clicks Find and waits for the entry to paint the match; milliseconds.
double ClickFind(frmSearch &search, RichTextBox &entry) {
    QElapsedTimer clock;
    clock.start();
    search.cmdSFind->click();
    entry.viewport()->repaint();
    return clock.nsecsElapsed() / 1e6;
}

void BenchWindows(const QString &journal, int runs) {
    QTemporaryDir folder;
    std::vector<double> afterOpen;
    std::vector<double> again;
    double where = 0;
    for (int run = 0; run < runs; ++run) {
        Module1::Reset(); // silent cues, no windows
        Module1::SetAppPath(folder.path());
        Module1::Forms().Show<frmMain>();
        frmMain &main = Module1::Forms().Get<frmMain>();
        main.resize(860, 600);
        QCoreApplication::processEvents();
        RichTextBox &entry = *main.findChild<RichTextBox *>(QStringLiteral("rtbMain"));
        entry.LoadFile(journal, RichTextBox::RichText);
        const QString needle = LastWords(*entry.document());
        auto *searchItem = main.findChild<QAction *>(QStringLiteral("mnuMTSearch"));
        searchItem->setEnabled(true);
        searchItem->trigger();
        frmSearch &search = *Module1::Forms().Find<frmSearch>();
        search.cboSearch->setEditText(needle);
        afterOpen.push_back(ClickFind(search, entry));
        where = double(entry.SelStart()) / entry.document()->characterCount();
        if (entry.SelText() != needle)
            std::printf("error: no match\n");
        // Typing in the search box makes Find available again.
        entry.SetSelStart(0);
        search.cmdSFind->setEnabled(true);
        QCoreApplication::processEvents();
        again.push_back(ClickFind(search, entry));
    }
    std::printf("Find in the shown windows, %s (match at %.0f %% of the text)\n",
                qPrintable(journal.section(QLatin1Char('/'), -1)), where * 100);
    Report("  click on Find to the painted match, right after the open", afterOpen);
    Report("  the same once more", again);
    Module1::Reset();
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false")); // offscreen's noise
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    BenchEntry("Entry of 80-character paragraphs", 80, runs);
    BenchEntry("Entry of one single paragraph", 0, runs);
    QString corpus = qEnvironmentVariable("QUILLORY_CORPUS");
    if (corpus.isEmpty())
        corpus = QStringLiteral(QUILLORY_SOURCE_DIR "/../shared/corpus");
    BenchWindows(corpus + QStringLiteral("/large/journal-10mb.rtf"), runs);
    return 0;
}
