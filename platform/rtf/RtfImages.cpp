#include "platform/rtf/RtfImages.h"

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace RtfImages {

using RtfKeywords::Properties;

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

using RtfKeywords::PictureField;
using RtfKeywords::PictureKind;

constexpr double kTwipsPerPixel = 15.0; // 96 pixels per inch

// A device-independent bitmap is a BMP file without its 14-byte file header.
QByteArray DibToBmp(const QByteArray &dib) {
    if (dib.size() < 16)
        return {};
    const auto *d = reinterpret_cast<const unsigned char *>(dib.constData());
    auto u32 = [d](int at) {
        return quint32(d[at] | d[at + 1] << 8 | d[at + 2] << 16) | quint32(d[at + 3]) << 24;
    };
    auto u16 = [d](int at) { return quint32(d[at] | d[at + 1] << 8); };
    const quint32 headerSize = u32(0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 bitCount = headerSize == 12 ? u16(10) : u16(14);
    quint32 colors = 0;
    quint32 masks = 0;
    if (headerSize >= 40) {
        colors = u32(32);
        if (u32(16) == 3 && headerSize == 40)
            masks = 12;
    }
    if (colors == 0 && bitCount <= 8)
        colors = 1u << bitCount;
    const quint32 entry = headerSize == 12 ? 3 : 4;
    const quint32 offset = 14 + headerSize + masks + std::min<quint32>(colors, 65536) * entry;
    QByteArray bmp("BM");
    const quint32 total = quint32(dib.size()) + 14;
    for (quint32 v : {total, 0u, offset})
        for (int k = 0; k < 4; ++k)
            bmp.append(char((v >> (8 * k)) & 0xFF));
    bmp.append(dib);
    return bmp;
}

bool LooksLikeMetafile(PictureKind kind, const QByteArray &data) {
    if (kind == PictureKind::Emf)
        return data.size() >= 88 && data.mid(40, 4) == QByteArray(" EMF");
    if (data.size() < 18)
        return false;
    const auto *d = reinterpret_cast<const unsigned char *>(data.constData());
    const bool placeable = d[0] == 0xD7 && d[1] == 0xCD && d[2] == 0xC6 && d[3] == 0x9A;
    const bool memory = (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0;
    return placeable || memory;
}

QByteArray PlaceholderPng(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&image);
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, size.height() - 1, size.width() - 1, 0);
    painter.end();
    return EncodePng(image);
}

// PNG, JPEG and DIB pictures as a PNG or JPEG file and their size in pixels; empty bytes when
// they cannot be decoded.
QByteArray DecodedBitmap(PictureKind kind, const QByteArray &data, QSize *pixels) {
    QByteArray bytes = kind == PictureKind::Dib ? DibToBmp(data) : data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    *pixels = reader.size();
    if (!pixels->isValid() || pixels->isEmpty() || pixels->width() > 30000 ||
        pixels->height() > 30000)
        return {};
    if (kind != PictureKind::Dib)
        return bytes;
    const QImage image = reader.read();
    return image.isNull() ? QByteArray() : EncodePng(image);
}

// The size shown, in pixels: the goal size in twips, else the picture's own size, then scaled;
// on the twip grid, so that writing the size back and reading it again gives the same.
QSizeF ShownSize(const Properties<PictureField> &picture, bool metafile, QSize pixels) {
    double width = 0;
    double height = 0;
    if (picture[PictureField::Goalw] > 0 && picture[PictureField::Goalh] > 0) {
        width = picture[PictureField::Goalw] / kTwipsPerPixel;
        height = picture[PictureField::Goalh] / kTwipsPerPixel;
    } else if (metafile && picture[PictureField::Picw] > 0 && picture[PictureField::Pich] > 0) {
        width = picture[PictureField::Picw] * 96.0 / 2540.0; // hundredths of a millimetre
        height = picture[PictureField::Pich] * 96.0 / 2540.0;
    } else if (pixels.isValid()) {
        width = pixels.width();
        height = pixels.height();
    } else {
        width = height = 96;
    }
    if (picture[PictureField::Scalex] > 0)
        width = width * picture[PictureField::Scalex] / 100.0;
    if (picture[PictureField::Scaley] > 0)
        height = height * picture[PictureField::Scaley] / 100.0;
    width = std::round(std::clamp(width, 1.0, 10000.0) * kTwipsPerPixel) / kTwipsPerPixel;
    height = std::round(std::clamp(height, 1.0, 10000.0) * kTwipsPerPixel) / kTwipsPerPixel;
    return {width, height};
}

} // namespace

std::optional<RtfPicture> DecodeRtfPicture(const Properties<PictureField> &picture,
                                           const QByteArray &data) {
    const auto kind = static_cast<PictureKind>(picture[PictureField::Kind]);
    RtfPicture decoded;
    QSize pixels;
    bool metafile = false;
    switch (kind) {
    case PictureKind::Png:
    case PictureKind::Jpeg:
    case PictureKind::Dib:
        decoded.bytes = DecodedBitmap(kind, data, &pixels);
        if (decoded.bytes.isEmpty())
            return {};
        break;
    case PictureKind::Wmf:
    case PictureKind::Emf:
        // Qt cannot draw metafiles: a placeholder shows, and the original goes back on saving.
        if (!LooksLikeMetafile(kind, data))
            return {};
        metafile = true;
        break;
    default:
        return {};
    }
    decoded.shown = ShownSize(picture, metafile, pixels);
    if (metafile) {
        decoded.bytes = PlaceholderPng(QSize(qRound(std::min(decoded.shown.width(), 2000.0)),
                                             qRound(std::min(decoded.shown.height(), 2000.0))));
        decoded.metafile = data;
        decoded.metafileKind =
            kind == PictureKind::Emf ? QStringLiteral("emfblip") : QStringLiteral("wmetafile8");
        decoded.metafileExtent = QSize(picture[PictureField::Picw], picture[PictureField::Pich]);
    }
    return decoded;
}

QTextImageFormat Add(QTextDocument *document, const RtfPicture &picture) {
    QTextImageFormat format = Add(document, picture.bytes, picture.shown);
    if (!picture.metafile.isEmpty()) {
        format.setProperty(SourceData, picture.metafile);
        format.setProperty(SourceKind, picture.metafileKind);
        format.setProperty(SourceExtent, picture.metafileExtent);
    }
    return format;
}

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
