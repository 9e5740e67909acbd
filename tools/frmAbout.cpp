#include "tools/frmAbout.h"

#include "app/Module1.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <functional>

namespace {

// A label that reports a click: a left press and release over it. Its mouse events stop here,
// so a click on it is not also a click on the panel.
class ClickLabel final : public QLabel {
public:
    ClickLabel(const QString &text, std::function<void()> onClick, QWidget *parent)
        : QLabel(text, parent)
        , m_onClick(std::move(onClick)) {}

protected:
    void mousePressEvent(QMouseEvent *event) override {
        m_pressed = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent *event) override {
        event->accept();
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        m_pressed = false;
        if (click)
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
    bool m_pressed = false;
};

// Wide enough to fill any line the label can have.
QString Gap() {
    return QString(150, QLatin1Char(' '));
}

} // namespace

QString AboutCredits() {
    return QStringLiteral(
               "The following people have helped me with this program  by studying their code:") +
           Gap() + QStringLiteral("The Qt Project and the contributors to Qt 6") + Gap() +
           QStringLiteral("The libcanberra developers") + Gap() + QStringLiteral("Thanks!") + Gap();
}

frmAbout::frmAbout()
    : lblAMsg(new ClickLabel(
          AboutCredits(), [this] { lblAMsg_Click(); }, this))
    , lblAMsg1(new ClickLabel(
          QStringLiteral("https://www.orvsoftware.example/quillory "
                         "quillory@orvsoftware.example"),
          [this] { lblAMsg1_Click(); }, this))
    , lblAMsg2(new ClickLabel(
          QStringLiteral("Thanks for trying my progrtam :-)"), [this] { lblAMsg2_Click(); },
          this)) {
    MakeBorderlessWindow();
    BuildControls();
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
    m_pressed = event->button() == Qt::LeftButton;
}

void frmAbout::mouseReleaseEvent(QMouseEvent *event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
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
    Module1::gCardArmed = 1;
    Hide();
}
