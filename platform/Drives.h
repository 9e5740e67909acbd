#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

// Drive types, with the values the format tool compares against.
namespace DriveKind {
inline constexpr int Unknown = 0;
inline constexpr int NoRootDir = 1; // no drive has that letter
inline constexpr int Removable = 2;
inline constexpr int Fixed = 3;
inline constexpr int Remote = 4;
inline constexpr int CdRom = 5;
} // namespace DriveKind

// One drive of the drive list. Linux has no drive letters, so each drive is given one for the
// run: floppy drives a and b, the other drives from c on.
struct DriveEntry {
    QChar letter; // lower case, as the drive list shows it
    int kind = DriveKind::Unknown;
    QString label;      // volume label, or the network name of a remote drive
    QString device;     // "/dev/sdb", "server:/export", ...
    QString mountPoint; // empty when not mounted

    // "d: [LABEL]": the letter and a colon, then what tells the drive apart.
    QString Text() const;
    // "Removable drive /dev/sdb, mounted on /media/stick", for a tooltip.
    QString Description() const;
};

// The drive number of a drive list text: the upper-cased first character's code minus 65, so
// "a:" gives 0 and "b:" gives 1.
int DriveNumberOf(const QString &driveText);

// The machine's drives and the external format dialog.
class DriveService {
public:
    virtual ~DriveService() = default;

    // The drives of the machine now, each keeping its letter for the rest of the run.
    virtual QList<DriveEntry> Drives() = 0;

    // Opens the system's format dialog for the drive with that number, owned by `owner`, and
    // returns at once; `whenClosed` runs once the dialog has gone (also when none could open).
    virtual void FormatDrive(QWidget *owner, int driveNumber, std::function<void()> whenClosed) = 0;

    // The type of the drive whose letter begins the text; NoRootDir when there is none.
    int DriveType(const QString &driveText);
};

// What the system reports about a whole block device.
struct BlockDeviceFacts {
    QString name; // "sdb", "sr0", "fd0"
    bool removableFlag = false;
    bool usb = false;
    bool sdCard = false;
    bool optical = false;
    QString label; // of the device or of its first labelled partition
};

// What the system reports about a mounted file system.
struct MountFacts {
    QString device; // "/dev/sdb1", "server:/export", "overlay"
    QString rootPath;
    QString fsType;
    QString label;
    QString parentBlock; // the whole device a partition lies on ("sdb"), else the device's name
};

struct SystemFacts {
    QList<BlockDeviceFacts> blocks;
    QList<MountFacts> mounts;
};

// Turns the system's facts into drives: removable and optical devices (with the labels and mount
// points of their volumes), fixed volumes and network shares; pseudo file systems are left out.
// `letters` keeps the letter of every drive seen in the run and gives new ones their letter.
QList<DriveEntry> ArrangeDrives(const SystemFacts &facts, QHash<QString, QChar> &letters);

// Reads /sys/block, /dev/disk/by-label and the mounted volumes.
SystemFacts ProbeSystem();

// The program that formats a removable drive, and where to look for it.
struct FormatTool {
    QString program = QStringLiteral("gnome-disks");
    QStringList searchPaths; // empty: the PATH
    QStringList ArgumentsFor(const QString &device) const;
};

// The system's drives; a removable one is handed to GNOME Disks' format dialog, or, where that is
// not installed, the user is told what to install.
class SystemDriveService final : public DriveService {
public:
    explicit SystemDriveService(std::function<SystemFacts()> probe = ProbeSystem,
                                FormatTool tool = {});

    QList<DriveEntry> Drives() override;
    void FormatDrive(QWidget *owner, int driveNumber, std::function<void()> whenClosed) override;

    // What the user is told when the format program cannot be found or started.
    static QString MissingToolText(const QString &program);

private:
    std::function<SystemFacts()> m_probe;
    FormatTool m_tool;
    QHash<QString, QChar> m_letters;
};
