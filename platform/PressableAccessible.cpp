#include "platform/PressableAccessible.h"

#include <QAbstractButton>

PressableAccessible::PressableAccessible(QWidget *control, QAccessible::Role role)
    : QAccessibleWidget(control, role) {}

QAccessible::State PressableAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget())) {
        state.checkable = button->isCheckable();
        state.checked = button->isChecked();
        state.pressed = button->isDown();
    }
    return state;
}

QStringList PressableAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (CanPress())
        names.prepend(pressAction());
    return names;
}

void PressableAccessible::doAction(const QString &action) {
    if (action != pressAction()) {
        QAccessibleWidget::doAction(action);
        return;
    }
    QMetaObject::invokeMethod(
        widget(),
        [this] {
            if (CanPress())
                Press();
        },
        Qt::QueuedConnection);
}

QStringList PressableAccessible::keyBindingsForAction(const QString &action) const {
    // The mouse is the only other way to press these controls.
    return action == pressAction() ? QStringList()
                                   : QAccessibleWidget::keyBindingsForAction(action);
}
