#pragma once

#include <QComboBox>

// A drive list box: the machine's drives as "c: [label]" texts, from the installed DriveService.
// It reads the drives again each time its list drops down, keeping the selected drive.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // The selected drive's text, "" when the machine shows no drive.
    QString Drive() const;
    void Refresh();

protected:
    void showPopup() override;
};
