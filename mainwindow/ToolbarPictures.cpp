#include "mainwindow/ToolbarPictures.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

// One palette for every drawing, so the set reads as one family.
const QColor kInk(55, 60, 70);
const QColor kPaper(252, 252, 248);
const QColor kBlue(40, 100, 205);
const QColor kYellow(240, 196, 70);
const QColor kRed(205, 45, 45);
const QColor kGrey(150, 155, 165);

using Drawing = std::function<void(QPainter &)>;

void Page(QPainter &p, QRectF r) {
    const qreal fold = 5;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter &p, QRectF r, int count, const QColor &color = kGrey) {
    p.setPen(QPen(color, 1.4));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + i * r.height() / qMax(1, count - 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void Letter(QPainter &p, const QString &text, bool bold, bool italic, QRectF r,
            const QColor &color = kInk, int pixelSize = 18) {
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void Floppy(QPainter &p, const QColor &body) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(3.5, 3.5);
    path.lineTo(17.5, 3.5);
    path.lineTo(20.5, 6.5);
    path.lineTo(20.5, 20.5);
    path.lineTo(3.5, 20.5);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 12.5, 11, 8));
    p.setBrush(kGrey);
    p.drawRect(QRectF(7.5, 3.5, 8, 5));
}

void CalendarSheet(QPainter &p, QRectF r) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kRed);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 4.5));
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.left() + 4, r.top() - 2), QPointF(r.left() + 4, r.top() + 2));
    p.drawLine(QPointF(r.right() - 4, r.top() - 2), QPointF(r.right() - 4, r.top() + 2));
}

void Circle(QPainter &p, const QColor &fill, const QString &mark) {
    p.setPen(QPen(fill.darker(130), 1.2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    Letter(p, mark, true, false, QRectF(2.5, 2.5, 19, 19), Qt::white, 15);
}

void CenteredLines(QPainter &p) {
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::FlatCap));
    const qreal half[] = {8, 5, 8, 4, 7};
    for (int i = 0; i < 5; ++i) {
        const qreal y = 5 + i * 3.5;
        p.drawLine(QPointF(12 - half[i], y), QPointF(12 + half[i], y));
    }
}

void Magnifier(QPainter &p, QPointF centre, qreal radius) {
    p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7),
               centre + QPointF(radius * 1.6, radius * 1.6));
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(centre, radius, radius);
}

