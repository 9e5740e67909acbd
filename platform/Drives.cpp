#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>

namespace {

bool IsNetworkFileSystem(const QString &type) {
    static const QSet<QString> network{
        QStringLiteral("nfs"),           QStringLiteral("nfs4"),
        QStringLiteral("cifs"),          QStringLiteral("smb3"),
        QStringLiteral("smbfs"),         QStringLiteral("ncpfs"),
        QStringLiteral("afs"),           QStringLiteral("9p"),
        QStringLiteral("ceph"),          QStringLiteral("glusterfs"),
        QStringLiteral("fuse.sshfs"),    QStringLiteral("sshfs"),
        QStringLiteral("davfs"),         QStringLiteral("fuse.davfs"),
        QStringLiteral("fuse.rclone"),   QStringLiteral("fuse.s3fs"),
        QStringLiteral("fuse.glusterfs")};
    return network.contains(type);
}

// Whether a mounted file system is a volume a person would call a drive.
bool IsFixedVolume(const MountFacts &mount) {
    if (mount.rootPath == QLatin1String("/"))
        return true; // the system's own volume, whatever a container calls it
    return mount.device.startsWith(QLatin1String("/dev/")) &&
           !mount.device.startsWith(QLatin1String("/dev/loop"));
}

bool IsRemovableBlock(const BlockDeviceFacts &block) {
    return block.removableFlag || block.usb || block.sdCard ||
           block.name.startsWith(QLatin1String("fd"));
}

// udev writes some characters of a label as \xHH ("MY\x20STICK").
QString DecodeUdevName(const QString &name) {
    QByteArray out;
    const QByteArray in = QFile::encodeName(name);
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x') {
            bool ok = false;
            const int code = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(in[i]);
    }
    return QString::fromUtf8(out);
}

QString ReadSysText(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

QString KindName(int kind) {
    switch (kind) {
    case DriveKind::Removable:
        return QStringLiteral("Removable drive");
    case DriveKind::Fixed:
        return QStringLiteral("Local disk");
    case DriveKind::Remote:
        return QStringLiteral("Network drive");
    case DriveKind::CdRom:
        return QStringLiteral("CD/DVD drive");
    default:
        return QStringLiteral("Drive");
    }
}

} // namespace

QString DriveEntry::Description() const {
    QString text = KindName(kind);
    if (!device.isEmpty())
        text += QLatin1Char(' ') + device;
    if (!mountPoint.isEmpty())
        text += QStringLiteral(", mounted on ") + mountPoint;
    return text;
}

QString DriveEntry::Text() const {
    QString text = QString(letter) + QLatin1Char(':');
    const QString name = !label.isEmpty() ? label : !mountPoint.isEmpty() ? mountPoint : device;
    if (!name.isEmpty())
        text += QStringLiteral(" [%1]").arg(name);
    return text;
}

int DriveNumberOf(const QString &driveText) {
    if (driveText.isEmpty())
        return -1;
    return driveText.at(0).toUpper().unicode() - 65;
}

int DriveService::DriveType(const QString &driveText) {
    const int number = DriveNumberOf(driveText);
    if (number < 0 || number > 25)
        return DriveKind::NoRootDir;
    const QChar letter(u'a' + number);
    for (const DriveEntry &drive : Drives())
        if (drive.letter == letter)
            return drive.kind;
    return DriveKind::NoRootDir;
}

