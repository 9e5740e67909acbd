#pragma once

#include <QByteArray>
#include <QImage>
#include <QMimeData>
#include <QSize>
#include <QSizeF>
#include <QString>

// Pictures on their way into the entry: what they are, the size they show at, and a decoded
// copy at that size, read from the encoded bytes without ever holding more pixels than a limit.
namespace Pictures {

// More pixels than this are refused: decoding them would take gigabytes.
constexpr qint64 kMaxPixels = 100'000'000;

// The clipboard format carrying a picture file's own bytes, so that our own paste of an
// inserted picture keeps the file as it was instead of the bitmap beside it.
inline const QString kFileBytesMime = QStringLiteral("application/x-quillory-picture-file");

// The picture's size in pixels as it is shown (turned as its EXIF orientation says), read from
// its header; invalid when the bytes are no picture Qt can read.
QSize PixelSize(const QByteArray &encoded);

bool TooLarge(QSize pixels);
// The message for a picture with more pixels than kMaxPixels.
QString TooLargeText(QSize pixels);

// The picture decoded at no more than `target` (its own size when `target` is empty), turned
// upright; null when it cannot be read or is too large.
QImage Decode(const QByteArray &encoded, QSize target = QSize());

// The size to show a picture of `size` at: shrunk, keeping its proportions, to `width` when it
// is wider (no limit when `width` is not positive).
QSizeF Fitted(QSizeF size, qreal width);

// PNG bytes of an image, compressed lightly: pictures are encoded while the user waits.
QByteArray EncodePng(const QImage &image);
// The bytes an entry keeps of a picture: PNG and JPEG files byte for byte, any other kind
// (BMP, GIF, ...) as PNG.
QByteArray Storable(const QByteArray &encoded);

// The clipboard's content after Insert > Picture: the picture as a bitmap, decoded only when a
// program asks for it, and the file's own bytes under kFileBytesMime.
class FileMimeData final : public QMimeData {
public:
    explicit FileMimeData(QByteArray fileBytes);
    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QByteArray m_bytes;
    mutable QImage m_bitmap;
};

} // namespace Pictures
