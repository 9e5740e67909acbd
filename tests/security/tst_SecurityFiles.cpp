#include "TestSupport.h"

#include "platform/AnsiCodePage.h"
#include "platform/CommandButton.h"
#include "platform/PlainTextView.h"
#include "platform/Regional.h"
#include "platform/RuntimeError.h"
#include "security/PasswordStore.h"
#include "security/WriteLogEntry.h"
#include "security/frmView.h"

#include <QAccessible>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <optional>

using namespace PasswordStore;

namespace {

QString Chars(std::initializer_list<int> codes) {
    QByteArray bytes;
    for (int code : codes)
        bytes.append(static_cast<char>(code));
    return AnsiCodePage::Decode(bytes);
}

frmView &OpenViewer() {
    frmView &viewer = Module1::Forms().Show<frmView>();
    if (!QTest::qWaitForWindowExposed(&viewer))
        qWarning("the viewer was not shown");
    return viewer;
}

} // namespace

class tst_SecurityFiles : public QObject {
    Q_OBJECT

private slots:
    void eachLineIsAppendedWholeOnALineOfItsOwn_data() {
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QStringList>("outcomes"); // of the lines after the earlier ones
        const QByteArray line("authorized 1/2/2026 9:00:00 AM");
        const QStringList both = {QStringLiteral("unauthorized"), QStringLiteral("authorized")};
        QTest::newRow("whole lines") << line + "\r\n" << false << both;
        QTest::newRow("a torn line") << line << false << both;
        QTest::newRow("a line cut after its CR") << line + "\r" << false << both;
        // Only the start of the next line fits on the last page of the disk.
        QTest::newRow("a full disk") << line + "\r\n" + QByteArray(4050, 'x') + "\r\n"
                                     << true << QStringList{QStringLiteral("authorized")};
    }

