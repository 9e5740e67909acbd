#include "TestSupport.h"

#include "platform/CommandButton.h"
#include "platform/DriveListBox.h"
#include "platform/Drives.h"
#include "platform/Services.h"
#include "tools/frmFormat.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QWidget>

namespace {

// A laptop with a floppy drive, two partitions of its disk, an NFS share, a USB stick (which
// reports itself as not removable, as many do), a DVD drive and the usual pseudo file systems.
SystemFacts Laptop() {
    SystemFacts facts;
    BlockDeviceFacts disk, stick, dvd, floppy;
    disk.name = "sda";
    stick.name = "sdb";
    stick.usb = true;
    dvd.name = "sr0";
    dvd.optical = dvd.removableFlag = true;
    floppy.name = "fd0";
    floppy.removableFlag = true;
    facts.blocks = {disk, stick, dvd, floppy};
    facts.mounts = {
        {"/dev/sda3", "/home", "ext4", {}, "sda"},
        {"/dev/sda2", "/", "ext4", {}, "sda"},
        {"tmpfs", "/run", "tmpfs", {}, {}},
        {"/dev/loop3", "/snap/core/1", "squashfs", {}, "loop3"},
        {"server:/export", "/mnt/share", "nfs4", {}, {}},
        {"/dev/sdb1", "/media/u/MY STICK", "vfat", "MY STICK", "sdb"},
        {"/dev/sda3", "/var/lib/bind-of-home", "ext4", {}, "sda"},
    };
    return facts;
}

QStringList Texts(const QList<DriveEntry> &drives) {
    QStringList texts;
    for (const DriveEntry &drive : drives)
        texts.append(drive.Text());
    return texts;
}

const DriveEntry *WithLetter(const QList<DriveEntry> &drives, char letter) {
    for (const DriveEntry &drive : drives)
        if (drive.letter == QLatin1Char(letter))
            return &drive;
    return nullptr;
}

// A machine with the drives a test gives it. Format requests are recorded and their dialog
// stays "open" until the test runs `closeDialog`.
struct FakeDrives final : DriveService {
    QList<DriveEntry> Drives() override { return drives; }
    void FormatDrive(QWidget *owner, int driveNumber, std::function<void()> whenClosed) override {
        requests.append({owner, driveNumber});
        closeDialog = std::move(whenClosed);
    }
    QList<DriveEntry> drives;
    QList<std::pair<QWidget *, int>> requests;
    std::function<void()> closeDialog;
};

FakeDrives &InstallDrives(QList<DriveEntry> drives) {
    auto fake = std::make_unique<FakeDrives>();
    fake->drives = std::move(drives);
    FakeDrives &installed = *fake;
    Services::Current().drives = std::move(fake);
    return installed;
}

} // namespace

class tst_Drives : public QObject {
    Q_OBJECT
private slots:
    void arrangesAndClassifiesTheMachinesDrives() {
        QHash<QString, QChar> letters;
        const QList<DriveEntry> drives = ArrangeDrives(Laptop(), letters);
        QCOMPARE(Texts(drives),
                 (QStringList{"a: [/dev/fd0]", "c: [/]", "d: [/home]", "e: [server:/export]",
                              "f: [MY STICK]", "g: [/dev/sr0]"}));
        const DriveEntry *stick = WithLetter(drives, 'f');
        QCOMPARE(stick->device, QStringLiteral("/dev/sdb")); // the whole device is formatted
        QCOMPARE(stick->mountPoint, QStringLiteral("/media/u/MY STICK"));

        // The type is read by the letter alone, whatever follows it.
        SystemDriveService service(Laptop);
        const std::pair<const char *, int> kinds[] = {
            {"A:", DriveKind::Removable},     {"C: [/]", DriveKind::Fixed},
            {"d: [/home]", DriveKind::Fixed}, {"E: [SERVER:/EXPORT]", DriveKind::Remote},
            {"F: [X]", DriveKind::Removable}, {"G:", DriveKind::CdRom},
            {"Q:", DriveKind::NoRootDir},     {"", DriveKind::NoRootDir}};
        for (const auto &[text, kind] : kinds)
            QVERIFY2(service.DriveType(QLatin1String(text)) == kind, text);
    }

