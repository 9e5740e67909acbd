#include "platform/CommandButton.h"

#include "platform/AccessibleName.h"

#include <QPointer>
#include <QShortcutEvent>

namespace {

constexpr int kPressedLookMs = 100; // as long as Qt's own animated press

} // namespace

CommandButton::CommandButton(const QString &caption, QWidget *parent)
    : QPushButton(parent) {
    setAutoDefault(true); // Enter on the focused button presses it
    setDefault(false);
    SetCaption(caption);
    m_pressedLook.setSingleShot(true);
    m_pressedLook.setInterval(kPressedLookMs);
    connect(&m_pressedLook, &QTimer::timeout, this, [this] { setDown(false); });
}

void CommandButton::SetCaption(const QString &caption) {
    setText(caption);
    setAccessibleName(AccessibleNameOf(caption));
}

bool CommandButton::event(QEvent *event) {
    // Qt presses a button by its access key only after showing it pressed for a while; the
    // command runs now instead, and the pressed look follows.
    if (event->type() != QEvent::Shortcut || static_cast<QShortcutEvent *>(event)->isAmbiguous())
        return QPushButton::event(event);
    if (isEnabled() && !m_pressedLook.isActive()) {
        const QPointer<CommandButton> alive(this);
        click();
        if (alive) {
            setDown(true);
            m_pressedLook.start();
        }
    }
    return true;
}
