#include "TestSupport.h"

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfImages.h"

#include <QMimeData>
#include <QTest>
#include <QTextBlock>

class tst_RichTextBox : public QObject {
    Q_OBJECT

private:
    static void Select(RichTextBox &box, int start, int length) {
        box.SetSelStart(start);
        box.SetSelLength(length);
    }

private slots:
    void attributesOfAMixedSelectionAreNull() {
        RichTextBox box;
        box.SetText(QStringLiteral("plain bold"));
        Select(box, 6, 4);
        box.SetSelBold(true);
        QCOMPARE(box.SelBold(), std::optional<bool>(true));
        Select(box, 0, 10);
        QCOMPARE(box.SelBold(), std::nullopt);
        box.SetSelBold(true);
        QCOMPARE(box.SelBold(), std::optional<bool>(true));
        QCOMPARE(box.SelItalic(), std::optional<bool>(false));

        box.SetSelColor(0x0000FF); // red in 0x00BBGGRR
        Select(box, 2, 3);
        QCOMPARE(box.SelColor(), std::optional<quint32>(0x0000FF));
        QCOMPARE(box.textCursor().charFormat().foreground().color(), QColor(255, 0, 0));
    }

    void theInsertionPointCarriesAttributesToTypedText() {
        RichTextBox box;
        box.SetText(QStringLiteral("abc"));
        box.SetSelStart(3);
        box.SetSelUnderline(true);
        QCOMPARE(box.SelUnderline(), std::optional<bool>(true));
        QTest::keyClicks(&box, QStringLiteral("de"));
        Select(box, 3, 2);
        QCOMPARE(box.SelUnderline(), std::optional<bool>(true));
        Select(box, 0, 3);
        QCOMPARE(box.SelUnderline(), std::optional<bool>(false));
    }

    void fontNameAndSizeFallBackToTheBaseFont() {
        RichTextBox box;
        box.SetBaseFontName(QStringLiteral("Liberation Serif"));
        box.SetText(QStringLiteral("words"));
        Select(box, 0, 5);
        QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Liberation Serif")));
        box.SetSelFontSize(9);
        QCOMPARE(box.SelFontSize(), std::optional<float>(9));
        Select(box, 1, 1);
        box.SetSelFontName(QStringLiteral("DejaVu Sans"));
        Select(box, 0, 5);
        QCOMPARE(box.SelFontName(), std::nullopt);
    }

    void alignmentIsReadOverEveryParagraphTouched() {
        RichTextBox box;
        box.SetText(QStringLiteral("one\r\ntwo\r\nthree"));
        Select(box, 0, 2);
        box.SetSelAlignment(RichTextBox::AlignCenter);
        QCOMPARE(box.SelAlignment(), std::optional<int>(2));
        Select(box, 5, 0);
        QCOMPARE(box.SelAlignment(), std::optional<int>(0));
        Select(box, 1, 6); // "one" and "two"
        QCOMPARE(box.SelAlignment(), std::nullopt);
        box.SetSelAlignment(RichTextBox::AlignRight);
        QCOMPARE(box.SelAlignment(), std::optional<int>(1));
        QCOMPARE(box.document()->findBlockByNumber(2).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
    }

    void insertedLineBreaksAreSingleParagraphBreaks() {
        RichTextBox box;
        box.SetSelText(QStringLiteral("10:52:57 PM\r\n"));
        box.SetSelText(QStringLiteral("10:52:58 PM\r\n"));
        QCOMPARE(box.Text(), QStringLiteral("10:52:57 PM\r\n10:52:58 PM\r\n"));
        QCOMPARE(box.document()->blockCount(), 3);
        QCOMPARE(box.SelStart(), 24); // on the empty line that follows
        // A selection is replaced.
        box.SetText(QStringLiteral("replace me"));
        Select(box, 0, 7);
        box.SetSelText(QStringLiteral("12/5/2026\r\n"));
        QCOMPARE(box.Text(), QStringLiteral("12/5/2026\r\n me"));
        QCOMPARE(box.SelText(), QString());
    }

    void findIgnoresCaseAndSearchesTheSelectionOrFromAStart() {
        RichTextBox box;
        box.SetText(QStringLiteral("The Cat sat"));
        QCOMPARE(box.Find(QStringLiteral("cat")), 4);
        QCOMPARE(box.SelText(), QStringLiteral("Cat"));
        // With "Cat" selected, a search without a start looks only inside it.
        QCOMPARE(box.Find(QStringLiteral("at")), 5);
        QCOMPARE(box.Find(QStringLiteral("sat")), -1);
        QCOMPARE(box.SelText(), QStringLiteral("at")); // unchanged by the failed search
        QCOMPARE(box.Find(QStringLiteral("at"), box.SelStart() + 2), 9);
        QCOMPARE(box.Find(QStringLiteral("at"), 10), -1);
        QCOMPARE(box.Find(QString()), -1);
        QCOMPARE(box.Find(QStringLiteral("the"), 100), -1);
    }

    void positionsAreNotLimitedToSixteenBits() {
        RichTextBox box;
        box.SetText(QString(40000, QLatin1Char('x')) + QStringLiteral("\r\nneedle"));
        QCOMPARE(box.Find(QStringLiteral("NEEDLE"), 0), 40001);
        QCOMPARE(box.SelStart(), 40001);
        QCOMPARE(box.SelLength(), 6);
    }

    void keysThatDeliverNoCharacterRaiseNoKeyPress() {
        RichTextBox box;
        QList<int> raised;
        connect(&box, &RichTextBox::KeyPress, &box,
                [&raised](qint16 &keyAscii) { raised.append(keyAscii); });
        QTest::keyClick(&box, Qt::Key_A);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Delete);
        QTest::keyClick(&box, Qt::Key_Left);
        QTest::keyClick(&box, Qt::Key_F5);
        QCOMPARE(raised, (QList<int>{'a', 8, 13}));
    }

    void aSwallowedKeyNeverReachesTheText() {
        RichTextBox box;
        connect(&box, &RichTextBox::KeyPress, &box, [](qint16 &keyAscii) {
            if (keyAscii == 'x')
                keyAscii = 0;
        });
        QTest::keyClicks(&box, QStringLiteral("axb"));
        QCOMPARE(box.Text(), QStringLiteral("ab"));
    }

    void picturesOnTheClipboardArePastedAsPictures() {
        // Paste, Ctrl+V and Shift+Insert all end in insertFromMimeData.
        struct Access : RichTextBox {
            using RichTextBox::canInsertFromMimeData;
            using RichTextBox::insertFromMimeData;
        };
        RichTextBox box;
        box.SetText(QStringLiteral("ab"));
        box.SetSelStart(1);
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QMimeData data;
        data.setImageData(picture);
        QVERIFY((box.*&Access::canInsertFromMimeData)(&data));
        (box.*&Access::insertFromMimeData)(&data);

        QCOMPARE(box.document()->characterCount(), 4); // a, picture, b, end of text
        QTextBlock::iterator fragments = box.document()->firstBlock().begin();
        ++fragments; // past "a"
        const QTextFragment middle = fragments.fragment();
        QVERIFY(middle.charFormat().isImageFormat());
        const RtfImages::EncodedPicture stored =
            RtfImages::Resolve(*box.document(), middle.charFormat().toImageFormat());
        QCOMPARE(stored.pixels, QSize(8, 6));
        QVERIFY(RtfImages::IsPng(stored.bytes)); // ready to be saved in the entry
    }
};

QTEST_MAIN(tst_RichTextBox)
#include "tst_RichTextBox.moc"
