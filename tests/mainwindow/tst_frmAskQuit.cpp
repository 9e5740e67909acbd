#include "MainWindowDriver.h"

#include "mainwindow/frmAskQuit.h"
#include "security/frmPassEntry.h"

namespace {

// A choice's look as "bold #rrggbb" or "regular #rrggbb".
const QString kAtFirst = QStringLiteral("regular #0000c0");
const QString kUnderPointer = QStringLiteral("bold #ff0000");
const QString kAtRest = QStringLiteral("regular #0000ff");

frmAskQuit &ChooseExit(frmMain &main) {
    Item(main, "mnuMFExit").trigger();
    return Module1::Forms().Get<frmAskQuit>();
}

QString Look(const ChoiceLabel *label) {
    return QStringLiteral("%1 %2").arg(label->Bold() ? "bold" : "regular",
                                       label->ForeColor().name());
}

} // namespace

class AskQuit : public QObject {
    Q_OBJECT
private slots:
    void lookAndHighlightUnderThePointer() {
        TestRun run;
        frmAskQuit &quit = ChooseExit(OpenMainWindow());
        QCOMPARE(Look(quit.lblAQYes), kAtFirst);
        QCOMPARE(Look(quit.lblAQNo), kAtFirst);
        QCOMPARE(quit.lblAQTitle->font().pointSize(), 12);
        QLabel *rows[][2] = {{quit.lblAQ1, quit.lblAQ2},
                             {quit.lblAQ3, quit.lblAQ4},
                             {quit.lblAQ5, quit.lblAQ6},
                             {quit.lblAQ7, quit.lblAQ8}};
        for (auto &row : rows) {
            QVERIFY(row[0]->font().bold() && !row[1]->font().bold());
            QCOMPARE(MessageWindow::ForeColorOf(row[0]), QColor(0, 0, 192));
            QCOMPARE(row[0]->geometry().center().y(), row[1]->geometry().center().y());
            QVERIFY(row[0]->geometry().right() < row[1]->geometry().left());
        }
        QCOMPARE(quit.lblAQ6->text(),
                 QStringLiteral("Dectected a 'Quit' button click")); // as it is
        QCOMPARE(quit.lblAQYes->y(), quit.lblAQNo->y());
        QVERIFY(quit.lblAQYes->x() < quit.lblAQNo->x());

        TestRun::MovePointerOver(quit.lblAQYes);
        QCOMPARE(Look(quit.lblAQYes), kUnderPointer);
        QCOMPARE(Look(quit.lblAQNo), kAtFirst);
        // Other labels and the picture keep the pointer to themselves.
        for (QWidget *other :
             std::initializer_list<QWidget *>{quit.lblAQTitle, quit.lblAQ8, quit.imgAQuit}) {
            TestRun::MovePointerOver(other);
            QCOMPARE(Look(quit.lblAQYes), kUnderPointer);
        }
        TestRun::MovePointerOver(quit.lblAQNo);
        QCOMPARE(Look(quit.lblAQNo), kUnderPointer);
        QCOMPARE(Look(quit.lblAQYes), kUnderPointer);
        // The etched line is part of the background.
        TestRun::MovePointerOver(quit.Line1);
        QCOMPARE(Look(quit.lblAQYes), kAtRest);
        QCOMPARE(Look(quit.lblAQNo), kAtRest);
    }

    void noHidesTheWindowAndItsHighlight() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("unsaved"));
        frmAskQuit &quit = ChooseExit(main);
        // The main window still takes typing while the question is up.
        QTest::keyClicks(&EntryOf(main), QStringLiteral(" words"));
        QTest::mouseClick(quit.lblAQ2, Qt::LeftButton);
        QTest::mouseClick(quit.imgAQuit, Qt::LeftButton);
        QVERIFY(quit.isVisible());

        TestRun::MovePointerOver(quit.lblAQNo);
        QTest::mouseClick(quit.lblAQNo, Qt::LeftButton);
        TestRun::ProcessEvents();
        QVERIFY(!quit.isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(EntryOf(main).toPlainText(), QStringLiteral("unsaved words"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QVERIFY(!run.Ended());

        QCOMPARE(&ChooseExit(main), &quit);
        QVERIFY(quit.isVisible());
        QCOMPARE(Look(quit.lblAQNo), kUnderPointer);
        QCOMPARE(Look(quit.lblAQYes), kAtFirst);
    }

    void yesUnloadsEveryWindow() {
        TestRun run;
        run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
        Module1::Forms().Get<frmPassEntry>().Hide(); // the gate stays loaded, hidden
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("never saved"));
        frmAskQuit &quit = ChooseExit(main);
        QCOMPARE(Module1::Forms().Loaded().size(), 3);

        QTest::mouseClick(quit.lblAQYes, Qt::LeftButton);
        QVERIFY(Module1::Forms().Loaded().isEmpty());
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QCOMPARE(run.ExitCode(), 0);
        QVERIFY(run.Messages().isEmpty()); // no question about the unsaved entry
    }

    // The question plays at the window's Load only, if sound is on then: never at a later Exit.
    void questionCueAtTheFirstExitOnly() {
        for (bool soundAtFirstExit : {true, false}) {
            TestRun run;
            frmMain &main = OpenMainWindow();
            const auto sound = [&main] { Item(main, "mnuMTSound").trigger(); };
            if (!soundAtFirstExit)
                sound();
            QTest::mouseClick(ChooseExit(main).lblAQNo, Qt::LeftButton);
            if (!soundAtFirstExit)
                sound();
            QTest::mouseClick(ChooseExit(main).lblAQNo, Qt::LeftButton);
            ChooseCommand(main, true, {}, QStringLiteral("exit"));
            QCOMPARE(run.Cues().count(QStringLiteral("\\graphics\\s_question.wav")),
                     soundAtFirstExit ? 1 : 0);
        }
    }
};

QTEST_MAIN(AskQuit)
#include "tst_frmAskQuit.moc"
