#include "platform/MenuStyle.h"

#include <QStyleOptionMenuItem>

void CheckMarkOnlyMenuStyle::drawControl(ControlElement element, const QStyleOption *option,
                                         QPainter *painter, const QWidget *widget) const {
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element == CE_MenuItem && item && item->checkType != QStyleOptionMenuItem::NotCheckable &&
        !item->checked) {
        QStyleOptionMenuItem unchecked(*item);
        unchecked.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(element, &unchecked, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
