#include "tools/frmEgg.h"

#include "app/Flags.h"
#include "app/SharedRoutines.h"
#include "platform/Artwork.h"
#include "platform/ClickableLabel.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

const QColor kCardColor(255, 250, 232);
const QColor kEdgeColor(120, 90, 40);
const QColor kInkColor(0, 0, 128);

// The card's labels and picture have no click of their own, yet a click on them must not reach
// the card's background: a clickable label with nothing connected swallows it.
QLabel *MakeLabel(const QString &name, const QString &text, QWidget *parent) {
    auto *label = new ClickableLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

frmEgg::frmEgg()
    : lblEMsg1(MakeLabel(QStringLiteral("lblEMsg1"), QStringLiteral("Ha, You found it! :-)"), this))
    , Label1(MakeLabel(QStringLiteral("Label1"), QStringLiteral("NAME:"), this))
    , Label2(MakeLabel(QStringLiteral("Label2"), QStringLiteral("Orv Quill"), this))
    , Label3(MakeLabel(QStringLiteral("Label3"), QStringLiteral("STATUS:"), this))
    , Label4(MakeLabel(QStringLiteral("Label4"),
                       QStringLiteral("Weekend programmer, full-time tea drinker"), this))
    , Label5(MakeLabel(QStringLiteral("Label5"), QStringLiteral("GOAL:"), this))
    , Label6(MakeLabel(QStringLiteral("Label6"),
                       QStringLiteral("A journal that keeps every secret it is told"), this))
    , Label7(MakeLabel(QStringLiteral("Label7"), QStringLiteral("ADDRESS:"), this))
    , Label8(MakeLabel(QStringLiteral("Label8"),
                       QStringLiteral("7 Inkwell Lane, Papermill Green, Nowhereshire"), this))
    , Label9(MakeLabel(QStringLiteral("Label9"), QStringLiteral("DATE:"), this))
    , Label10(MakeLabel(QStringLiteral("Label10"), QStringLiteral("March 14, 1999"), this))
    , imgEgg(MakeLabel(QStringLiteral("imgEgg"), {}, this)) {
    MakeBorderlessWindow();
    BuildControls();
}

void frmEgg::BuildControls() {
    setObjectName(QStringLiteral("frmEgg"));
    setAccessibleName(QStringLiteral("Author's card"));

    const QFont text(QStringLiteral("Arial"), 9);
    QFont heading = text;
    heading.setBold(true);
    QFont title(QStringLiteral("Arial"), 12);
    title.setBold(true);

    lblEMsg1->setFont(title);
    const QString ink = QStringLiteral("color: %1; background: transparent;").arg(kInkColor.name());
    lblEMsg1->setStyleSheet(ink);
    imgEgg->setPixmap(Artwork::QuillAndInkwell(64));
    imgEgg->setAccessibleName(QStringLiteral("A quill in an inkwell"));

    auto *rows = new QGridLayout;
    rows->setHorizontalSpacing(12);
    rows->setVerticalSpacing(6);
    const QList<QPair<QLabel *, QLabel *>> pairs = {
        {Label1, Label2}, {Label3, Label4}, {Label5, Label6}, {Label7, Label8}, {Label9, Label10}};
    int row = 0;
    for (const auto &[head, value] : pairs) {
        head->setFont(heading);
        head->setStyleSheet(ink);
        value->setFont(text);
        value->setStyleSheet(QStringLiteral("background: transparent;"));
        head->setBuddy(value);
        rows->addWidget(head, row, 0, Qt::AlignRight | Qt::AlignTop);
        rows->addWidget(value, row, 1, Qt::AlignLeft | Qt::AlignTop);
        ++row;
    }

    auto *top = new QHBoxLayout;
    top->addWidget(imgEgg, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addWidget(lblEMsg1, 1, Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 24, 20);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(rows);
    FixSizeToContents();
}

void frmEgg::Form_Load() {
    if (Module1::Flags().gSoundOn == 1)
        Module1::PlayCue(QStringLiteral("\\graphics\\s_bilbo.wav"));
}

void frmEgg::paintEvent(QPaintEvent *) {
    // A plain card with a thin edge, since the window has no frame of its own.
    QPainter painter(this);
    painter.fillRect(rect(), kCardColor);
    painter.setPen(QPen(kEdgeColor, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void frmEgg::mousePressEvent(QMouseEvent *event) {
    m_click.Press(event);
}

void frmEgg::mouseReleaseEvent(QMouseEvent *event) {
    if (m_click.Release(event, this))
        Form_Click();
}

void frmEgg::closeEvent(QCloseEvent *event) {
    // Only a click on the card's background puts it away.
    event->ignore();
}

void frmEgg::Form_Click() {
    emit PutAway();
    Hide();
}
