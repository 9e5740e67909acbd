#include "platform/PictureHandler.h"

#include "platform/Pictures.h"
#include "platform/rtf/RtfImages.h"

#include <QAbstractTextDocumentLayout>
#include <QFutureWatcher>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace {

constexpr int kShownCopiesKiB = 128 * 1024;
// A picture shown larger (a very tall one, or on a very large screen) is drawn from a copy of
// this many pixels, stretched: every copy must fit in the cache many times over.
constexpr qint64 kMostCopyPixels = 8'000'000;
constexpr qreal kUnreadableSide = 32;

// Runs on a worker thread: `held` is a QByteArray or a QImage, never a QPixmap.
QImage DecodeHeld(const QVariant &held, QSize pixels) {
    QImage image = held.typeId() == QMetaType::QByteArray
                       ? Pictures::Decode(held.toByteArray(), pixels)
                       : held.value<QImage>();
    // Decoders shrink a picture but do not enlarge it.
    if (image.isNull() || image.size() == pixels)
        return image;
    return image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QSize HeldPixelSize(const QVariant &held) {
    switch (held.typeId()) {
    case QMetaType::QByteArray:
        return Pictures::PixelSize(held.toByteArray());
    case QMetaType::QPixmap:
        return held.value<QPixmap>().size();
    case QMetaType::QImage:
        return held.value<QImage>().size();
    default:
        return {};
    }
}

qint64 CostKiB(QSize pixels) {
    return std::max<qint64>(1, qint64(pixels.width()) * pixels.height() / 256);
}

QSize CopySize(QSizeF shown, qreal ratio) {
    QSizeF pixels = shown * ratio;
    const qreal area = pixels.width() * pixels.height();
    if (area > kMostCopyPixels)
        pixels *= std::sqrt(kMostCopyPixels / area);
    return pixels.toSize().expandedTo(QSize(1, 1));
}

} // namespace

PictureHandler::PictureHandler(QObject *parent)
    : QObject(parent) {
    m_shown.setMaxCost(kShownCopiesKiB);
}

PictureHandler::~PictureHandler() {
    // Decodings still running finish on their own; their results go nowhere.
    qDeleteAll(m_decoding);
}

void PictureHandler::Attach(QTextDocument *document) {
    qDeleteAll(m_decoding);
    m_decoding.clear();
    m_decodingKiB = 0;
    m_pixelSizes.clear();
    m_shown.clear();
    m_unreadable.clear();
    document->documentLayout()->registerHandler(QTextFormat::ImageObject, this);
}

qreal PictureHandler::AvailableWidth(const QTextDocument &document, int position) {
    const qreal text = document.textWidth();
    if (text <= 0)
        return 0;
    const QTextBlockFormat block = document.findBlock(position).blockFormat();
    const qreal width = text - 2 * document.documentMargin() - block.leftMargin() -
                        block.rightMargin() - block.indent() * document.indentWidth() -
                        std::max(0.0, block.textIndent());
    return std::max(width, 1.0);
}

QSizeF PictureHandler::StoredSize(const QTextDocument &document, const QTextImageFormat &format) {
    const bool hasWidth = format.hasProperty(QTextFormat::ImageWidth) && format.width() > 0;
    const bool hasHeight = format.hasProperty(QTextFormat::ImageHeight) && format.height() > 0;
    if (hasWidth && hasHeight)
        return {format.width(), format.height()};
    auto known = m_pixelSizes.constFind(format.name());
    if (known == m_pixelSizes.constEnd())
        known = m_pixelSizes.insert(format.name(),
                                    HeldPixelSize(RtfImages::Held(document, format.name())));
    const QSizeF pixels =
        known->isValid() ? QSizeF(*known) : QSizeF(kUnreadableSide, kUnreadableSide);
    if (hasWidth)
        return {format.width(), format.width() * pixels.height() / pixels.width()};
    if (hasHeight)
        return {format.height() * pixels.width() / pixels.height(), format.height()};
    return pixels;
}

QSizeF PictureHandler::intrinsicSize(QTextDocument *document, int position,
                                     const QTextFormat &format) {
    return Pictures::Fitted(StoredSize(*document, format.toImageFormat()),
                            AvailableWidth(*document, position));
}

void PictureHandler::Prefetch(QTextDocument *document, int from, int to) {
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const QSize pixels = CopySize(
                intrinsicSize(document, fragment.position(), fragment.charFormat()), m_ratio);
            // A bounded amount at a time; the cache lets the copies least recently drawn go.
            if (m_decodingKiB + CostKiB(pixels) > m_shown.maxCost() / 4)
                return;
            Prepare(*document, fragment.charFormat().toImageFormat().name(), pixels);
        }
    }
}

QString PictureHandler::Prepare(const QTextDocument &document, const QString &name, QSize pixels) {
    QString key = QStringLiteral("%1|%2x%3").arg(name).arg(pixels.width()).arg(pixels.height());
    if (m_shown.contains(key) || m_decoding.contains(key) || m_unreadable.contains(key))
        return key;
    QVariant held = RtfImages::Held(document, name);
    if (held.typeId() == QMetaType::QPixmap)
        held = held.value<QPixmap>().toImage(); // pixmaps belong to this thread
    auto *watcher = new QFutureWatcher<QImage>(this);
    m_decoding.insert(key, watcher);
    m_decodingKiB += CostKiB(pixels);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, key, pixels] {
        m_decoding.remove(key);
        m_decodingKiB -= CostKiB(pixels);
        watcher->deleteLater();
        const QImage image = watcher->result();
        if (image.isNull())
            m_unreadable.insert(key);
        else
            m_shown.insert(key, new QPixmap(QPixmap::fromImage(image)), CostKiB(pixels));
        emit Decoded();
    });
    watcher->setFuture(QtConcurrent::run(DecodeHeld, held, pixels));
    return key;
}

void PictureHandler::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int,
                                const QTextFormat &format) {
    m_ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QSize pixels = CopySize(rect.size(), m_ratio);
    const QString key = Prepare(*document, format.toImageFormat().name(), pixels);
    if (const QPixmap *copy = m_shown.object(key)) {
        if (pixels != (rect.size() * m_ratio).toSize()) {
            painter->drawPixmap(rect, *copy, copy->rect());
            return;
        }
        QPixmap shown = *copy;
        shown.setDevicePixelRatio(m_ratio);
        painter->drawPixmap(rect.topLeft(), shown);
        return;
    }
    // Its place, until the copy is ready; framed for good when it is no picture we can show.
    painter->save();
    painter->setPen(m_unreadable.contains(key) ? QPen(QColor(0x90, 0x90, 0x90)) : QPen(Qt::NoPen));
    painter->setBrush(QColor(0xE8, 0xE8, 0xE8));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}
