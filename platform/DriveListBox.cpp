#include "platform/DriveListBox.h"

#include "platform/Services.h"

#include <QDir>
#include <QStorageInfo>

DriveListBox::DriveListBox(QWidget *parent)
    : QComboBox(parent) {
    Refresh();
}

QString DriveListBox::Drive() const {
    return currentText();
}

void DriveListBox::Refresh() {
    const QList<DriveEntry> drives = Services::Current().drives->Drives();
    const QString before = currentIndex() >= 0 ? currentText().left(2) : QString();
    // With nothing chosen yet, the list selects the drive of the current folder, as a drive
    // list starts on the current drive.
    const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();

    clear();
    int select = -1;
    for (const DriveEntry &drive : drives) {
        addItem(drive.Text());
        setItemData(count() - 1, drive.Description(), Qt::ToolTipRole);
        const bool wanted =
            before.isEmpty() ? drive.mountPoint == currentRoot : drive.Text().left(2) == before;
        if (wanted && select < 0)
            select = count() - 1;
    }
    setCurrentIndex(select >= 0 ? select : (count() > 0 ? 0 : -1));
}

void DriveListBox::showPopup() {
    Refresh();
    QComboBox::showPopup();
}
