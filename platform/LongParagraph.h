#pragma once

#include <QTextBlockUserData>
#include <QTextLayout>
#include <memory>
#include <vector>

class QTextBlock;

// A paragraph too long to lay out whole again on every key: Qt's QTextLayout shapes and breaks
// all of a paragraph's text each time, which takes a fifth of a second for a megabyte. It is
// laid out instead in pieces of a few thousand characters, each piece starting where a line of
// the whole paragraph would start, so the lines are the ones a single layout would make. An edit
// drops the pieces from the line it touched on; the rest of the paragraph keeps the height it
// had until it is looked at again.
class LongParagraph final : public QTextBlockUserData {
public:
    struct Piece {
        int start = 0;  // in the paragraph's text
        int length = 0; // the characters of its lines
        qreal top = 0;  // below the paragraph's first line
        qreal height = 0;
        int lines = 0; // lines of its layout that are its own; the next piece holds the rest
        std::unique_ptr<QTextLayout> layout;
    };

    // The pieces of a paragraph laid out in pieces, or nullptr.
    static LongParagraph *Of(const QTextBlock &block);

    LongParagraph(int textLength, qreal estimatedHeight, bool wrapsAnywhere);

    const std::vector<Piece> &Pieces() const { return m_pieces; }
    bool WrapsAnywhere() const { return m_wrapsAnywhere; }
    int TextLength() const { return m_textLength; }
    // Where the next piece starts, and whether the pieces reach the paragraph's end.
    int LaidLength() const;
    bool Complete() const { return LaidLength() >= m_textLength; }
    // Laid pieces and the estimated rest.
    qreal Height() const;
    qreal LaidHeight() const;

    void Append(Piece piece);
    // Text from `offset` on changed and now has `textLength` characters: the pieces whose lines
    // may break differently are dropped.
    void Changed(int offset, int textLength);
    // The piece holding the character at `offset` (the last one for the paragraph's end), or
    // the piece whose lines span `y`; nullptr when that part is not laid out yet.
    const Piece *AtOffset(int offset) const;
    const Piece *AtHeight(qreal y) const;

private:
    std::vector<Piece> m_pieces;
    int m_textLength;
    // The height of the text after the laid pieces, and how many characters it holds.
    qreal m_restHeight;
    bool m_wrapsAnywhere;
};
