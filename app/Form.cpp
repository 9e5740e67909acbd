#include "app/Form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

Form::Form(QWidget *parent)
    : QWidget(parent, Qt::Window) {}

void Form::Show() {
    show();
    raise();
    activateWindow();
}

void Form::Hide() {
    hide();
}

void Form::MakeFixedWindowWithoutButtons() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void Form::MakeBorderlessWindow() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
}

void Form::FixSizeToContents() {
    if (layout())
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    setFixedSize(size());
}

void Form::closeEvent(QCloseEvent *event) {
    // A close request from the window manager hides, as the window's own buttons do.
    event->ignore();
    Hide();
}

void Form::showEvent(QShowEvent *event) {
    if (!m_centred) {
        m_centred = true;
        CenterOnScreen();
    }
    QWidget::showEvent(event);
}

void Form::CenterOnScreen() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
