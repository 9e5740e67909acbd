#pragma once

#include <QProxyStyle>

// Menus whose items show a check mark only while checked: an item that can be checked but is
// not looks like any other item, rather than carrying an empty box.
class CheckMarkOnlyMenuStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
};
