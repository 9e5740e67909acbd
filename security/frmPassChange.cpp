#include "security/frmPassChange.h"

#include "app/Flags.h"
#include "app/Run.h"
#include "app/SharedRoutines.h"
#include "platform/Artwork.h"
#include "platform/CommandButton.h"
#include "platform/EtchedLine.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "platform/TextBox.h"
#include "security/PasswordStore.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValidator>

namespace {

// A password the files would not give back as typed could never be typed at the gate again:
// characters outside the code page, an apostrophe (stored as the comma that ends the field),
// codes 251 to 255 (stored unshifted). They are refused as they are typed or pasted.
class StorableTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        return PasswordStore::CanStore(input) ? Acceptable : Invalid;
    }
};

QString WriteFailureText(const QString &path, const RuntimeError &error) {
    QString why = error.description();
    if (!error.detail().isEmpty())
        why += QStringLiteral(" (") + error.detail() + QLatin1Char(')');
    return QStringLiteral("\"%1\" could not be written: %2.").arg(path, why);
}

} // namespace

frmPassChange::frmPassChange()
    : lblCPMsg(new QLabel(
          QStringLiteral("Please enter the new passwords in the appropriate boxes."), this))
    , lblMCPass1(new QLabel(QStringLiteral("Pass #1:"), this))
    , txtPCPass1(new TextBox(this))
    , lblCPPass2(new QLabel(QStringLiteral("Pass #2:"), this))
    , txtPCPass2(new TextBox(this))
    , cmdPCContinue(new CommandButton(QStringLiteral("C&ontinue"), this))
    , cmdPCCancel(new CommandButton(QStringLiteral("Can&cel"), this))
    , cmdPCClear(new CommandButton(QStringLiteral("Cle&ar"), this))
    , Line1(MakeEtchedLine(QStringLiteral("Line1"), this))
    , Line2(MakeEtchedLine(QStringLiteral("Line2"), this))
    , Image1(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Change passwords"));
    MakeFixedWindowWithoutButtons();
    BuildControls();
}

void frmPassChange::BuildControls() {
    setObjectName(QStringLiteral("frmPassChange"));
    lblCPMsg->setObjectName(QStringLiteral("lblCPMsg"));
    lblMCPass1->setObjectName(QStringLiteral("lblMCPass1"));
    txtPCPass1->setObjectName(QStringLiteral("txtPCPass1"));
    lblCPPass2->setObjectName(QStringLiteral("lblCPPass2"));
    txtPCPass2->setObjectName(QStringLiteral("txtPCPass2"));
    cmdPCContinue->setObjectName(QStringLiteral("cmdPCContinue"));
    cmdPCCancel->setObjectName(QStringLiteral("cmdPCCancel"));
    cmdPCClear->setObjectName(QStringLiteral("cmdPCClear"));
    Image1->setObjectName(QStringLiteral("Image1"));

    // The new passwords show in clear, as typed.
    for (TextBox *box : {txtPCPass1, txtPCPass2}) {
        box->setValidator(new StorableTextValidator(box));
        connect(box, &QLineEdit::inputRejected, this, [this, box] { RefuseCharacter(box); });
    }
    txtPCPass1->setAccessibleName(QStringLiteral("Pass #1"));
    txtPCPass2->setAccessibleName(QStringLiteral("Pass #2"));
    lblMCPass1->setBuddy(txtPCPass1);
    lblCPPass2->setBuddy(txtPCPass2);
    Image1->setPixmap(Artwork::Padlock(48));
    Image1->setAccessibleName(QStringLiteral("Padlock"));
    lblCPMsg->setWordWrap(true);
    txtPCPass1->setMinimumWidth(220);

    auto *boxes = new QGridLayout;
    boxes->addWidget(lblMCPass1, 0, 0);
    boxes->addWidget(txtPCPass1, 0, 1);
    boxes->addWidget(lblCPPass2, 1, 0);
    boxes->addWidget(txtPCPass2, 1, 1);
    auto *middle = new QHBoxLayout;
    middle->addWidget(Image1, 0, Qt::AlignTop);
    middle->addSpacing(12);
    middle->addLayout(boxes);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPCClear);
    buttons->addStretch();
    buttons->addWidget(cmdPCContinue);
    buttons->addWidget(cmdPCCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblCPMsg);
    layout->addWidget(Line1);
    layout->addLayout(middle);
    layout->addWidget(Line2);
    layout->addLayout(buttons);

    setTabOrder(cmdPCContinue, cmdPCCancel);
    setTabOrder(cmdPCCancel, txtPCPass1);
    setTabOrder(txtPCPass1, txtPCPass2);
    setTabOrder(txtPCPass2, cmdPCClear);

    connect(txtPCPass1, &TextBox::KeyPress, this, &frmPassChange::txtPCPass1_KeyPress);
    connect(txtPCPass2, &TextBox::KeyPress, this, &frmPassChange::txtPCPass2_KeyPress);
    connect(cmdPCClear, &QPushButton::clicked, this, &frmPassChange::cmdPCClear_Click);
    connect(cmdPCCancel, &QPushButton::clicked, this, &frmPassChange::cmdPCCancel_Click);
    connect(cmdPCContinue, &QPushButton::clicked, this, &frmPassChange::cmdPCContinue_Click);
    FixSizeToContents();
}

void frmPassChange::Form_Load() {
    Show();
    txtPCPass1->setFocus();
}

void frmPassChange::txtPCPass1_KeyPress(qint16 &keyAscii) {
    Module1::EnterAsTab(keyAscii);
}

void frmPassChange::txtPCPass2_KeyPress(qint16 &keyAscii) {
    Module1::EnterAsTab(keyAscii);
}

void frmPassChange::RefuseCharacter(TextBox *box) {
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())),
                       QStringLiteral("A password cannot hold this character: the password "
                                      "file would not give it back as typed."),
                       box);
}

void frmPassChange::cmdPCClear_Click() {
    txtPCPass1->setText(QString());
    txtPCPass2->setText(QString());
}

void frmPassChange::cmdPCCancel_Click() {
    Hide();
}

void frmPassChange::cmdPCContinue_Click() {
    try {
        PasswordStore::WriteStoredPasswords(
            Module1::AppFile(QLatin1String(PasswordStore::kFirstFile)), txtPCPass1->text(),
            Module1::AppFile(QLatin1String(PasswordStore::kSecondFile)), txtPCPass2->text());
    } catch (const PasswordStore::WriteFailure &failure) {
        Services::Current().messageBox->ShowCritical(
            windowTitle(),
            QStringLiteral("The passwords could not be saved. ") +
                WriteFailureText(failure.path, failure) +
                (failure.firstReplaced
                     ? QStringLiteral("\n\nThe first password WAS changed: at the next start, "
                                      "Pass #1 is the new password and Pass #2 is still the old "
                                      "one.")
                     : QStringLiteral("\n\nNeither password was changed.")));
        return;
    }
    if (Module1::Flags().gSoundOn == 1)
        Module1::PlayCue(QStringLiteral("\\graphics\\s_saveddata.wav"));
    emit PasswordsSaved();
}
