// What the rich text box does on its own, below the commands (tests/entry drives those).
#include "TestSupport.h"

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfImages.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>

namespace {

// What the style sheet and the background picture beside a pasted text would bring, read.
bool StyledByNamedFiles(const QTextDocument &document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().background().style() == Qt::TexturePattern)
            return true;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().fontWeight() >= QFont::Bold ||
                it.fragment().charFormat().background().style() == Qt::TexturePattern)
                return true;
    }
    return false;
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What is pasted or dropped, made in a folder holding picture.png and bold.css.
using MakeData = std::function<QMimeData *(const QString &folder)>;

QMimeData *Html(const QString &html) {
    auto *data = new QMimeData;
    data->setHtml(html);
    return data;
}

// An entry as large ones are: paragraphs of every length, in small, large and bold type, left,
// centred, right-aligned and justified, with space above and below, a hanging indent, wide
// line spacing; "needle" once, two thirds down. Lines fall where estimates do not expect them.
void FillEntry(RichTextBox &box, int paragraphs) {
    box.SetText(QString());
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                        Qt::AlignJustify};
    for (int i = 0; i < paragraphs; ++i) {
        QTextBlockFormat block;
        block.setAlignment(alignments[i % 4]);
        block.setTopMargin(i % 3 * 4.3);
        block.setBottomMargin(i % 4 * 3.1);
        block.setLeftMargin(i % 9 == 4 ? 30 : 0);
        block.setTextIndent(i % 9 == 4 ? -20 : 0);
        if (i % 7 == 3)
            block.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        QTextCharFormat characters;
        characters.setFontPointSize(i % 6 == 0 ? 20 : 9 + i % 3);
        characters.setFontWeight(i % 4 == 0 ? QFont::Bold : QFont::Normal);
        if (i > 0)
            cursor.insertBlock(block, characters);
        else
            cursor.setBlockFormat(block);
        const QString words =
            i == paragraphs * 2 / 3 ? QStringLiteral("needle ") : QStringLiteral("day %1 ").arg(i);
        cursor.insertText(words.repeated(i * 37 % 60), characters);
    }
    cursor.endEditBlock();
    // Laid out afresh, as an entry that was opened: nothing seen yet.
    box.document()->setPageSize(box.document()->pageSize());
}

QList<QRectF> BlockRects(const QTextDocument &document) {
    QList<QRectF> rects;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        rects.append(document.documentLayout()->blockBoundingRect(block));
    return rects;
}

// The caret's rectangle lies on the screen.
bool CaretShown(const RichTextBox &box) {
    return box.viewport()->rect().contains(box.cursorRect());
}

void Paste(RichTextBox &box, QMimeData *data) {
    QGuiApplication::clipboard()->setMimeData(data);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
}

QMimeData *PictureFile(const QImage &image) {
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/png"), EncodedImage(image, "PNG"));
    data->setImageData(image); // as a clipboard offers a picture file
    return data;
}

using Edit = std::function<void(RichTextBox &box)>;

} // namespace

Q_DECLARE_METATYPE(MakeData)
Q_DECLARE_METATYPE(Edit)

class tst_RichTextBox : public QObject {
    Q_OBJECT

private:
    static void Select(RichTextBox &box, int start, int length) {
        box.SetSelStart(start);
        box.SetSelLength(length);
    }

private slots:
    void attributesOfAMixedSelectionAreNullAndTypingCarriesThem() {
        RichTextBox box;
        box.SetBaseFontName(QStringLiteral("Liberation Serif"));
        box.SetText(QStringLiteral("plain bold"));
        Select(box, 6, 4);
        box.SetSelBold(true);
        box.SetSelFontName(QStringLiteral("DejaVu Sans"));
        Select(box, 0, 10);
        QCOMPARE(box.SelBold(), std::nullopt);
        QCOMPARE(box.SelFontName(), std::nullopt);
        QCOMPARE(box.SelItalic(), std::optional<bool>(false));
        Select(box, 0, 5);
        QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Liberation Serif")));

        box.SetSelColor(0x0000FF); // red in 0x00BBGGRR
        QCOMPARE(box.textCursor().charFormat().foreground().color(), QColor(255, 0, 0));

        // Set at the caret, an attribute goes to what is typed there.
        box.SetSelStart(10);
        box.SetSelUnderline(true);
        QTest::keyClicks(&box, QStringLiteral("de"));
        Select(box, 10, 2);
        QCOMPARE(box.SelUnderline(), std::optional<bool>(true));
        Select(box, 0, 10);
        QCOMPARE(box.SelUnderline(), std::optional<bool>(false));
    }

