#include "MainWindowDriver.h"

#include "entry/frmFileErr.h"
#include "security/AppFolder.h"
#include "security/WriteLogEntry.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

const QString kSaved = QStringLiteral("\\graphics\\s_saveddata.wav");
const QString kOpened = QStringLiteral("\\graphics\\s_openfile.wav");
const QString kError = QStringLiteral("\\graphics\\s_error.wav");

QString PathPanel(const frmMain &main) {
    return Panel(main, "orvsoftware").Text();
}

} // namespace

class tst_EntryFiles : public QObject {
    Q_OBJECT

private slots:
    void saveWritesTheEntryAndClearsTheMarker() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("Dear diary"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        const QString path = run.FilePath(QStringLiteral("today")); // no extension added
        run.Dialogs().files.append(path);
        Item(main, "mnuMFSave").trigger();

        const auto &shown = run.Dialogs().shown.constFirst();
        QCOMPARE(shown.kind, QStringLiteral("save"));
        QCOMPARE(shown.DialogTitle, QStringLiteral("Save file"));
        QCOMPARE(shown.Filter, QStringLiteral("*.rtf|*.rtf"));
        QVERIFY(shown.CancelError);
        QVERIFY(run.ReadFile(QStringLiteral("today")).startsWith("{\\rtf1"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".rtf")));
        QCOMPARE(PathPanel(main), path);
        QCOMPARE(Marker(main), QString());
        QVERIFY(!Panel(main, "orvsoftware").font().bold());
        QCOMPARE(run.Cues().last(), kSaved);

