#pragma once

#include "platform/ClickTracker.h"

#include <QAccessible>
#include <QLabel>

// A label with a Click event: the left button pressed and released over it. While something
// listens to Click, a screen reader can press the label too.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString &caption = {}, QWidget *parent = nullptr);

    // Whether a click on the label does anything.
    bool TakesClicks() const;
    // What a screen reader takes the label for.
    virtual QAccessible::Role AccessibleRole() const { return QAccessible::StaticText; }

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
};