const QHash<QString, Drawing> &Drawings() {
    static const QHash<QString, Drawing> drawings = {
        {QStringLiteral("new"), [](QPainter &p) { Page(p, QRectF(5.5, 2.5, 13, 19)); }},
        {QStringLiteral("open"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(kYellow.darker(115));
             p.drawRect(QRectF(2.5, 6.5, 17, 13));
             p.drawRect(QRectF(2.5, 4.5, 7, 2));
             p.setBrush(kYellow);
             QPolygonF front({{5.5, 10.5}, {22.5, 10.5}, {19.5, 19.5}, {2.5, 19.5}});
             p.drawPolygon(front);
         }},
        {QStringLiteral("save"), [](QPainter &p) { Floppy(p, kBlue); }},
        {QStringLiteral("cut"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(8, 3), QPointF(15, 15));
             p.drawLine(QPointF(16, 3), QPointF(9, 15));
             p.setPen(QPen(kRed, 1.8));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(7.5, 18), 3.2, 3.2);
             p.drawEllipse(QPointF(16.5, 18), 3.2, 3.2);
         }},
        {QStringLiteral("copy"),
         [](QPainter &p) {
             Page(p, QRectF(3.5, 2.5, 11, 14));
             Page(p, QRectF(9.5, 7.5, 11, 14));
             TextLines(p, QRectF(11.5, 12, 6, 6), 3);
         }},
        {QStringLiteral("paste"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(QColor(175, 125, 70));
             p.drawRoundedRect(QRectF(3.5, 4.5, 14, 17), 1.5, 1.5);
             p.setBrush(kGrey);
             p.drawRect(QRectF(7.5, 2.5, 6, 4));
             Page(p, QRectF(10.5, 9.5, 10, 12));
             TextLines(p, QRectF(12.5, 14, 5, 5), 3);
         }},
        {QStringLiteral("date"),
         [](QPainter &p) {
             CalendarSheet(p, QRectF(3.5, 4.5, 17, 17));
             Letter(p, QStringLiteral("12"), true, false, QRectF(3.5, 9, 17, 12), kInk, 10);
         }},
        {QStringLiteral("time"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.4));
             p.setBrush(kPaper);
             p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
             for (int hour = 0; hour < 12; hour += 3) {
                 p.save();
                 p.translate(12, 12);
                 p.rotate(hour * 30);
                 p.drawLine(QPointF(0, -8.5), QPointF(0, -7));
                 p.restore();
             }
             p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 12), QPointF(12, 6));
             p.setPen(QPen(kRed, 1.6, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 12), QPointF(16.5, 14.5));
         }},
        {QStringLiteral("picture"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(QColor(170, 210, 245));
             p.drawRect(QRectF(2.5, 4.5, 19, 15));
             p.setPen(Qt::NoPen);
             p.setBrush(kYellow);
             p.drawEllipse(QPointF(16.5, 8.5), 2.2, 2.2);
             p.setBrush(QColor(70, 150, 70));
             p.drawPolygon(QPolygonF({{3, 19}, {9, 10}, {14, 19}}));
             p.drawPolygon(QPolygonF({{10, 19}, {15, 13}, {21, 19}}));
         }},
        {QStringLiteral("font"),
         [](QPainter &p) {
             Letter(p, QStringLiteral("A"), true, false, QRectF(0, 0, 16, 22), kInk, 20);
             Letter(p, QStringLiteral("a"), false, false, QRectF(12, 6, 12, 17), kBlue, 14);
         }},
        {QStringLiteral("color"),
         [](QPainter &p) {
             Letter(p, QStringLiteral("A"), true, false, QRectF(2, 0, 20, 18), kInk, 17);
             const QColor bands[] = {kRed, QColor(60, 170, 60), kBlue};
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 3; ++i) {
                 p.setBrush(bands[i]);
                 p.drawRect(QRectF(3 + i * 6, 18, 6, 4));
             }
         }},
        {QStringLiteral("center"), [](QPainter &p) { CenteredLines(p); }},
        {QStringLiteral("bold"),
         [](QPainter &p) { Letter(p, QStringLiteral("B"), true, false, QRectF(0, 0, 24, 24)); }},
        {QStringLiteral("italic"),
         [](QPainter &p) { Letter(p, QStringLiteral("I"), true, true, QRectF(0, 0, 24, 24)); }},
        {QStringLiteral("underline"),
         [](QPainter &p) {
             Letter(p, QStringLiteral("U"), true, false, QRectF(0, -2, 24, 22));
             p.setPen(QPen(kInk, 1.8));
             p.drawLine(QPointF(6, 21), QPointF(18, 21));
         }},
        {QStringLiteral("change"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(kYellow);
             p.drawEllipse(QPointF(7.5, 12), 4.8, 4.8);
             p.drawRect(QRectF(11.5, 10.5, 10, 3));
             p.drawRect(QRectF(17.5, 13.5, 2, 3));
             p.drawRect(QRectF(14.5, 13.5, 2, 2));
             p.setBrush(kPaper);
             p.drawEllipse(QPointF(6.5, 12), 1.6, 1.6);
         }},
        {QStringLiteral("calendar"),
         [](QPainter &p) {
             CalendarSheet(p, QRectF(2.5, 4.5, 19, 17));
             p.setPen(Qt::NoPen);
             p.setBrush(kInk);
             for (int row = 0; row < 3; ++row)
                 for (int column = 0; column < 4; ++column)
                     p.drawRect(QRectF(5 + column * 4, 11 + row * 3.5, 2, 2));
         }},
        {QStringLiteral("format"),
         [](QPainter &p) {
             Floppy(p, kGrey);
             p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(8, 14.5), QPointF(16, 14.5));
             p.drawLine(QPointF(8, 18), QPointF(14, 18));
         }},
        {QStringLiteral("view"),
         [](QPainter &p) {
             Page(p, QRectF(3.5, 2.5, 14, 19));
             TextLines(p, QRectF(6, 8, 8, 10), 4, kBlue);
             Magnifier(p, QPointF(15.5, 14.5), 3.8);
         }},
        {QStringLiteral("search"), [](QPainter &p) { Magnifier(p, QPointF(10, 10), 6); }},
        {QStringLiteral("sound"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(kGrey);
             p.drawPolygon(QPolygonF(
                 {{2.5, 9.5}, {6.5, 9.5}, {12, 4.5}, {12, 19.5}, {6.5, 14.5}, {2.5, 14.5}}));
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kBlue, 1.6, Qt::SolidLine, Qt::RoundCap));
             p.drawArc(QRectF(9, 7, 8, 10), -50 * 16, 100 * 16);
             p.drawArc(QRectF(8, 3, 14, 18), -50 * 16, 100 * 16);
         }},
        {QStringLiteral("help"), [](QPainter &p) { Circle(p, kBlue, QStringLiteral("?")); }},
        {QStringLiteral("about"),
         [](QPainter &p) { Circle(p, QColor(30, 140, 90), QStringLiteral("i")); }},
        {QStringLiteral("exit"),
         [](QPainter &p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(QColor(175, 125, 70));
             p.drawRect(QRectF(3.5, 2.5, 10, 19));
             p.setBrush(kYellow);
             p.drawEllipse(QPointF(11, 12), 1, 1);
             p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.drawLine(QPointF(14, 12), QPointF(22, 12));
             p.drawPolyline(QPolygonF({{18.5, 8.5}, {22, 12}, {18.5, 15.5}}));
         }},
    };
    return drawings;
}

