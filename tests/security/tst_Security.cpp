#include "TestSupport.h"

#include "mainwindow/frmMain.h"
#include "platform/AnsiCodePage.h"
#include "platform/CommandButton.h"
#include "platform/PlainTextView.h"
#include "platform/Regional.h"
#include "platform/RuntimeError.h"
#include "platform/TextBox.h"
#include "security/PasswordStore.h"
#include "security/WriteLogEntry.h"
#include "security/frmPassChange.h"
#include "security/frmPassEntry.h"
#include "security/frmView.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScrollBar>
#include <csignal>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using namespace PasswordStore;

namespace {

const QString kFirst = QStringLiteral("orvpass1.txt");
const QString kSecond = QStringLiteral("orvpass2.txt");
const QString kSavedCue = QStringLiteral("\\graphics\\s_saveddata.wav");
const QString kAccepted = QStringLiteral("\\graphics\\s_passwordconfirm.wav");
const QString kRefused = QStringLiteral("\\graphics\\s_nopassword.wav");

// The gate or the change window of a run whose passwords are "journal" and "diary".
template <class Window> Window &Open(const TestRun &run) {
    run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
    Window &window = Module1::Forms().Get<Window>();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("%s did not become active", qPrintable(window.objectName()));
    return window;
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

// Types each character as its own key, with characters beyond Latin-1 too.
void TypeKeys(QWidget *widget, const QString &text) {
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

class tst_Security : public QObject {
    Q_OBJECT
private slots:
    void gateChecksOnceThenContinueFollows_data() {
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

    void gateChecksOnceThenContinueFollows() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, accepted);
        QFETCH(bool, hugeFirstFile);
        TestRun run;
        frmPassEntry &gate = Open<frmPassEntry>(run);
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

        // No second check by any route: the hidden button, its accessible press or signal, Cancel.
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

    // Enter in a box moves on as Tab would (boxes, Cancel, Check) without pressing the button.
    void gateEnterWalksTheBoxesToCancelWhichThenEndsTheRun() {
        TestRun run;
        frmPassEntry &gate = Open<frmPassEntry>(run);
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
        frmPassEntry &gate = Open<frmPassEntry>(run);
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

    void changeWritesBothFilesAndBringsTheMainWindowForward() {
        TestRun run;
        frmPassChange &window = Open<frmPassChange>(run);
        QCOMPARE(QApplication::focusWidget(), window.txtPCPass1);
        QCOMPARE(window.txtPCPass1->echoMode(), QLineEdit::Normal);
        QTest::mouseClick(window.cmdPCContinue, Qt::LeftButton);
        QCOMPARE(run.ReadFile(kFirst), QByteArray("\r\n"));
        QCOMPARE(run.ReadFile(kSecond), QByteArray("\r\n"));
        QVERIFY(run.Messages().isEmpty());
        QVERIFY(!run.Cues().contains(kSavedCue)); // sound cues were still off
        QVERIFY(Module1::Forms().Get<frmMain>().isVisible());
        QVERIFY(window.isVisible());

        // Equal texts give equal lines; with sound on (the main window's Load) the cue plays.
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
    void changeEnterWalksToClearWhichClearsAndWritesNothing() {
        TestRun run;
        frmPassChange &window = Open<frmPassChange>(run);
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

    void changeCancelWritesNothingAndKeepsTheTexts() {
        TestRun run;
        frmPassChange &window = Open<frmPassChange>(run);
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
        frmPassChange &window = Open<frmPassChange>(run);
        // "ł" and "→" have no byte in the code page; "€" and "é" have one.
        TypeKeys(window.txtPCPass1, QStringLiteral("ał€→é"));
        QCOMPARE(window.txtPCPass1->text(), QStringLiteral("a€é"));
        window.txtPCPass2->insert(QStringLiteral("pasted ł"));
        QCOMPARE(window.txtPCPass2->text(), QString());
        // An apostrophe would end the stored field early; "ü" would come back as "÷".
        TypeKeys(window.txtPCPass2, QStringLiteral("it's süss"));
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
            frmPassChange &window = Open<frmPassChange>(run);
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
        run.SetPasswords(QString(), QString());
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

QTEST_MAIN(tst_Security)
#include "tst_Security.moc"
