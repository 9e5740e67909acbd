#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmMain.h"
#include "platform/CommandButton.h"
#include "platform/TextBox.h"
#include "security/PasswordStore.h"
#include "security/frmPassChange.h"
#include "security/frmPassEntry.h"

#include <QApplication>
#include <QDir>
#include <QTest>

namespace {

const QString kFirst = QStringLiteral("orvpass1.txt");
const QString kSecond = QStringLiteral("orvpass2.txt");
const QString kSavedCue = QStringLiteral("\\graphics\\s_saveddata.wav");

// The change window of a run whose passwords are "journal" and "diary".
frmPassChange &OpenWindow(const TestRun &run) {
    run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
    Module1::Forms().Show<frmPassChange>();
    frmPassChange &window = Module1::Forms().Get<frmPassChange>();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the change window did not become active");
    return window;
}

// Types each character as its own key, with characters beyond Latin-1 too.
void Type(QWidget *widget, const QString &text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// What the gate decides for these typed passwords, with a gate created afresh as at a new
// start of the program: 1 accepted, 2 refused.
qint16 GateVerdict(const QString &typed1, const QString &typed2) {
    Module1::Forms().DestroyAllNow();
    frmPassEntry &gate = Module1::Forms().Get<frmPassEntry>();
    gate.txtPEPass1->setText(typed1);
    gate.txtPEPass2->setText(typed2);
    QTest::mouseClick(gate.cmdPECheck, Qt::LeftButton);
    return gate.mGateState;
}

} // namespace

class tst_frmPassChange : public QObject {
    Q_OBJECT
private slots:
    void continueWritesBothFilesAndBringsTheMainWindowForward() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        QCOMPARE(window.windowTitle(), QStringLiteral("Change passwords"));
        QCOMPARE(QApplication::focusWidget(), window.txtPCPass1);
        QCOMPARE(window.txtPCPass1->echoMode(), QLineEdit::Normal);
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("\r\n"));
        QCOMPARE(run.ReadFile(kSecond), QByteArray("\r\n"));
        QVERIFY(run.Messages().isEmpty());
        QVERIFY(!run.Cues().contains(kSavedCue)); // sound cues were still off
        QVERIFY(Module1::Forms().Get<frmMain>().isVisible());
        QVERIFY(window.isVisible());

        // Equal texts give equal lines; with sound on, the saved-data cue plays.
        Module1::gSoundOn = 1;
        QTest::keyClicks(window.txtPCPass1, QStringLiteral("same Pass"));
        QTest::keyClicks(window.txtPCPass2, QStringLiteral("same Pass"));
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("xfrj%Ufxx\r\n"));
        QCOMPARE(run.ReadFile(kSecond), run.ReadFile(kFirst));
        QCOMPARE(run.Cues().last(), kSavedCue);
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("same Pass"));
    }

    void enterWalksToClearWhichClearsAndWritesNothing() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        const QByteArray before = run.ReadFile(kFirst);

        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("one"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(QApplication::focusWidget(), window.txtPCPass2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("two"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(QApplication::focusWidget(), window.cmdPCClear);
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("one"));
        QCOMPARE(window.txtPCPass2->text(), QStringLiteral("two"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(window.txtPCPass1->text(), QString());
        QCOMPARE(window.txtPCPass2->text(), QString());
        QCOMPARE(QApplication::focusWidget(), window.cmdPCClear);
        QCOMPARE(run.ReadFile(kFirst), before);
        QVERIFY(!Module1::Forms().IsLoaded<frmMain>());
    }

    void tabOrderRunsFromContinueToClear() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        window.cmdPCContinue->setFocus();
        const QList<QWidget *> expected = {window.cmdPCCancel, window.txtPCPass1, window.txtPCPass2,
                                           window.cmdPCClear, window.cmdPCContinue};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void cancelWritesNothingAndKeepsTheTexts() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        const QByteArray first = run.ReadFile(kFirst);
        const QByteArray second = run.ReadFile(kSecond);
        QTest::keyClicks(window.txtPCPass1, QStringLiteral("new one"));
        QTest::keyClicks(window.txtPCPass2, QStringLiteral("new two"));
        QTest::mouseClick(window.cmdPCCancel, Qt::LeftButton);
        QVERIFY(window.isHidden());
        QCOMPARE(run.ReadFile(kFirst), first);
        QCOMPARE(run.ReadFile(kSecond), second);

        Module1::Forms().Show<frmPassChange>();
        QVERIFY(window.isVisible());
        QCOMPARE(&Module1::Forms().Get<frmPassChange>(), &window);
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("new one"));
        QCOMPARE(window.txtPCPass2->text(), QStringLiteral("new two"));
    }

    void charactersAPasswordFileCannotHoldAreRefused() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        // "ł" and "→" have no byte in the code page; "€" and "é" have one.
        Type(window.txtPCPass1, QStringLiteral("ał€→é"));
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("a€é"));
        window.txtPCPass2->insert(QStringLiteral("pasted ł"));
        QCOMPARE(window.txtPCPass2->text(), QString());

        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("f\x85\xEE\r\n"));
        QCOMPARE(PasswordStore::ReadStoredPassword(run.FilePath(kFirst)), QStringLiteral("a€é"));
    }

    void aFailedWriteIsReportedAndNoCuePlays_data() {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("firstAfter");
        QTest::newRow("first") << kFirst << "Neither password was changed" << QString();
        QTest::newRow("second") << kSecond << "first password WAS changed"
                                << "new one";
    }

    void aFailedWriteIsReportedAndNoCuePlays() {
        QFETCH(QString, blocked);
        QFETCH(QString, says);
        QFETCH(QString, firstAfter);
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        const QByteArray second = run.ReadFile(kSecond);
        QFile::remove(run.FilePath(blocked));
        QVERIFY(QDir(run.AppFolder()).mkdir(blocked)); // cannot be replaced, even by root
        Module1::gSoundOn = 1;
        window.txtPCPass1->setText(QStringLiteral("new one"));
        window.txtPCPass2->setText(QStringLiteral("new two"));
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);

        QCOMPARE(run.Messages().size(), 1);
        const QString message = run.Messages().first();
        QVERIFY2(message.contains(run.FilePath(blocked)) && message.contains(says),
                 qPrintable(message));
        QVERIFY(QFileInfo(run.FilePath(blocked)).isDir());
        if (firstAfter.isEmpty())
            QCOMPARE(run.ReadFile(kSecond), second);
        else
            QCOMPARE(PasswordStore::ReadStoredPassword(run.FilePath(kFirst)), firstAfter);
        QVERIFY(run.Cues().isEmpty());
        QVERIFY(!Module1::Forms().IsLoaded<frmMain>());
        QVERIFY(window.isVisible());
    }

    void nextGateAcceptsTheNewPasswordsOnly() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        QTest::keyClicks(window.txtPCPass1, QStringLiteral("Quill 1"));
        window.txtPCPass2->setFocus();
        QTest::keyClicks(window.txtPCPass2, QStringLiteral("Ink&2"));
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);

        QCOMPARE(GateVerdict(QStringLiteral("journal"), QStringLiteral("diary")), 2);
        QCOMPARE(GateVerdict(QStringLiteral("Quill 1"), QStringLiteral("diary")), 2);
        QCOMPARE(GateVerdict(QStringLiteral("Quill 1"), QStringLiteral("Ink&2")), 1);
        QCOMPARE(run.ReadFile(QStringLiteral("orvlog.txt")).count("\r\n"), 3);
    }
};

QTEST_MAIN(tst_frmPassChange)
#include "tst_frmPassChange.moc"