// Names from the freedesktop icon naming scheme (and its common extensions) that fit each key.
const QHash<QString, QString> &ThemeNames() {
    static const QHash<QString, QString> names = {
        {QStringLiteral("new"), QStringLiteral("document-new")},
        {QStringLiteral("open"), QStringLiteral("document-open")},
        {QStringLiteral("save"), QStringLiteral("document-save")},
        {QStringLiteral("cut"), QStringLiteral("edit-cut")},
        {QStringLiteral("copy"), QStringLiteral("edit-copy")},
        {QStringLiteral("paste"), QStringLiteral("edit-paste")},
        {QStringLiteral("date"), QStringLiteral("x-office-calendar")},
        {QStringLiteral("time"), QStringLiteral("appointment-soon")},
        {QStringLiteral("picture"), QStringLiteral("insert-image")},
        {QStringLiteral("font"), QStringLiteral("preferences-desktop-font")},
        {QStringLiteral("color"), QStringLiteral("format-text-color")},
        {QStringLiteral("center"), QStringLiteral("format-justify-center")},
        {QStringLiteral("bold"), QStringLiteral("format-text-bold")},
        {QStringLiteral("italic"), QStringLiteral("format-text-italic")},
        {QStringLiteral("underline"), QStringLiteral("format-text-underline")},
        {QStringLiteral("change"), QStringLiteral("dialog-password")},
        {QStringLiteral("calendar"), QStringLiteral("office-calendar")},
        {QStringLiteral("format"), QStringLiteral("media-floppy")},
        {QStringLiteral("view"), QStringLiteral("document-properties")},
        {QStringLiteral("search"), QStringLiteral("edit-find")},
        {QStringLiteral("sound"), QStringLiteral("audio-volume-high")},
        {QStringLiteral("help"), QStringLiteral("help-contents")},
        {QStringLiteral("about"), QStringLiteral("help-about")},
        {QStringLiteral("exit"), QStringLiteral("application-exit")},
    };
    return names;
}

} // namespace

QPixmap DrawnToolbarPicture(const QString &key) {
    const auto drawing = Drawings().constFind(key);
    if (drawing == Drawings().constEnd())
        return {};
    QPixmap picture(24, 24);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    (*drawing)(painter);
    return picture;
}

QIcon ToolbarPicture(const QString &key) {
    QIcon drawn(DrawnToolbarPicture(key));
    const QString themeName = ThemeNames().value(key);
    if (themeName.isEmpty())
        return drawn;
    return QIcon::fromTheme(themeName, drawn);
}
