#include "security/frmPassEntry.h"

#include "app/FormRegistry.h"
#include "app/Run.h"
#include "app/SharedRoutines.h"
#include "platform/Artwork.h"
#include "platform/CommandButton.h"
#include "platform/EtchedLine.h"
#include "platform/RuntimeError.h"
#include "platform/TextBox.h"
#include "security/PasswordStore.h"
#include "security/WriteLogEntry.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <optional>

frmPassEntry::frmPassEntry()
    : lblPEMsg(new QLabel(
          QStringLiteral("Please enter the correct passwords in the appropriate boxes."), this))
    , lblPEPass1(new QLabel(QStringLiteral("Pass #1:"), this))
    , txtPEPass1(new TextBox(this))
    , lblPEPass2(new QLabel(QStringLiteral("Pass #2:"), this))
    , txtPEPass2(new TextBox(this))
    , cmdPECheck(new CommandButton(QStringLiteral("C&heck"), this))
    , cmdPECancel(new CommandButton(QStringLiteral("Can&cel"), this))
    , cmdPEContinue(new CommandButton(QStringLiteral("Continue"), this))
    , Line1(MakeEtchedLine(QStringLiteral("Line1"), this))
    , Line2(MakeEtchedLine(QStringLiteral("Line2"), this))
    , imgPE(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Password entry"));
    MakeFixedWindowWithoutButtons();
    BuildControls();
}

void frmPassEntry::BuildControls() {
    setObjectName(QStringLiteral("frmPassEntry"));
    lblPEMsg->setObjectName(QStringLiteral("lblPEMsg"));
    lblPEPass1->setObjectName(QStringLiteral("lblPEPass1"));
    txtPEPass1->setObjectName(QStringLiteral("txtPEPass1"));
    lblPEPass2->setObjectName(QStringLiteral("lblPEPass2"));
    txtPEPass2->setObjectName(QStringLiteral("txtPEPass2"));
    cmdPECheck->setObjectName(QStringLiteral("cmdPECheck"));
    cmdPECancel->setObjectName(QStringLiteral("cmdPECancel"));
    cmdPEContinue->setObjectName(QStringLiteral("cmdPEContinue"));
    imgPE->setObjectName(QStringLiteral("imgPE"));

    txtPEPass1->SetPasswordChar(QLatin1Char('*'));
    txtPEPass2->SetPasswordChar(QLatin1Char('*'));
    txtPEPass1->setToolTip(QStringLiteral("Enter your first password (it is case sensitive)"));
    txtPEPass2->setToolTip(QStringLiteral("Enter your second password (it is case sensitive)"));
    txtPEPass1->setAccessibleName(QStringLiteral("Pass #1"));
    txtPEPass2->setAccessibleName(QStringLiteral("Pass #2"));
    txtPEPass1->setAccessibleDescription(txtPEPass1->toolTip());
    txtPEPass2->setAccessibleDescription(txtPEPass2->toolTip());
    lblPEPass1->setBuddy(txtPEPass1);
    lblPEPass2->setBuddy(txtPEPass2);
    cmdPECancel->setToolTip(QStringLiteral("Exit the program now"));
    cmdPEContinue->setToolTip(QStringLiteral("Go to the next step"));
    // A hidden button is disabled too, so no route (accessibility, automation) can press it.
    cmdPEContinue->hide();
    cmdPEContinue->setEnabled(false);
    imgPE->setPixmap(Artwork::Padlock(48));
    imgPE->setAccessibleName(QStringLiteral("Padlock"));
    lblPEMsg->setWordWrap(true);
    txtPEPass1->setMinimumWidth(220);

    auto *boxes = new QGridLayout;
    boxes->addWidget(lblPEPass1, 0, 0);
    boxes->addWidget(txtPEPass1, 0, 1);
    boxes->addWidget(lblPEPass2, 1, 0);
    boxes->addWidget(txtPEPass2, 1, 1);
    auto *middle = new QHBoxLayout;
    middle->addWidget(imgPE, 0, Qt::AlignTop);
    middle->addSpacing(12);
    middle->addLayout(boxes);

    // Continue stands exactly where Cancel stands; only one of them is ever shown.
    auto *buttons = new QGridLayout;
    buttons->setColumnStretch(0, 1);
    buttons->addWidget(cmdPECheck, 0, 1);
    buttons->addWidget(cmdPECancel, 0, 2);
    buttons->addWidget(cmdPEContinue, 0, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPEMsg);
    layout->addWidget(Line1);
    layout->addLayout(middle);
    layout->addWidget(Line2);
    layout->addLayout(buttons);

    setTabOrder(txtPEPass1, txtPEPass2);
    setTabOrder(txtPEPass2, cmdPEContinue);
    setTabOrder(cmdPEContinue, cmdPECancel);
    setTabOrder(cmdPECancel, cmdPECheck);

    connect(txtPEPass1, &TextBox::KeyPress, this, &frmPassEntry::txtPEPass1_KeyPress);
    connect(txtPEPass2, &TextBox::KeyPress, this, &frmPassEntry::txtPEPass2_KeyPress);
    connect(cmdPECheck, &QPushButton::clicked, this, &frmPassEntry::cmdPECheck_Click);
    connect(cmdPEContinue, &QPushButton::clicked, this, &frmPassEntry::cmdPEContinue_Click);
    connect(cmdPECancel, &QPushButton::clicked, this, &frmPassEntry::cmdPECancel_Click);
    FixSizeToContents();
}

