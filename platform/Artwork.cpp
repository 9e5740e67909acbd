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

namespace {

void DrawQuillAndInkwell(QPainter &painter, qreal size) {
    const qreal unit = size / 16.0;

    // The feather: a curved vane leaning right, its shaft running down into the well.
    QPainterPath vane;
    vane.moveTo(6.2 * unit, 10.5 * unit);
    vane.cubicTo(5.0 * unit, 6.5 * unit, 9.0 * unit, 2.0 * unit, 14.5 * unit, 0.8 * unit);
    vane.cubicTo(13.0 * unit, 4.5 * unit, 10.0 * unit, 8.5 * unit, 6.2 * unit, 10.5 * unit);
    painter.setPen(QPen(QColor(110, 110, 130), 0.4 * unit));
    painter.setBrush(QColor(245, 245, 250));
    painter.drawPath(vane);
    painter.setPen(QPen(QColor(150, 150, 170), 0.3 * unit));
    for (int barb = 1; barb <= 4; ++barb) {
        const qreal t = barb / 5.0;
        const QPointF on(6.2 * unit + t * 8.3 * unit, 10.5 * unit - t * 9.7 * unit);
        painter.drawLine(on, on + QPointF(-1.4 * unit, -0.6 * unit));
    }
    painter.setPen(QPen(QColor(80, 60, 30), 0.5 * unit));
    painter.drawLine(QPointF(14.5 * unit, 0.8 * unit), QPointF(5.6 * unit, 12.0 * unit));

    // The inkwell: a squat dark bottle with a lighter rim.
    painter.setPen(QPen(QColor(20, 20, 40), 0.5 * unit));
    painter.setBrush(QColor(30, 40, 90));
    painter.drawRoundedRect(QRectF(2.0 * unit, 11.0 * unit, 8.0 * unit, 4.5 * unit), unit, unit);
    painter.setBrush(QColor(90, 100, 150));
    painter.drawRect(QRectF(3.8 * unit, 10.0 * unit, 4.4 * unit, 1.2 * unit));
}

} // namespace

QPixmap QuillAndInkwell(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawQuillAndInkwell(painter, size);
    return picture;
}

void DrawApplicationIcon(QPainter &painter, qreal size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    // The page, bound on its left edge, ruled for writing.
    painter.setPen(QPen(QColor(110, 80, 40), 0.5 * unit));
    painter.setBrush(QColor(250, 244, 225));
    painter.drawRoundedRect(QRectF(1.5 * unit, 0.75 * unit, 12.5 * unit, 14.5 * unit), unit, unit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 40, 40));
    painter.drawRect(QRectF(1.75 * unit, 1.0 * unit, 1.75 * unit, 14.0 * unit));
    painter.setPen(QPen(QColor(150, 165, 205), 0.5 * unit));
    for (const qreal y : {3.5, 5.5, 7.5, 9.5})
        painter.drawLine(QPointF(4.5 * unit, y * unit), QPointF(12.5 * unit, y * unit));
    // The quill and its inkwell stand on the lower right of the page.
    painter.translate(4.0 * unit, 3.0 * unit);
    DrawQuillAndInkwell(painter, 0.8 * size);
    painter.restore();
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        DrawApplicationIcon(painter, size);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace Artwork
