#pragma once

#include "platform/Drives.h"

#include <QList>
#include <QPointer>
#include <QWidget>

// A machine with the drives a test gives it. Format requests are recorded and their dialog
// stays "open" until the test closes it.
class FakeDrives final : public DriveService {
public:
    struct Request {
        QPointer<QWidget> owner;
        int driveNumber;
    };

    explicit FakeDrives(QList<DriveEntry> drives)
        : m_drives(std::move(drives)) {}

    QList<DriveEntry> Drives() override { return m_drives; }
    void FormatDrive(QWidget *owner, int driveNumber, std::function<void()> whenClosed) override {
        requests.append({owner, driveNumber});
        m_pending = std::move(whenClosed);
    }

    // The user closes the format dialog.
    void CloseDialog() {
        auto closed = std::exchange(m_pending, {});
        if (closed)
            closed();
    }
    bool DialogOpen() const { return bool(m_pending); }

    QList<Request> requests;

private:
    QList<DriveEntry> m_drives;
    std::function<void()> m_pending;
};

inline DriveEntry MakeDrive(char letter, int kind, const QString &label,
                            const QString &mountPoint = {}) {
    DriveEntry drive;
    drive.letter = QLatin1Char(letter);
    drive.kind = kind;
    drive.label = label;
    drive.mountPoint = mountPoint;
    return drive;
}

// Installs a fake for one test and puts the system's service back afterwards.
class InstalledDrives {
public:
    explicit InstalledDrives(QList<DriveEntry> drives) {
        auto fake = std::make_unique<FakeDrives>(std::move(drives));
        m_fake = fake.get();
        DriveService::Install(std::move(fake));
    }
    ~InstalledDrives() { DriveService::Install(nullptr); }
    FakeDrives &operator*() const { return *m_fake; }
    FakeDrives *operator->() const { return m_fake; }

private:
    FakeDrives *m_fake;
};
