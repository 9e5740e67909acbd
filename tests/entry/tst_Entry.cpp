#include "MainWindowDriver.h"

#include "entry/frmFileErr.h"
#include "entry/frmNoFind.h"
#include "entry/frmSearch.h"
#include "platform/CommandButton.h"
#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "security/AppFolder.h"
#include "security/WriteLogEntry.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QTextBlock>
#include <QThreadPool>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

struct Editing {
    TestRun run;
    frmMain &main = OpenMainWindow();
    RichTextBox &box = EntryOf(main);
};

void Select(RichTextBox &box, int start, int length) {
    box.SetSelStart(start);
    box.SetSelLength(length);
}

// A small picture; Qt writes no GIF, so that one is spelled out (2 x 1, red and blue).
void WriteTestPicture(const QString &path, const QString &format) {
    if (format == QLatin1String("gif")) {
        static const unsigned char gif[] = {
            'G',  'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 0xFF, 0,    0, 0,  0,
            0xFF, ',', 0,   0,   0,   0,   2, 0, 1, 0, 0,    2, 2, 0x44, 0x0A, 0, ';'};
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char *>(gif), sizeof gif);
        return;
    }
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(QColor(200, 40, 40));
    QVERIFY(picture.save(path, format.toLatin1().constData()));
}

struct Searching {
    frmMain &main;
    RichTextBox &entry;
    frmSearch &search;
};

Searching OpenSearch(const QString &text) {
    frmMain &main = OpenMainWindow();
    EntryOf(main).SetText(text);
    QTest::mouseClick(EntryOf(main).viewport(), Qt::LeftButton); // the editing state
    Item(main, "mnuMTSearch").trigger();
    return {main, EntryOf(main), *Module1::Forms().Find<frmSearch>()};
}

// Keys go to the combo box, which has the focus and passes them on to its line edit.
void TypeSearchText(frmSearch &search, const QString &text) {
    search.cboSearch->lineEdit()->selectAll();
    QTest::keyClicks(search.cboSearch, text);
}

// "F" when only Find is usable, "N" when only Next is.
QString Buttons(const frmSearch &search) {
    return QString(search.cmdSFind->isEnabled() ? "F" : "") +
           (search.cmdSNext->isEnabled() ? "N" : "");
}

bool NotFoundShown() {
    return Module1::Forms().IsLoaded<frmNoFind>() && Module1::Forms().Get<frmNoFind>().isVisible();
}

void Click(CommandButton *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

const QString kSaved = QStringLiteral("\\graphics\\s_saveddata.wav");
const QString kOpened = QStringLiteral("\\graphics\\s_openfile.wav");
const QString kError = QStringLiteral("\\graphics\\s_error.wav");

QString PathPanel(const frmMain &main) {
    return Panel(main, "orvsoftware").Text();
}

} // namespace

class tst_Entry : public QObject {
    Q_OBJECT
private slots:
    // A partly set selection counts as off; the looks follow the command, not the caret's text.
    void togglesFollowTheTextNotTheButton() {
        for (const QString key : {"bold", "italic", "underline"}) {
            Editing editing;
            auto &[run, main, box] = editing;
            QAction &item = Item(main, QStringLiteral("mnuMFo") + key[0].toUpper() + key.mid(1));
            ToolbarButton &button = Button(main, key);
            const auto state = [&] {
                const auto on = key == "bold"     ? box.SelBold()
                                : key == "italic" ? box.SelItalic()
                                                  : box.SelUnderline();
                return (on ? QString::number(*on) : "mixed") +
                       QString::asprintf(" %d%d", item.isChecked(), button.Value());
            };
            box.SetText(QStringLiteral("plain marked"));
            Select(box, 6, 6);
            item.trigger();
            Select(box, 0, 12);
            QCOMPARE(state(), QStringLiteral("mixed 11"));
            item.trigger();
            QCOMPARE(state(), QStringLiteral("1 11"));
            QTest::mouseClick(&button, Qt::LeftButton);
            QCOMPARE(state(), QStringLiteral("0 00"));
            Select(box, 0, 5);
            item.trigger();
            Select(box, 6, 6);
            QCOMPARE(state(), QStringLiteral("0 11"));
            item.trigger();
            QCOMPARE(state(), QStringLiteral("1 11"));
        }
    }

