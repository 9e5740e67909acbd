#pragma once

#include "platform/BlockHeights.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QTextLayout>

class QTextBlockFormat;

// The rich text box's document layout. It lays out only the paragraphs that are looked at: those
// on the screen, and the one a caret, a key or a click needs. Every other paragraph keeps a
// height estimated from its length until it is seen, so opening, typing and jumping to the end
// cost the same in a huge entry as in a small one. Lines wrap at the document's width; a
// paragraph holding a word longer than any real word (base64, minified text) wraps anywhere,
// the others between words.
class ViewportTextLayout final : public QAbstractTextDocumentLayout {
    Q_OBJECT
    // The caret's width: QTextEdit sets and reads it under this name.
    Q_PROPERTY(int cursorWidth READ CursorWidth WRITE SetCursorWidth)
public:
    explicit ViewportTextLayout(QTextDocument *document);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    int CursorWidth() const { return m_cursorWidth; }
    void SetCursorWidth(int width) { m_cursorWidth = width; }

    // The height of the view that shows the document. A paragraph laid out for a caret that
    // jumped to it is laid out with a view's worth of paragraphs above it, so that the view
    // scrolled to show the caret still shows it once those are drawn.
    void SetViewHeight(qreal height) { m_viewHeight = height; }
    // Lays out what a view whose top is at `top` shows. Returns by how much the paragraph at the
    // top grew as it was laid out: scrolled by that much, what is below it stays in place.
    qreal LayOutView(qreal top);
    // The position of the paragraph at `y` by the heights known so far: lays nothing out.
    int PositionNear(qreal y) const;
    // Whether the paragraph holding `position` is laid out in pieces. QTextEdit then cannot
    // place the caret or move it by lines itself: it reads those from the paragraph's own
    // layout, which stays empty.
    bool InPieces(int position) const;
    // The caret's rectangle at `position` in the document.
    QRectF CaretRect(int position) const;

protected:
    void documentChanged(int from, int removed, int added) override;

private:
    using Height = BlockHeights::Height;

    void EnsureHeights() const;
    void EstimateAll() const;
    // What a paragraph's format makes of its space: margins above and below, width of its lines.
    struct Shape {
        qreal top;
        qreal bottom;
        qreal width;
    };
    Shape ShapeOf(const QTextBlock &block) const;
    const Shape &ShapeOf(const QTextBlock &block, QHash<int, Shape> &known) const;
    Height Estimate(const QTextBlock &block, const Shape &shape, qreal above) const;
    qreal SpaceAbove(const QTextBlock &block) const;
    qreal Indent(const QTextBlock &block, const QTextBlockFormat &format) const;
    qreal TextWidth() const;
    QTextOption OptionFor(const QTextBlock &block, const QTextBlockFormat &format,
                          bool wrapsAnywhere) const;
    struct Lines {
        qreal height = 0;  // of all lines
        qreal lastTop = 0; // where the last line starts
        qreal width = 0;   // available to each line
    };
    Lines LayOutLines(QTextLayout *layout, const QTextBlock &block, bool indentFirstLine) const;
    void LayOut(const QTextBlock &block, int number) const;
    bool TakesPieces(const QTextBlock &block) const;
    void StartPieces(const QTextBlock &block, int number) const;
    static QList<QTextLayout::FormatRange> FormatsOf(const QTextBlock &block, int start,
                                                     int length);
    // Lays out pieces of the paragraph until they reach below `y` and past `offset`.
    void LayOutPieces(const QTextBlock &block, int number, qreal y, int offset) const;
    bool EditedInPieces(const QTextBlock &block, int number, int offset, int grown);
    void Measure(const QTextBlock &block, int number) const;
    void MeasureViewAbove(QTextBlock block, int number) const;
    // Where the block's lines start, which also becomes its layout's position.
    QPointF Origin(const QTextBlock &block, int number) const;
    void DrawBlock(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                   int number, QPointF origin) const;
    void DrawPieces(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                    int number, QPointF origin) const;
    void DrawText(QPainter *painter, const PaintContext &context, const QTextLayout &layout,
                  int start, int length, const QRectF &clip) const;
    void DrawListMarker(QPainter *painter, const QTextBlock &block,
                        const QTextLayout &layout) const;
    static int OffsetAt(const QTextLayout &layout, int lines, QPointF point,
                        Qt::HitTestAccuracy accuracy, bool &exact);
    void Calibrate() const;
    // Tells the view the document's new size: at once, or after the paint or query running now.
    void ReportSize(bool now) const;

    mutable BlockHeights m_heights;
    mutable bool m_heightsStale = true;
    mutable bool m_drawing = false;
    mutable bool m_reportQueued = false;
    mutable QSizeF m_reportedSize;
    mutable qreal m_widest = 0;
    // What an estimate takes a line's height and a character's width to be, and what the
    // paragraphs laid out so far say they are.
    mutable qreal m_lineHeight = 16;
    mutable qreal m_charWidth = 7;
    mutable bool m_calibrated = false;
    mutable qreal m_seenLines = 0;
    mutable qreal m_seenLinesHeight = 0;
    mutable qreal m_seenCharacters = 0;
    mutable qreal m_seenLinesWidth = 0;
    int m_cursorWidth = 1;
    qreal m_viewHeight = 0;
};