    void eachLineIsAppendedWholeOnALineOfItsOwn() {
        QFETCH(QByteArray, earlier);
        QFETCH(bool, diskFull);
        QFETCH(QStringList, outcomes);
        if (diskFull)
            SKIP_WITHOUT_PRIVATE_MOUNTS();
        TestRun run;
        std::optional<PrivateMounts> mounts;
        QString folder = run.AppFolder();
        if (diskFull) {
            mounts.emplace(run.AppFolder());
            folder = run.FilePath(QStringLiteral("small-disk"));
            mounts->SmallDisk(folder, "64k");
            Module1::SetAppPath(folder);
        }
        QFile log(folder + QStringLiteral("/orvlog.txt"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(earlier);
        log.close();
        if (diskFull)
            PrivateMounts::Fill(folder);

        for (const char *outcome : {"unauthorized", "authorized"}) {
            try {
                Module1::WriteLogEntry(QLatin1String(outcome));
            } catch (const RuntimeError &error) {
                QVERIFY(diskFull);
                QCOMPARE(error.number(), ErrorNumber::DiskFull);
                QVERIFY(log.open(QIODevice::ReadOnly));
                QCOMPARE(log.readAll(), earlier); // nothing of the line
                log.close();
                QVERIFY(QFile::remove(folder + QStringLiteral("/filler")));
            }
        }
        QVERIFY(log.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromLatin1(log.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.takeLast(), QString()); // the last line is ended too
        const qsizetype earlierLines = earlier.count('\n') + (earlier.endsWith('\n') ? 0 : 1);
        QCOMPARE(lines.size(), earlierLines + outcomes.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY(!lines[i].contains(QLatin1Char('\r')) && !lines[i].contains(QLatin1Char('\n')));
            if (i >= earlierLines)
                QVERIFY(lines[i].startsWith(outcomes[i - earlierLines] + QLatin1Char(' ')));
        }
    }

    void regionalTextsFollowTheLocale() {
        const QDate date(2026, 12, 5);
        const QTime time(22, 52, 57);
        // Two-digit years are widened; the zone is left out wherever the locale puts it.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Regional::ShortDateText(date), QStringLiteral("05.12.2026"));
        QCOMPARE(Regional::LongTimeText(time), QStringLiteral("22:52:57"));
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        QCOMPARE(Regional::LongTimeText(time), QStringLiteral("22:52:57"));
    }

    void scramblingShiftsEveryCodeByFiveWithinTheByteRange() {
        QCOMPARE(ScrambleText(QStringLiteral("abc 1")), QStringLiteral("fgh%6"));
        QCOMPARE(UnscrambleText(QStringLiteral("fgh%6")), QStringLiteral("abc 1"));
        // Codes whose shifted value would leave 0..255 stay as they are.
        QCOMPARE(ScrambleText(Chars({250, 251, 255})), Chars({255, 251, 255}));
        QCOMPARE(UnscrambleText(Chars({0, 4, 5})), Chars({0, 4, 0}));
        // Characters of the code page's upper half move through their byte codes.
        QCOMPARE(ScrambleText(QStringLiteral("\u20AC")), Chars({0x85})); // euro is 0x80
    }

    void writtenPasswordsReadBackAsTheStoreKeepsThem() {
        TestRun run;
        const QString path = run.FilePath(QStringLiteral("orvpass1.txt"));
        run.SetPasswords(QStringLiteral("abc"), QString());
        QCOMPARE(run.ReadFile(QStringLiteral("orvpass1.txt")), QByteArray("fgh\r\n"));
        QCOMPARE(ReadStoredPassword(path), QStringLiteral("abc"));
        run.SetPasswords(QString(), QString());
        QCOMPARE(run.ReadFile(QStringLiteral("orvpass1.txt")), QByteArray("\r\n"));
        QCOMPARE(ReadStoredPassword(path), QString());
        // Every printable code of the page but the apostrophe comes back as written.
        QString everyCode;
        for (int code = 32; code <= 250; ++code)
            if (code != '\'')
                everyCode += Chars({code});
        run.SetPasswords(everyCode, QString());
        QCOMPARE(ReadStoredPassword(path), everyCode);
    }

    void oneFieldIsReadFromTheFirstLine_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("field");
        const char *rows[][3] = {{"plain line", "abc\r\n", "abc"},
                                 {"no line end", "abc", "abc"},
                                 {"text after a comma", "abc,def\r\n", "abc"},
                                 {"leading spaces skipped", "   abc \r\n", "abc "},
                                 {"quoted field keeps commas", " \"a,b\" rest\r\n", "a,b"},
                                 {"unclosed quote runs to the end", "\"ab\r\ncd", "ab\r\ncd"},
                                 {"later lines ignored", "one\r\ntwo\r\n", "one"},
                                 {"empty first line", "\r\nsecond\r\n", ""},
                                 {"lone LF ends the line", "ab\ncd", "ab"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QByteArray(row[1]) << QString(row[2]);
    }

    void oneFieldIsReadFromTheFirstLine() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, field);
        QCOMPARE(ReadTextField(contents), field);
    }

    // A missing file and an empty one are the gate's to show; a missing folder is told apart.
    void aMissingFolderIsAPathNotFound() {
        TestRun run;
        try {
            ReadStoredPassword(run.FilePath(QStringLiteral("gone/orvpass1.txt")));
            QFAIL("a file in a missing folder was read");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::PathNotFound);
        }
    }

    void viewerShowsTheLogLiterallyAndReadsItOnce() {
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

    void viewerClosesAtAMousePressOnTheTextNotAtKeys() {
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

    void viewerKeysScrollALongLog() {
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

    void viewerOfAMissingLogIsEmpty() {
        TestRun run; // no log at all: it was deleted during the run
        frmView &viewer = OpenViewer();
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.rtbView->LineCount(), 0);
        QVERIFY(run.Messages().isEmpty());
    }
};

QTEST_MAIN(tst_SecurityFiles)
#include "tst_SecurityFiles.moc"
