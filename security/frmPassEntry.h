#pragma once

// security/: the password files (PasswordStore), the gate that checks them once per run and
// writes the security log (frmPassEntry, WriteLogEntry), the log viewer and the password change.
// Its windows build on app/ and platform/ and say by signals when the run goes on to the main
// window.
#include "platform/Form.h"

class CommandButton;
class QFrame;
class QLabel;
class RuntimeError;
class TextBox;

// The password gate: one check of the two passwords per run, logged; then on to the main
// window or out of the program.
class frmPassEntry : public Form {
    Q_OBJECT
public:
    frmPassEntry();

    void Form_Load() override;

    QLabel *lblPEMsg;
    QLabel *lblPEPass1;
    TextBox *txtPEPass1;
    QLabel *lblPEPass2;
    TextBox *txtPEPass2;
    CommandButton *cmdPECheck;
    CommandButton *cmdPECancel;
    CommandButton *cmdPEContinue;
    QFrame *Line1;
    QFrame *Line2;
    QLabel *imgPE;

signals:
    // Continue after both passwords were accepted: the gate has hidden itself.
    void Accepted();

protected:
    // Closing the gate from the window manager leaves the program, as Cancel and Exit do.
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildControls();
    void txtPEPass1_KeyPress(qint16 &keyAscii);
    void txtPEPass2_KeyPress(qint16 &keyAscii);
    void cmdPECheck_Click();
    void cmdPEContinue_Click();
    void cmdPECancel_Click();
    void ShowOutcome(bool accepted);
    void EndAsTheLogCannotBeWritten(const RuntimeError &error);
    void UnloadAllForms();

    // 0 no result, 1 the last check accepted both passwords, 2 it refused them.
    qint16 mGateState = 0;
    // The one check of the run; once made, nothing can start another.
    enum class Check { NotYet, Accepted, Refused };
    Check mCheck = Check::NotYet;
};
