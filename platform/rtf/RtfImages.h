#pragma once

#include "platform/rtf/RtfKeywords.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QTextFormat>
#include <QVariant>
#include <optional>

class QTextDocument;

// How a picture lives in a QTextDocument. The RTF reader builds pictures this way, the writer
// expects them this way, and the editor inserts pasted or chosen pictures through Add().
//
// - A picture is one object replacement character (U+FFFC) whose format is a
//   QTextImageFormat. The format's name() is the URL (QUrl(name)) of an image resource of the
//   document (QTextDocument::ImageResource).
// - The resource is either the picture's encoded file (a QByteArray: PNG and JPEG are written to
//   RTF byte for byte, anything else Qt can decode is written as PNG) or a QImage/QPixmap
//   (written as PNG). A name that is a data: URL (base64) needs no resource. Any other name
//   is not a picture of the document: nothing is ever read from a file or URL it names.
// - The format's width() and height(), when set, are the displayed size in pixels at 96 per
//   inch (one pixel is 15 twips); without them the picture shows at its own pixel size.
// - A picture Qt cannot draw (a Windows metafile) is shown as a plain placeholder image; its
//   original bytes travel in the format (SourceData, SourceKind, SourceExtent) so that saving
//   writes the metafile back instead of the placeholder.
namespace RtfImages {

constexpr int SourceData = QTextFormat::UserProperty + 0x5200;   // QByteArray
constexpr int SourceKind = QTextFormat::UserProperty + 0x5201;   // "wmetafile8", "emfblip"
constexpr int SourceExtent = QTextFormat::UserProperty + 0x5202; // QSize: \picw, \pich

// Adds an encoded picture (PNG, JPEG, BMP, ...) to `document` under a new, unique name and
// returns its format, ready for QTextCursor::insertImage(). `displaySize` in pixels; an empty
// size leaves the picture at its own size.
QTextImageFormat Add(QTextDocument *document, const QByteArray &encoded,
                     QSizeF displaySize = QSizeF());
// The same for a decoded image (a pasted bitmap); it is stored as PNG.
QTextImageFormat Add(QTextDocument *document, const QImage &image, QSizeF displaySize = QSizeF());

// The picture held under `name`: the resource added by Add() (QByteArray, QImage or QPixmap),
// the bytes of a data: URL, or an invalid QVariant.
QVariant Held(const QTextDocument &document, const QString &name);

// A picture of an RTF file ({\pict}), decoded: what Add() needs to put it into a document.
struct RtfPicture {
    QByteArray bytes; // PNG or JPEG; for a metafile, a placeholder
    QSizeF shown;
    QByteArray metafile; // the original metafile, written back on saving; empty for bitmaps
    QString metafileKind;
    QSize metafileExtent;
};

// Decodes a picture of an RTF file from its kind and sizes as its keywords gave them and its
// data; nothing when it can be neither shown nor kept (kinds Qt cannot decode other than
// metafiles, damaged data). Touches no document, so any thread may call it.
std::optional<RtfPicture>
DecodeRtfPicture(const RtfKeywords::Properties<RtfKeywords::PictureField> &picture,
                 const QByteArray &data);
// Adds a decoded picture to `document` and returns its format.
QTextImageFormat Add(QTextDocument *document, const RtfPicture &picture);

// A picture ready for RTF: PNG or JPEG bytes and its own size in pixels.
struct EncodedPicture {
    QByteArray bytes;
    bool jpeg = false;
    QSize pixels;
};

// The picture a format refers to, resolved by the rules above; empty bytes when the document
// has no such picture or it cannot be decoded.
EncodedPicture Resolve(const QTextDocument &document, const QTextImageFormat &format);

bool IsPng(const QByteArray &bytes);
bool IsJpeg(const QByteArray &bytes);

} // namespace RtfImages
