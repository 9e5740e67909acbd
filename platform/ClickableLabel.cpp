#include "platform/ClickableLabel.h"

#include <QMouseEvent>

ClickableLabel::ClickableLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent *event) {
    m_click.Press(event);
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    if (m_click.Release(event, this))
        emit Click();
}
