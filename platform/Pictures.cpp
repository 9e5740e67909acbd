#include "platform/Pictures.h"

#include "platform/rtf/RtfImages.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>
#include <cmath>
#include <utility>

namespace Pictures {

namespace {

// A reader over the bytes that turns pictures upright and allocates no more than the largest
// picture we accept needs (Qt's own default of 256 MB would refuse some of those).
struct Reader {
    QBuffer buffer;
    QImageReader reader;
    explicit Reader(const QByteArray &encoded) {
        buffer.setData(encoded);
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setAutoTransform(true);
        reader.setAllocationLimit(int(kMaxPixels * 4 / 1'048'576) + 64);
    }
    bool Turned() const {
        return reader.transformation() & QImageIOHandler::TransformationRotate90;
    }
};

} // namespace

QSize PixelSize(const QByteArray &encoded) {
    Reader read(encoded);
    const QSize stored = read.reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return {};
    return read.Turned() ? stored.transposed() : stored;
}

bool TooLarge(QSize pixels) {
    return qint64(pixels.width()) * pixels.height() > kMaxPixels;
}

QString TooLargeText(QSize pixels) {
    const QLocale locale;
    return QStringLiteral("The picture is too large to put in the entry: %1 x %2 pixels "
                          "(%3 megapixels). Pictures of up to %4 megapixels can be used; make "
                          "it smaller in a picture editor first.")
        .arg(locale.toString(pixels.width()), locale.toString(pixels.height()),
             locale.toString(qint64(pixels.width()) * pixels.height() / 1'000'000),
             locale.toString(kMaxPixels / 1'000'000));
}

QImage Decode(const QByteArray &encoded, QSize target) {
    Reader read(encoded);
    const QSize stored = read.reader.size();
    if (!stored.isValid() || stored.isEmpty() || TooLarge(stored))
        return {};
    // The scaled size applies to the picture as stored, before it is turned.
    const QSize scaled = read.Turned() ? target.transposed() : target;
    if (!scaled.isEmpty() && scaled.width() < stored.width())
        read.reader.setScaledSize(scaled);
    return read.reader.read();
}

QSizeF Fitted(QSizeF size, qreal width) {
    if (width <= 0 || size.width() <= width || size.width() <= 0)
        return size;
    return {width, std::max(1.0, std::round(size.height() * width / size.width()))};
}

QByteArray EncodePng(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt's quality 80 is a light compression: several times faster than the default, and as
    // small for photographs.
    image.save(&buffer, "PNG", 80);
    return bytes;
}

QByteArray Storable(const QByteArray &encoded) {
    if (RtfImages::IsPng(encoded) || RtfImages::IsJpeg(encoded))
        return encoded;
    return EncodePng(Decode(encoded));
}

FileMimeData::FileMimeData(QByteArray fileBytes)
    : m_bytes(std::move(fileBytes)) {}

QStringList FileMimeData::formats() const {
    return {QStringLiteral("application/x-qt-image"), kFileBytesMime};
}

bool FileMimeData::hasFormat(const QString &mimeType) const {
    return formats().contains(mimeType);
}

QVariant FileMimeData::retrieveData(const QString &mimeType, QMetaType type) const {
    if (mimeType == kFileBytesMime)
        return m_bytes;
    if (mimeType == QLatin1String("application/x-qt-image")) {
        if (m_bitmap.isNull())
            m_bitmap = Decode(m_bytes).convertToFormat(QImage::Format_RGB32);
        return m_bitmap;
    }
    return QMimeData::retrieveData(mimeType, type);
}

} // namespace Pictures