    // Find searches a copy of the text that edits update in place: after every kind of edit it
    // finds what a fresh search of the whole text finds.
    void findFollowsEveryEdit() {
        RichTextBox box;
        box.SetText(QStringLiteral("Alpha beta\r\nGamma ÉTÉ \U00010400 end"));
        const auto type = [&box](int at, const QString &keys) {
            box.SetSelStart(at);
            QTest::keyClicks(&box, keys);
        };
        const auto select = [&box](int start, int length) {
            box.SetSelStart(start);
            box.SetSelLength(length);
        };
        const std::vector<std::function<void()>> edits = {
            [&] { type(0, QStringLiteral("Xy")); },
            [&] { type(30, QStringLiteral("BETA")); }, // the gap moves to the end
            [&] { type(3, QStringLiteral("be")); },    // and back
            [&] { select(4, 9), QTest::keyClick(&box, Qt::Key_Delete); },
            [&] { select(2, 3), box.SetSelText(QStringLiteral("gamma\r\nbeta\r\nété")); },
            [&] { box.undo(); },
            [&] { box.redo(); },
            [&] { select(0, 20), box.SetSelBold(true); },
            [&] { box.moveCursor(QTextCursor::End), QTest::keyClick(&box, Qt::Key_Return); },
            [&] { box.SetText(QStringLiteral("fresh Beta text")); },
        };
        for (const auto &edit : edits) {
            edit();
            const QString text = box.document()->toRawText();
            for (const QString &needle :
                 {QStringLiteral("beta"), QStringLiteral("été"), QStringLiteral("\U00010428"),
                  QStringLiteral("a\u2029g"), QStringLiteral("XYA"), QStringLiteral("t")}) {
                box.SetSelStart(0);
                QCOMPARE(box.Find(needle, 1), int(text.indexOf(needle, 1, Qt::CaseInsensitive)));
            }
        }
    }

