// What the rich text box does on its own, below the commands (tests/entry drives those).
#include "TestSupport.h"

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfImages.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QMimeData>
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

    void openingAgainHoldsOneDocumentAndWrapsOverLongWordsAnywhere() {
        QTemporaryDir folder;
        const QString normal = folder.filePath(QStringLiteral("normal.rtf"));
        const QString base64 = folder.filePath(QStringLiteral("base64.rtf"));
        WriteFile(normal, "{\\rtf1 Dear diary\\par}");
        WriteFile(base64, "{\\rtf1 data: " + QByteArray(20000, 'A') + "\\par}");
        RichTextBox box;
        for (const QString &path : {normal, base64, normal, base64})
            box.LoadFile(path);
        QCOMPARE(box.findChildren<QTextDocument *>().size(), 1);
        QCOMPARE(box.wordWrapMode(), QTextOption::WrapAnywhere);
        box.SetText(QStringLiteral("a fresh entry"));
        QCOMPARE(box.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
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
