#include "TestSupport.h"

#include "platform/CommandButton.h"
#include "platform/PlainTextView.h"
#include "security/frmView.h"

#include <QAccessible>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

frmView &OpenViewer() {
    frmView &viewer = Module1::Forms().Show<frmView>();
    if (!QTest::qWaitForWindowExposed(&viewer))
        qWarning("the viewer was not shown");
    return viewer;
}

} // namespace

class tst_frmView : public QObject {
    Q_OBJECT
private slots:
    void showsTheLogLiterallyAndReadsItOnce() {
        TestRun run;
        const QString rtfLooking = QStringLiteral("{\\rtf1\\ansi {\\b bold}\\par}");
        const QString accented = QStringLiteral("authorized 5.12.2026 22:52:57 – Zoë");
        // A lone CR ends a line too: a line torn by a full disk before its LF.
        run.WriteFile(QStringLiteral("orvlog.txt"),
                      QByteArray("unauthorized 12/5/2026 10:52:57 PM\r\n\r\ntorn\r") +
                          rtfLooking.toLocal8Bit() + "\n" + accented.toLocal8Bit() + "\r\n");

        frmView &viewer = OpenViewer();
        const QString firstText = QStringLiteral("unauthorized 12/5/2026 10:52:57 PM\n\ntorn\n") +
                                  rtfLooking + QLatin1Char('\n') + accented;
        QCOMPARE(viewer.rtbView->Text(), firstText);
        QCOMPARE(viewer.rtbView->LineCount(), 5);
        // A screen reader reads the same text, counting characters rather than bytes.
        QAccessibleTextInterface *spoken =
            QAccessible::queryAccessibleInterface(viewer.rtbView)->textInterface();
        QCOMPARE(spoken->text(0, spoken->characterCount()), firstText);
        int start = 0, end = 0;
        QCOMPARE(
            spoken->textAtOffset(firstText.size() - 1, QAccessible::LineBoundary, &start, &end),
            accented);
        QCOMPARE(start, firstText.size() - accented.size());

        QTest::mouseClick(viewer.cmdVDone, Qt::LeftButton);
        QVERIFY(viewer.isHidden());

        // Later checks add to the log; the viewer keeps what it read at its first showing.
        run.WriteFile(QStringLiteral("orvlog.txt"), "authorized 12/6/2026 9:00:00 AM\r\n");
        QCOMPARE(&OpenViewer(), &viewer);
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.rtbView->Text(), firstText);
    }

    // A log of more than 8 MiB stays on disk and is indexed a MiB at a time: line ends across
    // those parts read as in one piece, and a log cut short while shown gives shorter lines,
    // not a fault.
    void aLargeLogIsReadInPlace() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("orvlog.txt"));
        QByteArray log;
        const auto fillTo = [&log](qsizetype at) {
            while (log.size() < at - 40)
                log += "authorized 12/5/2026 10:52:57 PM\r\n";
            log += QByteArray(at - log.size(), 'x');
        };
        fillTo((1 << 20) - 1);
        log += "\r\n"; // CR LF across the first part's end
        fillTo((2 << 20) - 1);
        log += "\rtorn\r\n"; // a lone CR ends the second part
        fillTo((3 << 20) - 1);
        log += "\r\r\n";
        fillTo(9 << 20);
        log += "last without end";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(log) == log.size());
        file.close();

        PlainTextView view;
        view.LoadFile(path);
        PlainTextView whole;
        whole.SetContents(log);
        QCOMPARE(view.LineCount(), whole.LineCount());
        QCOMPARE(view.Text(), whole.Text());

        QVERIFY(file.resize(5 << 20));
        QCOMPARE(view.Line(view.LineCount() * 3 / 4), QString()); // its bytes are gone
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
        QVERIFY(!view.grab().isNull()); // painted what is left
    }

    void mousePressOnTheTextClosesAtOnceKeysDoNot() {
        TestRun run;
        run.WriteFile(QStringLiteral("orvlog.txt"), "authorized 12/5/2026 10:52:57 PM\r\n");
        frmView &viewer = OpenViewer();

        viewer.rtbView->setFocus();
        QTest::keyClicks(viewer.rtbView, QStringLiteral("typed"));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Down, Qt::Key_Escape})
            QTest::keyClick(viewer.rtbView, key);
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.rtbView->Text(), QStringLiteral("authorized 12/5/2026 10:52:57 PM"));

        // The press alone closes it, before any release, whichever button.
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            OpenViewer();
            QTest::mousePress(viewer.rtbView->viewport(), button, {}, QPoint(20, 10));
            QVERIFY(viewer.isHidden());
        }
        QVERIFY(!run.Ended());
    }

    void keysScrollALongLog() {
        TestRun run;
        QByteArray log;
        for (int i = 1; i <= 500; ++i)
            log += "authorized 12/5/2026 10:52:" + QByteArray::number(i) + " PM\r\n";
        run.WriteFile(QStringLiteral("orvlog.txt"), log);
        PlainTextView *view = OpenViewer().rtbView;
        QCOMPARE(view->LineCount(), 500);
        QCOMPARE(view->FirstVisibleLine(), 0);
        QVERIFY(
            view->VisibleText().startsWith(QStringLiteral("authorized 12/5/2026 10:52:1 PM\n")));

        QTest::keyClick(view, Qt::Key_End);
        QVERIFY(view->FirstVisibleLine() > 400);
        QVERIFY(view->VisibleText().endsWith(QStringLiteral("10:52:500 PM")));
        const qsizetype atEnd = view->FirstVisibleLine();
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(view->FirstVisibleLine(), atEnd - 1);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(view->FirstVisibleLine(), 0);
        QTest::keyClick(view, Qt::Key_PageDown);
        QVERIFY(view->FirstVisibleLine() > 1);

        // A screen reader reads the lines on screen, and line by line from the caret, which is at
        // the top line on screen; moving the caret scrolls.
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(view);
        QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Security log"));
        QCOMPARE(spoken->text(QAccessible::Value), view->VisibleText());
        QAccessibleTextInterface *text = spoken->textInterface();
        const qsizetype top = view->FirstVisibleLine();
        const int caret = text->cursorPosition();
        int start = 0, end = 0;
        const auto line = QAccessible::LineBoundary;
        QCOMPARE(text->textAtOffset(caret, line, &start, &end), view->Line(top) + '\n');
        QCOMPARE(start, caret);
        QCOMPARE(text->textAfterOffset(caret, line, &start, &end), view->Line(top + 1) + '\n');
        QCOMPARE(text->textBeforeOffset(caret, line, &start, &end), view->Line(top - 1) + '\n');
        QCOMPARE(text->textAtOffset(caret, QAccessible::CharBoundary, &start, &end), "a");
        QCOMPARE(text->offsetAtPoint(text->characterRect(caret + 5).center()), caret + 5);
        QCOMPARE(text->textAtOffset(text->characterCount(), line, &start, &end), view->Line(499));
        QCOMPARE(end, text->characterCount());
        text->setCursorPosition(start + 3);
        QCOMPARE(view->FirstVisibleLine(), view->verticalScrollBar()->maximum());
        text->setCursorPosition(text->textAfterOffset(0, line, &start, &end).size() + 1);
        QCOMPARE(view->FirstVisibleLine(), 1);
    }

    void unreadableLogShowsAnEmptyViewer() {
        TestRun run; // no log at all: it was deleted during the run
        frmView &viewer = OpenViewer();
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.rtbView->LineCount(), 0);
        QVERIFY(run.Messages().isEmpty());
    }
};

QTEST_MAIN(tst_frmView)
#include "tst_frmView.moc"
