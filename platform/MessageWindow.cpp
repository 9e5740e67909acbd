#include "platform/MessageWindow.h"

#include "platform/AccessibleName.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

QFont ArialFont(int pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    return font;
}

QFrame *MakeLine(const QString &name, const QColor &color, QWidget *parent) {
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    // The lines are part of the background: the pointer over them reaches the window.
    line->setMouseTracking(true);
    return line;
}

// The pointer over this control belongs to it, not to the window beneath.
void KeepPointerMoves(QWidget *control) {
    control->setAttribute(Qt::WA_NoMousePropagation);
}

} // namespace

ChoiceLabel::ChoiceLabel(const QString &caption, QWidget *parent)
    : ClickableLabel(caption, parent) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(AccessibleNameOf(caption));
}

void ChoiceLabel::SetBold(bool bold) {
    QFont bolder = font();
    bolder.setBold(bold);
    setFont(bolder);
}

QColor ChoiceLabel::ForeColor() const {
    return MessageWindow::ForeColorOf(this);
}

void ChoiceLabel::SetForeColor(const QColor &color) {
    MessageWindow::SetForeColor(this, color);
}

void ChoiceLabel::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
    emit MouseMove();
}

MessageWindow::MessageWindow(const QString &caption)
    : Line1(MakeLine(QStringLiteral("Line1"), palette().color(QPalette::Dark), this))
    , Line2(MakeLine(QStringLiteral("Line2"), Qt::white, this)) {
    setWindowTitle(caption);
    MakeFixedWindowWithoutButtons();
    setFont(ArialFont(9, false));
    setMouseTracking(true);
}

QColor MessageWindow::ForeColorOf(const QLabel *label) {
    return label->palette().color(QPalette::WindowText);
}

void MessageWindow::SetForeColor(QLabel *label, const QColor &color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel *MessageWindow::MakeTitle(const QString &name, const QString &caption, const QColor &color) {
    QLabel *title = MakeText(name, caption);
    title->setFont(ArialFont(12, true));
    SetForeColor(title, color);
    return title;
}

QLabel *MessageWindow::MakeHeading(const QString &name, const QString &caption,
                                   const QColor &color) {
    QLabel *heading = MakeText(name, caption);
    heading->setFont(ArialFont(9, true));
    heading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetForeColor(heading, color);
    return heading;
}

QLabel *MessageWindow::MakeText(const QString &name, const QString &caption) {
    auto *label = new QLabel(caption, this);
    label->setObjectName(name);
    KeepPointerMoves(label);
    return label;
}

ChoiceLabel *MessageWindow::MakeChoice(const QString &name, const QString &caption,
                                       const QColor &color) {
    auto *choice = new ChoiceLabel(caption, this);
    choice->setObjectName(name);
    choice->SetForeColor(color);
    // Room for the bold caption, so the highlight does not shift the line.
    QFont bold = choice->font();
    bold.setBold(true);
    choice->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(caption) + 16);
    choice->setAlignment(Qt::AlignCenter);
    return choice;
}

QLabel *MessageWindow::MakePicture(const QString &name, const QPixmap &picture) {
    QLabel *image = MakeText(name, QString());
    image->setPixmap(picture);
    image->setFixedSize(picture.size() / picture.devicePixelRatio());
    return image;
}

void MessageWindow::Arrange(QLabel *picture, QLabel *title, const QList<Row> &rows,
                            const QList<ChoiceLabel *> &choices) {
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignLeft | Qt::AlignVCenter);
    top->addStretch(1);
    top->addWidget(title, 0, Qt::AlignCenter);
    top->addStretch(1);
    top->addSpacing(picture->width());

    auto *separator = new QVBoxLayout;
    separator->setSpacing(0);
    separator->addWidget(Line1);
    separator->addWidget(Line2);

    auto *table = new QGridLayout;
    table->setHorizontalSpacing(10);
    table->setVerticalSpacing(6);
    for (int i = 0; i < rows.size(); ++i) {
        table->addWidget(rows[i].heading, i, 0);
        table->addWidget(rows[i].text, i, 1);
    }
    table->setColumnStretch(1, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    for (ChoiceLabel *choice : choices)
        bottom->addWidget(choice);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addLayout(separator);
    layout->addLayout(table);
    layout->addLayout(bottom);
    FixSizeToContents();
}

void MessageWindow::mouseMoveEvent(QMouseEvent *event) {
    Form_MouseMove();
    Form::mouseMoveEvent(event);
}
