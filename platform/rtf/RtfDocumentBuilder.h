#pragma once

#include "platform/rtf/RtfImages.h"

#include <QString>
#include <QTextCursor>
#include <QTextFormat>
#include <vector>

class QTextDocument;

// Paragraphs of text with their format runs, gathered for the document in one go, and the
// formats and pictures registered since the batch before.
struct RtfBatch {
    struct Run {
        qsizetype start; // in text
        int format;
    };
    struct Paragraph {
        qsizetype start; // of its text, after the separator that begins it
        int blockFormat;
        int markFormat;
    };
    struct Picture {
        int format; // registered as a bare image format, made real when the picture is added
        RtfImages::RtfPicture picture;
    };

    QString text; // each paragraph after a U+2029 but the first of the document
    std::vector<Run> runs;
    std::vector<Paragraph> paragraphs;
    std::vector<QTextCharFormat> charFormats;
    std::vector<QTextBlockFormat> blockFormats;
    std::vector<Picture> pictures;

    void Clear(); // keeps the memory for the next batch
};

// Where full batches go. Take() empties the batch it is given, possibly by swapping it for
// another, so that buffers are reused rather than allocated per batch.
class RtfBatchSink {
public:
    virtual ~RtfBatchSink() = default;
    virtual void Take(RtfBatch &batch) = 0;
};

// Gathers paragraphs of text and format runs into batches for an RtfDocumentInserter, directly
// or through a queue to another thread; it touches no document itself. Each paragraph's text
// goes in whole, in the format most of its batch's runs have, and only the other runs are then
// set on their ranges: inserting run by run costs more, most of it in the document's piece
// table.
//
// Formats are registered first and referred to by index.
class RtfDocumentBuilder {
public:
    explicit RtfDocumentBuilder(RtfBatchSink &sink);

    int AddCharFormat(const QTextCharFormat &format);
    int AddBlockFormat(const QTextBlockFormat &format);

    // Appends to the paragraph being built. Text must hold no paragraph separators, line feeds,
    // carriage returns or frame marks (U+FDD0, U+FDD1).
    void AppendText(QStringView text, int format);
    void AppendLatin1(const char *text, qsizetype size, int format);
    void AppendPicture(RtfImages::RtfPicture picture);
    bool ParagraphIsEmpty() const { return m_batch.text.size() == m_paragraphStart; }

    // Ends the paragraph being built; `markFormat` is the format of its paragraph mark, which
    // text typed into an empty paragraph takes.
    void EndParagraph(int blockFormat, int markFormat);

    // Hands over everything still gathered (an unended paragraph is dropped).
    void Finish();

private:
    void StartRun(int format);
    void HandOver();

    RtfBatchSink &m_sink;
    RtfBatch m_batch;
    int m_charFormats = 0;
    int m_blockFormats = 0;
    qsizetype m_paragraphStart = 0;
    bool m_surrogates = false; // in the paragraph being built
    qsizetype m_batchSize;
    qsizetype m_handedOver = 0; // characters
    bool m_firstBatch = true;   // its first paragraph goes into the block the document has
};

// Puts batches into a document: the one part of reading that must run on the document's
// thread. The document must be empty, with undo off. It writes to the document's piece table
// through Qt's private API, which takes formats by their index: through QTextCursor every call
// copies and hashes its format again, and moves every cursor, and a large read took a fifth
// longer.
class RtfDocumentInserter final : public RtfBatchSink {
public:
    explicit RtfDocumentInserter(QTextDocument *document);

    void Take(RtfBatch &batch) override;

private:
    void Register(RtfBatch &batch);
    void Insert(const RtfBatch &batch);
    int MostUsedTextFormat(const RtfBatch &batch);
    int CharIndex(int format);
    int BlockIndex(int format);
    int DocumentIndex(const QTextFormat &format, int &index); // looked up once, then kept

    QTextDocument *m_document;
    std::vector<QTextCharFormat> m_charFormats;
    std::vector<bool> m_isPicture;
    std::vector<QTextBlockFormat> m_blockFormats;
    bool m_documentEmpty = true; // the first paragraph goes into the block the document has
    std::vector<int> m_uses;
    std::vector<int> m_charIndices; // the document's index of each format, or -1
    std::vector<int> m_blockIndices;
    int m_position = 0; // where the document's last paragraph ends
};
