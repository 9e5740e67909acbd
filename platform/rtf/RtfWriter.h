#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument as RTF that word processors and converters open with the same text and
// formatting: paragraphs with alignment, indents, spacing and line spacing; runs with font,
// size, bold, italic, underline, strike-through, super/subscript, capitals, text and background
// colours; hyperlinks as HYPERLINK fields; pictures (see RtfImages.h) as PNG or JPEG
// (metafiles that came from RTF go back as they were). List bullets and numbers are written
// as text, table cells as paragraphs.
//
// The output is ASCII: \ansi\ansicpg1252, Windows-1252 characters above 127 as \'hh, every other
// character as \uN with \uc1 and a '?' fallback (\'3f before a space). The same document always
// gives the same bytes.
namespace RtfWriter {

QByteArray Write(const QTextDocument &document);

} // namespace RtfWriter
