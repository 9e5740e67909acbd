#include "TestSupport.h"

#include "mainwindow/frmMain.h"
#include "platform/CommandButton.h"
#include "platform/TextBox.h"
#include "security/frmPassEntry.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <optional>

namespace {

const QString kAccepted = QStringLiteral("\\graphics\\s_passwordconfirm.wav");
const QString kRefused = QStringLiteral("\\graphics\\s_nopassword.wav");

frmPassEntry &OpenGate(const TestRun &run) {
    run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
    frmPassEntry &gate = Module1::Forms().Get<frmPassEntry>();
    if (!QTest::qWaitForWindowActive(&gate))
        qWarning("gate did not become active");
    return gate;
}

void Type(frmPassEntry &gate, const QString &first, const QString &second) {
    QTest::keyClicks(gate.txtPEPass1, first);
    QTest::keyClicks(gate.txtPEPass2, second);
}

QList<QByteArray> LogLines(const TestRun &run) {
    QList<QByteArray> lines = run.ReadFile(QStringLiteral("orvlog.txt")).split('\n');
    lines.removeLast(); // what follows the last line end
    return lines;
}

} // namespace

class tst_frmPassEntry : public QObject {
    Q_OBJECT

private slots:
    void checkDecidesOnceAndContinueFollows_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("hugeFirstFile");
        const char *rows[][3] = {
            {"right", "journal", "diary"},           {"first wrong", "journaL", "diary"},
            {"second wrong", "journal", "Diary"},    {"leading space", " journal", "diary"},
            {"trailing space", "journal", "diary "}, {"empty boxes", "", ""},
            {"boxes swapped", "diary", "journal"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << (&row == &rows[0])
                                  << false;
        // A first line longer than any password: refused at once, without reading it all.
        QTest::newRow("first password file of a terabyte") << "journal"
                                                           << "diary" << false << true;
    }

    void checkDecidesOnceAndContinueFollows() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, accepted);
        QFETCH(bool, hugeFirstFile);
        TestRun run;
        frmPassEntry &gate = OpenGate(run);
        if (hugeFirstFile) {
            // "journal" scrambled, then a hole that reads as NUL characters.
            run.WriteFile(QStringLiteral("orvpass1.txt"), "otzwsfq");
            QVERIFY(QFile::resize(run.FilePath(QStringLiteral("orvpass1.txt")), qint64(1) << 40));
        }
        QCOMPARE(QApplication::focusWidget(), gate.txtPEPass1);
        QVERIFY(!gate.cmdPEContinue->isVisible());
        QCOMPARE(gate.txtPEPass1->echoMode(), QLineEdit::Password);
        Type(gate, first, second);
        QTest::mouseClick(gate.cmdPECheck, Qt::LeftButton);

        // Sound cues are not yet switched on at the gate.
        QCOMPARE(run.Cues(), QStringList{accepted ? kAccepted : kRefused});
        QCOMPARE(LogLines(run), QList<QByteArray>{(accepted ? "authorized" : "unauthorized") +
                                                  QByteArray(" 12/5/2026 10:52:57 PM\r")});
        QVERIFY(!gate.txtPEPass1->isEnabled() && !gate.txtPEPass2->isEnabled());
        QVERIFY(!gate.cmdPECheck->isVisible() && !gate.cmdPECancel->isVisible());
        QVERIFY(gate.cmdPEContinue->isVisible());
        QCOMPARE(gate.cmdPEContinue->text(), accepted ? QString("Continue") : QString("E&xit"));
        QCOMPARE(gate.cmdPEContinue->geometry(), gate.cmdPECancel->geometry());
        QVERIFY(!Module1::Forms().IsLoaded<frmMain>());

        // No second check by any route: the hidden button, its accessible press, its signal;
        // nor a Cancel.
        gate.txtPEPass1->setText(accepted ? QStringLiteral("wrong") : QStringLiteral("journal"));
        gate.txtPEPass2->setText(QStringLiteral("diary"));
        gate.cmdPECheck->click();
        QAccessible::queryAccessibleInterface(gate.cmdPECheck)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(300); // an accessible press clicks after a short animation
        emit gate.cmdPECheck->clicked();
        emit gate.cmdPECancel->clicked();
        TestRun::ProcessEvents();
        QCOMPARE(LogLines(run).size(), 1);
        QVERIFY(!run.Ended());

