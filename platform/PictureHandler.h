#pragma once

#include <QCache>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QTextObjectInterface>

class QTextImageFormat;
template <typename T> class QFutureWatcher;

// Lays out and draws the pictures of an entry: each at its stored size but never wider than the
// text, from a copy decoded once, away from the user interface, at the size it is shown at. The
// full picture is never drawn, and nothing but the pictures the document holds is ever read.
class PictureHandler final : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit PictureHandler(QObject *parent = nullptr);
    ~PictureHandler() override;

    // Draws the pictures of `document` from now on; forgets the copies made for another one.
    void Attach(QTextDocument *document);

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;

    // Starts making the copies of the pictures between the two positions, so that scrolling
    // to them finds them ready.
    void Prefetch(QTextDocument *document, int from, int to);

    // The width a picture at `position` may take: the text's width inside the margins of its
    // paragraph; 0 when the text has no width of its own yet.
    static qreal AvailableWidth(const QTextDocument &document, int position);

signals:
    // A picture's copy is ready to be drawn.
    void Decoded();

private:
    QSizeF StoredSize(const QTextDocument &document, const QTextImageFormat &format);
    // Starts decoding the picture `name` at `pixels` unless it is shown, on its way or failed;
    // returns the key of that copy.
    QString Prepare(const QTextDocument &document, const QString &name, QSize pixels);

    QHash<QString, QSize> m_pixelSizes; // by picture name
    QCache<QString, QPixmap> m_shown;   // by name and size, cost in KiB
    QHash<QString, QFutureWatcher<QImage> *> m_decoding;
    QSet<QString> m_unreadable;
    qint64 m_decodingKiB = 0;
    qreal m_ratio = 1; // device pixels per pixel where the pictures were drawn last
};
