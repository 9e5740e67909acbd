// The help viewer on pathological help files: the time from asking for the viewer to its first
// painted screen, then the time to show the file's last topic, to answer the first word typed
// into the Find box and then one more letter. Files are generated in a temporary folder:
//   list     one topic of 20,000 list items
//   nested   one topic of 20,000 list items indented ever deeper (one item, continued)
//   line     one topic whose text is a single 10 MB line of words
//   word     one topic whose text is a single 10 MB word
//   topics   50,000 topics in 500 books, each with a keyword and a link to the next
// Usage: bench_help [runs] [case...]   (default 5 runs, every case; the median times are shown)

#include "platform/HelpViewer.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

QByteArray Generate(const QByteArray &kind) {
    QByteArray text = "@title Bench\n@book Book\n@topic first First\n";
    if (kind == "list" || kind == "nested") {
        for (int i = 0; i < 20000; ++i)
            text += QByteArray(kind == "nested" ? 2 * (i % 40) : 0, ' ') + "- item " +
                    QByteArray::number(i) + '\n';
    } else if (kind == "line") {
        const QByteArray words = "lorem ipsum **dolor** sit amet ";
        text += words.repeated(10 * 1024 * 1024 / words.size()) + '\n';
    } else if (kind == "word") {
        text += QByteArray(10 * 1024 * 1024, 'x') + '\n';
    } else if (kind == "topics") {
        for (int i = 1; i < 50000; ++i) {
            if (i % 100 == 0)
                text += "@book Book " + QByteArray::number(i / 100) + '\n';
            text += "@topic t" + QByteArray::number(i) + " Topic " + QByteArray::number(i) +
                    "\n@keywords key " + QByteArray::number(i) + "\nSome item text, see [[t" +
                    QByteArray::number(i + 1 < 50000 ? i + 1 : 1) + "]].\n";
        }
    }
    return text;
}

double Milliseconds(const std::function<void()> &step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

void Paint(HelpViewer *viewer) {
    viewer->repaint();
    viewer->txtTopic->viewport()->repaint();
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 5;
    QList<QByteArray> kinds;
    for (int i = 1; i < argc; ++i) {
        if (std::isdigit(static_cast<unsigned char>(argv[i][0])))
            runs = std::max(1, atoi(argv[i]));
        else
            kinds.append(argv[i]);
    }
    if (kinds.isEmpty())
        kinds = {"list", "nested", "line", "word", "topics"};
    QTemporaryDir folder;

    std::printf("%8s %9s %10s %10s %10s %10s\n", "file", "file MB", "open ms", "topic ms",
                "find ms", "key ms");
    for (const QByteArray &kind : kinds) {
        const QString path = folder.filePath(QString::fromLatin1(kind) + QStringLiteral(".hlp"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Generate(kind)) < 0)
            return 1;
        file.close();
        std::vector<double> open, topic, find, key;
        for (int run = 0; run < runs; ++run) {
            HelpViewer::Discard();
            QCoreApplication::processEvents();
            HelpViewer *viewer = nullptr;
            open.push_back(Milliseconds([&] {
                HelpViewer::Run(path, HelpViewer::kHelpFinder);
                viewer = HelpViewer::Current();
                Paint(viewer);
            }));
            if (!viewer->HasDocument()) {
                std::printf("error: the viewer did not load %s\n", kind.constData());
                return 1;
            }
            const QString last = viewer->Document().topics.constLast().id;
            topic.push_back(Milliseconds([&] {
                viewer->ShowTopic(last);
                Paint(viewer);
            }));
            viewer->tabTopics->setCurrentIndex(2);
            find.push_back(Milliseconds([&] {
                viewer->txtFind->setText(QStringLiteral("item"));
                Paint(viewer);
            }));
            key.push_back(Milliseconds([&] {
                viewer->txtFind->setText(QStringLiteral("items"));
                Paint(viewer);
            }));
        }
        std::printf("%8s %9.1f %10.1f %10.1f %10.1f %10.1f\n", kind.constData(),
                    QFileInfo(path).size() / 1048576.0, Bench::Median(open), Bench::Median(topic),
                    Bench::Median(find), Bench::Median(key));
        std::fflush(stdout);
    }
    HelpViewer::Discard();
    return 0;
}
