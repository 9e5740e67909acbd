#include "MainWindowDriver.h"

#include "entry/frmNoFind.h"
#include "entry/frmSearch.h"
#include "platform/CommandButton.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>

namespace {

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

class tst_Search : public QObject {
    Q_OBJECT

private slots:
    void findIgnoresCaseAndNextResumesAfterTheMatch() {
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

    void historyKeepsEveryFindInOrderWhileTheWindowIsLoaded() {
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

    void matchesFarIntoALongEntryAreFound() {
        TestRun run;
        auto [main, entry, search] =
            OpenSearch(QString(40000, QLatin1Char('x')) + QStringLiteral(" needle needle"));
        TypeSearchText(search, QStringLiteral("needle"));
        Click(search.cmdSFind);
        QCOMPARE(entry.SelStart(), 40001);
        Click(search.cmdSNext);
        QCOMPARE(entry.SelStart(), 40008);
    }

    void cuesAndTheNotFoundWindowWithItsHoverColours() {
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

QTEST_MAIN(tst_Search)
#include "tst_Search.moc"
