#pragma once

#include "platform/Form.h"

class CommandButton;
class QComboBox;
class QGroupBox;
class QLabel;
class RichTextBox;

// Finds a word or phrase in the entry and selects it; stays on top while the user works on,
// and remembers what was searched for while it stays loaded.
class frmSearch : public Form {
    Q_OBJECT
public:
    // Searches `entry`.
    explicit frmSearch(RichTextBox &entry);

    void Form_Load() override;

    QLabel *Label1;
    QGroupBox *fraSearch;
    QComboBox *cboSearch;
    CommandButton *cmdSFind;
    CommandButton *cmdSNext;
    CommandButton *cmdSCancel;
    QLabel *Image1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void cboSearch_KeyPress();
    void cmdSFind_Click();
    void cmdSNext_Click();
    void cmdSCancel_Click();
    void FindFirst(const QString &text);
    void FindNext(const QString &text);
    void FocusEntry();

    RichTextBox &mEntry;
    // The outcome of the last search and the position of its match (-1: none). Positions are
    // not limited to 16 bits, so matches anywhere in a long entry are found and selected.
    bool mFound = false;
    int mMatchPosition = -1;
};