QList<DriveEntry> ArrangeDrives(const SystemFacts &facts, QHash<QString, QChar> &letters) {
    struct Candidate {
        QString key;
        DriveEntry entry;
    };
    QList<Candidate> removable; // removable and optical devices, whole
    QList<Candidate> fixed;
    QList<Candidate> remote;

    for (const BlockDeviceFacts &block : facts.blocks) {
        DriveEntry entry;
        if (block.optical)
            entry.kind = DriveKind::CdRom;
        else if (IsRemovableBlock(block))
            entry.kind = DriveKind::Removable;
        else
            continue;
        entry.device = QStringLiteral("/dev/") + block.name;
        entry.label = block.label;
        removable.append({QStringLiteral("block:") + block.name, entry});
    }
    std::sort(removable.begin(), removable.end(),
              [](const Candidate &a, const Candidate &b) { return a.key < b.key; });
    QHash<QString, qsizetype> blockIndex; // device name -> its place in `removable`
    for (qsizetype i = 0; i < removable.size(); ++i)
        blockIndex.insert(removable[i].entry.device.mid(5), i);

    // Shortest mount point first, so a volume mounted twice is named by its main mount.
    QList<MountFacts> mounts = facts.mounts;
    std::stable_sort(mounts.begin(), mounts.end(), [](const MountFacts &a, const MountFacts &b) {
        return a.rootPath.size() < b.rootPath.size();
    });
    QSet<QString> seenDevices;
    for (const MountFacts &mount : mounts) {
        if (seenDevices.contains(mount.device))
            continue;
        const auto owner = blockIndex.constFind(mount.parentBlock);
        if (owner != blockIndex.constEnd()) {
            seenDevices.insert(mount.device);
            DriveEntry &entry = removable[*owner].entry;
            if (entry.mountPoint.isEmpty())
                entry.mountPoint = mount.rootPath;
            if (entry.label.isEmpty())
                entry.label = mount.label;
            continue;
        }
        DriveEntry entry;
        entry.device = mount.device;
        entry.mountPoint = mount.rootPath;
        if (IsNetworkFileSystem(mount.fsType)) {
            entry.kind = DriveKind::Remote;
            entry.label = mount.device; // the network name, as the drive list shows shares
            seenDevices.insert(mount.device);
            remote.append({QStringLiteral("mount:") + mount.device, entry});
        } else if (IsFixedVolume(mount)) {
            entry.kind = DriveKind::Fixed;
            entry.label = mount.label;
            seenDevices.insert(mount.device);
            fixed.append({QStringLiteral("mount:") + mount.device, entry});
        }
    }
    // The system's volume first, the others by mount point.
    std::sort(fixed.begin(), fixed.end(), [](const Candidate &a, const Candidate &b) {
        const bool aRoot = a.entry.mountPoint == QLatin1String("/");
        const bool bRoot = b.entry.mountPoint == QLatin1String("/");
        if (aRoot != bRoot)
            return aRoot;
        return a.entry.mountPoint < b.entry.mountPoint;
    });

    QSet<QChar> used;
    for (const QChar letter : std::as_const(letters))
        used.insert(letter);
    const auto giveLetter = [&](const QString &key, bool floppy) -> QChar {
        if (const auto it = letters.constFind(key); it != letters.constEnd())
            return *it;
        for (char16_t c = floppy ? u'a' : u'c'; c <= u'z'; ++c) {
            if (!used.contains(QChar(c))) {
                used.insert(QChar(c));
                letters.insert(key, QChar(c));
                return {c};
            }
        }
        return {};
    };

    QList<DriveEntry> drives;
    const auto place = [&](const QList<Candidate> &candidates) {
        for (const Candidate &candidate : candidates) {
            const bool floppy = candidate.key.startsWith(QLatin1String("block:fd"));
            const QChar letter = giveLetter(candidate.key, floppy);
            if (letter.isNull())
                continue; // more drives than letters
            DriveEntry entry = candidate.entry;
            entry.letter = letter;
            drives.append(entry);
        }
    };
    // Floppy drives first, so they get a and b as long as those are free.
    QList<Candidate> floppies;
    QList<Candidate> others;
    for (const Candidate &candidate : removable)
        (candidate.key.startsWith(QLatin1String("block:fd")) ? floppies : others).append(candidate);
    place(floppies);
    place(fixed);
    place(remote);
    place(others);
    std::sort(drives.begin(), drives.end(),
              [](const DriveEntry &a, const DriveEntry &b) { return a.letter < b.letter; });
    return drives;
}

