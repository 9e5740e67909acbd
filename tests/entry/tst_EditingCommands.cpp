#include "MainWindowDriver.h"

#include "entry/frmNoFind.h"
#include "entry/frmSearch.h"
#include "platform/CommandButton.h"
#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QTextBlock>
#include <QThreadPool>

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

// A small picture in the given format. Qt writes no GIF, so that one is spelled out: a 2 x 1
// picture, one red and one blue pixel.
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

// Typing into the combo box makes Find available again. Keys go where a keyboard sends them:
// to the combo box, which has the focus and passes them on to its line edit.
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

} // namespace

class tst_EditingCommands : public QObject {
    Q_OBJECT

private slots:
    // A partly set selection counts as off; the looks follow what the command did, not the
    // text at the caret.
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
                return QStringLiteral("%1 %2%3")
                    .arg(on ? QString::number(*on) : "mixed")
                    .arg(item.isChecked())
                    .arg(button.Value());
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
        // Beside the search window, which stays on top of it: below it, or above it where the
        // screen ends below.
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
};

QTEST_MAIN(tst_EditingCommands)
#include "tst_EditingCommands.moc"
