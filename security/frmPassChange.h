#pragma once

#include "platform/Form.h"

class CommandButton;
class QFrame;
class QLabel;
class TextBox;

// Replaces both passwords. The new ones are asked for at the next start of the program.
class frmPassChange : public Form {
    Q_OBJECT
public:
    frmPassChange();

    void Form_Load() override;

    QLabel *lblCPMsg;
    QLabel *lblMCPass1;
    TextBox *txtPCPass1;
    QLabel *lblCPPass2;
    TextBox *txtPCPass2;
    CommandButton *cmdPCContinue;
    CommandButton *cmdPCCancel;
    CommandButton *cmdPCClear;
    QFrame *Line1;
    QFrame *Line2;
    QLabel *Image1;

signals:
    // Both new passwords are on disk; the main window comes forward.
    void PasswordsSaved();

private:
    void BuildControls();
    void txtPCPass1_KeyPress(qint16 &keyAscii);
    void txtPCPass2_KeyPress(qint16 &keyAscii);
    void cmdPCClear_Click();
    void cmdPCCancel_Click();
    void cmdPCContinue_Click();
    void RefuseCharacter(TextBox *box);
};