void frmPassEntry::Form_Load() {
    PasswordStore::FinishInterruptedChange(
        Module1::AppFile(QLatin1String(PasswordStore::kFirstFile)),
        Module1::AppFile(QLatin1String(PasswordStore::kSecondFile)));
    Show();
    txtPEPass1->setFocus();
}

void frmPassEntry::txtPEPass1_KeyPress(qint16 &keyAscii) {
    Module1::EnterAsTab(keyAscii);
}

void frmPassEntry::txtPEPass2_KeyPress(qint16 &keyAscii) {
    Module1::EnterAsTab(keyAscii);
}

void frmPassEntry::cmdPECheck_Click() {
    if (mCheck != Check::NotYet)
        return;
    mGateState = 0;
    QString path;
    std::optional<QString> stored1;
    std::optional<QString> stored2;
    try {
        path = Module1::AppFile(QLatin1String(PasswordStore::kFirstFile));
        stored1 = PasswordStore::ReadStoredPassword(path);
        path = Module1::AppFile(QLatin1String(PasswordStore::kSecondFile));
        stored2 = PasswordStore::ReadStoredPassword(path);
    } catch (const RuntimeError &error) {
        Module1::EndWithUnhandledError(error, path);
        return;
    }
    const QString typed1 = txtPEPass1->text();
    const QString typed2 = txtPEPass2->text();
    ShowOutcome(stored2 == typed2 && stored1 == typed1);
}

void frmPassEntry::ShowOutcome(bool accepted) {
    mCheck = accepted ? Check::Accepted : Check::Refused;
    Module1::PlayCue(accepted ? QStringLiteral("\\graphics\\s_passwordconfirm.wav")
                              : QStringLiteral("\\graphics\\s_nopassword.wav"));
    try {
        Module1::WriteLogEntry(accepted ? QStringLiteral("authorized")
                                        : QStringLiteral("unauthorized"));
    } catch (const RuntimeError &error) {
        EndAsTheLogCannotBeWritten(error);
        return;
    }
    txtPEPass1->setEnabled(false);
    txtPEPass2->setEnabled(false);
    mGateState = accepted ? 1 : 2;
    cmdPECheck->hide();
    cmdPECheck->setEnabled(false);
    cmdPECancel->hide();
    cmdPECancel->setEnabled(false);
    if (!accepted)
        cmdPEContinue->SetCaption(QStringLiteral("E&xit"));
    cmdPEContinue->setEnabled(true);
    cmdPEContinue->show();
    cmdPEContinue->setFocus();
}

void frmPassEntry::EndAsTheLogCannotBeWritten(const RuntimeError &error) {
    // No check may go unrecorded, so the run ends; the user learns what to mend.
    const QString log = Module1::AppFile(QStringLiteral("orvlog.txt"));
    Module1::EndWithUnhandledError(
        error, QStringLiteral("%1 (%2)\n\nEvery password check is written to this security log, so "
                              "Quillory cannot go on. Make the folder %3 writable, with room on "
                              "its disk, then start Quillory again.")
                   .arg(log, error.detail(), Module1::AppPath()));
}

// The button left after the check does what its caption says, however often it is pressed:
// "Continue" goes on to the main window, "Exit" ends the program.
void frmPassEntry::cmdPEContinue_Click() {
    if (mCheck == Check::NotYet)
        return;
    if (mCheck == Check::Refused) {
        UnloadAllForms();
        return;
    }
    mGateState = 0;
    Hide();
    emit Accepted();
}

void frmPassEntry::cmdPECancel_Click() {
    if (mCheck == Check::NotYet)
        UnloadAllForms();
}

void frmPassEntry::UnloadAllForms() {
    Module1::Forms().UnloadAll();
}

void frmPassEntry::closeEvent(QCloseEvent *event) {
    event->ignore();
    UnloadAllForms();
}