    void lettersStayWithTheirDrivesForTheRun() {
        QHash<QString, QChar> letters;
        SystemFacts facts = Laptop();
        ArrangeDrives(facts, letters);

        facts.blocks.removeIf([](const BlockDeviceFacts &b) { return b.name == "sdb"; });
        facts.mounts.removeIf([](const MountFacts &m) { return m.parentBlock == "sdb"; });
        facts.blocks.append({.name = "mmcblk0", .sdCard = true, .label = "CAMERA"});
        QList<DriveEntry> drives = ArrangeDrives(facts, letters);
        QCOMPARE(Texts(drives),
                 (QStringList{"a: [/dev/fd0]", "c: [/]", "d: [/home]", "e: [server:/export]",
                              "g: [/dev/sr0]", "h: [CAMERA]"}));

        drives = ArrangeDrives(Laptop(), letters);
        QCOMPARE(WithLetter(drives, 'f')->label, QStringLiteral("MY STICK"));
    }

    void onlyARemovableDriveGoesToTheFormatProgramWhichIsWaitedFor() {
        // A stand-in for the format program that notes its arguments and stays open until told.
        QTemporaryDir dir;
        QFile script(dir.filePath(QStringLiteral("stand-in-disks")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
                     "while [ ! -e \"$(dirname \"$0\")/close\" ]; do sleep 0.02; done\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        script.close();
        SystemDriveService service(Laptop,
                                   FormatTool{QStringLiteral("stand-in-disks"), {dir.path()}});
        QWidget owner;
        int closed = 0;
        const QString arguments = dir.filePath(QStringLiteral("arguments"));

        // Fixed, network, optical and absent drives start nothing, and the wait ends at once.
        for (const char *drive : {"C:", "E:", "G:", "Q:"})
            service.FormatDrive(&owner, DriveNumberOf(QLatin1String(drive)), [&] { ++closed; });
        QCOMPARE(closed, 4);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(arguments));

        service.FormatDrive(&owner, DriveNumberOf(QStringLiteral("F: [MY STICK]")),
                            [&] { ++closed; });
        QTRY_VERIFY(QFile::exists(arguments));
        QFile file(arguments);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().trimmed(), QByteArray("--block-device /dev/sdb --format-device"));
        QTest::qWait(100); // events flow while the program is open, and the wait goes on
        QCOMPARE(closed, 4);

        QFile(dir.filePath(QStringLiteral("close"))).open(QIODevice::WriteOnly);
        QTRY_COMPARE(closed, 5);
        QVERIFY(owner.findChildren<QMessageBox *>().isEmpty());
    }

    void missingFormatProgramNamesWhatToInstall() {
        QTemporaryDir emptyDir;
        SystemDriveService service(Laptop,
                                   FormatTool{QStringLiteral("gnome-disks"), {emptyDir.path()}});
        QWidget owner;
        int closed = 0;

        service.FormatDrive(&owner, 0, [&] { ++closed; });

        auto *box = owner.findChild<QMessageBox *>(QStringLiteral("msgFormatToolMissing"));
        QVERIFY(box && box->isVisible());
        QVERIFY(box->text().contains(QStringLiteral("gnome-disk-utility")));
        QVERIFY(box->text().contains(QStringLiteral("\"gnome-disks\"")));
        QCOMPARE(closed, 0); // the owner waits for the message as it would for the dialog
        box->accept();
        QCOMPARE(closed, 1);
    }

