#include "platform/LongParagraph.h"

#include <QTextBlock>
#include <algorithm>

LongParagraph *LongParagraph::Of(const QTextBlock &block) {
    return dynamic_cast<LongParagraph *>(block.userData());
}

LongParagraph::LongParagraph(int textLength, qreal estimatedHeight, bool wrapsAnywhere)
    : m_textLength(textLength)
    , m_restHeight(estimatedHeight)
    , m_wrapsAnywhere(wrapsAnywhere) {}

int LongParagraph::LaidLength() const {
    return m_pieces.empty() ? 0 : m_pieces.back().start + m_pieces.back().length;
}

qreal LongParagraph::LaidHeight() const {
    return m_pieces.empty() ? 0 : m_pieces.back().top + m_pieces.back().height;
}

qreal LongParagraph::Height() const {
    return LaidHeight() + m_restHeight;
}

void LongParagraph::Append(Piece piece) {
    const int rest = m_textLength - LaidLength();
    m_restHeight = piece.length >= rest ? 0 : m_restHeight * (rest - piece.length) / rest;
    piece.top = LaidHeight();
    m_pieces.push_back(std::move(piece));
}

void LongParagraph::Changed(int offset, int textLength) {
    // A change at the start of a piece may let its first word join the line above it, which
    // the piece before holds.
    auto first = std::find_if(m_pieces.begin(), m_pieces.end(), [offset](const Piece &piece) {
        return offset < piece.start + piece.length;
    });
    if (first != m_pieces.begin())
        --first;
    for (auto piece = first; piece != m_pieces.end(); ++piece)
        m_restHeight += piece->height;
    m_pieces.erase(first, m_pieces.end());
    m_textLength = textLength;
}

const LongParagraph::Piece *LongParagraph::AtOffset(int offset) const {
    for (const Piece &piece : m_pieces) {
        const bool last = piece.start + piece.length >= m_textLength;
        if (offset < piece.start + piece.length || (last && offset == m_textLength))
            return &piece;
    }
    return nullptr;
}

const LongParagraph::Piece *LongParagraph::AtHeight(qreal y) const {
    for (const Piece &piece : m_pieces)
        if (y < piece.top + piece.height)
            return &piece;
    return nullptr;
}
