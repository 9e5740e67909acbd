#include "entry/frmFileErr.h"

#include "app/Flags.h"
#include "app/SharedRoutines.h"
#include "platform/RuntimeError.h"

#include <QStyle>

frmFileErr::frmFileErr(int errorNumber)
    : MessageWindow(QStringLiteral("File error!"))
    , lblFETitle(MakeTitle(QStringLiteral("lblFETitle"), QStringLiteral("Message"), kHoverRed))
    , lblFE1(MakeHeading(QStringLiteral("lblFE1"), QStringLiteral("Message:"), kHoverRed))
    , lblFE3(MakeText(QStringLiteral("lblFE3"), QStringLiteral("An error has occurred!")))
    , lblFE4(MakeHeading(QStringLiteral("lblFE4"), QStringLiteral("Description:"), kHoverRed))
    , lblFE5(MakeText(QStringLiteral("lblFE5"), QStringLiteral("L")))
    , lblFE6(MakeHeading(QStringLiteral("lblFE6"), QStringLiteral("Cause:"), kHoverRed))
    , lblFE7(MakeText(QStringLiteral("lblFE7"), QStringLiteral("Open/save routine")))
    , lblFE8(MakeHeading(QStringLiteral("lblFE8"), QStringLiteral("Action:"), kHoverRed))
    , lblFE9(MakeText(QStringLiteral("lblFE9"), QStringLiteral("Will return to the main screen")))
    , lblFEOK(MakeChoice(QStringLiteral("lblFEOK"), QStringLiteral("OK"), kHoverRed))
    , imgFE(MakePicture(QStringLiteral("imgFE"),
                        style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32)))
    , mErrorNumber(errorNumber) {
    setObjectName(QStringLiteral("frmFileErr"));
    imgFE->setAccessibleName(QStringLiteral("Error"));
    Arrange(imgFE, lblFETitle,
            {{lblFE1, lblFE3}, {lblFE4, lblFE5}, {lblFE6, lblFE7}, {lblFE8, lblFE9}}, {lblFEOK});
    connect(lblFEOK, &ChoiceLabel::MouseMove, this, &frmFileErr::lblFEOK_MouseMove);
    connect(lblFEOK, &ChoiceLabel::Click, this, &frmFileErr::lblFEOK_Click);
}

QString frmFileErr::MessageFor(int errorNumber) {
    switch (errorNumber) {
    case ErrorNumber::FileNotFound:
        return QStringLiteral("That file wasn't found!");
    case ErrorNumber::DeviceIOError:
        return QStringLiteral("The device isn't working!");
    case ErrorNumber::DiskFull:
        return QStringLiteral("Your disk is full!");
    case ErrorNumber::DeviceUnavailable:
        return QStringLiteral("The drive isn't turned on!");
    case ErrorNumber::DiskNotReady:
        return QStringLiteral("Please insert a disk first!");
    case ErrorNumber::PathFileAccessError:
        return QStringLiteral("Can't find the path\\filename!");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("Can't find the specified path!");
    default:
        return {};
    }
}

void frmFileErr::Form_Load() {
    if (Module1::Flags().gSoundOn == 1)
        Module1::PlayCue(QStringLiteral("\\graphics\\s_error.wav"));
    SetForeColor(lblFE5, Qt::black);
    const QString message = MessageFor(mErrorNumber);
    if (!message.isEmpty())
        lblFE5->setText(message);
}

void frmFileErr::Form_MouseMove() {
    lblFEOK->SetBold(false);
}

void frmFileErr::lblFEOK_MouseMove() {
    lblFEOK->SetBold(true);
}

void frmFileErr::lblFEOK_Click() {
    Hide();
}
