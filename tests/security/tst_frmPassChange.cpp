#include "TestSupport.h"

#include "mainwindow/frmMain.h"
#include "platform/AnsiCodePage.h"
#include "platform/CommandButton.h"
#include "platform/TextBox.h"
#include "security/PasswordStore.h"
#include "security/frmPassChange.h"
#include "security/frmPassEntry.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kFirst = QStringLiteral("orvpass1.txt");
const QString kSecond = QStringLiteral("orvpass2.txt");
const QString kSavedCue = QStringLiteral("\\graphics\\s_saveddata.wav");

frmPassChange &OpenWindow(const TestRun &run) {
    run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
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

// Whether the gate lets these typed passwords in, a gate made afresh as at a new start.
bool GateAccepts(const QString &typed1, const QString &typed2) {
    Module1::DiscardForms();
    frmPassEntry &gate = Module1::Forms().Get<frmPassEntry>();
    gate.txtPEPass1->setText(typed1);
    gate.txtPEPass2->setText(typed2);
    QTest::mouseClick(gate.cmdPECheck, Qt::LeftButton);
    return gate.cmdPEContinue->text() == QLatin1String("Continue");
}

} // namespace

class tst_frmPassChange : public QObject {
    Q_OBJECT
private slots:
    void continueWritesBothFilesAndBringsTheMainWindowForward() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        QCOMPARE(QApplication::focusWidget(), window.txtPCPass1);
        QCOMPARE(window.txtPCPass1->echoMode(), QLineEdit::Normal);
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("\r\n"));
        QCOMPARE(run.ReadFile(kSecond), QByteArray("\r\n"));
        QVERIFY(run.Messages().isEmpty());
        QVERIFY(!run.Cues().contains(kSavedCue)); // sound cues were still off
        QVERIFY(Module1::Forms().Get<frmMain>().isVisible());
        QVERIFY(window.isVisible());

        // Equal texts give equal lines; with sound on (the main window's Load), the saved-data
        // cue plays.
        QTest::keyClicks(window.txtPCPass1, QStringLiteral("same Pass"));
        QTest::keyClicks(window.txtPCPass2, QStringLiteral("same Pass"));
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("xfrj%Ufxx\r\n"));
        QCOMPARE(run.ReadFile(kSecond), run.ReadFile(kFirst));
        QCOMPARE(run.Cues().last(), kSavedCue);
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("same Pass"));
    }

    // Tab runs from Continue through Cancel and the boxes to Clear; Enter in a box moves on as
    // Tab would, and on Clear clears both boxes, writing nothing.
    void enterWalksToClearWhichClearsAndWritesNothing() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        const QByteArray before = run.ReadFile(kFirst);
        window.cmdPCContinue->setFocus();
        for (QWidget *next : {static_cast<QWidget *>(window.cmdPCCancel),
                              static_cast<QWidget *>(window.txtPCPass1)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("one"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(QApplication::focusWidget(), window.txtPCPass2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("two"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(QApplication::focusWidget(), window.cmdPCClear);
        QCOMPARE(window.txtPCPass1->text() + window.txtPCPass2->text(), QStringLiteral("onetwo"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(window.txtPCPass1->text() + window.txtPCPass2->text(), QString());
        QCOMPARE(run.ReadFile(kFirst), before);
        QVERIFY(!Module1::Forms().IsLoaded<frmMain>());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.cmdPCContinue);
    }

    void cancelWritesNothingAndKeepsTheTexts() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        const QByteArray first = run.ReadFile(kFirst);
        QTest::keyClicks(window.txtPCPass1, QStringLiteral("new one"));
        QTest::mouseClick(window.cmdPCCancel, Qt::LeftButton);
        QVERIFY(window.isHidden());
        QCOMPARE(run.ReadFile(kFirst), first);

        QCOMPARE(&Module1::Forms().Show<frmPassChange>(), &window);
        QVERIFY(window.isVisible());
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("new one"));
    }

    void charactersAPasswordFileCannotHoldAreRefused() {
        TestRun run;
        frmPassChange &window = OpenWindow(run);
        // "ł" and "→" have no byte in the code page; "€" and "é" have one.
        Type(window.txtPCPass1, QStringLiteral("ał€→é"));
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("a€é"));
        window.txtPCPass2->insert(QStringLiteral("pasted ł"));
        QCOMPARE(window.txtPCPass2->text(), QString());
        // An apostrophe would end the stored field early; "ü" would come back as "÷".
        Type(window.txtPCPass2, QStringLiteral("it's süss"));
        QCOMPARE(window.txtPCPass2->text(), QStringLiteral("its sss"));

        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("f\x85\xEE\r\n"));
        QCOMPARE(PasswordStore::ReadStoredPassword(run.FilePath(kFirst)), QStringLiteral("a€é"));

        // A box takes exactly the characters the files give back as written, at the start or
        // further on: each code through the real files, on a disk where writing costs nothing.
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        PrivateMounts mounts(run.AppFolder());
        const QString disk = run.FilePath(QStringLiteral("disk"));
        mounts.SmallDisk(disk, "64k");
        Module1::SetAppPath(disk);
        QStringList disagreeing;
        for (int code = 1; code <= 255; ++code) {
            const QString c = AnsiCodePage::Decode(QByteArray(1, static_cast<char>(code)));
            for (const QString &password : {c, QStringLiteral("a") + c}) {
                window.txtPCPass1->clear();
                window.txtPCPass1->insert(password);
                run.SetPasswords(password, QString());
                const bool comesBack = PasswordStore::ReadStoredPassword(
                                           disk + QStringLiteral("/orvpass1.txt")) == password;
                if ((window.txtPCPass1->text() == password) != comesBack)
                    disagreeing.append(QString::number(code) + QLatin1Char('@') +
                                       QString::number(password.size()));
            }
        }
        QCOMPARE(disagreeing.join(QLatin1Char(' ')), QString());
    }

    void aFailedWriteChangesNeitherPasswordAndIsReported() {
        for (const QString &blocked : {kFirst, kSecond}) {
            TestRun run;
            frmPassChange &window = OpenWindow(run);
            const QByteArray first = run.ReadFile(kFirst);
            const QByteArray second = run.ReadFile(kSecond);
            QFile::remove(run.FilePath(blocked));
            QVERIFY(QDir(run.AppFolder()).mkdir(blocked)); // cannot be replaced, even by root
            Module1::Flags().gSoundOn = 1;
            window.txtPCPass1->setText(QStringLiteral("new one"));
            window.txtPCPass2->setText(QStringLiteral("new two"));
            QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);

            QCOMPARE(run.Messages().size(), 1);
            const QString message = run.Messages().first();
            QVERIFY(message.contains(run.FilePath(blocked)));
            QVERIFY(message.contains(QLatin1String("Neither password was changed")));
            QCOMPARE(run.ReadFile(kFirst), blocked == kFirst ? QByteArray() : first);
            QCOMPARE(run.ReadFile(kSecond), blocked == kSecond ? QByteArray() : second);
            QCOMPARE(QDir(run.AppFolder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
            QVERIFY(run.Cues().isEmpty());
            QVERIFY(!Module1::Forms().IsLoaded<frmMain>());
        }
    }

    void aChangeCutShortAtAnyMomentLeavesOnePairOrTheOther() {
        TestRun run;
        const QString pairs[2][2] = {{QStringLiteral("journal"), QStringLiteral("diary")},
                                     {QStringLiteral("Quill 1"), QStringLiteral("Ink&2")}};
        run.SetPasswords(pairs[0][0], pairs[0][1]);
        int mixed = 0;
        for (int kill = 0; kill < 40; ++kill) {
            frmPassChange &window = Module1::Forms().Get<frmPassChange>();
            Module1::Forms().Get<frmMain>(); // Continue brings it forward
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (int i = 0;; i = 1 - i) {
                    window.txtPCPass1->setText(pairs[i][0]);
                    window.txtPCPass2->setText(pairs[i][1]);
                    window.cmdPCContinue->click();
                }
            }
            QTest::qSleep(QRandomGenerator::global()->bounded(1, 80));
            QCOMPARE(::kill(child, SIGKILL), 0);
            QCOMPARE(waitpid(child, nullptr, 0), child);
            if (!GateAccepts(pairs[0][0], pairs[0][1]) && !GateAccepts(pairs[1][0], pairs[1][1]))
                ++mixed;
        }
        QCOMPARE(mixed, 0);
        QCOMPARE(QDir(run.AppFolder())
                     .entryList({QStringLiteral("orvpass*")}, QDir::Files | QDir::Hidden),
                 (QStringList{kFirst, kSecond}));
    }
};

QTEST_MAIN(tst_frmPassChange)
#include "tst_frmPassChange.moc"
