#include "tools/frmAbout.h"

#include "platform/ClickableLabel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// Wide enough to fill any line the label can have.
QString Gap() {
    return {150, QLatin1Char(' ')};
}

} // namespace

QString AboutCredits() {
    return QStringLiteral(
               "The following people have helped me with this program  by studying their code:") +
           Gap() + QStringLiteral("The Qt Project and the contributors to Qt 6") + Gap() +
           QStringLiteral("The libcanberra developers") + Gap() + QStringLiteral("Thanks!") + Gap();
}

frmAbout::frmAbout()
    : lblAMsg(new ClickableLabel(AboutCredits(), this))
    , lblAMsg1(new ClickableLabel(QStringLiteral("https://www.orvsoftware.example/quillory "
                                                 "quillory@orvsoftware.example"),
                                  this))
    , lblAMsg2(new ClickableLabel(QStringLiteral("Thanks for trying my progrtam :-)"), this)) {
    MakeBorderlessWindow();
    BuildControls();
    // Each label takes its own clicks, so a click on it is not also one on the panel.
    connect(lblAMsg, &ClickableLabel::Click, this, &frmAbout::lblAMsg_Click);
    connect(lblAMsg1, &ClickableLabel::Click, this, &frmAbout::lblAMsg1_Click);
    connect(lblAMsg2, &ClickableLabel::Click, this, &frmAbout::lblAMsg2_Click);
}

void frmAbout::BuildControls() {
    setObjectName(QStringLiteral("frmAbout"));
    lblAMsg->setObjectName(QStringLiteral("lblAMsg"));
    lblAMsg1->setObjectName(QStringLiteral("lblAMsg1"));
    lblAMsg2->setObjectName(QStringLiteral("lblAMsg2"));
    setAccessibleName(QStringLiteral("About Quillory"));

    const QFont font(QStringLiteral("Arial"), 9);
    QFont bold = font;
    bold.setBold(true);
    for (QLabel *label : {lblAMsg, lblAMsg1, lblAMsg2}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: #000040; background: transparent;"));
        label->setCursor(Qt::PointingHandCursor);
    }
    lblAMsg->setFont(bold);
    lblAMsg2->setFont(bold);
    lblAMsg2->setAlignment(Qt::AlignHCenter);
    lblAMsg1->setAlignment(Qt::AlignHCenter);

    // The labels keep to the light middle of the gradient; its darker blue edges stay bare.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 56, 28, 52);
    layout->setSpacing(14);
    layout->addWidget(lblAMsg);
    layout->addWidget(lblAMsg1);
    layout->addStretch();
    layout->addWidget(lblAMsg2);
    setFixedSize(430, 320);
    // Every pixel is painted by the gradient.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void frmAbout::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintGradient(painter, kAboutGradient, height(), [this] { return width(); });
}

void frmAbout::mousePressEvent(QMouseEvent *event) {
    m_click.Press(event);
}

void frmAbout::mouseReleaseEvent(QMouseEvent *event) {
    if (m_click.Release(event, this))
        Form_Click();
}

void frmAbout::keyPressEvent(QKeyEvent *event) {
    // Without a title bar, Esc is the keyboard's way to put the panel away.
    if (event->key() == Qt::Key_Escape) {
        Hide();
        return;
    }
    Form::keyPressEvent(event);
}

void frmAbout::Form_Click() {
    Hide();
}

void frmAbout::lblAMsg_Click() {
    Hide();
}

void frmAbout::lblAMsg1_Click() {
    Hide(); // the addresses are only shown, never opened
}

void frmAbout::lblAMsg2_Click() {
    emit CardArmed();
    Hide();
}
