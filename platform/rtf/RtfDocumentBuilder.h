#pragma once

#include <QString>
#include <QTextCursor>
#include <QTextFormat>
#include <vector>

class QTextDocument;

// Builds a QTextDocument from paragraphs of text and format runs, in bulk: text gathered over
// many paragraphs goes in with one insertText() in the format most runs have, and only the
// other runs, block formats and paragraph marks are then set on their ranges. Building the
// document one run at a time costs several times more, most of it in the document's piece
// table.
//
// The document must be empty, with undo off, and is changed only by Finish() and by the
// buffer filling up; formats are registered first and referred to by index.
class RtfDocumentBuilder {
public:
    explicit RtfDocumentBuilder(QTextDocument *document);

    int AddCharFormat(const QTextCharFormat &format);
    int AddBlockFormat(const QTextBlockFormat &format);

    // Appends to the paragraph being built. Text must hold no paragraph separators, line feeds,
    // carriage returns or frame marks (U+FDD0, U+FDD1); a picture is its image format.
    void AppendText(QStringView text, int format);
    void AppendLatin1(const char *text, qsizetype size, int format);
    void AppendPicture(int imageFormat);
    bool ParagraphIsEmpty() const { return m_text.size() == m_paragraphStart; }

    // Ends the paragraph being built; `markFormat` is the format of its paragraph mark, which
    // text typed into an empty paragraph takes.
    void EndParagraph(int blockFormat, int markFormat);

    // Puts everything still buffered into the document (an unended paragraph is dropped).
    void Finish();

private:
    struct Run {
        qsizetype start; // in m_text
        int format;
    };
    struct Paragraph {
        qsizetype start; // of its text in m_text, after the separator that begins it
        int blockFormat;
        int markFormat;
    };

    void StartRun(int format);
    void Flush();
    int MostUsedTextFormat() const;

    QTextDocument *m_document;
    QTextCursor m_end;    // where text goes in
    QTextCursor m_format; // what formats ranges
    std::vector<QTextCharFormat> m_charFormats;
    std::vector<bool> m_isPicture;
    std::vector<QTextBlockFormat> m_blockFormats;

    QString m_text; // paragraphs not in the document yet, each after a U+2029 but the first
    std::vector<Run> m_runs;
    std::vector<Paragraph> m_paragraphs;
    qsizetype m_paragraphStart = 0;
    bool m_surrogates = false;   // in the paragraph being built
    bool m_documentEmpty = true; // the first paragraph goes into the block the document has
    int m_lastBlockFormat = 0;   // of the document's last block, which new blocks copy
    mutable std::vector<int> m_uses;
};
