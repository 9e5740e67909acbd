#include "platform/Drives.h"

#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

MountFacts Mount(const QString &device, const QString &rootPath, const QString &fsType,
                 const QString &parentBlock = {}, const QString &label = {}) {
    return {device, rootPath, fsType, label, parentBlock};
}

BlockDeviceFacts Block(const QString &name) {
    BlockDeviceFacts block;
    block.name = name;
    return block;
}

// A laptop with a floppy drive, two partitions of its disk, an NFS share, a USB stick, a
// DVD drive and the usual pseudo file systems.
SystemFacts Laptop() {
    SystemFacts facts;
    BlockDeviceFacts floppy = Block(QStringLiteral("fd0"));
    floppy.removableFlag = true;
    BlockDeviceFacts stick = Block(QStringLiteral("sdb"));
    stick.usb = true; // reports itself as not removable, as many USB sticks do
    BlockDeviceFacts dvd = Block(QStringLiteral("sr0"));
    dvd.optical = true;
    dvd.removableFlag = true;
    facts.blocks = {Block(QStringLiteral("sda")), stick, dvd, floppy};
    facts.mounts = {
        Mount("/dev/sda3", "/home", "ext4", "sda"),
        Mount("/dev/sda2", "/", "ext4", "sda"),
        Mount("tmpfs", "/run", "tmpfs"),
        Mount("/dev/loop3", "/snap/core/1", "squashfs", "loop3"),
        Mount("server:/export", "/mnt/share", "nfs4"),
        Mount("/dev/sdb1", "/media/u/MY STICK", "vfat", "sdb", "MY STICK"),
        Mount("/dev/sda3", "/var/lib/bind-of-home", "ext4", "sda"),
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

// A stand-in for the format program that notes its arguments and stays open until told.
QString WriteStandInTool(const QTemporaryDir &dir) {
    const QString path = dir.filePath(QStringLiteral("stand-in-disks"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\n"
                 "echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
                 "while [ ! -e \"$(dirname \"$0\")/close\" ]; do sleep 0.02; done\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class tst_Drives : public QObject {
    Q_OBJECT
private slots:
    void driveNumbersFollowTheLetter();
    void arrangesTheMachinesDrives();
    void lettersStayWithTheirDrivesForTheRun();
    void driveTypeIsReadByLetter();
    void removableDriveGoesToTheFormatProgramAndIsWaitedFor();
    void nonRemovableDriveStartsNothing();
    void missingFormatProgramNamesWhatToInstall();
    void thisMachinesSystemVolumeIsAFixedDrive();
};

void tst_Drives::driveNumbersFollowTheLetter() {
    QCOMPARE(DriveNumberOf(QStringLiteral("a:")), 0);
    QCOMPARE(DriveNumberOf(QStringLiteral("B: [DATA]")), 1);
    QCOMPARE(DriveNumberOf(QStringLiteral("c: [/]")), 2);
    QCOMPARE(DriveNumberOf(QStringLiteral("z:")), 25);
    QCOMPARE(DriveNumberOf(QString()), -1);
}

void tst_Drives::arrangesTheMachinesDrives() {
    QHash<QString, QChar> letters;
    const QList<DriveEntry> drives = ArrangeDrives(Laptop(), letters);
    QCOMPARE(Texts(drives), (QStringList{"a: [/dev/fd0]", "c: [/]", "d: [/home]",
                                         "e: [server:/export]", "f: [MY STICK]", "g: [/dev/sr0]"}));
    QCOMPARE(WithLetter(drives, 'a')->kind, DriveKind::Removable);
    QCOMPARE(WithLetter(drives, 'c')->kind, DriveKind::Fixed);
    QCOMPARE(WithLetter(drives, 'd')->kind, DriveKind::Fixed);
    QCOMPARE(WithLetter(drives, 'e')->kind, DriveKind::Remote);
    const DriveEntry *stick = WithLetter(drives, 'f');
    QCOMPARE(stick->kind, DriveKind::Removable);
    QCOMPARE(stick->device, QStringLiteral("/dev/sdb")); // the whole device is formatted
    QCOMPARE(stick->mountPoint, QStringLiteral("/media/u/MY STICK"));
    QCOMPARE(WithLetter(drives, 'g')->kind, DriveKind::CdRom);
}

void tst_Drives::lettersStayWithTheirDrivesForTheRun() {
    QHash<QString, QChar> letters;
    SystemFacts facts = Laptop();
    ArrangeDrives(facts, letters);

    // The stick is pulled out and another one goes in.
    facts.blocks.removeIf([](const BlockDeviceFacts &b) { return b.name == "sdb"; });
    facts.mounts.removeIf([](const MountFacts &m) { return m.parentBlock == "sdb"; });
    BlockDeviceFacts card = Block(QStringLiteral("mmcblk0"));
    card.sdCard = true;
    card.label = QStringLiteral("CAMERA");
    facts.blocks.append(card);
    QList<DriveEntry> drives = ArrangeDrives(facts, letters);
    QCOMPARE(Texts(drives), (QStringList{"a: [/dev/fd0]", "c: [/]", "d: [/home]",
                                         "e: [server:/export]", "g: [/dev/sr0]", "h: [CAMERA]"}));

    // The first stick comes back under its old letter.
    drives = ArrangeDrives(Laptop(), letters);
    QCOMPARE(WithLetter(drives, 'f')->label, QStringLiteral("MY STICK"));
}

void tst_Drives::driveTypeIsReadByLetter() {
    SystemDriveService service(Laptop);
    QCOMPARE(service.DriveType(QStringLiteral("A:")), DriveKind::Removable);
    QCOMPARE(service.DriveType(QStringLiteral("C: [/]")), DriveKind::Fixed);
    QCOMPARE(service.DriveType(QStringLiteral("E: [SERVER:/EXPORT]")), DriveKind::Remote);
    QCOMPARE(service.DriveType(QStringLiteral("F: [MY STICK]")), DriveKind::Removable);
    QCOMPARE(service.DriveType(QStringLiteral("G:")), DriveKind::CdRom);
    QCOMPARE(service.DriveType(QStringLiteral("Q:")), DriveKind::NoRootDir);
    QCOMPARE(service.DriveType(QString()), DriveKind::NoRootDir);
}

void tst_Drives::removableDriveGoesToTheFormatProgramAndIsWaitedFor() {
    QTemporaryDir dir;
    const QString tool = WriteStandInTool(dir);
    SystemDriveService service(Laptop, FormatTool{QStringLiteral("stand-in-disks"), {dir.path()}});
    QWidget owner;
    int closed = 0;

    service.FormatDrive(&owner, DriveNumberOf(QStringLiteral("F: [MY STICK]")), [&] { ++closed; });

    QTRY_VERIFY(QFile::exists(dir.filePath(QStringLiteral("arguments"))));
    QFile arguments(dir.filePath(QStringLiteral("arguments")));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(arguments.readAll().trimmed(), QByteArray("--block-device /dev/sdb --format-device"));
    QTest::qWait(100); // events flow while the program is open, and the wait goes on
    QCOMPARE(closed, 0);

    QFile(dir.filePath(QStringLiteral("close"))).open(QIODevice::WriteOnly);
    QTRY_COMPARE(closed, 1);
    QVERIFY(owner.findChildren<QMessageBox *>().isEmpty());
}

void tst_Drives::nonRemovableDriveStartsNothing() {
    QTemporaryDir dir;
    WriteStandInTool(dir);
    SystemDriveService service(Laptop, FormatTool{QStringLiteral("stand-in-disks"), {dir.path()}});
    QWidget owner;
    int closed = 0;
    for (const char *drive : {"C:", "E:", "G:", "Q:"})
        service.FormatDrive(&owner, DriveNumberOf(QLatin1String(drive)), [&] { ++closed; });
    QCOMPARE(closed, 4);
    QTest::qWait(100);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("arguments"))));
}

void tst_Drives::missingFormatProgramNamesWhatToInstall() {
    QTemporaryDir emptyDir;
    SystemDriveService service(Laptop,
                               FormatTool{QStringLiteral("gnome-disks"), {emptyDir.path()}});
    QWidget owner;
    int closed = 0;

    service.FormatDrive(&owner, 0, [&] { ++closed; });

    auto *box = owner.findChild<QMessageBox *>(QStringLiteral("msgFormatToolMissing"));
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(box->text().contains(QStringLiteral("gnome-disk-utility")));
    QVERIFY(box->text().contains(QStringLiteral("\"gnome-disks\"")));
    QCOMPARE(closed, 0); // the owner waits for the message as it would for the dialog
    box->accept();
    QCOMPARE(closed, 1);
}

void tst_Drives::thisMachinesSystemVolumeIsAFixedDrive() {
    SystemDriveService service;
    const QList<DriveEntry> drives = service.Drives();
    const DriveEntry *system = WithLetter(drives, 'c');
    QVERIFY2(system, qPrintable(Texts(drives).join(QLatin1String(", "))));
    QCOMPARE(system->mountPoint, QStringLiteral("/"));
    QCOMPARE(system->kind, DriveKind::Fixed);
    for (const DriveEntry &drive : drives)
        QVERIFY2(!drive.device.startsWith(QLatin1String("/dev/loop")), qPrintable(drive.Text()));
}

QTEST_MAIN(tst_Drives)
#include "tst_Drives.moc"
