// Photos in an entry, as a user meets them in the main window: Insert > Picture of a
// 12-megapixel JPEG and Ctrl+V of a 2560 x 1440 bitmap (time until the picture is in the entry
// and painted); typing next to twenty such photos (per key, painted) and scrolling past them
// (per page, painted, first pass and again); saving and opening that entry (File > Save and
// File > Open as the box runs them). Prints medians and the peak memory.
// Usage: bench_pictures [runs]   (default 3)

#include "BenchSupport.h"
#include "app/FormRegistry.h"
#include "app/Run.h"
#include "mainwindow/frmMain.h"
#include "platform/CommonDialog.h"
#include "platform/RichTextBox.h"
#include "platform/Services.h"
#include "platform/rtf/RtfWriter.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <cstdio>

namespace {

constexpr int kPhotos = 20;

// Answers every Open and Save dialog with the next name of its list.
class AnsweringDialogs final : public CommonDialogPresenter {
public:
    QString next;
    bool ShowOpen(CommonDialog &dialog) override { return Answer(dialog); }
    bool ShowSave(CommonDialog &dialog) override { return Answer(dialog); }
    bool ShowColor(CommonDialog &) override { return false; }
    bool ShowFont(CommonDialog &) override { return false; }
    void ShowHelp(CommonDialog &) override {}

private:
    bool Answer(CommonDialog &dialog) {
        dialog.FileName = next;
        return true;
    }
};

// Something like a photo: soft gradients with fine noise, so the JPEG is as large as a camera's.
QImage Photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(24));
            line[x] = qRgb((x * 200 / width + noise) & 255, (y * 180 / height + noise) & 255,
                           (128 + (x ^ y) % 64 + noise) & 255);
        }
    }
    return image;
}

QByteArray Encoded(const QImage &image, const char *format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

double Elapsed(const QElapsedTimer &clock) {
    return clock.nsecsElapsed() / 1e6;
}

// Until the box has drawn everything it shows, pictures included: their copies are decoded on
// worker threads.
void Paint(RichTextBox &box) {
    QCoreApplication::processEvents();
    box.viewport()->repaint();
    while (QThreadPool::globalInstance()->activeThreadCount() > 0) {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        box.viewport()->repaint();
    }
}

void Report(const char *what, const std::vector<double> &milliseconds) {
    std::printf("%-56s median %9.1f ms\n", what, Bench::Median(milliseconds));
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir folder;
    const QString photo = folder.filePath(QStringLiteral("photo.jpg"));
    {
        QFile file(photo);
        file.open(QIODevice::WriteOnly);
        file.write(Encoded(Photo(4000, 3000), "JPEG", 92));
    }
    const QImage screenshot = Photo(2560, 1440);
    std::printf("photo: 4000 x 3000 JPEG, %.1f MB; pasted bitmap 2560 x 1440\n",
                QFileInfo(photo).size() / 1048576.0);

    auto dialogs = std::make_unique<AnsweringDialogs>();
    AnsweringDialogs &answers = *dialogs;
    Services::Current().dialogs = std::move(dialogs);
    Module1::SetAppPath(folder.path());
    Module1::Forms().Show<frmMain>();
    frmMain &main = Module1::Forms().Get<frmMain>();
    RichTextBox &box = *main.findChild<RichTextBox *>(QStringLiteral("rtbMain"));
    const auto choose = [&main](const char *item) {
        main.findChild<QAction *>(QLatin1String(item))->trigger();
    };
    const long startKiB = Bench::StatusKiB("VmRSS:");
    Bench::ResetPeak();

    std::vector<double> insert, paste;
    for (int run = 0; run < runs; ++run) {
        box.SetText(QString());
        Paint(box);
        answers.next = photo;
        QElapsedTimer clock;
        clock.start();
        choose("mnuMIPicture");
        Paint(box);
        insert.push_back(Elapsed(clock));

        box.SetText(QString());
        Paint(box);
        auto *data = new QMimeData;
        data->setImageData(screenshot);
        QGuiApplication::clipboard()->setMimeData(data);
        clock.restart();
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        Paint(box);
        paste.push_back(Elapsed(clock));
    }
    Report("Insert > Picture, 12-megapixel JPEG, until painted", insert);
    Report("Ctrl+V of a 2560 x 1440 bitmap, until painted", paste);

    // Twenty photos, each in a paragraph of its own between lines of text.
    box.SetText(QString());
    for (int i = 0; i < kPhotos; ++i) {
        box.moveCursor(QTextCursor::End);
        box.SetSelText(QStringLiteral("Photo %1 of the day\r\n").arg(i + 1));
        answers.next = photo;
        choose("mnuMIPicture");
        QCoreApplication::processEvents();
        box.moveCursor(QTextCursor::End);
        box.SetSelText(QStringLiteral("\r\n"));
    }
    const QString entry = folder.filePath(QStringLiteral("photos.rtf"));
    std::printf("memory above the empty window, twenty photos in the entry: %.0f MB\n",
                (Bench::StatusKiB("VmRSS:") - startKiB) / 1024.0);
    Bench::ResetPeak();
    std::vector<double> write, save, open;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        RtfWriter::Write(*box.document());
        write.push_back(Elapsed(clock));
        answers.next = entry;
        clock.restart();
        choose("mnuMFSave");
        save.push_back(Elapsed(clock));
        answers.next = entry;
        clock.restart();
        choose("mnuMFOpen");
        Paint(box);
        open.push_back(Elapsed(clock));
    }
    std::printf("entry with %d photos: %.1f MB\n", kPhotos, QFileInfo(entry).size() / 1048576.0);
    Report("writing the entry as RTF (in memory)", write);
    Report("File > Save of the entry (written, flushed to disk)", save);
    Report("File > Open of the entry, until painted", open);
    std::printf("peak memory above the empty window, saving and opening: %.0f MB\n",
                (Bench::StatusKiB("VmHWM:") - startKiB) / 1024.0);
    // In the entry as File > Open left it, right after the first photo, in its paragraph.
    std::vector<double> keys;
    box.moveCursor(QTextCursor::Start);
    box.moveCursor(QTextCursor::NextBlock);
    box.moveCursor(QTextCursor::EndOfBlock);
    for (int i = 0; i < 40; ++i) {
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(&box, Qt::Key(Qt::Key_A + i % 26));
        Paint(box);
        keys.push_back(Elapsed(clock));
    }
    Report("a key typed next to twenty photos, until painted", keys);

    // A page every 50 ms, as a user paging through; each step is the time the window takes to
    // scroll and paint, while the copies of the pictures coming up are made on worker threads.
    for (const char *pass : {"first", "second"}) {
        std::vector<double> pages;
        QScrollBar *bar = box.verticalScrollBar();
        bar->setValue(0);
        Paint(box);
        while (bar->value() < bar->maximum()) {
            QElapsedTimer clock;
            clock.start();
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            QCoreApplication::processEvents();
            box.viewport()->repaint();
            pages.push_back(Elapsed(clock));
            QTest::qWait(50);
        }
        std::printf("%-56s median %9.1f ms, slowest %.1f ms\n",
                    qPrintable(QStringLiteral("a page scrolled past the photos (%1 pass)")
                                   .arg(QLatin1String(pass))),
                    Bench::Median(pages), *std::max_element(pages.begin(), pages.end()));
    }

    Module1::Reset();
    return 0;
}
