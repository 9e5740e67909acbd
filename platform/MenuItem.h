#pragma once

#include <QAction>

// Connects a menu item's Click handler. The check mark of a checkable item is the program's to
// set: choosing the item runs the handler with the mark as it was, not flipped by the menu.
template <class Receiver>
void ConnectClick(QAction *item, Receiver *receiver, void (Receiver::*handler)()) {
    QObject::connect(item, &QAction::triggered, receiver, [item, receiver, handler](bool checked) {
        if (item->isCheckable()) {
            const QSignalBlocker quiet(item);
            item->setChecked(!checked);
        }
        (receiver->*handler)();
    });
}
