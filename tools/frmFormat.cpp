#include "tools/frmFormat.h"

#include "platform/CommandButton.h"
#include "platform/DriveListBox.h"
#include "platform/Services.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>

namespace {

// A 3.5" disk: dark shell, metal shutter, white label.
QPixmap FloppyPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath shell;
    shell.moveTo(s * 0.08, s * 0.06);
    shell.lineTo(s * 0.82, s * 0.06);
    shell.lineTo(s * 0.94, s * 0.18);
    shell.lineTo(s * 0.94, s * 0.94);
    shell.lineTo(s * 0.08, s * 0.94);
    shell.closeSubpath();
    painter.setPen(QPen(QColor(20, 20, 40), s / 32));
    painter.setBrush(QColor(45, 55, 90));
    painter.drawPath(shell);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(190, 195, 205));
    painter.drawRect(QRectF(s * 0.28, s * 0.06, s * 0.44, s * 0.30));
    painter.setBrush(QColor(45, 55, 90));
    painter.drawRect(QRectF(s * 0.56, s * 0.10, s * 0.10, s * 0.22));
    painter.setBrush(QColor(250, 250, 245));
    painter.drawRect(QRectF(s * 0.18, s * 0.48, s * 0.66, s * 0.42));
    painter.setPen(QPen(QColor(120, 140, 200), s / 48));
    for (int line = 0; line < 3; ++line) {
        const qreal y = s * (0.60 + 0.09 * line);
        painter.drawLine(QPointF(s * 0.24, y), QPointF(s * 0.78, y));
    }
    return picture;
}

} // namespace

QString FormatInstructions() {
    return QStringLiteral("1). Please insert the floppy disk in the drive BEFORE starting!") +
           QString(131, QLatin1Char(' ')) +
           QStringLiteral(
               "2). Select the correct drive from the Drive List Box and click the 'Format' "
               "button.");
}

frmFormat::frmFormat()
    : lblFMsg(new QLabel(FormatInstructions(), this))
    , lblFWarn(new QLabel(QStringLiteral("Warning: All data will be lost when formatted!! "), this))
    , fraFormat(new QFrame(this))
    , drvFormat(new DriveListBox(fraFormat))
    , cmdFormat(new CommandButton(QStringLiteral("&Format"), fraFormat))
    , cmdFContinue(new CommandButton(QStringLiteral("Can&cel"), this))
    , imgFormat(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Format 3.5\" floppy disk"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
}

void frmFormat::BuildControls() {
    setObjectName(QStringLiteral("frmFormat"));
    lblFMsg->setObjectName(QStringLiteral("lblFMsg"));
    lblFWarn->setObjectName(QStringLiteral("lblFWarn"));
    fraFormat->setObjectName(QStringLiteral("fraFormat"));
    drvFormat->setObjectName(QStringLiteral("drvFormat"));
    cmdFormat->setObjectName(QStringLiteral("cmdFormat"));
    cmdFContinue->setObjectName(QStringLiteral("cmdFContinue"));
    imgFormat->setObjectName(QStringLiteral("imgFormat"));

    lblFMsg->setTextFormat(Qt::PlainText);
    lblFMsg->setWordWrap(true);
    lblFMsg->setFixedWidth(380);
    lblFWarn->setTextFormat(Qt::PlainText);
    QFont warnFont = lblFWarn->font();
    warnFont.setBold(true);
    lblFWarn->setFont(warnFont);
    lblFWarn->setStyleSheet(QStringLiteral("color: #c00000;"));
    imgFormat->setPixmap(FloppyPicture(48));
    imgFormat->setAccessibleName(QStringLiteral("Floppy disk"));
    // A screen reader names a drop-down list by its choice and learns what the choice is from a
    // label beside it; this one is never shown.
    auto *drive = new QLabel(QStringLiteral("Drive"), fraFormat);
    drive->setObjectName(QStringLiteral("lblFDrive"));
    drive->setBuddy(drvFormat);
    drive->hide();
    drvFormat->setMinimumWidth(200);
    fraFormat->setFrameShape(QFrame::StyledPanel);
    fraFormat->setFrameShadow(QFrame::Sunken);

    auto *frameLayout = new QHBoxLayout(fraFormat);
    frameLayout->addWidget(drvFormat, 1);
    frameLayout->addWidget(cmdFormat);

    auto *text = new QVBoxLayout;
    text->addWidget(lblFMsg);
    text->addWidget(lblFWarn);
    auto *top = new QHBoxLayout;
    top->addWidget(imgFormat, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(text);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdFContinue);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(fraFormat);
    layout->addLayout(bottom);

    setTabOrder(drvFormat, cmdFormat);
    setTabOrder(cmdFormat, cmdFContinue);
    // No Load handler: the window opens on the drive list with the drive it selected itself.
    drvFormat->setFocus();

    connect(cmdFormat, &QPushButton::clicked, this, &frmFormat::cmdFormat_Click);
    connect(cmdFContinue, &QPushButton::clicked, this, &frmFormat::cmdFContinue_Click);
    FixSizeToContents();
}

void frmFormat::cmdFormat_Click() {
    const QString driveText = drvFormat->Drive().toUpper();
    const int driveNumber = DriveNumberOf(driveText);
    DriveService &drives = *Services::Current().drives;
    if (drives.DriveType(driveText) != DriveKind::Removable) {
        FormatDialogClosed();
        return;
    }
    // The format dialog belongs to this window: it waits, disabled, until the dialog is gone,
    // while the rest of the program stays usable.
    m_waiting = true;
    setEnabled(false);
    QPointer<frmFormat> self(this);
    drives.FormatDrive(this, driveNumber, [self] {
        if (self)
            self->FormatDialogClosed();
    });
}

void frmFormat::FormatDialogClosed() {
    m_waiting = false;
    setEnabled(true);
    cmdFContinue->SetCaption(QStringLiteral("Done"));
}

void frmFormat::cmdFContinue_Click() {
    Hide();
}
