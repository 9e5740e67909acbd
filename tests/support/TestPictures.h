#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>

// Pictures for the tests, on Qt GUI types alone: the RTF codec's tests use them without the
// rest of the program.

inline QByteArray EncodedImage(const QImage &image, const char *format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A PNG file of one pixel whose header claims `width` x `height`: what a reader sees before it
// decodes, with nothing behind it to decode.
inline QByteArray PngClaiming(quint32 width, quint32 height) {
    QByteArray png = EncodedImage(QImage(1, 1, QImage::Format_RGB32), "PNG");
    qToBigEndian(width, png.data() + 16); // IHDR: length, type, width, height, ..., CRC
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : QByteArrayView(png).sliced(12, 17)) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

inline QList<QTextImageFormat> Pictures(const QTextDocument &document) {
    QList<QTextImageFormat> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                pictures << it.fragment().charFormat().toImageFormat();
    return pictures;
}
