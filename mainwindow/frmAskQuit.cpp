#include "mainwindow/frmAskQuit.h"

#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "app/SharedRoutines.h"

#include <QStyle>

frmAskQuit::frmAskQuit()
    : MessageWindow(QStringLiteral("Quit program?"))
    , lblAQTitle(MakeTitle(QStringLiteral("lblAQTitle"), QStringLiteral("Message"), kDarkBlue))
    , lblAQ1(MakeHeading(QStringLiteral("lblAQ1"), QStringLiteral("Message:"), kDarkBlue))
    , lblAQ2(MakeText(QStringLiteral("lblAQ2"), QStringLiteral("Do you really wish to quit?")))
    , lblAQ3(MakeHeading(QStringLiteral("lblAQ3"), QStringLiteral("Description:"), kDarkBlue))
    , lblAQ4(MakeText(QStringLiteral("lblAQ4"),
                      QStringLiteral("It seems you have indicated this desire")))
    , lblAQ5(MakeHeading(QStringLiteral("lblAQ5"), QStringLiteral("Cause:"), kDarkBlue))
    , lblAQ6(MakeText(QStringLiteral("lblAQ6"), QStringLiteral("Dectected a 'Quit' button click")))
    , lblAQ7(MakeHeading(QStringLiteral("lblAQ7"), QStringLiteral("Action:"), kDarkBlue))
    , lblAQ8(MakeText(QStringLiteral("lblAQ8"), QStringLiteral("Will exit program if desired")))
    , lblAQYes(MakeChoice(QStringLiteral("lblAQYes"), QStringLiteral("Yes"), kDarkBlue))
    , lblAQNo(MakeChoice(QStringLiteral("lblAQNo"), QStringLiteral("No"), kDarkBlue))
    , imgAQuit(MakePicture(QStringLiteral("imgAQuit"),
                           style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32))) {
    setObjectName(QStringLiteral("frmAskQuit"));
    imgAQuit->setAccessibleName(QStringLiteral("Question"));
    Arrange(imgAQuit, lblAQTitle,
            {{lblAQ1, lblAQ2}, {lblAQ3, lblAQ4}, {lblAQ5, lblAQ6}, {lblAQ7, lblAQ8}},
            {lblAQYes, lblAQNo});
    connect(lblAQYes, &ChoiceLabel::MouseMove, this, &frmAskQuit::lblAQYes_MouseMove);
    connect(lblAQNo, &ChoiceLabel::MouseMove, this, &frmAskQuit::lblAQNo_MouseMove);
    connect(lblAQYes, &ChoiceLabel::Click, this, &frmAskQuit::lblAQYes_Click);
    connect(lblAQNo, &ChoiceLabel::Click, this, &frmAskQuit::lblAQNo_Click);
}

void frmAskQuit::Form_Load() {
    if (Module1::Flags().gSoundOn == 1)
        Module1::PlayCue(QStringLiteral("\\graphics\\s_question.wav"));
}

void frmAskQuit::Form_MouseMove() {
    lblAQNo->SetBold(false);
    lblAQNo->SetForeColor(kRestBlue);
    lblAQYes->SetBold(false);
    lblAQYes->SetForeColor(kRestBlue);
}

void frmAskQuit::lblAQNo_MouseMove() {
    lblAQNo->SetBold(true);
    lblAQNo->SetForeColor(kHoverRed);
}

void frmAskQuit::lblAQYes_MouseMove() {
    lblAQYes->SetBold(true);
    lblAQYes->SetForeColor(kHoverRed);
}

void frmAskQuit::lblAQNo_Click() {
    Hide();
}

void frmAskQuit::lblAQYes_Click() {
    Module1::Forms().UnloadAll();
}
