#include "entry/frmNoFind.h"

#include "app/Flags.h"
#include "app/SharedRoutines.h"

#include <QStyle>

frmNoFind::frmNoFind()
    : MessageWindow(QStringLiteral("Not found!"))
    , lblNFTitle(MakeTitle(QStringLiteral("lblNFTitle"), QStringLiteral("Message"), kDarkBlue))
    , lblNF1(MakeHeading(QStringLiteral("lblNF1"), QStringLiteral("Message:"), kDarkBlue))
    , lblNF2(MakeText(QStringLiteral("lblNF2"), QStringLiteral("Can't find the word/phrase")))
    , lblNF3(MakeHeading(QStringLiteral("lblNF3"), QStringLiteral("Description:"), kDarkBlue))
    , lblNF4(
          MakeText(QStringLiteral("lblNF4"), QStringLiteral("Another occurrence can't be found")))
    , lblNF5(MakeHeading(QStringLiteral("lblNF5"), QStringLiteral("Cause:"), kDarkBlue))
    , lblNF6(MakeText(QStringLiteral("lblNF6"), QStringLiteral("Search routine")))
    , lblNF7(MakeHeading(QStringLiteral("lblNF7"), QStringLiteral("Action:"), kDarkBlue))
    , lblNF8(MakeText(QStringLiteral("lblNF8"), QStringLiteral("Will return to the main screen.")))
    , lblNFOK(MakeChoice(QStringLiteral("lblNFOK"), QStringLiteral("OK"), kDarkBlue))
    , imgNF(MakePicture(QStringLiteral("imgNF"),
                        style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32))) {
    setObjectName(QStringLiteral("frmNoFind"));
    imgNF->setAccessibleName(QStringLiteral("Information"));
    Arrange(imgNF, lblNFTitle,
            {{lblNF1, lblNF2}, {lblNF3, lblNF4}, {lblNF5, lblNF6}, {lblNF7, lblNF8}}, {lblNFOK});
    connect(lblNFOK, &ChoiceLabel::MouseMove, this, &frmNoFind::lblNFOK_MouseMove);
    connect(lblNFOK, &ChoiceLabel::Click, this, &frmNoFind::lblNFOK_Click);
}

void frmNoFind::Form_Load() {
    if (Module1::Flags().gSoundOn == 1)
        Module1::PlayCue(QStringLiteral("\\graphics\\s_nofinderror.wav"));
}

void frmNoFind::Form_MouseMove() {
    lblNFOK->SetBold(false);
    lblNFOK->SetForeColor(kRestBlue);
}

void frmNoFind::lblNFOK_MouseMove() {
    lblNFOK->SetBold(true);
    lblNFOK->SetForeColor(kHoverRed);
}

void frmNoFind::lblNFOK_Click() {
    Hide();
}
