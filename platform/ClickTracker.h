#pragma once

#include <QMouseEvent>
#include <QWidget>

// Tells a click from other mouse traffic: the left button pressed, then released over the same
// widget. Widgets with a Click event feed it their press and release.
class ClickTracker {
public:
    void Press(const QMouseEvent *event) { m_pressed = event->button() == Qt::LeftButton; }

    // Whether this release completes a click on `widget`.
    bool Release(const QMouseEvent *event, const QWidget *widget) {
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           widget->rect().contains(event->position().toPoint());
        m_pressed = false;
        return click;
    }

private:
    bool m_pressed = false;
};