SystemFacts ProbeSystem() {
    SystemFacts facts;

    QHash<QString, QString> labels; // device name -> label
    const QDir byLabel(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo &link : byLabel.entryInfoList(QDir::System | QDir::Files)) {
        const QString target = QFileInfo(link.canonicalFilePath()).fileName();
        if (!target.isEmpty())
            labels.insert(target, DecodeUdevName(link.fileName()));
    }

    const QDir sysBlock(QStringLiteral("/sys/block"));
    const QStringList names =
        sysBlock.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (name.startsWith(QLatin1String("loop")) || name.startsWith(QLatin1String("ram")) ||
            name.startsWith(QLatin1String("zram")))
            continue;
        const QString path = sysBlock.filePath(name);
        BlockDeviceFacts block;
        block.name = name;
        block.removableFlag =
            ReadSysText(path + QStringLiteral("/removable")) == QLatin1String("1");
        block.usb = QFileInfo(path).canonicalFilePath().contains(QLatin1String("/usb"));
        const QString type = ReadSysText(path + QStringLiteral("/device/type"));
        block.optical = name.startsWith(QLatin1String("sr")) || type == QLatin1String("5");
        block.sdCard = name.startsWith(QLatin1String("mmcblk")) && type == QLatin1String("SD");
        block.label = labels.value(name);
        if (block.label.isEmpty()) {
            const QStringList parts =
                QDir(path).entryList({name + QLatin1Char('*')}, QDir::Dirs, QDir::Name);
            for (const QString &part : parts) {
                if (labels.contains(part)) {
                    block.label = labels.value(part);
                    break;
                }
            }
        }
        facts.blocks.append(block);
    }

    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid())
            continue;
        MountFacts mount;
        mount.device = QString::fromLocal8Bit(volume.device());
        mount.rootPath = volume.rootPath();
        mount.fsType = QString::fromLatin1(volume.fileSystemType());
        mount.label = volume.name();
        if (mount.device.startsWith(QLatin1String("/dev/"))) {
            // /dev/mapper/... and /dev/disk/by-... are links to the kernel's own name.
            const QString kernelName =
                QFileInfo(QFileInfo(mount.device).canonicalFilePath()).fileName();
            const QString sysPath = QStringLiteral("/sys/class/block/") + kernelName;
            mount.parentBlock =
                QFile::exists(sysPath + QStringLiteral("/partition"))
                    ? QFileInfo(QFileInfo(sysPath).canonicalFilePath()).dir().dirName()
                    : kernelName;
        }
        facts.mounts.append(mount);
    }
    return facts;
}

QStringList FormatTool::ArgumentsFor(const QString &device) const {
    return {QStringLiteral("--block-device"), device, QStringLiteral("--format-device")};
}

SystemDriveService::SystemDriveService(std::function<SystemFacts()> probe, FormatTool tool)
    : m_probe(std::move(probe))
    , m_tool(std::move(tool)) {}

QList<DriveEntry> SystemDriveService::Drives() {
    return ArrangeDrives(m_probe(), m_letters);
}

QString SystemDriveService::MissingToolText(const QString &program) {
    return QStringLiteral(
               "Quillory hands a removable drive to the format dialog of GNOME Disks, but the "
               "program \"%1\" could not be found or started.\n\n"
               "Install the package gnome-disk-utility (on Debian or Ubuntu: "
               "sudo apt install gnome-disk-utility), then press Format again.")
        .arg(program);
}

void SystemDriveService::FormatDrive(QWidget *owner, int driveNumber,
                                     std::function<void()> whenClosed) {
    const QChar letter(u'a' + driveNumber);
    QString device;
    for (const DriveEntry &drive : Drives())
        if (driveNumber >= 0 && driveNumber < 26 && drive.letter == letter &&
            drive.kind == DriveKind::Removable)
            device = drive.device;
    if (device.isEmpty()) {
        whenClosed();
        return;
    }

    // The message stands in for the format dialog: the owner waits until it is closed.
    const auto tellWhatToInstall = [owner, program = m_tool.program, whenClosed] {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Format"),
                                    MissingToolText(program), QMessageBox::Ok, owner);
        box->setObjectName(QStringLiteral("msgFormatToolMissing"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        QObject::connect(box, &QDialog::finished, box, [whenClosed](int) { whenClosed(); });
        box->open();
    };

    const QString program = QStandardPaths::findExecutable(m_tool.program, m_tool.searchPaths);
    if (program.isEmpty()) {
        tellWhatToInstall();
        return;
    }
    // Not a child of the owner: ending Quillory must not kill a format in progress.
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(m_tool.ArgumentsFor(device));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, whenClosed] {
        process->deleteLater();
        whenClosed();
    });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, tellWhatToInstall](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash still ends in finished()
                         process->deleteLater();
                         tellWhatToInstall();
                     });
    process->start();
}
