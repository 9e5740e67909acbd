// The search window and the not-found window, driven as a user would.
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "entry/frmNoFind.h"
#include "entry/frmSearch.h"
#include "mainwindow/frmMain.h"
#include "platform/CommandButton.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

namespace {

struct Searching {
    frmMain &main;
    frmSearch &search;
};

Searching OpenSearch(const QString &entry) {
    Module1::Forms().Show<frmMain>();
    frmMain &main = Module1::Forms().Get<frmMain>();
    main.rtbMain->SetText(entry);
    main.mnuMTSearch->setEnabled(true);
    main.mnuMTSearch->trigger();
    return {main, Module1::Forms().Get<frmSearch>()};
}

// Typing into the combo box makes Find available again. Keys go where a keyboard sends them:
// to the combo box, which has the focus and passes them on to its line edit.
void TypeSearchText(frmSearch &search, const QString &text) {
    search.cboSearch->lineEdit()->selectAll();
    QTest::keyClicks(search.cboSearch, text);
}

bool Ready(const frmSearch &search) {
    return search.cmdSFind->isEnabled() && !search.cmdSNext->isEnabled();
}

} // namespace

class tst_Search : public QObject {
    Q_OBJECT

private slots:
    void findIgnoresCaseAndNextResumesAfterTheMatch() {
        TestRun run;
        auto [main, search] = OpenSearch(QStringLiteral("The Cat sat"));
        QVERIFY(Ready(search));
        QVERIFY(search.windowFlags() & Qt::WindowStaysOnTopHint);
        TypeSearchText(search, QStringLiteral("cat"));
        // The access key acts at once, not after a pressed look.
        QVERIFY(QTest::qWaitForWindowActive(&search));
        QTest::keyClick(search.cboSearch, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(main.rtbMain->SelText(), QStringLiteral("Cat"));
        QCOMPARE(search.mMatchPosition, 4);
        QVERIFY(!search.cmdSFind->isEnabled() && search.cmdSNext->isEnabled());
        // The entry, in front, has the keyboard; the search window stays on top.
        QTRY_COMPARE(QApplication::focusWidget(), main.rtbMain);
        QVERIFY(search.isVisible());

        // "Cat" is still selected, so Find looks inside it first; Next then goes on.
        TypeSearchText(search, QStringLiteral("at"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        QCOMPARE(main.rtbMain->SelStart(), 5);
        QTest::mouseClick(search.cmdSNext, Qt::LeftButton);
        QCOMPARE(main.rtbMain->SelStart(), 9);
        QCOMPARE(main.rtbMain->SelText(), QStringLiteral("at"));
        QVERIFY(!Module1::Forms().IsLoaded<frmNoFind>());

        // After the last match Next reports nothing found and makes Find available again.
        QTest::mouseClick(search.cmdSNext, Qt::LeftButton);
        QVERIFY(Module1::Forms().IsLoaded<frmNoFind>());
        QVERIFY(Module1::Forms().Get<frmNoFind>().isVisible());
        QVERIFY(Ready(search));
        QVERIFY(!search.mFound);

        // With "Cat" selected again, "sat" lies outside the selection.
        TypeSearchText(search, QStringLiteral("cat"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        TypeSearchText(search, QStringLiteral("sat"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        QVERIFY(!search.mFound);
        // A failed Find leaves Find disabled and Next enabled.
        QVERIFY(!search.cmdSFind->isEnabled() && search.cmdSNext->isEnabled());
        // Tab only moves on from the combo box: it is no typing, and Next stays usable.
        search.cboSearch->setFocus();
        QTest::keyClick(search.cboSearch, Qt::Key_Tab);
        QVERIFY(!search.cmdSFind->isEnabled() && search.cmdSNext->isEnabled());
        // A character composed by the input method (after a dead key) is typing.
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("é"));
        QApplication::sendEvent(search.cboSearch, &composed);
        QVERIFY(Ready(search));
    }

    void historyKeepsEveryFindInOrderWhileTheWindowIsLoaded() {
        TestRun run;
        auto [main, search] = OpenSearch(QStringLiteral("alpha beta"));
        for (const QString &text :
             {QStringLiteral("beta"), QStringLiteral("beta"), QStringLiteral("alpha"), QString()}) {
            TypeSearchText(search, text);
            if (text.isEmpty())
                QTest::keyClick(search.cboSearch, Qt::Key_Backspace);
            QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        }
        QStringList history;
        for (int i = 0; i < search.cboSearch->count(); ++i)
            history.append(search.cboSearch->itemText(i));
        QCOMPARE(history, (QStringList{"beta", "beta", "alpha", ""}));
        // The empty search found nothing.
        QVERIFY(!search.mFound);

        QTest::mouseClick(search.cmdSCancel, Qt::LeftButton);
        QVERIFY(!search.isVisible());
        main.mnuMTSearch->trigger();
        QCOMPARE(&Module1::Forms().Get<frmSearch>(), &search);
        QVERIFY(search.isVisible());
        QCOMPARE(search.cboSearch->currentText(), QString());
        QCOMPARE(search.cboSearch->count(), 4);
    }

    void pickingFromTheHistoryLeavesTheButtons() {
        TestRun run;
        auto [main, search] = OpenSearch(QStringLiteral("one two one two"));
        TypeSearchText(search, QStringLiteral("two"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        TypeSearchText(search, QStringLiteral("one"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        search.cboSearch->setCurrentIndex(0); // "two", picked from the list
        QVERIFY(!search.cmdSFind->isEnabled() && search.cmdSNext->isEnabled());
        QTest::mouseClick(search.cmdSNext, Qt::LeftButton);
        QCOMPARE(main.rtbMain->SelText(), QStringLiteral("two"));
    }

    void matchesFarIntoALongEntryAreFound() {
        TestRun run;
        auto [main, search] =
            OpenSearch(QString(40000, QLatin1Char('x')) + QStringLiteral(" needle needle"));
        TypeSearchText(search, QStringLiteral("needle"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        QCOMPARE(search.mMatchPosition, 40001);
        QTest::mouseClick(search.cmdSNext, Qt::LeftButton);
        QCOMPARE(main.rtbMain->SelStart(), 40008);
    }

    void cuesAndTheNotFoundWindowWithItsHoverColours() {
        TestRun run;
        auto [main, search] = OpenSearch(QStringLiteral("text"));
        TypeSearchText(search, QStringLiteral("none"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        frmNoFind &noFind = Module1::Forms().Get<frmNoFind>();
        QCOMPARE(noFind.lblNF2->text(), QStringLiteral("Can't find the word/phrase"));
        QTest::mouseClick(noFind.lblNFOK, Qt::LeftButton);
        QVERIFY(!noFind.isVisible());
        QTest::mouseClick(search.cmdSNext, Qt::LeftButton);
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
        const QString hi = QStringLiteral("\\graphics\\s_hi!.wav");
        const QString searching = QStringLiteral("\\graphics\\s_searchin.wav");
        const QString notFound = QStringLiteral("\\graphics\\s_nofinderror.wav");
        // The not-found cue plays at the window's first showing only; Next plays no cue.
        QCOMPARE(run.Cues(), (QStringList{hi, searching, notFound}));

        main.mnuMTSound->trigger(); // sound off
        TypeSearchText(search, QStringLiteral("none"));
        QTest::mouseClick(search.cmdSFind, Qt::LeftButton);
        QCOMPARE(run.Cues().size(), 3);
        QVERIFY(besideSearch() && noFind.y() < search.y());

        // OK lights up under the pointer.
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