        QTest::mouseClick(gate.cmdPEContinue, Qt::LeftButton);
        TestRun::ProcessEvents();
        QCOMPARE(LogLines(run).size(), 1);
        QCOMPARE(run.Ended(), !accepted);
        QCOMPARE(Module1::Forms().IsLoaded<frmMain>(), accepted);
        if (!accepted)
            return;
        QVERIFY(Module1::Forms().Get<frmMain>().isVisible());
        QVERIFY(!gate.isVisible());
        QVERIFY(Module1::Forms().IsLoaded<frmPassEntry>()); // hidden, not unloaded
        QCOMPARE(run.Cues(), (QStringList{kAccepted, QStringLiteral("\\graphics\\s_hi!.wav")}));
        gate.cmdPEContinue->click();
        TestRun::ProcessEvents();
        QVERIFY(!run.Ended());
        QVERIFY(Module1::Forms().Get<frmMain>().isVisible());
    }

    // Enter in a box moves on as Tab would (the boxes, then Cancel and Check), without pressing
    // the button it reaches.
    void enterWalksTheBoxesToCancelWhichThenEndsTheRun() {
        TestRun run;
        frmPassEntry &gate = OpenGate(run);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("journal"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QCOMPARE(QApplication::focusWidget(), gate.txtPEPass2);
        QCOMPARE(gate.txtPEPass1->text(), QStringLiteral("journal")); // the Enter never arrived
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("diary"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        // Continue is hidden and Check comes last in the order, so Cancel is next.
        QCOMPARE(QApplication::focusWidget(), gate.cmdPECancel);
        QVERIFY(!run.Ended()); // moving onto a button does not press it

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QCOMPARE(run.ExitCode(), 0);
        QVERIFY(!QFile::exists(run.FilePath(QStringLiteral("orvlog.txt"))));
        QVERIFY(run.Cues().isEmpty());
    }

    void aFileTheGateCannotUseEndsTheRunNamingIt_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("says"); // %1: the application folder
        QTest::newRow("second password file missing")
            << "missing orvpass2.txt"
            << QStringList{"Quillory|Run-time error '53':\n\nFile not found: %1/orvpass2.txt"};
        QTest::newRow("first password file empty")
            << "empty orvpass1.txt"
            << QStringList{"Quillory|Run-time error '62':\n\nInput past end of file: "
                           "%1/orvpass1.txt"};
        // No check may go unrecorded, so a log that cannot be written ends the run too.
        QTest::newRow("log cannot be written")
            << "read-only folder"
            << QStringList{"Run-time error '75'", "%1/orvlog.txt", "Read-only file system",
                           "Make the folder %1 writable"};
    }

    void aFileTheGateCannotUseEndsTheRunNamingIt() {
        QFETCH(QString, fault);
        QFETCH(QStringList, says);
        const bool readOnly = fault == QLatin1String("read-only folder");
        if (readOnly)
            SKIP_WITHOUT_PRIVATE_MOUNTS();
        TestRun run;
        frmPassEntry &gate = OpenGate(run);
        std::optional<PrivateMounts> mounts;
        if (fault == QLatin1String("missing orvpass2.txt")) {
            QFile::remove(run.FilePath(QStringLiteral("orvpass2.txt")));
        } else if (fault == QLatin1String("empty orvpass1.txt")) {
            run.WriteFile(QStringLiteral("orvpass1.txt"), QByteArray());
        } else {
            mounts.emplace(run.AppFolder());
            mounts->RefuseNewFiles(run.AppFolder(), QString());
        }
        Type(gate, QStringLiteral("journal"), QStringLiteral("diary"));
        QTest::mouseClick(gate.cmdPECheck, Qt::LeftButton);
        TestRun::ProcessEvents();

        QCOMPARE(run.Messages().size(), 1);
        for (const QString &part : says)
            QVERIFY(run.Messages()[0].contains(part.arg(run.AppFolder())));
        QVERIFY(run.Ended());
        QCOMPARE(run.ExitCode(), 1);
        QVERIFY(!Module1::Forms().IsLoaded<frmMain>());
        QVERIFY(!QFile::exists(run.FilePath(QStringLiteral("orvlog.txt"))));
        // Both password files are read before the cue, and the cue plays before the line.
        QCOMPARE(run.Cues().isEmpty(), !readOnly);
    }
};

QTEST_MAIN(tst_frmPassEntry)
#include "tst_frmPassEntry.moc"
