// What the rich text box does on its own, below the commands (tests/entry drives those).
#include "TestSupport.h"

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfImages.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFile>
#include <QFontMetricsF>
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
#include <algorithm>
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

// An entry as large ones are, after an empty paragraph: paragraphs of every length and type,
// alignment, spacing and indent, whose lines fall where estimates do not expect them; "needle"
// once, two thirds down.
void FillEntry(RichTextBox &box, int paragraphs) {
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
        cursor.insertBlock(block, characters);
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

// Where the lines of the document's first paragraph start, found by pointing down it a third
// of a line at a time.
QList<int> ShownLineStarts(const QTextDocument &document) {
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    const QRectF paragraph = layout->blockBoundingRect(document.firstBlock());
    QList<int> starts;
    for (qreal y = paragraph.top() + 1; y < paragraph.bottom();
         y += QFontMetricsF(document.defaultFont()).height() / 3) {
        const int start = layout->hitTest(QPointF(0, y), Qt::FuzzyHit);
        if (starts.isEmpty() || starts.last() != start)
            starts.append(start);
    }
    return starts;
}

} // namespace

Q_DECLARE_METATYPE(MakeData)

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
        QCOMPARE(box.SelFontName(), std::nullopt);
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
    // finds what a fresh search of the whole text finds. The text arrives as an opened entry,
    // whose copy is being made on a worker thread while the first edits come.
    void findFollowsEveryEdit() {
        RichTextBox box;
        box.SetText(QStringLiteral("Alpha beta\r\nGamma ÉTÉ \U00010400 end"));
        QTemporaryDir folder;
        box.SaveFile(folder.filePath(QStringLiteral("entry.rtf")), RichTextBox::RichText);
        box.LoadFile(folder.filePath(QStringLiteral("entry.rtf")), RichTextBox::RichText);
        const auto type = [&box](int at, const QString &keys) {
            box.SetSelStart(at);
            QTest::keyClicks(&box, keys);
        };
        const std::vector<std::function<void()>> edits = {
            [&] { type(0, QStringLiteral("Xy")); },
            [&] { type(30, QStringLiteral("BETA")); }, // the gap moves to the end
            [&] { type(3, QStringLiteral("be")); },    // and back
            [&] { Select(box, 4, 9), QTest::keyClick(&box, Qt::Key_Delete); },
            [&] { Select(box, 2, 3), box.SetSelText(QStringLiteral("gamma\r\nbeta\r\nété")); },
            [&] { box.undo(); },
            [&] { box.redo(); },
            [&] { Select(box, 0, 20), box.SetSelBold(true); },
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

    // A paragraph too long to lay out whole on every key is laid out in pieces; its lines still
    // break between words, an edit leaves them where a fresh layout puts them, and the caret,
    // the line keys and the view follow them.
    void aVeryLongParagraphKeepsItsLinesAndKeys() {
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        box.SetText(QStringLiteral("Kept for years, day by day. ").repeated(3000));
        QTextDocument &document = *box.document();
        const auto shownLines = [&] {
            QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
            box.viewport()->grab();
            return ShownLineStarts(document);
        };
        QList<int> lines = shownLines();
        QVERIFY(lines.size() > 1000);
        for (int i = 1; i < lines.size(); ++i)
            QCOMPARE(document.characterAt(lines[i] - 1), QLatin1Char(' '));
        // Typed into a line, and the first word taken from the line where the first piece ends,
        // whose space then joins the line above, which that piece holds.
        box.SetSelStart(40000);
        QTest::keyClicks(&box, QStringLiteral("daybyday "));
        Select(box, *(std::upper_bound(lines.begin(), lines.end(), 16383) - 1), 3);
        QTest::keyClick(&box, Qt::Key_Delete);
        lines = shownLines();
        document.setPageSize(document.pageSize()); // laid out afresh
        QCOMPARE(shownLines(), lines);

        QScrollBar *bar = box.verticalScrollBar();
        bar->setValue(0);
        QTest::keyClick(&box, Qt::Key_Z); // at the end, which the view shows again
        box.viewport()->grab();
        QVERIFY(bar->value() > bar->maximum() - 20);
        QInputMethodQueryEvent query(Qt::ImCursorRectangle); // as an input method asks
        QCoreApplication::sendEvent(&box, &query);
        const QRect caret = query.value(Qt::ImCursorRectangle).toRect();
        QCOMPARE(box.cursorForPosition(caret.center() - box.viewport()->pos()).position(),
                 box.SelStart());

        const auto lineOf = [&lines](int position) {
            return int(std::upper_bound(lines.begin(), lines.end(), position) - lines.begin()) - 1;
        };
        box.SetSelStart(lines[700] + 9);
        QTest::keyClick(&box, Qt::Key_Down);
        const int below = box.SelStart();
        QCOMPARE(lineOf(below), 701);
        QTest::keyClick(&box, Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(box.SelStart(), lines[701]);
        QCOMPARE(box.SelLength(), below - lines[701]);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(lineOf(box.SelStart()), 700);
        const int top = bar->value();
        QTest::keyClick(&box, Qt::Key_PageDown);
        QVERIFY(lineOf(box.SelStart()) > 710);
        QVERIFY(bar->value() > top);
    }

    // Whatever an edit does, paragraphs seen before it and paragraphs first seen after it end
    // up where laying the whole entry out afresh puts them.
    void editsLeaveParagraphsWhereAFreshLayoutPutsThem_data() {
        for (const char *column : {"block", "offset", "length"})
            QTest::addColumn<int>(column);
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("restyle"); // centred, in large type
        const auto row = [](const char *name, int block, int offset, int length,
                            const QString &text, const QKeySequence &keys, bool restyle = false) {
            QTest::newRow(name) << block << offset << length << text << keys << restyle;
        };
        const QString lines = QStringLiteral("pasted line\r\n").repeated(600);
        row("a key at the start", 0, 0, 0, {}, Qt::Key_X);
        row("Enter inside a paragraph", 61, 20, 0, {}, Qt::Key_Return);
        row("Backspace joining two", 63, 0, 0, {}, Qt::Key_Backspace);
        row("600 paragraphs inserted", 58, 5, 0, lines, {});
        row("600 paragraphs inserted, undone", 58, 5, 0, lines, Qt::CTRL | Qt::Key_Z);
        row("paragraphs deleted", 55, 10, 3000, {}, Qt::Key_Delete);
        row("paragraphs restyled", 57, 3, 1500, {}, {}, true);
        row("a picture pasted", 60, 2, 0, {}, Qt::CTRL | Qt::Key_V);
    }

    void editsLeaveParagraphsWhereAFreshLayoutPutsThem() {
        QFETCH(int, block);
        QFETCH(int, offset);
        QFETCH(int, length);
        QFETCH(QString, text);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, restyle);
        QGuiApplication::clipboard()->setImage(QImage(50, 90, QImage::Format_RGB32));
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        FillEntry(box, 120);
        // The start and the end seen, the middle only estimated, the screen at the edit.
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        box.viewport()->grab();
        Select(box, box.document()->findBlockByNumber(block).position() + offset, length);
        box.viewport()->grab();
        if (!text.isEmpty())
            box.SetSelText(text);
        if (restyle) {
            box.SetSelAlignment(RichTextBox::AlignCenter);
            box.SetSelFontSize(30);
        }
        QTest::keySequence(&box, keys);
        box.viewport()->grab();
        const QList<QRectF> edited = BlockRects(*box.document());
        box.document()->setPageSize(box.document()->pageSize()); // everything laid out afresh
        QCOMPARE(BlockRects(*box.document()), edited);
    }

    // Wherever the caret goes, however far down, it is drawn on the screen where a click puts
    // it. Dragged to its end, the scroll bar shows the end; scrolling up onto paragraphs not seen
    // before keeps the screen still, though they turn out taller or shorter than estimated.
    void theCaretIsDrawnWhereAClickPutsItWhereverItGoes() {
        RichTextBox box;
        box.resize(400, 300);
        box.show();
        FillEntry(box, 3000);
        box.viewport()->grab();
        QScrollBar *bar = box.verticalScrollBar();
        bar->setValue(bar->maximum());
        QTextCursor end(box.document());
        end.movePosition(QTextCursor::End);
        const int bottom = box.cursorRect(end).bottom();
        QVERIFY(bottom < box.viewport()->height() && bottom > box.viewport()->height() - 30);
        QTextCursor watched = box.cursorForPosition(QPoint(200, 50));
        for (int step = 0; step < 40; ++step) {
            const int before = box.cursorRect(watched).top();
            bar->setValue(bar->value() - 25);
            QVERIFY(qAbs(box.cursorRect(watched).top() - (before + 25)) <= 1); // whole pixels
            box.viewport()->grab();
        }
        const auto caretAt = [&box](int block, int offset) { // from the end when negative
            const QTextBlock paragraph = box.document()->findBlockByNumber(block);
            const int position =
                paragraph.position() + (offset >= 0 ? offset : paragraph.length() + offset);
            box.SetSelStart(position);
            QVERIFY(box.viewport()->rect().contains(box.cursorRect()));
            QCOMPARE(box.cursorForPosition(box.cursorRect().center()).position(), position);
        };
        caretAt(12, 330);  // a wrapped paragraph's later line
        caretAt(15, -1);   // a right-aligned paragraph's end
        caretAt(41, 3);    // a hanging indent's first line
        caretAt(2900, 7);  // far down, never seen before
        caretAt(3000, -1); // the very end
        QVERIFY(box.Find(QStringLiteral("needle")) > 0);
        QVERIFY(box.viewport()->rect().contains(box.cursorRect()));

        // A selection over paragraphs highlights the whole of the one between.
        box.SetText(QStringLiteral("one\r\ntwo\r\nthree"));
        QTextCursor two(box.document()->findBlockByNumber(1));
        const QRect start = box.cursorRect(two);
        two.movePosition(QTextCursor::EndOfBlock);
        const QRect line = start.united(box.cursorRect(two));
        Select(box, 2, 8);
        const QImage shown = box.viewport()->grab().toImage();
        const QPalette::ColorGroup group = box.hasFocus() ? QPalette::Active : QPalette::Inactive;
        const QRgb highlight = box.palette().color(group, QPalette::Highlight).rgb();
        int lit = 0;
        for (int y = line.top(); y <= line.bottom(); ++y)
            for (int x = line.left(); x <= line.right(); ++x)
                lit += shown.pixel(x, y) == highlight;
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
