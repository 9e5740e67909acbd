#include "platform/CommandButton.h"

#include "platform/AccessibleName.h"

CommandButton::CommandButton(const QString &caption, QWidget *parent)
    : QPushButton(parent) {
    setAutoDefault(true); // Enter on the focused button presses it
    setDefault(false);
    SetCaption(caption);
}

void CommandButton::SetCaption(const QString &caption) {
    setText(caption);
    setAccessibleName(AccessibleNameOf(caption));
}