    void keyPressSeesCharactersOnlyAndCanSwallowThem() {
        RichTextBox box;
        QList<int> raised;
        connect(&box, &RichTextBox::KeyPress, &box, [&raised](qint16 &keyAscii) {
            raised.append(keyAscii);
            if (keyAscii == 'x')
                keyAscii = 0;
        });
        for (Qt::Key key : {Qt::Key_A, Qt::Key_X, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Delete,
                            Qt::Key_Left, Qt::Key_F5})
            QTest::keyClick(&box, key);
        QCOMPARE(raised, (QList<int>{'a', 'x', 8, 13}));
        QCOMPARE(box.Text(), QStringLiteral("\r\n")); // "a" went with the backspace, "x" never came

        // Characters an input method composes (dead keys, IBus) are key presses as well.
        raised.clear();
        box.moveCursor(QTextCursor::End);
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("\u00E9x\u00E8"));
        QCoreApplication::sendEvent(&box, &composed);
        QCOMPARE(raised, (QList<int>{0xE9, 'x', 0xE8}));
        QCOMPARE(box.Text(), QStringLiteral("\r\n\u00E9\u00E8"));
    }

    // A paragraph holding an over-long word (base64) wraps anywhere; the paragraph beside it
    // still wraps between words.
    void openingAgainHoldsOneDocumentAndWrapsOnlyOverLongWordsAnywhere() {
        QTemporaryDir folder;
        const QString normal = folder.filePath(QStringLiteral("normal.rtf"));
        const QString base64 = folder.filePath(QStringLiteral("base64.rtf"));
        WriteFile(normal, "{\\rtf1 Dear diary\\par}");
        WriteFile(base64, "{\\rtf1 " + QByteArray("Dear diary, today ").repeated(30) +
                              "\\par data: " + QByteArray(20000, 'A') + "\\par}");
        RichTextBox box;
        box.resize(300, 200);
        box.show();
        for (const QString &path : {normal, base64, normal, base64})
            box.LoadFile(path);
        QCOMPARE(box.findChildren<QTextDocument *>().size(), 1);
        const QTextBlock words = box.document()->firstBlock();
        BlockRects(*box.document());
        QVERIFY(words.layout()->lineCount() > 3);
        for (int i = 1; i < words.layout()->lineCount(); ++i)
            QCOMPARE(words.text().at(words.layout()->lineAt(i).textStart() - 1), QLatin1Char(' '));
        QVERIFY(words.next().layout()->lineCount() > 50);
    }

    // Whatever an edit does, paragraphs seen before it and paragraphs first seen after it end
    // up where laying the whole entry out afresh puts them.
    void editsLeaveParagraphsWhereAFreshLayoutPutsThem_data() {
        QTest::addColumn<Edit>("edit");
        const auto at = [](RichTextBox &box, int block, int offset) {
            box.SetSelStart(box.document()->findBlockByNumber(block).position() + offset);
        };
        QTest::newRow("a key at the start") << Edit([](RichTextBox &box) {
            box.SetSelStart(0);
            QTest::keyClick(&box, Qt::Key_X);
        });
        QTest::newRow("Enter inside a paragraph") << Edit([at](RichTextBox &box) {
            at(box, 61, 20);
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QTest::newRow("Backspace joining two paragraphs") << Edit([at](RichTextBox &box) {
            at(box, 62, 0);
            QTest::keyClick(&box, Qt::Key_Backspace);
        });
        QTest::newRow("600 paragraphs pasted") << Edit([at](RichTextBox &box) {
            at(box, 58, 5);
            auto *data = new QMimeData;
            data->setText(QStringLiteral("pasted line\n").repeated(600));
            Paste(box, data);
        });
        QTest::newRow("a paste undone") << Edit([at](RichTextBox &box) {
            at(box, 58, 5);
            auto *data = new QMimeData;
            data->setText(QStringLiteral("pasted line\n").repeated(600));
            Paste(box, data);
            QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
        });
        QTest::newRow("a selection over paragraphs deleted") << Edit([at](RichTextBox &box) {
            at(box, 55, 10);
            box.SetSelLength(3000);
            QTest::keyClick(&box, Qt::Key_Delete);
        });
        QTest::newRow("paragraphs centred, their type enlarged") << Edit([at](RichTextBox &box) {
            at(box, 57, 3);
            box.SetSelLength(1500);
            box.SetSelAlignment(RichTextBox::AlignCenter);
            box.SetSelFontSize(30);
        });
        QTest::newRow("space below a paragraph, above the next") << Edit([](RichTextBox &box) {
            QTextCursor cursor(box.document()->findBlockByNumber(60));
            QTextBlockFormat format;
            format.setBottomMargin(40);
            cursor.mergeBlockFormat(format);
        });
        QTest::newRow("a picture pasted") << Edit([at](RichTextBox &box) {
            at(box, 60, 2);
            Paste(box, PictureFile(QImage(50, 90, QImage::Format_RGB32)));
        });
    }

    void editsLeaveParagraphsWhereAFreshLayoutPutsThem() {
        QFETCH(Edit, edit);
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        FillEntry(box, 120);
        // The start and the end seen, the middle only estimated, the screen at paragraph 60.
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        box.viewport()->grab();
        box.SetSelStart(box.document()->findBlockByNumber(60).position());
        box.viewport()->grab();
        edit(box);
        box.viewport()->grab();
        const QList<QRectF> edited = BlockRects(*box.document());
        box.document()->setPageSize(box.document()->pageSize()); // everything laid out afresh
        QCOMPARE(BlockRects(*box.document()), edited);
    }

    // The caret is drawn where a click puts it, wherever it is, however far down.
    void aClickWhereTheCaretIsDrawnPutsItThere_data() {
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("offset"); // from the paragraph's end when negative
        QTest::newRow("the very start") << 0 << 0;
        QTest::newRow("a wrapped paragraph's later line") << 11 << 330;
        QTest::newRow("a right-aligned paragraph's end") << 14 << -1;
        QTest::newRow("a hanging indent's first line") << 40 << 3;
        QTest::newRow("far down, never seen before") << 2900 << 7;
        QTest::newRow("the very end") << 2999 << -1;
    }

    void aClickWhereTheCaretIsDrawnPutsItThere() {
        QFETCH(int, block);
        QFETCH(int, offset);
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        FillEntry(box, 3000);
        box.viewport()->grab();
        const QTextBlock paragraph = box.document()->findBlockByNumber(block);
        const int position =
            paragraph.position() + (offset >= 0 ? offset : paragraph.length() + offset);
        box.SetSelStart(position);
        QVERIFY(CaretShown(box));
        QCOMPARE(box.cursorForPosition(box.cursorRect().center()).position(), position);
    }

    // Jumps show the caret, and scrolling up onto paragraphs not seen before keeps what was on
    // the screen where it was, though they turn out taller or shorter than estimated.
    void jumpsShowTheCaretAndScrollingUpKeepsTheScreenStill() {
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        FillEntry(box, 3000);
        box.viewport()->grab();
        QScrollBar *bar = box.verticalScrollBar();
        bar->setValue(bar->maximum()); // the scroll bar dragged to its end shows the end
        const QTextBlock last = box.document()->lastBlock();
        const qreal end =
            box.document()->documentLayout()->blockBoundingRect(last).bottom() - bar->value();
        QVERIFY2(end <= box.viewport()->height() && end > box.viewport()->height() - 20,
                 qPrintable(QString::number(end)));
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(CaretShown(box));
        box.viewport()->grab();
        QTextCursor watched = box.cursorForPosition(QPoint(200, 50));
        for (int step = 0; step < 40; ++step) {
            const int before = box.cursorRect(watched).top();
            bar->setValue(bar->value() - 25);
            QVERIFY(qAbs(box.cursorRect(watched).top() - (before + 25)) <= 1); // whole pixels
            box.viewport()->grab();
        }
        QVERIFY(box.Find(QStringLiteral("needle")) > 0);
        QVERIFY(CaretShown(box));
        QTest::keyClick(&box, Qt::Key_Home, Qt::ControlModifier);
        QVERIFY(CaretShown(box));
    }

    // A picture is drawn at its size, and a selection over paragraphs highlights the whole of
    // the one between.
    void picturesAndSelectionsAreDrawnWhereTheyAre() {
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        box.SetText(QStringLiteral("one\r\ntwo\r\nthree"));
        box.SetSelStart(0);
        QImage red(60, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        Paste(box, PictureFile(red));
        const auto redArea = [&box] {
            const QImage shown = box.viewport()->grab().toImage();
            QRect area;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    if (shown.pixel(x, y) == qRgb(255, 0, 0))
                        area |= QRect(x, y, 1, 1);
            return area.size();
        };
        QTRY_COMPARE(redArea(), QSize(60, 40));

        box.SetSelStart(box.Text().indexOf(QLatin1String("ne")));
        box.SetSelLength(8);
        const QImage shown = box.viewport()->grab().toImage();
        const QTextBlock two = box.document()->findBlockByNumber(1);
        const QRect line = two.layout()->lineAt(0).naturalTextRect().toRect().translated(
            box.document()->documentLayout()->blockBoundingRect(two).topLeft().toPoint());
        const QPalette::ColorGroup group = box.hasFocus() ? QPalette::Active : QPalette::Inactive;
        const QColor highlight = box.palette().color(group, QPalette::Highlight);
        int lit = 0;
        for (int y = line.top(); y <= line.bottom(); ++y)
            for (int x = line.left(); x <= line.right(); ++x)
                lit += QColor(shown.pixel(x, y)) == highlight;
        QVERIFY(lit > line.width() * line.height() / 2);
    }

    // Whatever the route, pasted data brings its text and the pictures it carries itself, never
    // a file or URL it names (the picture file beside it would show, the style sheet would make
    // the text bold); data without a single format, which a middle click brings when nothing is
    // selected on the screen, changes nothing.
    void pastingTakesWhatTheDataCarriesNeverWhatItNames_data() {
        QTest::addColumn<MakeData>("make");
        QTest::addColumn<bool>("drop");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<int>("refused");
        const auto html = [](const QString &markup) {
            return MakeData([markup](const QString &folder) {
                return Html(QString(markup).replace(QStringLiteral("FOLDER"), folder));
            });
        };
        QTest::newRow("no format at all")
            << MakeData([](const QString &) { return new QMimeData; }) << false << "ab" << 0 << 0;
        QTest::newRow("picture by file URL")
            << html("x<img src=\"file://FOLDER/picture.png\">y") << false << "axyb" << 0 << 0;
        QTest::newRow("picture by path, dropped")
            << html("x<img src=\"FOLDER/picture.png\">y") << true << "axyb" << 0 << 0;
        QTest::newRow("style sheet and background by path")
            << html("<html><head><link rel=\"stylesheet\" type=\"text/css\" "
                    "href=\"FOLDER/bold.css\"></head><body><p "
                    "style=\"background-image: url(FOLDER/picture.png)\">x</p></body></html>")
            << false << "axb" << 0 << 0;
        QTest::newRow("picture carried as a data: URL") << MakeData([](const QString &) {
            const QByteArray png = EncodedImage(QImage(6, 3, QImage::Format_RGB32), "PNG");
            return Html("x<img src=\"data:image/png;base64," + png.toBase64() + "\">y");
        }) << true << "axyb" << 1 << 0;
        QTest::newRow("picture file with more pixels than the limit")
            << MakeData([](const QString &) {
                   auto *data = new QMimeData;
                   data->setData(QStringLiteral("image/png"), PngClaiming(20000, 20000));
                   data->setImageData(QImage(2, 2, QImage::Format_RGB32));
                   return data;
               })
            << false << "ab" << 0 << 1;
    }

    void pastingTakesWhatTheDataCarriesNeverWhatItNames() {
        QFETCH(MakeData, make);
        QFETCH(bool, drop);
        QFETCH(QString, text);
        QFETCH(int, pictures);
        QFETCH(int, refused);
        QTemporaryDir folder;
        WriteFile(folder.filePath(QStringLiteral("picture.png")),
                  EncodedImage(QImage(8, 8, QImage::Format_RGB32), "PNG"));
        WriteFile(folder.filePath(QStringLiteral("bold.css")), "p { font-weight: bold }");
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        QSignalSpy refusals(&box, &RichTextBox::PictureRefused);
        box.SetText(QStringLiteral("ab"));
        box.SetSelStart(1);
        QMimeData *data = make(folder.path());
        if (drop) {
            const QPoint between = box.cursorRect().center();
            QDragEnterEvent enter(between, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(box.viewport(), &enter);
            QDropEvent event(between, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(box.viewport(), &event);
            delete data;
        } else {
            QGuiApplication::clipboard()->setMimeData(data);
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        }
        box.viewport()->grab(); // drawing the pictures reads nothing either
        QCOMPARE(box.Text().remove(QChar::ObjectReplacementCharacter), text);
        const QList<QTextImageFormat> held = Pictures(*box.document());
        QCOMPARE(held.size(), pictures);
        for (const QTextImageFormat &picture : held)
            QVERIFY(RtfImages::Resolve(*box.document(), picture).pixels.isValid());
        QVERIFY(!StyledByNamedFiles(*box.document()));
        QCOMPARE(refusals.size(), refused);
    }
};

QTEST_MAIN(tst_RichTextBox)
#include "tst_RichTextBox.moc"
