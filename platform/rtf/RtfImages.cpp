#include "platform/rtf/RtfImages.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

namespace RtfImages {

namespace {

const char *const kCounterProperty = "quilloryImageCount";
const QLatin1String kScheme("quillory-image:");

QString NewName(QTextDocument *document) {
    const int next = document->property(kCounterProperty).toInt() + 1;
    document->setProperty(kCounterProperty, next);
    return kScheme + QString::number(next);
}

QByteArray EncodePng(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QSize PixelSize(const QByteArray &bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.size();
}

EncodedPicture FromBytes(const QByteArray &bytes) {
    EncodedPicture picture;
    if (IsPng(bytes) || IsJpeg(bytes)) {
        picture.pixels = PixelSize(bytes);
        if (picture.pixels.isValid()) {
            picture.bytes = bytes;
            picture.jpeg = IsJpeg(bytes);
            return picture;
        }
    }
    const QImage image = QImage::fromData(bytes);
    if (!image.isNull()) {
        picture.bytes = EncodePng(image);
        picture.pixels = image.size();
    }
    return picture;
}

EncodedPicture FromVariant(const QVariant &value) {
    EncodedPicture picture;
    if (value.typeId() == QMetaType::QByteArray)
        return FromBytes(value.toByteArray());
    QImage image;
    if (value.typeId() == QMetaType::QImage)
        image = value.value<QImage>();
    else if (value.typeId() == QMetaType::QPixmap)
        image = value.value<QPixmap>().toImage();
    if (!image.isNull()) {
        picture.bytes = EncodePng(image);
        picture.pixels = image.size();
    }
    return picture;
}

} // namespace

bool IsPng(const QByteArray &bytes) {
    return bytes.startsWith("\x89PNG\r\n\x1a\n");
}

bool IsJpeg(const QByteArray &bytes) {
    return bytes.startsWith("\xFF\xD8\xFF");
}

QTextImageFormat Add(QTextDocument *document, const QByteArray &encoded, QSizeF displaySize) {
    QTextImageFormat format;
    format.setName(NewName(document));
    document->addResource(QTextDocument::ImageResource, QUrl(format.name()), encoded);
    if (!displaySize.isEmpty()) {
        format.setWidth(displaySize.width());
        format.setHeight(displaySize.height());
    }
    return format;
}

QTextImageFormat Add(QTextDocument *document, const QImage &image, QSizeF displaySize) {
    return Add(document, EncodePng(image), displaySize);
}

QVariant Held(const QTextDocument &document, const QString &name) {
    if (name.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
        const qsizetype comma = name.indexOf(QLatin1Char(','));
        if (comma > 0 && name.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive))
            return QByteArray::fromBase64(QStringView(name).mid(comma + 1).toLatin1());
        return {};
    }
    // Only names Add() gave: asking a plain QTextDocument for any other name would make it read
    // the file the name points to.
    if (!name.startsWith(kScheme))
        return {};
    return document.resource(QTextDocument::ImageResource, QUrl(name));
}

EncodedPicture Resolve(const QTextDocument &document, const QTextImageFormat &format) {
    const QVariant value = Held(document, format.name());
    return value.isValid() ? FromVariant(value) : EncodedPicture();
}

} // namespace RtfImages
