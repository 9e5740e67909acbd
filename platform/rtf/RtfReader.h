#pragma once

#include <QByteArray>
#include <stdexcept>

class QTextDocument;

// Reads RTF as word processors write it into a QTextDocument: text in the right code pages,
// character and paragraph formatting, pictures (see RtfImages.h), hyperlinks; tables and lists
// become their text, in order (cells separated by tabs, one paragraph per row, list bullets and
// numbers as written in the file). Headers, footers, notes, comments, hidden text and other
// non-body parts are left out.
//
// Damaged files give what can be read: unbalanced braces, a file cut short, absurd numbers and
// unknown control words do not stop the reader. Time and memory grow linearly with the input.
//
// Inside: RtfTokenizer cuts the bytes into tokens, RtfKeywords gives each control word its
// meaning, the parser (RtfReader.cpp) follows groups and destinations, and RtfDocumentBuilder
// gathers text and formats into batches that RtfDocumentInserter puts into the document in
// bulk; RtfImages decodes pictures and RtfCodePage 8-bit text. Large files are parsed on a
// thread of their own while the calling thread, the only one that touches the document, puts
// the batches in (RtfBatchQueue carries them over).
namespace RtfReader {

// What Read() raises for bytes that are not RTF at all.
class NotRtfError : public std::runtime_error {
public:
    NotRtfError()
        : std::runtime_error("the file does not begin with {\\rtf") {}
};

// Replaces the whole content of `document` (text, formats and resources) with the RTF in `rtf`.
// Bytes that are not RTF at all (they do not begin with "{\rtf", after an optional byte order
// mark and white space) raise NotRtfError and leave the document unchanged. An empty or blank file
// gives an empty document. Undo history is off while reading and the document's undo stack is
// cleared.
void Read(const QByteArray &rtf, QTextDocument *document);

// Whether `rtf` starts like an RTF file (the test Read() applies).
bool LooksLikeRtf(const QByteArray &rtf);

} // namespace RtfReader
