// The quit window: its look, the highlight of Yes and No under the pointer, No and Yes, and
// when its question cue plays.
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmAskQuit.h"
#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"
#include "platform/Toolbar.h"
#include "security/frmPassEntry.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QTest>

namespace {

const QColor kDarkBlue(0, 0, 192);
const QColor kRestBlue(0, 0, 255);
const QColor kHoverRed(255, 0, 0);
const QString kQuestion = QStringLiteral("\\graphics\\s_question.wav");

frmMain &OpenMainWindow() {
    Module1::Forms().Show<frmMain>();
    return Module1::Forms().Get<frmMain>();
}

frmAskQuit &ChooseExit(frmMain &main) {
    main.mnuMFExit->trigger();
    return Module1::Forms().Get<frmAskQuit>();
}

QString Look(const ChoiceLabel *label) {
    return QStringLiteral("%1 %2").arg(label->Bold() ? "bold" : "regular",
                                       label->ForeColor().name());
}

QString Regular(const QColor &color) {
    return QStringLiteral("regular ") + color.name();
}

QString Bold(const QColor &color) {
    return QStringLiteral("bold ") + color.name();
}

int QuestionCues(const TestRun &run) {
    return int(run.Cues().count(kQuestion));
}

} // namespace

class AskQuit : public QObject {
    Q_OBJECT
private slots:
    void designLook();
    void highlightFollowsThePointer();
    void highlightSurvivesHiding();
    void noPutsTheWindowAway();
    void yesUnloadsEveryWindow();
    void questionCue_data();
    void questionCue();
};

void AskQuit::designLook() {
    TestRun run;
    frmAskQuit &quit = ChooseExit(OpenMainWindow());
    QCOMPARE(quit.windowTitle(), QStringLiteral("Quit program?"));
    QCOMPARE(Look(quit.lblAQYes), Regular(kDarkBlue));
    QCOMPARE(Look(quit.lblAQNo), Regular(kDarkBlue));
    QCOMPARE(quit.lblAQTitle->text(), QStringLiteral("Message"));
    QCOMPARE(quit.lblAQTitle->font().pointSize(), 12);
    QLabel *rows[][2] = {{quit.lblAQ1, quit.lblAQ2},
                         {quit.lblAQ3, quit.lblAQ4},
                         {quit.lblAQ5, quit.lblAQ6},
                         {quit.lblAQ7, quit.lblAQ8}};
    for (auto &row : rows) {
        QVERIFY(row[0]->font().bold());
        QCOMPARE(MessageWindow::ForeColorOf(row[0]), kDarkBlue);
        QVERIFY(!row[1]->font().bold());
        // Heading and text share a line.
        QCOMPARE(row[0]->geometry().center().y(), row[1]->geometry().center().y());
        QVERIFY(row[0]->geometry().right() < row[1]->geometry().left());
    }
    QCOMPARE(quit.lblAQ6->text(), QStringLiteral("Dectected a 'Quit' button click"));
    QCOMPARE(quit.lblAQYes->y(), quit.lblAQNo->y());
    QVERIFY(quit.lblAQYes->x() < quit.lblAQNo->x());
}

void AskQuit::highlightFollowsThePointer() {
    TestRun run;
    frmAskQuit &quit = ChooseExit(OpenMainWindow());

    TestRun::MovePointerOver(quit.lblAQYes);
    QCOMPARE(Look(quit.lblAQYes), Bold(kHoverRed));
    QCOMPARE(Look(quit.lblAQNo), Regular(kDarkBlue));

    // Other labels and the picture keep the pointer to themselves.
    for (QWidget *other : std::initializer_list<QWidget *>{quit.lblAQTitle, quit.lblAQ3,
                                                           quit.lblAQ8, quit.imgAQuit}) {
        TestRun::MovePointerOver(other);
        QCOMPARE(Look(quit.lblAQYes), Bold(kHoverRed));
    }

    TestRun::MovePointerOver(quit.lblAQNo);
    QCOMPARE(Look(quit.lblAQNo), Bold(kHoverRed));
    QCOMPARE(Look(quit.lblAQYes), Bold(kHoverRed));

    // The etched line is part of the background.
    TestRun::MovePointerOver(quit.Line1);
    QCOMPARE(Look(quit.lblAQYes), Regular(kRestBlue));
    QCOMPARE(Look(quit.lblAQNo), Regular(kRestBlue));

    TestRun::MovePointerOver(quit.lblAQNo);
    TestRun::MovePointerOver(&quit, QPoint(2, 2));
    QCOMPARE(Look(quit.lblAQNo), Regular(kRestBlue));
    QCOMPARE(Look(quit.lblAQYes), Regular(kRestBlue));
}