    void centerCountsRightAsCentredAndMixedAsNot() {
        Editing editing;
        auto &[run, main, box] = editing;
        box.SetText(QStringLiteral("one\r\ntwo\r\nthree"));
        Select(box, 0, 1);
        box.SetSelAlignment(RichTextBox::AlignCenter);
        Select(box, 1, 5); // a centred and a left paragraph
        Item(main, "mnuMFoCenter").trigger();
        QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignCenter));
        QCOMPARE(Button(main, "center").Value(), 1);
        QCOMPARE(box.document()->lastBlock().blockFormat().alignment(), Qt::AlignLeft);

        box.SetSelAlignment(RichTextBox::AlignRight);
        Item(main, "mnuMFoCenter").trigger();
        QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignLeft));
        QCOMPARE(Button(main, "center").Value(), 0);
        QVERIFY(!Item(main, "mnuMFoCenter").isChecked());
    }

    void fontChoiceFormatsTheSelectionButLeavesTheToggleLooks() {
        Editing editing;
        auto &[run, main, box] = editing;
        box.SetText(QStringLiteral("words"));
        Select(box, 0, 5);
        Item(main, "mnuMFoFont").trigger();
        QTest::mouseClick(&Button(main, "color"), Qt::LeftButton);
        QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("arial")));
        QCOMPARE(run.Dialogs().shown.size(), 2);
        QCOMPARE(box.SelColor(), std::optional<quint32>(0));
        QCOMPARE(box.SelBold(), std::optional<bool>(false));
        QVERIFY(run.Messages().isEmpty());
        run.Dialogs().shown.clear();
        run.Dialogs().fonts.append([](CommonDialog &dialog) {
            dialog.FontName = QStringLiteral("DejaVu Serif");
            dialog.FontSize = 14;
            dialog.FontBold = true;
            dialog.FontStrikethru = true;
            dialog.Color = 0x0000FF; // picked in the font dialog: never applied
        });
        Item(main, "mnuMFoFont").trigger();
        QCOMPARE(run.Dialogs().shown[0].Flags, 259);
        QVERIFY(run.Dialogs().shown[0].CancelError);
        QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
        QCOMPARE(box.SelFontSize(), std::optional<float>(14));
        QCOMPARE(box.SelBold(), std::optional<bool>(true));
        QCOMPARE(box.SelStrikeThru(), std::optional<bool>(true));
        QCOMPARE(box.SelItalic(), std::optional<bool>(false));
        QCOMPARE(box.SelColor(), std::optional<quint32>(0));
        QCOMPARE(box.font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(Button(main, "bold").Value(), 0);
        QVERIFY(!Item(main, "mnuMFoBold").isChecked());

        // The next font dialog opens on this choice, not on the selection's font.
        Select(box, 0, 0);
        Item(main, "mnuMFoFont").trigger();
        QCOMPARE(run.Dialogs().shown[1].FontName, QStringLiteral("DejaVu Serif"));
    }

    void colourDialogOpensOnThePreviousChoice() {
        Editing editing;
        auto &[run, main, box] = editing;
        box.SetText(QStringLiteral("red blue"));
        run.Dialogs().colors = {0x0000FFu, 0xFF0000u};
        Select(box, 0, 3);
        Item(main, "mnuMFoColor").trigger();
        Select(box, 4, 4);
        Item(main, "mnuMFoColor").trigger();
        QCOMPARE(run.Dialogs().shown[0].Flags, 1);
        QCOMPARE(run.Dialogs().shown[0].Color, 0u);
        QCOMPARE(run.Dialogs().shown[1].Color, 0x0000FFu);
        QCOMPARE(box.SelColor(), std::optional<quint32>(0xFF0000));
        Select(box, 0, 3);
        QCOMPARE(box.SelColor(), std::optional<quint32>(0x0000FF));
    }

    void clipboardCarriesPlainTextOnlyAndEmptySelectionsEmptyIt() {
        Editing editing;
        auto &[run, main, box] = editing;
        QClipboard *clipboard = QGuiApplication::clipboard();
        QTest::mouseClick(box.viewport(), Qt::LeftButton); // the Edit menu is usable now
        box.SetText(QStringLiteral("bold plain"));
        Select(box, 0, 4);
        box.SetSelBold(true);
        Item(main, "mnuMECopy").trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("bold"));
        QVERIFY(!clipboard->mimeData()->hasHtml());

        box.SetSelStart(10);
        Item(main, "mnuMEPaste").trigger();
        QCOMPARE(box.Text(), QStringLiteral("bold plainbold"));
        Select(box, 10, 4);
        QCOMPARE(box.SelBold(), std::optional<bool>(false)); // takes the formatting found there

        Item(main, "mnuMECut").trigger();
        QCOMPARE(box.Text(), QStringLiteral("bold plain"));
        QCOMPARE(clipboard->text(), QStringLiteral("bold"));

        box.SetText(QStringLiteral("keep"));
        box.SetSelStart(2);
        Item(main, "mnuMECut").trigger();
        QCOMPARE(clipboard->text(), QString());
        QCOMPARE(box.Text(), QStringLiteral("keep"));

        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        clipboard->setImage(picture);
        Select(box, 1, 2);
        Item(main, "mnuMEPaste").trigger();
        QCOMPARE(box.Text(), QStringLiteral("kp"));
        QCOMPARE(Pictures(*box.document()).size(), 0);
    }

    void dateAndTimeArriveAsLinesAtTheCaret() {
        Editing editing;
        auto &[run, main, box] = editing;
        box.SetText(QStringLiteral("replace this"));
        Select(box, 0, 12);
        Item(main, "mnuMIDate").trigger();
        QCOMPARE(box.Text(), QStringLiteral("12/5/2026\r\n"));
        QCOMPARE(box.SelStart(), 10); // on the following empty line
        QTest::mouseClick(&Button(main, "time"), Qt::LeftButton);
        QCOMPARE(box.Text(), QStringLiteral("12/5/2026\r\n10:52:57 PM\r\n"));
    }

    void picturesOfEveryFilterTypeArriveAsBitmaps_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("bmp") << "bmp";
        QTest::newRow("gif") << "gif";
        QTest::newRow("jpg") << "jpg";
        QTest::newRow("png typed by name") << "png";
    }

    void picturesOfEveryFilterTypeArriveAsBitmaps() {
        QFETCH(QString, format);
        Editing editing;
        auto &[run, main, box] = editing;
        const QString path = run.FilePath(QStringLiteral("picture.") + format);
        WriteTestPicture(path, format);
        box.SetText(QStringLiteral("ab"));
        box.SetSelStart(1);
        run.Dialogs().files = {path, std::nullopt};

        Item(main, "mnuMIPicture").trigger();
        QCOMPARE(run.Dialogs().shown[0].DialogTitle, QStringLiteral("Choose a picture"));
        QCOMPARE(run.Dialogs().shown[0].Filter, QStringLiteral("bmp|*.bmp|gif|*.gif|jpg|*.jpg"));
        QCOMPARE(Pictures(*box.document()).size(), 0); // pasted once the command is over
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());
        TestRun::ProcessEvents();
        QCOMPARE(Pictures(*box.document()).size(), 1);
        QCOMPARE(box.Text().remove(QChar::ObjectReplacementCharacter), QStringLiteral("ab"));
        Item(main, "mnuMIPicture").trigger(); // the next file dialog offers it
        QCOMPARE(run.Dialogs().shown[1].FileName, path);
        box.selectAll();
        Item(main, "mnuMECopy").trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
        QTextDocument reopened;
        RtfReader::Read(RtfWriter::Write(*box.document()), &reopened);
        QCOMPARE(Pictures(reopened).size(), 1);
    }

    // A phone photo: the JPEG file's own bytes are the picture, in the entry and in the saved
    // RTF, shown at the entry's width (the size saved with it) from a copy made at that size.
    void aLargePhotoKeepsItsBytesAndFitsTheEntry() {
        Editing editing;
        auto &[run, main, box] = editing;
        QImage photo(4000, 3000, QImage::Format_RGB32);
        photo.fill(QColor(30, 120, 200));
        const QByteArray jpeg = EncodedImage(photo, "JPEG");
        run.WriteFile(QStringLiteral("photo.jpg"), jpeg);
        run.Dialogs().files.append(run.FilePath(QStringLiteral("photo.jpg")));
        const qreal margin = box.document()->documentMargin();
        const qreal width = box.viewport()->width() - 2 * margin;
        Item(main, "mnuMIPicture").trigger();
        TestRun::ProcessEvents();

        const QTextImageFormat picture = Pictures(*box.document()).value(0);
        QCOMPARE(RtfImages::Held(*box.document(), picture.name()).toByteArray(), jpeg);
        const qreal height = std::round(width * 3 / 4);
        QCOMPARE(QSizeF(picture.width(), picture.height()), QSizeF(width, height));
        QByteArray rtf = RtfWriter::Write(*box.document());
        QVERIFY(rtf.contains("{\\pict\\jpegblip\\picw4000\\pich3000\\picwgoal" +
                             QByteArray::number(qRound(width * 15)) + "\\pichgoal" +
                             QByteArray::number(qRound(height * 15))));
        QVERIFY(rtf.replace('\n', QByteArray()).contains(jpeg.toHex()));

        QThreadPool::globalInstance()->waitForDone(); // the copy is made on a worker thread
        TestRun::ProcessEvents();
        const QImage shown = box.viewport()->grab().toImage();
        const int right = box.viewport()->width() - int(margin);
        for (const int x : {int(margin) + 1, right - 2})
            QVERIFY(qAbs(shown.pixelColor(x, 10).blue() - 200) < 8);
        QCOMPARE(shown.pixelColor(right + 1, 10), box.palette().color(QPalette::Base));
    }

    void aPictureThatCannotBeLoadedChangesNothing() {
        Editing editing;
        auto &[run, main, box] = editing;
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
        run.WriteFile(QStringLiteral("broken.jpg"), "not a picture");
        run.WriteFile(QStringLiteral("huge.png"), PngClaiming(20000, 20000));
        run.Dialogs().files = {std::nullopt, run.FilePath(QStringLiteral("broken.jpg")),
                               run.FilePath(QStringLiteral("huge.png"))};
        box.SetText(QStringLiteral("ab"));
        Item(main, "mnuMIPicture").trigger(); // cancelled
        Item(main, "mnuMIPicture").trigger(); // unreadable
        Item(main, "mnuMIPicture").trigger(); // too large to decode: refused, and the user told so
        TestRun::ProcessEvents();
        QCOMPARE(Pictures(*box.document()).size(), 0);
        QCOMPARE(box.Text(), QStringLiteral("ab"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("earlier"));
        QCOMPARE(run.Messages().size(), 1);
        QVERIFY(run.Messages()[0].contains(QStringLiteral("20,000 x 20,000 pixels")));
    }

    void searchIgnoresCaseAndNextResumesAfterTheMatch() {
        TestRun run;
        auto [main, entry, search] = OpenSearch(QStringLiteral("The Cat sat"));
        QCOMPARE(Buttons(search), QStringLiteral("F"));
        QVERIFY(search.windowFlags() & Qt::WindowStaysOnTopHint);
        TypeSearchText(search, QStringLiteral("cat"));
        // The access key acts at once, not after a pressed look.
        QVERIFY(QTest::qWaitForWindowActive(&search));
        QTest::keyClick(search.cboSearch, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(entry.SelText(), QStringLiteral("Cat"));
        QCOMPARE(entry.SelStart(), 4);
        QCOMPARE(Buttons(search), QStringLiteral("N"));
        QTRY_COMPARE(QApplication::focusWidget(), &entry);
        QVERIFY(search.isVisible());

        // "Cat" is still selected, so Find looks inside it first; Next then goes on.
        TypeSearchText(search, QStringLiteral("at"));
        Click(search.cmdSFind);
        QCOMPARE(entry.SelStart(), 5);
        Click(search.cmdSNext);
        QCOMPARE(entry.SelStart(), 9);
        QVERIFY(!NotFoundShown());

        Click(search.cmdSNext);
        QVERIFY(NotFoundShown());
        QCOMPARE(Buttons(search), QStringLiteral("F"));
        Module1::Forms().Get<frmNoFind>().Hide();

        // With "Cat" selected again, "sat" lies outside the selection.
        TypeSearchText(search, QStringLiteral("cat"));
        Click(search.cmdSFind);
        TypeSearchText(search, QStringLiteral("sat"));
        Click(search.cmdSFind);
        QVERIFY(NotFoundShown());
        QCOMPARE(Buttons(search), QStringLiteral("N"));
        // Tab only moves on from the combo box: it is no typing, and Next stays usable.
        search.cboSearch->setFocus();
        QTest::keyClick(search.cboSearch, Qt::Key_Tab);
        QCOMPARE(Buttons(search), QStringLiteral("N"));
        // A character composed by the input method (after a dead key) is typing.
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("é"));
        QApplication::sendEvent(search.cboSearch, &composed);
        QCOMPARE(Buttons(search), QStringLiteral("F"));
    }

    void searchHistoryKeepsEveryFindInOrderWhileTheWindowIsLoaded() {
        TestRun run;
        auto [main, entry, search] = OpenSearch(QStringLiteral("alpha beta two"));
        for (const QString &text :
             {QStringLiteral("beta"), QStringLiteral("beta"), QStringLiteral("two"), QString()}) {
            TypeSearchText(search, text);
            if (text.isEmpty())
                QTest::keyClick(search.cboSearch, Qt::Key_Backspace);
            Click(search.cmdSFind);
        }
        QStringList history;
        for (int i = 0; i < search.cboSearch->count(); ++i)
            history.append(search.cboSearch->itemText(i));
        QCOMPARE(history, (QStringList{"beta", "beta", "two", ""}));
        QVERIFY(NotFoundShown()); // the empty search found nothing

        search.cboSearch->setCurrentIndex(0);
        QCOMPARE(Buttons(search), QStringLiteral("N"));
        entry.SetSelStart(0);
        Click(search.cmdSNext);
        QCOMPARE(entry.SelText(), QStringLiteral("beta"));

        Click(search.cmdSCancel);
        QVERIFY(!search.isVisible());
        Item(main, "mnuMTSearch").trigger();
        QCOMPARE(Module1::Forms().Find<frmSearch>(), &search);
        QVERIFY(search.isVisible());
        QCOMPARE(search.cboSearch->currentText(), QString());
        QCOMPARE(search.cboSearch->count(), 4);
    }

    void searchFindsMatchesFarIntoALongEntry() {
        TestRun run;
        auto [main, entry, search] =
            OpenSearch(QString(40000, QLatin1Char('x')) + QStringLiteral(" needle needle"));
        TypeSearchText(search, QStringLiteral("needle"));
        Click(search.cmdSFind);
        QCOMPARE(entry.SelStart(), 40001);
        Click(search.cmdSNext);
        QCOMPARE(entry.SelStart(), 40008);
    }

    void searchCuesAndTheNotFoundWindowWithItsHoverColours() {
        TestRun run;
        auto [main, entry, search] = OpenSearch(QStringLiteral("text"));
        TypeSearchText(search, QStringLiteral("none"));
        Click(search.cmdSFind);
        frmNoFind &noFind = Module1::Forms().Get<frmNoFind>();
        QCOMPARE(noFind.lblNF2->text(), QStringLiteral("Can't find the word/phrase"));
        QTest::mouseClick(noFind.lblNFOK, Qt::LeftButton);
        QVERIFY(!noFind.isVisible());
        Click(search.cmdSNext);
        QVERIFY(noFind.isVisible());
        // Beside the search window, on top of it: below it, or above where the screen ends.
        const QRect screen = search.screen()->availableGeometry();
        const auto besideSearch = [&] {
            return screen.contains(noFind.frameGeometry()) &&
                   !noFind.frameGeometry().intersects(search.frameGeometry());
        };
        QVERIFY(besideSearch() && noFind.y() > search.y());
        search.move(search.x(), screen.bottom() - search.frameGeometry().height());
        // The not-found cue plays at the window's first showing only; Next plays no cue.
        QCOMPARE(run.Cues(), (QStringList{"\\graphics\\s_hi!.wav", "\\graphics\\s_searchin.wav",
                                          "\\graphics\\s_nofinderror.wav"}));

        Item(main, "mnuMTSound").trigger(); // sound off
        TypeSearchText(search, QStringLiteral("none"));
        Click(search.cmdSFind);
        QCOMPARE(run.Cues().size(), 3);
        QVERIFY(besideSearch() && noFind.y() < search.y());

        TestRun::MovePointerOver(noFind.lblNFOK);
        QVERIFY(noFind.lblNFOK->Bold());
        QCOMPARE(noFind.lblNFOK->ForeColor(), QColor(255, 0, 0));
        TestRun::MovePointerOver(&noFind, QPoint(2, 2));
        QVERIFY(!noFind.lblNFOK->Bold());
        QCOMPARE(noFind.lblNFOK->ForeColor(), QColor(0, 0, 255));
    }

    void saveWritesTheEntryAndClearsTheMarker() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("Dear diary"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        const QString path = run.FilePath(QStringLiteral("today")); // no extension added
        run.Dialogs().files.append(path);
        Item(main, "mnuMFSave").trigger();

        const auto &shown = run.Dialogs().shown.constFirst();
        QCOMPARE(shown.kind, QStringLiteral("save"));
        QCOMPARE(shown.DialogTitle, QStringLiteral("Save file"));
        QCOMPARE(shown.Filter, QStringLiteral("*.rtf|*.rtf"));
        QVERIFY(shown.CancelError);
        QVERIFY(run.ReadFile(QStringLiteral("today")).startsWith("{\\rtf1"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".rtf")));
        QCOMPARE(PathPanel(main), path);
        QCOMPARE(Marker(main), QString());
        QVERIFY(!Panel(main, "orvsoftware").font().bold());
        QCOMPARE(run.Cues().last(), kSaved);

        Item(main, "mnuMFNew").trigger();
        QCOMPARE(EntryOf(main).Text(), QString());
        QCOMPARE(PathPanel(main), path);
        run.Dialogs().files.append(path);
        Item(main, "mnuMFOpen").trigger();
        QCOMPARE(run.Dialogs().shown.last().FileName, path); // the last name is offered
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("Dear diary"));
        QCOMPARE(run.Cues().last(), kOpened);

        const QString given = path + QStringLiteral(".given");
        QVERIFY(QFile::copy(path, given));
        Item(main, "mnuMFNew").trigger();
        main.OpenGivenEntry(given);
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("Dear diary"));
        QCOMPARE(PathPanel(main), given);
        QCOMPARE(run.Cues().count(kOpened), 2);
        Item(main, "mnuMFSave").trigger();
        QCOMPARE(run.Dialogs().shown.last().FileName, given);
    }

    void theBusyCursorShowsWhileAnEntryIsRead() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        const QString slow = run.FilePath(QStringLiteral("slow.rtf"));
        QVERIFY(mkfifo(QFile::encodeName(slow).constData(), 0600) == 0);
        // The entry comes through a pipe once the cursor was looked at; the window waits for it.
        std::optional<Qt::CursorShape> shown;
        std::thread writer([&] {
            QFile pipe(slow);
            if (!pipe.open(QIODevice::WriteOnly))
                return;
            const QCursor *cursor = QGuiApplication::overrideCursor();
            shown = cursor ? cursor->shape() : Qt::ArrowCursor;
            pipe.write("{\\rtf1 slow}");
        });
        main.OpenGivenEntry(slow);
        writer.join();
        QCOMPARE(shown, Qt::WaitCursor);
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("slow"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void cancelledDialogsChangeNothing() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("unsaved"));
        Item(main, "mnuMFOpen").trigger(); // cancelled: the marker stays
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("unsaved"));
        Item(main, "mnuMFSave").trigger(); // cancelled: the marker goes
        QCOMPARE(Marker(main), QString());
        QCOMPARE(PathPanel(main), QStringLiteral("Orv Software"));
        QCOMPARE(QDir(run.AppFolder()).entryList(QDir::Files), QStringList());
        QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});
        QVERIFY(!Module1::Forms().IsLoaded<frmFileErr>());
    }

    void knownFailuresShowTheFileErrorWindowOnce_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const QString longName(300, QLatin1Char('n'));
        const QString rows[][4] = {
            {"save into a missing folder", "save", "missing/entry.rtf",
             "Can't find the specified path!"},
            {"save over a folder", "save", "folder", "Can't find the path\\filename!"},
            {"save under a name too long", "save", longName, "Can't find the path\\filename!"},
            {"open a missing file", "open", "gone.rtf", "That file wasn't found!"},
            {"open a missing file given to the program", "given", "gone.rtf",
             "That file wasn't found!"}};
        for (const auto &[name, command, target, message] : rows)
            QTest::newRow(qPrintable(name)) << command << target << message;
    }

    void knownFailuresShowTheFileErrorWindowOnce() {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, message);
        TestRun run;
        QVERIFY(QDir(run.AppFolder()).mkdir(QStringLiteral("folder")));
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("text"));
        run.Dialogs().files = {run.FilePath(target), run.FilePath(QStringLiteral("gone.rtf"))};
        if (command == QLatin1String("given"))
            main.OpenGivenEntry(run.FilePath(target));
        else
            Item(main, command == QLatin1String("save") ? "mnuMFSave" : "mnuMFOpen").trigger();

        frmFileErr &window = *Module1::Forms().Find<frmFileErr>();
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblFE5->text(), message);
        QCOMPARE(run.Cues().last(), kError);
        QCOMPARE(PathPanel(main), QStringLiteral("Orv Software"));
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("text"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QVERIFY(!QGuiApplication::overrideCursor()); // the busy cursor went with the failure

        TestRun::MovePointerOver(window.lblFEOK);
        QVERIFY(window.lblFEOK->Bold());
        TestRun::MovePointerOver(&window, QPoint(2, 2));
        QVERIFY(!window.lblFEOK->Bold());
        QCOMPARE(window.lblFEOK->ForeColor(), QColor(255, 0, 0));

        QTest::mouseClick(window.lblFEOK, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        Item(main, "mnuMFOpen").trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblFE5->text(), message);
        QCOMPARE(run.Cues().count(kError), 1);
    }

    void aSaveReplacesTheEarlierFileWholeOrNotAtAll_data() {
        QTest::addColumn<QString>("how"); // "save" in the window or "tool" on the command line
        QTest::addColumn<int>("entrySize");
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<bool>("folderTakesNewFiles");
        QTest::addColumn<QString>("message"); // empty: saved
        const QString full = QStringLiteral("Your disk is full!");
        // Sizes below, near and far above what a file buffer holds before it writes.
        QTest::newRow("small entry, full disk") << "save" << 30 << true << true << true << full;
        QTest::newRow("medium entry, full disk") << "save" << 10000 << true << true << true << full;
        QTest::newRow("large entry, full disk") << "save" << 200000 << true << true << true << full;
        QTest::newRow("new name, full disk") << "save" << 30 << false << true << true << full;
        QTest::newRow("tool output, full disk") << "tool" << 30 << true << true << true << full;
        QTest::newRow("folder takes no new files")
            << "save" << 30 << true << false << false << QString();
        QTest::newRow("folder takes no new files, full disk")
            << "save" << 200000 << true << true << false << full;
        QTest::newRow("new name, folder takes no new files")
            << "save" << 30 << false << false << false << "Can't find the path\\filename!";
    }

    void aSaveReplacesTheEarlierFileWholeOrNotAtAll() {
        QFETCH(QString, how);
        QFETCH(int, entrySize);
        QFETCH(bool, earlier);
        QFETCH(bool, diskFull);
        QFETCH(bool, folderTakesNewFiles);
        QFETCH(QString, message);
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        TestRun run;
        PrivateMounts mounts(run.AppFolder());
        const QString disk = run.FilePath(QStringLiteral("small-disk"));
        mounts.SmallDisk(disk, "64k");
        const QString path = disk + QStringLiteral("/entry.rtf");
        const QByteArray earlierBytes("{\\rtf1\\ansi earlier entry\\par}");
        QStringList files;
        if (earlier) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlierBytes);
            files.append(QStringLiteral("entry.rtf"));
        }
        if (diskFull) {
            PrivateMounts::Fill(disk);
            files.append(QStringLiteral("filler"));
        }
        if (!folderTakesNewFiles)
            mounts.RefuseNewFiles(disk, earlier ? path : QString());

        const QString entry(entrySize, QLatin1Char('w'));
        if (how == QLatin1String("tool")) {
            run.WriteFile(QStringLiteral("in.rtf"), "{\\rtf1 " + entry.toLatin1() + "}");
            QProcess tool;
            tool.start(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../quillory-rtftext"),
                       {run.FilePath(QStringLiteral("in.rtf")), QStringLiteral("--rtf"), path});
            QVERIFY(tool.waitForFinished());
            QCOMPARE(tool.exitCode(), 1);
        } else {
            frmMain &main = OpenMainWindow();
            EntryOf(main).SetText(entry);
            QTest::keyClicks(&EntryOf(main), QStringLiteral("!"));
            run.Dialogs().files.append(path);
            Item(main, "mnuMFSave").trigger();
            QCOMPARE(Module1::Forms().IsLoaded<frmFileErr>(), !message.isEmpty());
            if (!message.isEmpty())
                QCOMPARE(Module1::Forms().Find<frmFileErr>()->lblFE5->text(), message);
            // A failed save does not look saved, so New or Exit cannot drop the entry unasked.
            QCOMPARE(Marker(main), message.isEmpty() ? QString() : QStringLiteral("NOT SAVED!"));
        }
        QFile file(path);
        QCOMPARE(file.open(QIODevice::ReadOnly), earlier);
        const QByteArray now = file.readAll();
        if (message.isEmpty())
            QVERIFY(now.contains('!' + entry.toLatin1()));
        else
            QCOMPARE(now, earlier ? earlierBytes : QByteArray());
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), files); // nothing partial
    }

    void privateFilesAreOwnerOnlyWhateverTheUmask() {
        TestRun run;
        const mode_t umaskBefore = umask(0); // nothing masked: the program alone keeps them private
        frmMain &main = OpenMainWindow();
        run.WriteFile(QStringLiteral("shared.rtf"), "{\\rtf1 shared}");
        QVERIFY(chmod(QFile::encodeName(run.FilePath(QStringLiteral("shared.rtf"))), 0664) == 0);
        for (const char *name : {"new.rtf", "shared.rtf"}) {
            QTest::keyClicks(&EntryOf(main), QStringLiteral("x"));
            run.Dialogs().files.append(run.FilePath(QLatin1String(name)));
            Item(main, "mnuMFSave").trigger();
        }
        Module1::WriteLogEntry(QStringLiteral("authorized"));
        run.SetPasswords(QStringLiteral("a"), QStringLiteral("b"));
        // First password files as the build lays them out and as an install hands them to a user.
        const QString sources = QStringLiteral(QT_TESTCASE_SOURCEDIR "/..");
        const QString user = run.FilePath(QStringLiteral("home/data/Quillory"));
        QCOMPARE(AppFolder::Choose(sources + QStringLiteral("/assets"), user), user);
        QCOMPARE(QProcess::execute(QStringLiteral("cmake"),
                                   {QStringLiteral("-DSOURCE_DIR=") + sources,
                                    QStringLiteral("-DAPP_DIR=") + run.FilePath("laid-out"),
                                    QStringLiteral("-P"),
                                    sources + QStringLiteral("/assets/LayOutAppFolder.cmake")}),
                 0);
        umask(umaskBefore);

        // shared.rtf existed before the save and keeps its mode.
        for (const QString expected :
             {"600 new.rtf", "664 shared.rtf", "600 orvlog.txt", "600 orvpass1.txt",
              "600 orvpass2.txt", "600 laid-out/orvpass1.txt", "600 laid-out/orvpass2.txt",
              "700 home", "700 home/data/Quillory", "600 home/data/Quillory/orvpass1.txt",
              "600 home/data/Quillory/orvpass2.txt"}) {
            const QString name = expected.section(QLatin1Char(' '), 1);
            struct stat info {};
            QVERIFY(stat(QFile::encodeName(run.FilePath(name)), &info) == 0);
            QCOMPARE(QString::number(info.st_mode & 0777, 8) + QLatin1Char(' ') + name, expected);
        }
    }
};

QTEST_MAIN(tst_Entry)
#include "tst_Entry.moc"
