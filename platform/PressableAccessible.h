#pragma once

#include <QAccessibleWidget>
#include <QWidget>

// What a screen reader finds of a control a mouse user clicks: Press, its default action, runs
// what a click runs. The click runs after the screen reader's request has been answered, since
// it may open a blocking dialog or end the program while the screen reader waits.
class PressableAccessible : public QAccessibleWidget {
public:
    PressableAccessible(QWidget *control, QAccessible::Role role);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &action) override;
    QStringList keyBindingsForAction(const QString &action) const override;

protected:
    // Whether a click does anything at this moment.
    virtual bool CanPress() const { return widget()->isEnabled(); }
    virtual void Press() = 0;
};
