// New, Open and Save of entries, and the file error window, with real files and failures.
#include "MainWindowDriver.h"
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "entry/frmFileErr.h"
#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/StatusBar.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <sched.h>
#include <sys/mount.h>

namespace {

const QString kSaved = QStringLiteral("\\graphics\\s_saveddata.wav");
const QString kOpened = QStringLiteral("\\graphics\\s_openfile.wav");
const QString kError = QStringLiteral("\\graphics\\s_error.wav");

QString Marker(frmMain &main) {
    return main.staMain->Panels(2)->Text();
}
QString PathPanel(frmMain &main) {
    return main.staMain->Panels(1)->Text();
}

void TypeIntoEntry(frmMain &main, const QString &text) {
    QTest::keyClicks(main.rtbMain, text);
}

} // namespace

class tst_EntryFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // A mount namespace of this test's own, so the small full disk made below is seen by
        // nothing else and vanishes with the test.
        QCOMPARE(unshare(CLONE_NEWNS), 0);
    }

    void saveWritesTheEntryAndClearsTheMarker() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        TypeIntoEntry(main, QStringLiteral("Dear diary"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        const QString path = run.FilePath(QStringLiteral("today")); // no extension added
        run.Dialogs().files.append(path);
        main.mnuMFSave->trigger();

        const auto &shown = run.Dialogs().shown.constFirst();
        QCOMPARE(shown.kind, QStringLiteral("save"));
        QCOMPARE(shown.title, QStringLiteral("Save file"));
        QCOMPARE(shown.filter, QStringLiteral("*.rtf|*.rtf"));
        QVERIFY(shown.cancelError);
        QVERIFY(run.ReadFile(QStringLiteral("today")).startsWith("{\\rtf1"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".rtf")));
        QCOMPARE(PathPanel(main), path);
        QCOMPARE(Marker(main), QString());
        QVERIFY(!main.staMain->Panels(1)->font().bold());
        QCOMPARE(run.Cues().last(), kSaved);
        QCOMPARE(Module1::gModified, qint16(0));

        // New empties the entry and leaves the path; Open brings the text back.
        main.mnuMFNew->setEnabled(true);
        main.mnuMFNew->trigger();
        QCOMPARE(main.rtbMain->Text(), QString());
        QCOMPARE(PathPanel(main), path);
        run.Dialogs().files.append(path);
        main.mnuMFOpen->trigger();
        QCOMPARE(run.Dialogs().shown.last().fileName, path); // the last name is offered
        QCOMPARE(main.rtbMain->Text(), QStringLiteral("Dear diary"));
        QCOMPARE(run.Cues().last(), kOpened);
    }

    void cancelledDialogsChangeNothing() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        TypeIntoEntry(main, QStringLiteral("unsaved"));
        main.mnuMFOpen->trigger(); // cancelled: the marker stays
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QCOMPARE(Module1::gModified, qint16(0));
        QCOMPARE(main.rtbMain->Text(), QStringLiteral("unsaved"));
        main.mnuMFSave->trigger(); // cancelled: the marker goes
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
        QTest::newRow("save into a missing folder") << "save"
                                                    << "missing/entry.rtf"
                                                    << "Can't find the specified path!";
        QTest::newRow("save over a folder") << "save"
                                            << "folder"
                                            << "Can't find the path\\filename!";
        QTest::newRow("open a missing file") << "open"
                                             << "gone.rtf"
                                             << "That file wasn't found!";
    }

    void knownFailuresShowTheFileErrorWindowOnce() {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, message);
        TestRun run;
        QVERIFY(QDir(run.AppFolder()).mkdir(QStringLiteral("folder")));
        frmMain &main = OpenMainWindow();
        TypeIntoEntry(main, QStringLiteral("text"));
        run.Dialogs().files = {run.FilePath(target), run.FilePath(QStringLiteral("gone.rtf"))};
        QAction *item = command == QLatin1String("save") ? main.mnuMFSave : main.mnuMFOpen;
        item->trigger();

        frmFileErr &window = Module1::Forms().Get<frmFileErr>();
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblFE5->text(), message);
        QCOMPARE(run.Cues().last(), kError);
        QCOMPARE(PathPanel(main), QStringLiteral("Orv Software"));
        QCOMPARE(main.rtbMain->Text(), QStringLiteral("text"));

        // OK turns bold under the pointer only, and stays red.
        TestRun::MovePointerOver(window.lblFEOK);
        QVERIFY(window.lblFEOK->Bold());
        TestRun::MovePointerOver(&window, QPoint(2, 2));
        QVERIFY(!window.lblFEOK->Bold());
        QCOMPARE(window.lblFEOK->ForeColor(), QColor(255, 0, 0));

        // A second failure shows the same window silently, with the first message.
        QTest::mouseClick(window.lblFEOK, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        main.mnuMFOpen->trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblFE5->text(), message);
        QCOMPARE(run.Cues().count(kError), 1);
    }

    void aFullDiskLeavesTheEarlierFileWhole() {
        TestRun run;
        // The test's folder becomes a private mount of its own first, so nothing mounted below
        // it is passed on to other namespaces, wherever the folder lies.
        const QByteArray folder = QFile::encodeName(run.AppFolder());
        QCOMPARE(mount(folder.constData(), folder.constData(), nullptr, MS_BIND, nullptr), 0);
        QCOMPARE(mount(nullptr, folder.constData(), nullptr, MS_PRIVATE, nullptr), 0);
        const QString disk = run.FilePath(QStringLiteral("small-disk"));
        QVERIFY(QDir().mkpath(disk));
        QCOMPARE(mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k"), 0);
        const QString path = disk + QStringLiteral("/entry.rtf");
        const QByteArray earlier("{\\rtf1\\ansi earlier entry\\par}");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlier);
        }
        frmMain &main = OpenMainWindow();
        main.rtbMain->SetText(QString(200000, QLatin1Char('w'))); // larger than the disk
        main.SetEditingState();
        run.Dialogs().files.append(path);
        main.mnuMFSave->trigger();

        QCOMPARE(Module1::Forms().Get<frmFileErr>().lblFE5->text(),
                 QStringLiteral("Your disk is full!"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), earlier);
        file.close();
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{"entry.rtf"});
        QCOMPARE(umount(QFile::encodeName(disk).constData()), 0);
        QCOMPARE(umount(folder.constData()), 0);
    }

    void eachKnownNumberHasItsMessage() {
        const QList<QPair<int, QString>> table = {{53, "That file wasn't found!"},
                                                  {57, "The device isn't working!"},
                                                  {61, "Your disk is full!"},
                                                  {68, "The drive isn't turned on!"},
                                                  {71, "Please insert a disk first!"},
                                                  {75, "Can't find the path\\filename!"},
                                                  {76, "Can't find the specified path!"}};
        for (const auto &[number, message] : table)
            QCOMPARE(frmFileErr::MessageFor(number), message);
        QCOMPARE(frmFileErr::MessageFor(ErrorNumber::CancelSelected), QString());
        // The operating system's failures that no test can cause for real.
        for (const auto &[error, number] :
             {std::pair{EIO, 57}, {ENXIO, 68}, {ENOMEDIUM, 71}, {EROFS, 75}})
            QCOMPARE(ErrorNumberFromErrno(error, QStringLiteral("/tmp/x")), number);
    }
};

QTEST_MAIN(tst_EntryFiles)
#include "tst_EntryFiles.moc"