void AskQuit::highlightSurvivesHiding() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    frmAskQuit &quit = ChooseExit(main);
    TestRun::MovePointerOver(quit.lblAQNo);
    QTest::mouseClick(quit.lblAQNo, Qt::LeftButton);
    QVERIFY(!quit.isVisible());

    ChooseExit(main);
    QVERIFY(quit.isVisible());
    QCOMPARE(&Module1::Forms().Get<frmAskQuit>(), &quit);
    QCOMPARE(Look(quit.lblAQNo), Bold(kHoverRed));
    QCOMPARE(Look(quit.lblAQYes), Regular(kDarkBlue));
}

void AskQuit::noPutsTheWindowAway() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    QTest::keyClicks(main.rtbMain, QStringLiteral("unsaved"));
    frmAskQuit &quit = ChooseExit(main);
    // The main window still takes typing while the question is up.
    QTest::keyClicks(main.rtbMain, QStringLiteral(" words"));
    QTest::mouseClick(quit.lblAQNo, Qt::LeftButton);
    TestRun::ProcessEvents();
    QVERIFY(!quit.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmAskQuit>());
    QVERIFY(main.isVisible());
    QCOMPARE(main.rtbMain->toPlainText(), QStringLiteral("unsaved words"));
    QCOMPARE(Module1::gModified, qint16(1));
    QVERIFY(!run.Ended());

    // The other labels are not buttons.
    QTest::mouseClick(quit.lblAQ2, Qt::LeftButton);
    QTest::mouseClick(quit.imgAQuit, Qt::LeftButton);
    TestRun::ProcessEvents();
    QVERIFY(Module1::Forms().IsLoaded<frmMain>());
}

void AskQuit::yesUnloadsEveryWindow() {
    TestRun run;
    run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
    Module1::Forms().Get<frmPassEntry>().Hide(); // the gate stays loaded, hidden
    frmMain &main = OpenMainWindow();
    QTest::keyClicks(main.rtbMain, QStringLiteral("never saved"));
    frmAskQuit &quit = ChooseExit(main);
    QCOMPARE(Module1::Forms().Loaded().size(), 3);

    QTest::mouseClick(quit.lblAQYes, Qt::LeftButton);
    QVERIFY(Module1::Forms().Loaded().isEmpty());
    TestRun::ProcessEvents();
    QVERIFY(run.Ended());
    QCOMPARE(run.ExitCode(), 0);
    QVERIFY(run.Messages().isEmpty()); // no question about the unsaved entry
}

void AskQuit::questionCue_data() {
    QTest::addColumn<bool>("soundAtFirstExit");
    QTest::newRow("sound on") << true;
    QTest::newRow("sound off") << false;
}

void AskQuit::questionCue() {
    QFETCH(bool, soundAtFirstExit);
    TestRun run;
    frmMain &main = OpenMainWindow();
    if (!soundAtFirstExit)
        main.ToggleSound();

    frmAskQuit &quit = ChooseExit(main);
    QCOMPARE(QuestionCues(run), soundAtFirstExit ? 1 : 0);
    QTest::mouseClick(quit.lblAQNo, Qt::LeftButton);

    if (!soundAtFirstExit)
        main.ToggleSound();
    QCOMPARE(Module1::gSoundOn, qint16(1));
    ChooseExit(main);
    QTest::mouseClick(main.tlbMain->ButtonByKey(QStringLiteral("exit")), Qt::LeftButton);
    QCOMPARE(QuestionCues(run), soundAtFirstExit ? 1 : 0);
}

QTEST_MAIN(AskQuit)
#include "tst_frmAskQuit.moc"
