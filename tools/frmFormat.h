#pragma once

#include "platform/Form.h"

class CommandButton;
class DriveListBox;
class QFrame;
class QLabel;

// The format tool: hands the removable drive chosen in its drive list to the system's format
// dialog. The program itself formats nothing.
class frmFormat : public Form {
    Q_OBJECT
public:
    frmFormat();

    QLabel *lblFMsg;
    QLabel *lblFWarn;
    QFrame *fraFormat;
    DriveListBox *drvFormat;
    CommandButton *cmdFormat;
    CommandButton *cmdFContinue;
    QLabel *imgFormat;

    // True while the system's format dialog is open; the window waits for it.
    bool IsWaitingForFormatDialog() const { return m_waiting; }

private:
    void BuildControls();
    void cmdFormat_Click();
    void cmdFContinue_Click();
    void FormatDialogClosed();

    bool m_waiting = false;
};

// The instructions: two sentences kept apart by a run of spaces that pushes the second onto a
// line of its own when the label wraps.
QString FormatInstructions();
