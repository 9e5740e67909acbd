// What the rich text box does on its own, below the commands (tests/entry drives those).
#include "TestSupport.h"

#include "platform/RichTextBox.h"

#include <QInputMethodEvent>
#include <QTest>

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
};

QTEST_MAIN(tst_RichTextBox)
#include "tst_RichTextBox.moc"
