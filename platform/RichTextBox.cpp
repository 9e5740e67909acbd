#include "platform/RichTextBox.h"

#include "platform/KeyAscii.h"

#include <QKeyEvent>
#include <QMouseEvent>

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent) {}

void RichTextBox::keyPressEvent(QKeyEvent *event) {
    const int code = KeyAsciiOf(event);
    if (code >= 0) {
        qint16 keyAscii = static_cast<qint16>(code);
        emit KeyPress(keyAscii);
        if (keyAscii == 0) {
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::mousePressEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
    QTextEdit::mousePressEvent(event);
}