    void thisMachinesSystemVolumeIsAFixedDrive() {
        SystemDriveService service;
        const QList<DriveEntry> drives = service.Drives();
        const DriveEntry *system = WithLetter(drives, 'c');
        QVERIFY2(system, qPrintable(Texts(drives).join(QLatin1String(", "))));
        QCOMPARE(system->mountPoint, QStringLiteral("/"));
        QCOMPARE(system->kind, DriveKind::Fixed);
        for (const DriveEntry &drive : drives)
            QVERIFY(!drive.device.startsWith(QLatin1String("/dev/loop")));
    }

    void formatWindowShowsItsTextsAndDrives() {
        TestRun run;
        const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();
        InstallDrives({{u'a', DriveKind::Removable, {}, {}, {}},
                       {u'c', DriveKind::Fixed, "elsewhere", {}, "/nowhere-in-particular"},
                       {u'd', DriveKind::Fixed, "HERE", {}, currentRoot}});
        frmFormat &window = Module1::Forms().Show<frmFormat>();
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
        QStringList listed;
        for (int i = 0; i < window.drvFormat->count(); ++i)
            listed.append(window.drvFormat->itemText(i));
        QCOMPARE(listed, (QStringList{"a:", "c: [elsewhere]", "d: [HERE]"}));
        QCOMPARE(window.drvFormat->Drive(), QStringLiteral("d: [HERE]"));

        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.drvFormat);
        for (QWidget *next : {window.cmdFormat, window.cmdFContinue}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void formatThenDone_data() {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<int>("driveNumber"); // handed to the format dialog; -1 when none opens
        QTest::newRow("fixed") << "c: [/]" << -1;
        QTest::newRow("optical") << "d: [HOLIDAY 2003]" << -1;
        QTest::newRow("network") << "z: [server:/export]" << -1;
        QTest::newRow("floppy a") << "a:" << 0;
        QTest::newRow("usb stick e") << "e: [STICK]" << 4;
    }

    void formatThenDone() {
        QFETCH(QString, drive);
        QFETCH(int, driveNumber);
        TestRun run;
        // Drives as letter, kind, label, device, mount point.
        FakeDrives &drives =
            InstallDrives({{u'a', DriveKind::Removable, {}, {}, {}},
                           {u'c', DriveKind::Fixed, {}, {}, "/"},
                           {u'd', DriveKind::CdRom, "HOLIDAY 2003", {}, {}},
                           {u'e', DriveKind::Removable, "STICK", {}, "/media/stick"},
                           {u'z', DriveKind::Remote, "server:/export", {}, {}}});
        frmFormat &window = Module1::Forms().Show<frmFormat>();
        window.drvFormat->setCurrentIndex(window.drvFormat->findText(drive));
        QCOMPARE(window.drvFormat->Drive(), drive);

        QTest::mouseClick(window.cmdFormat, Qt::LeftButton);

        if (driveNumber >= 0) {
            QCOMPARE(drives.requests.size(), 1);
            QCOMPARE(drives.requests[0].first, &window);
            QCOMPARE(drives.requests[0].second, driveNumber);
            // While the dialog is open the window waits: nothing in it can be used, and the close
            // button has not changed yet.
            QVERIFY(!window.isEnabled());
            QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
            QTest::mouseClick(window.cmdFormat, Qt::LeftButton);
            QCOMPARE(drives.requests.size(), 1);
            // Formatted or cancelled: the window can't tell.
            std::exchange(drives.closeDialog, {})();
        }
        QCOMPARE(drives.requests.size(), driveNumber >= 0 ? 1 : 0);
        QVERIFY(window.isEnabled());
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
        QCOMPARE(window.cmdFContinue->accessibleName(), QStringLiteral("Done"));
        QVERIFY(run.Messages().isEmpty());

        QTest::mouseClick(window.cmdFContinue, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(&Module1::Forms().Show<frmFormat>(), &window);
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
        QCOMPARE(window.drvFormat->Drive(), drive);
    }
};

QTEST_MAIN(tst_Drives)
#include "tst_Drives.moc"