        Item(main, "mnuMFNew").trigger();
        QCOMPARE(EntryOf(main).Text(), QString());
        QCOMPARE(PathPanel(main), path);
        run.Dialogs().files.append(path);
        Item(main, "mnuMFOpen").trigger();
        QCOMPARE(run.Dialogs().shown.last().FileName, path); // the last name is offered
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("Dear diary"));
        QCOMPARE(run.Cues().last(), kOpened);

        const QString given = path + QStringLiteral(".given");
        QVERIFY(QFile::copy(path, given));
        Item(main, "mnuMFNew").trigger();
        main.OpenGivenEntry(given);
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("Dear diary"));
        QCOMPARE(PathPanel(main), given);
        QCOMPARE(run.Cues().count(kOpened), 2);
        Item(main, "mnuMFSave").trigger();
        QCOMPARE(run.Dialogs().shown.last().FileName, given);
    }

    void theBusyCursorShowsWhileAnEntryIsRead() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        const QString slow = run.FilePath(QStringLiteral("slow.rtf"));
        QVERIFY(mkfifo(QFile::encodeName(slow).constData(), 0600) == 0);
        // The entry arrives through a pipe once the cursor has been looked at; the window
        // waits for it meanwhile.
        std::optional<Qt::CursorShape> shown;
        std::thread writer([&] {
            QFile pipe(slow);
            if (!pipe.open(QIODevice::WriteOnly))
                return;
            const QCursor *cursor = QGuiApplication::overrideCursor();
            shown = cursor ? cursor->shape() : Qt::ArrowCursor;
            pipe.write("{\\rtf1 slow}");
        });
        main.OpenGivenEntry(slow);
        writer.join();
        QCOMPARE(shown, Qt::WaitCursor);
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("slow"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void cancelledDialogsChangeNothing() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("unsaved"));
        Item(main, "mnuMFOpen").trigger(); // cancelled: the marker stays
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("unsaved"));
        Item(main, "mnuMFSave").trigger(); // cancelled: the marker goes
        QCOMPARE(Marker(main), QString());
        QCOMPARE(PathPanel(main), QStringLiteral("Orv Software"));
        QCOMPARE(QDir(run.AppFolder()).entryList(QDir::Files), QStringList());
        QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});
        QVERIFY(!Module1::Forms().IsLoaded<frmFileErr>());
    }

    void knownFailuresShowTheFileErrorWindowOnce_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const QString longName(300, QLatin1Char('n'));
        const QString rows[][4] = {
            {"save into a missing folder", "save", "missing/entry.rtf",
             "Can't find the specified path!"},
            {"save over a folder", "save", "folder", "Can't find the path\\filename!"},
            {"save under a name too long", "save", longName, "Can't find the path\\filename!"},
            {"open a missing file", "open", "gone.rtf", "That file wasn't found!"},
            {"open a missing file given to the program", "given", "gone.rtf",
             "That file wasn't found!"}};
        for (const auto &[name, command, target, message] : rows)
            QTest::newRow(qPrintable(name)) << command << target << message;
    }

    void knownFailuresShowTheFileErrorWindowOnce() {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, message);
        TestRun run;
        QVERIFY(QDir(run.AppFolder()).mkdir(QStringLiteral("folder")));
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("text"));
        run.Dialogs().files = {run.FilePath(target), run.FilePath(QStringLiteral("gone.rtf"))};
        if (command == QLatin1String("given"))
            main.OpenGivenEntry(run.FilePath(target));
        else
            Item(main, command == QLatin1String("save") ? "mnuMFSave" : "mnuMFOpen").trigger();

        frmFileErr &window = *Module1::Forms().Find<frmFileErr>();
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblFE5->text(), message);
        QCOMPARE(run.Cues().last(), kError);
        QCOMPARE(PathPanel(main), QStringLiteral("Orv Software"));
        QCOMPARE(EntryOf(main).Text(), QStringLiteral("text"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QVERIFY(!QGuiApplication::overrideCursor()); // the busy cursor went with the failure

        TestRun::MovePointerOver(window.lblFEOK);
        QVERIFY(window.lblFEOK->Bold());
        TestRun::MovePointerOver(&window, QPoint(2, 2));
        QVERIFY(!window.lblFEOK->Bold());
        QCOMPARE(window.lblFEOK->ForeColor(), QColor(255, 0, 0));

        QTest::mouseClick(window.lblFEOK, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        Item(main, "mnuMFOpen").trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblFE5->text(), message);
        QCOMPARE(run.Cues().count(kError), 1);
    }

    void aSaveReplacesTheEarlierFileWholeOrNotAtAll_data() {
        QTest::addColumn<QString>("how"); // "save" in the window or "tool" on the command line
        QTest::addColumn<int>("entrySize");
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<bool>("folderTakesNewFiles");
        QTest::addColumn<QString>("message"); // empty: saved
        const QString full = QStringLiteral("Your disk is full!");
        // Sizes below, near and far above what a file buffer holds before it writes.
        QTest::newRow("small entry, full disk") << "save" << 30 << true << true << true << full;
        QTest::newRow("medium entry, full disk") << "save" << 10000 << true << true << true << full;
        QTest::newRow("large entry, full disk") << "save" << 200000 << true << true << true << full;
        QTest::newRow("new name, full disk") << "save" << 30 << false << true << true << full;
        QTest::newRow("tool output, full disk") << "tool" << 30 << true << true << true << full;
        QTest::newRow("folder takes no new files")
            << "save" << 30 << true << false << false << QString();
        QTest::newRow("folder takes no new files, full disk")
            << "save" << 200000 << true << true << false << full;
        QTest::newRow("new name, folder takes no new files")
            << "save" << 30 << false << false << false << "Can't find the path\\filename!";
    }

    void aSaveReplacesTheEarlierFileWholeOrNotAtAll() {
        QFETCH(QString, how);
        QFETCH(int, entrySize);
        QFETCH(bool, earlier);
        QFETCH(bool, diskFull);
        QFETCH(bool, folderTakesNewFiles);
        QFETCH(QString, message);
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        TestRun run;
        PrivateMounts mounts(run.AppFolder());
        const QString disk = run.FilePath(QStringLiteral("small-disk"));
        mounts.SmallDisk(disk, "64k");
        const QString path = disk + QStringLiteral("/entry.rtf");
        const QByteArray earlierBytes("{\\rtf1\\ansi earlier entry\\par}");
        QStringList files;
        if (earlier) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlierBytes);
            files.append(QStringLiteral("entry.rtf"));
        }
        if (diskFull) {
            PrivateMounts::Fill(disk);
            files.append(QStringLiteral("filler"));
        }
        if (!folderTakesNewFiles)
            mounts.RefuseNewFiles(disk, earlier ? path : QString());

        const QString entry(entrySize, QLatin1Char('w'));
        if (how == QLatin1String("tool")) {
            run.WriteFile(QStringLiteral("in.rtf"), "{\\rtf1 " + entry.toLatin1() + "}");
            QProcess tool;
            tool.start(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../quillory-rtftext"),
                       {run.FilePath(QStringLiteral("in.rtf")), QStringLiteral("--rtf"), path});
            QVERIFY(tool.waitForFinished());
            QCOMPARE(tool.exitCode(), 1);
        } else {
            frmMain &main = OpenMainWindow();
            EntryOf(main).SetText(entry);
            QTest::keyClicks(&EntryOf(main), QStringLiteral("!"));
            run.Dialogs().files.append(path);
            Item(main, "mnuMFSave").trigger();
            QCOMPARE(Module1::Forms().IsLoaded<frmFileErr>(), !message.isEmpty());
            if (!message.isEmpty())
                QCOMPARE(Module1::Forms().Find<frmFileErr>()->lblFE5->text(), message);
            // A failed save does not look saved, so New or Exit cannot drop the entry unasked.
            QCOMPARE(Marker(main), message.isEmpty() ? QString() : QStringLiteral("NOT SAVED!"));
        }
        QFile file(path);
        QCOMPARE(file.open(QIODevice::ReadOnly), earlier);
        const QByteArray now = file.readAll();
        if (message.isEmpty())
            QVERIFY(now.contains('!' + entry.toLatin1()));
        else
            QCOMPARE(now, earlier ? earlierBytes : QByteArray());
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), files); // nothing partial
    }

    void privateFilesAreOwnerOnlyWhateverTheUmask() {
        TestRun run;
        const mode_t umaskBefore = umask(0); // nothing masked: the program alone keeps them private
        frmMain &main = OpenMainWindow();
        run.WriteFile(QStringLiteral("shared.rtf"), "{\\rtf1 shared}");
        QVERIFY(chmod(QFile::encodeName(run.FilePath(QStringLiteral("shared.rtf"))), 0664) == 0);
        for (const char *name : {"new.rtf", "shared.rtf"}) {
            QTest::keyClicks(&EntryOf(main), QStringLiteral("x"));
            run.Dialogs().files.append(run.FilePath(QLatin1String(name)));
            Item(main, "mnuMFSave").trigger();
        }
        Module1::WriteLogEntry(QStringLiteral("authorized"));
        run.SetPasswords(QStringLiteral("a"), QStringLiteral("b"));
        // The first password files, as the build lays out an application folder and as an
        // installed copy gives them to a new user.
        const QString sources = QStringLiteral(QT_TESTCASE_SOURCEDIR "/..");
        const QString user = run.FilePath(QStringLiteral("home/data/Quillory"));
        QCOMPARE(AppFolder::Choose(sources + QStringLiteral("/assets"), user), user);
        QCOMPARE(QProcess::execute(QStringLiteral("cmake"),
                                   {QStringLiteral("-DSOURCE_DIR=") + sources,
                                    QStringLiteral("-DAPP_DIR=") + run.FilePath("laid-out"),
                                    QStringLiteral("-P"),
                                    sources + QStringLiteral("/assets/LayOutAppFolder.cmake")}),
                 0);
        umask(umaskBefore);

        // shared.rtf existed before the save and keeps its mode.
        for (const QString expected :
             {"600 new.rtf", "664 shared.rtf", "600 orvlog.txt", "600 orvpass1.txt",
              "600 orvpass2.txt", "600 laid-out/orvpass1.txt", "600 laid-out/orvpass2.txt",
              "700 home", "700 home/data/Quillory", "600 home/data/Quillory/orvpass1.txt",
              "600 home/data/Quillory/orvpass2.txt"}) {
            const QString name = expected.section(QLatin1Char(' '), 1);
            struct stat info {};
            QVERIFY(stat(QFile::encodeName(run.FilePath(name)), &info) == 0);
            QCOMPARE(QString::number(info.st_mode & 0777, 8) + QLatin1Char(' ') + name, expected);
        }
    }
};

QTEST_MAIN(tst_EntryFiles)
#include "tst_EntryFiles.moc"
