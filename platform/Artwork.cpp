#include "platform/Artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace Artwork {

QPixmap Padlock(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    QPen shackle(QColor(90, 90, 110), 1.6 * unit);
    painter.setPen(shackle);
    painter.drawArc(QRectF(4 * unit, 1.5 * unit, 8 * unit, 9 * unit), 0, 180 * 16);
    painter.drawLine(QPointF(4 * unit, 6 * unit), QPointF(4 * unit, 8 * unit));
    painter.drawLine(QPointF(12 * unit, 6 * unit), QPointF(12 * unit, 8 * unit));
    painter.setPen(QPen(QColor(120, 80, 0), 0.8 * unit));
    painter.setBrush(QColor(230, 180, 40));
    painter.drawRoundedRect(QRectF(2.5 * unit, 7.5 * unit, 11 * unit, 7.5 * unit), unit, unit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 50, 0));
    painter.drawEllipse(QPointF(8 * unit, 10.5 * unit), 1.1 * unit, 1.1 * unit);
    painter.drawRect(QRectF(7.5 * unit, 10.5 * unit, unit, 2.8 * unit));
    return picture;
}

} // namespace Artwork
