#pragma once

#include "platform/ClickTracker.h"

#include <QLabel>

// A label with a Click event: the left button pressed and released over it.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString &caption = {}, QWidget *parent = nullptr);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ClickTracker m_click;
};
