#include "platform/ViewportTextLayout.h"

#include "platform/LongParagraph.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <cmath>

namespace {

// Longer than any real word. Qt's wrapping between words takes time quadratic in a word's
// length, so a paragraph holding one this long wraps anywhere instead.
constexpr qsizetype kOverLongWord = 10000;
// Paragraphs longer than this are laid out in pieces of about kPieceLength characters; an edit
// lays out again a piece or two, about as much as the screen shows.
constexpr int kLongParagraph = 32768;
constexpr int kPieceLength = 16384;
// An edit of up to this many paragraphs is laid out at once, so that only what it changed is
// painted again; a larger one (a long paste, an undo of one) is laid out as it is looked at.
constexpr int kLaidOutAtOnce = 8;
// The lines an estimate's calibration waits for, and the change that is worth estimating again.
constexpr qreal kCalibrationLines = 20;
constexpr qreal kWorthEstimatingAgain = 0.05;
// Where QTextEdit's update of everything below a point ends (Qt's own default).
constexpr qreal kFarBelow = 1e9;

bool HasOverLongWord(const QTextBlock &block) {
    if (block.length() <= kOverLongWord)
        return false;
    qsizetype run = 0;
    for (const QChar c : block.text()) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kOverLongWord)
            return true;
    }
    return false;
}

// Lengths in the 1/64 pixel steps Qt's own layout counts in, so that lines land on the same
// pixels as they did with it.
qreal Steps(qreal length) {
    return std::trunc(length * 64) / 64;
}

// How a line's height counts, as Qt's own layout counts it for each kind of line spacing: the
// height it adds, where its bottom is, and how far it moves up.
struct LineSpacing {
    qreal height;
    qreal bottom;
    qreal raise;
};

LineSpacing SpacingOf(const QTextBlockFormat &format, const QTextLine &line) {
    const qreal natural = std::ceil(line.ascent() + line.descent() + line.leading());
    LineSpacing spacing{Steps(format.lineHeight(natural, 1)),
                        Steps(format.lineHeight(line.height(), 1)), 0};
    if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
        spacing.raise =
            Steps(line.ascent() + std::max(line.leading(), 0.0)) - spacing.height * 4 / 5;
    else if (format.lineHeightType() == QTextBlockFormat::MinimumHeight)
        spacing.raise = Steps(line.height()) - spacing.height;
    return spacing;
}

} // namespace

ViewportTextLayout::ViewportTextLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document) {}

qreal ViewportTextLayout::TextWidth() const {
    return document()->pageSize().width() - 2 * document()->documentMargin();
}

qreal ViewportTextLayout::Indent(const QTextBlock &block, const QTextBlockFormat &format) const {
    qreal indent = format.indent();
    if (const QTextList *list = block.textList())
        indent += list->format().indent();
    return Steps(indent * document()->indentWidth());
}

// The space between two paragraphs is the larger of the first's bottom margin and the second's
// top margin; the first paragraph has none above it.
qreal ViewportTextLayout::SpaceAbove(const QTextBlock &block) const {
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return 0;
    return Steps(std::max(block.blockFormat().topMargin(), previous.blockFormat().bottomMargin()));
}

ViewportTextLayout::Shape ViewportTextLayout::ShapeOf(const QTextBlock &block) const {
    const QTextBlockFormat format = block.blockFormat();
    return {format.topMargin(), format.bottomMargin(),
            TextWidth() - format.leftMargin() - format.rightMargin() - Indent(block, format)};
}

// Paragraphs of one format have one shape: an entry has few formats and many paragraphs.
const ViewportTextLayout::Shape &ViewportTextLayout::ShapeOf(const QTextBlock &block,
                                                             QHash<int, Shape> &known) const {
    auto shape = known.constFind(block.blockFormatIndex());
    if (shape == known.constEnd())
        shape = known.insert(block.blockFormatIndex(), ShapeOf(block));
    return *shape;
}

BlockHeights::Height ViewportTextLayout::Estimate(const QTextBlock &block, const Shape &shape,
                                                  qreal above) const {
    if (!block.isVisible())
        return {};
    const qreal characters = block.length() - 1;
    const qreal lines =
        shape.width > 0 ? std::max<qreal>(1, std::ceil(characters * m_charWidth / shape.width)) : 1;
    return {above + lines * m_lineHeight, above, false};
}

// A cursor may ask for a paragraph in the middle of an edit, before the change is reported.
void ViewportTextLayout::EnsureHeights() const {
    if (m_heightsStale || m_heights.Count() != document()->blockCount())
        EstimateAll();
}

void ViewportTextLayout::EstimateAll() const {
    m_heightsStale = false;
    if (m_seenLines >= kCalibrationLines && m_seenCharacters > 0) {
        m_lineHeight = m_seenLinesHeight / m_seenLines;
        m_charWidth = m_seenLinesWidth / m_seenCharacters;
    } else {
        const QFontMetricsF metrics(document()->defaultFont());
        m_lineHeight = std::ceil(metrics.height());
        m_charWidth = metrics.averageCharWidth();
    }
    m_widest = 0;
    std::vector<Height> heights;
    heights.reserve(std::size_t(document()->blockCount()));
    QHash<int, Shape> shapes;
    qreal previousBottom = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        block.clearLayout(); // laid out at another width, or for text since changed
        if (LongParagraph::Of(block) != nullptr)
            block.setUserData(nullptr);
        const Shape &shape = ShapeOf(block, shapes);
        const qreal above = heights.empty() ? 0 : Steps(std::max(shape.top, previousBottom));
        heights.push_back(Estimate(block, shape, above));
        previousBottom = shape.bottom;
    }
    m_heights.Replace(0, m_heights.Count(), heights);
}

QTextOption ViewportTextLayout::OptionFor(const QTextBlock &block, const QTextBlockFormat &format,
                                          bool wrapsAnywhere) const {
    const Qt::LayoutDirection direction = block.textDirection();
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    option.setAlignment(QStyle::visualAlignment(
        direction,
        format.hasProperty(QTextFormat::BlockAlignment) ? format.alignment() : option.alignment()));
    if (format.nonBreakableLines() || TextWidth() < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    else if (option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere && wrapsAnywhere)
        option.setWrapMode(QTextOption::WrapAnywhere);
    return option;
}

ViewportTextLayout::Lines ViewportTextLayout::LayOutLines(QTextLayout *layout,
                                                          const QTextBlock &block,
                                                          bool indentFirstLine) const {
    const QTextBlockFormat format = block.blockFormat();
    const qreal indent = Indent(block, format);
    const bool rightToLeft = block.textDirection() == Qt::RightToLeft;
    const qreal left = Steps(format.leftMargin()) + (rightToLeft ? 0 : indent);
    const qreal right =
        Steps(TextWidth()) - Steps(format.rightMargin()) - (rightToLeft ? indent : 0);
    Lines lines;
    qreal y = 0;
    qreal bottom = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        qreal lineLeft = left;
        qreal lineRight = right;
        if (line.lineNumber() == 0 && indentFirstLine && rightToLeft)
            lineRight -= Steps(format.textIndent());
        else if (line.lineNumber() == 0 && indentFirstLine)
            lineLeft += Steps(format.textIndent());
        line.setLineWidth(std::max<qreal>(0, lineRight - lineLeft));
        const LineSpacing spacing = SpacingOf(format, line);
        line.setPosition(QPointF(lineLeft, y - spacing.raise));
        lines.lastTop = y;
        bottom = y + spacing.bottom;
        y += spacing.height;
        m_widest = std::max(m_widest, line.x() + line.naturalTextWidth() + format.rightMargin() +
                                          2 * document()->documentMargin());
    }
    layout->endLayout();
    lines.height = std::max(y, bottom);
    lines.width = right - left;
    return lines;
}

void ViewportTextLayout::LayOut(const QTextBlock &block, int number) const {
    // Estimating again once paragraphs below the top were seen would move them.
    if (number > 0 && !m_heights.At(number - 1).measured)
        m_calibrated = true;
    QTextLayout *layout = block.layout();
    const qreal above = SpaceAbove(block);
    if (!block.isVisible()) {
        layout->clearLayout();
        m_heights.Set(number, {0, 0, true});
        return;
    }
    if (TakesPieces(block)) {
        StartPieces(block, number);
        return;
    }
    QTextBlock(block).setUserData(nullptr); // no longer long, or holding a picture now
    const QTextBlockFormat format = block.blockFormat();
    layout->setTextOption(OptionFor(block, format, HasOverLongWord(block)));
    const Lines lines = LayOutLines(layout, block, true);
    m_heights.Set(number, {above + lines.height, above, true});
    Origin(block, number); // where a screen reader looks for its characters

    const int count = layout->lineCount();
    m_seenLines += count;
    m_seenLinesHeight += lines.height;
    if (count > 1 && lines.width > 0) {
        m_seenCharacters += block.length() - 1;
        m_seenLinesWidth += (count - 0.5) * lines.width;
    }
}

// Pictures are sized and drawn only by the paragraph's own layout, and so is text an input
// method is composing. A screen reader reads lines from that layout too: while one listens,
// correct lines are worth the time a long paragraph takes to lay out whole.
bool ViewportTextLayout::TakesPieces(const QTextBlock &block) const {
    const QTextOption::WrapMode wrap = document()->defaultTextOption().wrapMode();
    return block.length() > kLongParagraph && TextWidth() > 0 && !QAccessible::isActive() &&
           !block.blockFormat().nonBreakableLines() && wrap != QTextOption::NoWrap &&
           wrap != QTextOption::ManualWrap && block.layout()->preeditAreaText().isEmpty() &&
           !block.text().contains(QChar::ObjectReplacementCharacter);
}

void ViewportTextLayout::StartPieces(const QTextBlock &block, int number) const {
    block.layout()->clearLayout();
    const qreal estimate = Estimate(block, ShapeOf(block), 0).value;
    auto *pieces = new LongParagraph(block.length() - 1, estimate, HasOverLongWord(block));
    QTextBlock(block).setUserData(pieces);
    LayOutPieces(block, number, 0, 0);
}

// The characters of a piece with their formats, as the paragraph's own layout would take them.
QList<QTextLayout::FormatRange> ViewportTextLayout::FormatsOf(const QTextBlock &block, int start,
                                                              int length) {
    QList<QTextLayout::FormatRange> formats;
    const int end = start + length;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int from = std::max(fragment.position() - block.position(), start);
        const int to = std::min(fragment.position() - block.position() + fragment.length(), end);
        if (from >= end)
            break;
        if (to > from)
            formats.append({from - start, to - from, fragment.charFormat()});
    }
    return formats;
}

void ViewportTextLayout::LayOutPieces(const QTextBlock &block, int number, qreal y,
                                      int offset) const {
    LongParagraph *pieces = LongParagraph::Of(block);
    if (pieces->Complete() || (pieces->LaidHeight() > y && pieces->LaidLength() > offset))
        return;
    const QString text = block.text();
    const QTextBlockFormat format = block.blockFormat();
    const QTextOption option = OptionFor(block, format, pieces->WrapsAnywhere());
    do {
        const int start = pieces->LaidLength();
        const int rest = pieces->TextLength() - start;
        int length = rest - kPieceLength < kPieceLength / 4 ? rest : kPieceLength;
        if (length < rest && text.at(start + length - 1).isHighSurrogate())
            ++length;
        LongParagraph::Piece piece;
        piece.start = start;
        piece.layout = std::make_unique<QTextLayout>(text.mid(start, length),
                                                     document()->defaultFont(), paintDevice());
        piece.layout->setFormats(FormatsOf(block, start, length));
        piece.layout->setTextOption(option);
        const Lines lines = LayOutLines(piece.layout.get(), block, start == 0);
        piece.lines = piece.layout->lineCount();
        piece.length = length;
        piece.height = lines.height;
        // The last line may end only because the piece does: the next piece starts with it.
        if (length < rest && piece.lines > 1) {
            --piece.lines;
            piece.length = piece.layout->lineAt(piece.lines).textStart();
            piece.height = lines.lastTop;
        }
        pieces->Append(std::move(piece));
    } while (!pieces->Complete() && (pieces->LaidHeight() <= y || pieces->LaidLength() <= offset));
    const qreal above = SpaceAbove(block);
    m_heights.Set(number, {above + pieces->Height(), above, true});
}

void ViewportTextLayout::Measure(const QTextBlock &block, int number) const {
    if (const LongParagraph *pieces = LongParagraph::Of(block)) {
        if (!m_heights.At(number).measured || pieces->TextLength() != block.length() - 1)
            LayOut(block, number);
        return;
    }
    // An edit not reported yet has already emptied its paragraph's lines.
    if (!m_heights.At(number).measured || block.layout()->lineCount() == 0)
        LayOut(block, number);
}

void ViewportTextLayout::MeasureViewAbove(QTextBlock block, int number) const {
    for (qreal reach = m_viewHeight; reach > 0 && number > 0;) {
        block = block.previous();
        --number;
        Measure(block, number);
        reach -= m_heights.At(number).value;
    }
}

QPointF ViewportTextLayout::Origin(const QTextBlock &block, int number) const {
    const qreal margin = document()->documentMargin();
    const QPointF origin(margin, margin + m_heights.Top(number) + m_heights.At(number).above);
    block.layout()->setPosition(origin);
    return origin;
}

// Estimates made before anything was seen take the default font's lines and letters; the first
// screen tells better, and what is below it is estimated again once if it differs.
void ViewportTextLayout::Calibrate() const {
    if (m_calibrated || m_seenLines < kCalibrationLines || m_seenCharacters <= 0)
        return;
    m_calibrated = true;
    const qreal lineHeight = m_seenLinesHeight / m_seenLines;
    const qreal charWidth = m_seenLinesWidth / m_seenCharacters;
    if (std::abs(lineHeight / m_lineHeight - 1) < kWorthEstimatingAgain &&
        std::abs(charWidth / m_charWidth - 1) < kWorthEstimatingAgain)
        return;
    m_lineHeight = lineHeight;
    m_charWidth = charWidth;
    std::vector<Height> heights;
    heights.reserve(std::size_t(m_heights.Count()));
    QHash<int, Shape> shapes;
    int number = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next(), ++number) {
        const Height &known = m_heights.At(number);
        heights.push_back(known.measured ? known
                                         : Estimate(block, ShapeOf(block, shapes), known.above));
    }
    m_heights.Replace(0, m_heights.Count(), heights);
}

void ViewportTextLayout::ReportSize(bool now) const {
    if (!now) {
        if (!m_reportQueued) {
            m_reportQueued = true;
            QMetaObject::invokeMethod(
                const_cast<ViewportTextLayout *>(this),
                [this] {
                    m_reportQueued = false;
                    ReportSize(true);
                },
                Qt::QueuedConnection);
        }
        return;
    }
    const QSizeF size = documentSize();
    if (size != m_reportedSize) {
        m_reportedSize = size;
        emit const_cast<ViewportTextLayout *>(this)->documentSizeChanged(size);
    }
}

void ViewportTextLayout::documentChanged(int from, int removed, int added) {
    QTextDocument *doc = document();
    if (from == 0 && added >= doc->characterCount())
        m_heightsStale = true; // a new text, width or option: everything is laid out again
    if (m_heightsStale) {
        emit update();
        ReportSize(true);
        return;
    }
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::min(from + added, doc->characterCount() - 1));
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    // The changed paragraphs were these many before the change.
    const int oldLast = lastNumber - (doc->blockCount() - m_heights.Count());
    if (!first.isValid() || !last.isValid() || oldLast < firstNumber - 1 ||
        oldLast >= m_heights.Count()) {
        m_heightsStale = true;
        emit update();
        ReportSize(true);
        return;
    }
    if (firstNumber == lastNumber && oldLast == firstNumber &&
        EditedInPieces(first, firstNumber, from - first.position(), added - removed))
        return;
    const qreal oldHeight = m_heights.Top(oldLast + 1) - m_heights.Top(firstNumber);
    std::vector<Height> heights;
    for (QTextBlock block = first;; block = block.next()) {
        block.clearLayout();
        heights.push_back(Estimate(block, ShapeOf(block), SpaceAbove(block)));
        if (block == last)
            break;
    }
    m_heights.Replace(firstNumber, oldLast - firstNumber + 1, heights);
    // The space above the next paragraph follows the last one's bottom margin.
    if (const QTextBlock next = last.next(); next.isValid()) {
        Height height = m_heights.At(lastNumber + 1);
        const qreal above = SpaceAbove(next);
        height.value += above - height.above;
        height.above = above;
        m_heights.Set(lastNumber + 1, height);
    }
    if (lastNumber - firstNumber < kLaidOutAtOnce) {
        int number = firstNumber;
        for (QTextBlock block = first; number <= lastNumber; block = block.next(), ++number)
            LayOut(block, number);
    }
    const qreal top = doc->documentMargin() + m_heights.Top(firstNumber);
    const qreal height = m_heights.Top(lastNumber + 1) - m_heights.Top(firstNumber);
    emit update(QRectF(0, top, kFarBelow, height == oldHeight ? height : kFarBelow));
    ReportSize(true);
}

// An edit inside a long paragraph lays out again only the pieces from the edited line on that
// the caret needs; the rest keep their height until they are looked at.
bool ViewportTextLayout::EditedInPieces(const QTextBlock &block, int number, int offset,
                                        int grown) {
    LongParagraph *pieces = LongParagraph::Of(block);
    if (pieces == nullptr || pieces->TextLength() + grown != block.length() - 1 ||
        !TakesPieces(block) || HasOverLongWord(block) != pieces->WrapsAnywhere())
        return false;
    pieces->Changed(offset, block.length() - 1);
    LayOutPieces(block, number, 0, offset + std::max(grown, 0));
    ReportSize(true);
    const qreal top = document()->documentMargin() + m_heights.Top(number);
    emit update(QRectF(0, top, kFarBelow, kFarBelow));
    return true;
}

qreal ViewportTextLayout::LayOutView(qreal top) {
    EnsureHeights();
    if (m_heights.Count() == 0)
        return 0;
    const qreal margin = document()->documentMargin();
    const int first = m_heights.BlockAt(top - margin);
    const Height before = m_heights.At(first);
    const bool startsAbove = margin + m_heights.Top(first) < top;
    qreal y = margin + m_heights.Top(first);
    int number = first;
    for (QTextBlock block = document()->findBlockByNumber(first);
         block.isValid() && y < top + m_viewHeight; block = block.next(), ++number) {
        Measure(block, number);
        y += m_heights.At(number).value;
    }
    ReportSize(true);
    return startsAbove && !before.measured ? m_heights.At(first).value - before.value : 0;
}

int ViewportTextLayout::PositionNear(qreal y) const {
    EnsureHeights();
    return document()
        ->findBlockByNumber(m_heights.BlockAt(y - document()->documentMargin()))
        .position();
}

void ViewportTextLayout::draw(QPainter *painter, const PaintContext &context) {
    EnsureHeights();
    const qreal clipTop = context.clip.isValid() ? context.clip.top() : 0;
    const qreal clipBottom = context.clip.isValid() ? context.clip.bottom() : kFarBelow;
    const qreal margin = document()->documentMargin();
    int number = m_heights.BlockAt(clipTop - margin);
    qreal top = margin + m_heights.Top(number);
    m_drawing = true;
    for (QTextBlock block = document()->findBlockByNumber(number);
         block.isValid() && top <= clipBottom; block = block.next(), ++number) {
        Measure(block, number);
        if (block.isVisible())
            DrawBlock(painter, context, block, number, Origin(block, number));
        top += m_heights.At(number).value;
    }
    m_drawing = false;
    Calibrate();
    ReportSize(false);
}

void ViewportTextLayout::DrawBlock(QPainter *painter, const PaintContext &context,
                                   const QTextBlock &block, int number, QPointF origin) const {
    if (LongParagraph::Of(block) != nullptr) {
        DrawPieces(painter, context, block, number, origin);
        return;
    }
    const QTextBlockFormat format = block.blockFormat();
    const QBrush background = format.background();
    const QTextLayout *layout = block.layout();
    const QRectF box = layout->boundingRect().translated(origin);
    if (background.style() != Qt::NoBrush)
        painter->fillRect(box, background);
    if (block.textList() != nullptr)
        DrawListMarker(painter, block, *layout);
    DrawText(painter, context, *layout, block.position(), block.length(), context.clip);

    if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
        const qreal width = format.lengthProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)
                                .value(box.width());
        const qreal y = block.length() == 1 ? box.center().y() : box.bottom();
        const QPen pen = painter->pen();
        painter->setPen(context.palette.color(QPalette::Dark));
        painter->drawLine(QLineF(box.center().x() - width / 2, y, box.center().x() + width / 2, y));
        painter->setPen(pen);
    }
}

void ViewportTextLayout::DrawPieces(QPainter *painter, const PaintContext &context,
                                    const QTextBlock &block, int number, QPointF origin) const {
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(0, 0, kFarBelow, kFarBelow);
    LayOutPieces(block, number, clip.bottom() - origin.y(), 0);
    const LongParagraph *pieces = LongParagraph::Of(block);
    const QBrush background = block.blockFormat().background();
    for (const LongParagraph::Piece &piece : pieces->Pieces()) {
        // Its own lines only: the line after them is the next piece's first.
        const QRectF own(0, origin.y() + piece.top, kFarBelow, piece.height - 0.5);
        if (own.bottom() < clip.top())
            continue;
        if (own.top() > clip.bottom())
            break;
        piece.layout->setPosition(QPointF(origin.x(), own.top()));
        painter->save();
        painter->setClipRect(own, Qt::IntersectClip);
        if (background.style() != Qt::NoBrush)
            painter->fillRect(piece.layout->boundingRect().translated(piece.layout->position()),
                              background);
        if (piece.start == 0 && block.textList() != nullptr)
            DrawListMarker(painter, block, *piece.layout);
        const bool last = piece.start + piece.length >= pieces->TextLength();
        DrawText(painter, context, *piece.layout, block.position() + piece.start,
                 piece.length + (last ? 1 : 0), clip.intersected(own));
        painter->restore();
    }
}

// Draws `length` characters from document position `start`, laid out by `layout` at its
// position, with the selections and the caret that fall on them.
void ViewportTextLayout::DrawText(QPainter *painter, const PaintContext &context,
                                  const QTextLayout &layout, int start, int length,
                                  const QRectF &clip) const {
    QList<QTextLayout::FormatRange> selections;
    for (const Selection &range : context.selections) {
        const int from = range.cursor.selectionStart() - start;
        const int to = range.cursor.selectionEnd() - start;
        const int at = range.cursor.position() - start;
        if (from < length && to > 0 && to > from) {
            selections.append({from, to - from, range.format});
        } else if (!range.cursor.hasSelection() &&
                   range.format.hasProperty(QTextFormat::FullWidthSelection) && at >= 0 &&
                   at < length) {
            const QTextLine line = layout.lineForTextPosition(at);
            QTextLayout::FormatRange whole{line.textStart(), line.textLength(), range.format};
            if (whole.start + whole.length == length - 1)
                ++whole.length; // the paragraph's end too
            selections.append(whole);
        }
    }
    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    layout.draw(painter, QPointF(), selections, clip);

    int caret = -1;
    if (context.cursorPosition < -1 && !layout.preeditAreaText().isEmpty())
        caret = layout.preeditAreaPosition() - (context.cursorPosition + 2);
    else if (context.cursorPosition >= start && context.cursorPosition < start + length)
        caret = context.cursorPosition - start;
    if (caret >= 0)
        layout.drawCursor(painter, QPointF(), caret, m_cursorWidth);
    painter->setPen(pen);
}

// A list's bullet or number, left of the item's first line (right of it in right-to-left text).
void ViewportTextLayout::DrawListMarker(QPainter *painter, const QTextBlock &block,
                                        const QTextLayout &layout) const {
    if (layout.lineCount() == 0)
        return;
    const QTextCharFormat charFormat = block.charFormat();
    const QFontMetricsF metrics(charFormat.font());
    const QRectF line = layout.lineAt(0).naturalTextRect().translated(layout.position());
    const bool rightToLeft = block.textDirection() == Qt::RightToLeft;
    const qreal gap = metrics.horizontalAdvance(QLatin1Char(' '));
    const QBrush ink = charFormat.foreground().style() != Qt::NoBrush ? charFormat.foreground()
                                                                      : painter->pen().brush();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QTextListFormat::Style style = block.textList()->format().style();
    if (style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
        style == QTextListFormat::ListSquare) {
        const qreal side = metrics.lineSpacing() / 3;
        const QRectF mark(rightToLeft ? line.right() + gap : line.left() - gap - side,
                          line.top() + (metrics.height() - side) / 2, side, side);
        painter->setPen(style == QTextListFormat::ListCircle ? QPen(ink, 0) : Qt::NoPen);
        painter->setBrush(style == QTextListFormat::ListCircle ? QBrush() : ink);
        if (style == QTextListFormat::ListSquare)
            painter->drawRect(mark);
        else
            painter->drawEllipse(mark);
    } else {
        const QString number = block.textList()->itemText(block);
        const qreal width = metrics.horizontalAdvance(number);
        painter->setFont(charFormat.font());
        painter->setPen(QPen(ink, 0));
        painter->drawText(QPointF(rightToLeft ? line.right() + gap : line.left() - gap - width,
                                  line.top() + metrics.ascent()),
                          number);
    }
    painter->restore();
}

int ViewportTextLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const {
    EnsureHeights();
    const qreal margin = document()->documentMargin();
    int number = m_heights.BlockAt(point.y() - margin);
    QTextBlock block = document()->findBlockByNumber(number);
    if (!block.isValid())
        return -1;
    // Laid out, a paragraph may end above the point: the one below it holds it then.
    for (Measure(block, number);
         point.y() - margin >= m_heights.Top(number + 1) && block.next().isValid();
         Measure(block, number)) {
        block = block.next();
        ++number;
    }
    const QPointF origin = Origin(block, number);
    const QTextLayout *layout = block.layout();
    int position = block.position();
    bool exact = false;
    if (const LongParagraph *pieces = LongParagraph::Of(block)) {
        const qreal y = point.y() - origin.y();
        LayOutPieces(block, number, y, 0);
        if (const LongParagraph::Piece *piece = pieces->AtHeight(y); piece == nullptr) {
            position += block.length();
        } else if (y >= 0) {
            piece->layout->setPosition(origin + QPointF(0, piece->top));
            position +=
                piece->start + OffsetAt(*piece->layout, piece->lines, point, accuracy, exact);
        }
    } else if (const QRectF text = layout->boundingRect().translated(origin);
               point.y() > text.bottom()) {
        position += block.length();
    } else if (point.y() >= text.top()) {
        position += OffsetAt(*layout, layout->lineCount(), point, accuracy, exact);
    }
    ReportSize(false);
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    const int last = document()->characterCount() - 1 + int(layout->preeditAreaText().size());
    return std::clamp(position, 0, last);
}

// The offset in `layout`'s text of what is at `point`, looking at its first `lines` lines.
int ViewportTextLayout::OffsetAt(const QTextLayout &layout, int lines, QPointF point,
                                 Qt::HitTestAccuracy accuracy, bool &exact) {
    const QPointF at = point - layout.position();
    int offset = 0;
    for (int i = 0; i < lines; ++i) {
        const QTextLine line = layout.lineAt(i);
        const QRectF rect = line.naturalTextRect();
        if (rect.top() > at.y()) {
            offset = std::min(offset, line.textStart());
        } else if (rect.bottom() <= at.y()) {
            offset = std::max(offset, line.textStart() + line.textLength());
        } else {
            exact = rect.left() <= at.x() && rect.right() >= at.x();
            return line.xToCursor(at.x(), accuracy == Qt::ExactHit
                                              ? QTextLine::CursorOnCharacter
                                              : QTextLine::CursorBetweenCharacters);
        }
    }
    return offset;
}

int ViewportTextLayout::pageCount() const {
    return 1;
}

QSizeF ViewportTextLayout::documentSize() const {
    EnsureHeights();
    return {std::max(document()->pageSize().width(), m_widest),
            m_heights.Total() + 2 * document()->documentMargin()};
}

QRectF ViewportTextLayout::frameBoundingRect(QTextFrame *frame) const {
    const QSizeF size = documentSize();
    if (frame == nullptr || frame == document()->rootFrame())
        return {QPointF(), size};
    const int first = document()->findBlock(frame->firstPosition()).blockNumber();
    const int last = document()->findBlock(frame->lastPosition()).blockNumber();
    const qreal top = document()->documentMargin() + m_heights.Top(first);
    return {0, top, size.width(), m_heights.Top(last + 1) - m_heights.Top(first)};
}

QRectF ViewportTextLayout::blockBoundingRect(const QTextBlock &block) const {
    if (!block.isValid() || block.document() != document())
        return {};
    EnsureHeights();
    const int number = block.blockNumber();
    if (!m_heights.At(number).measured)
        MeasureViewAbove(block, number);
    Measure(block, number);
    ReportSize(false);
    if (const LongParagraph *pieces = LongParagraph::Of(block))
        return {Origin(block, number), QSizeF(TextWidth(), pieces->Height())};
    return {Origin(block, number), block.layout()->boundingRect().size()};
}

bool ViewportTextLayout::InPieces(int position) const {
    return LongParagraph::Of(document()->findBlock(position)) != nullptr;
}

QRectF ViewportTextLayout::CaretRect(int position) const {
    EnsureHeights();
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const int number = block.blockNumber();
    Measure(block, number);
    const int offset = position - block.position();
    const QTextLayout *layout = block.layout();
    int start = 0;
    qreal top = 0;
    if (const LongParagraph *pieces = LongParagraph::Of(block)) {
        LayOutPieces(block, number, 0, offset);
        const LongParagraph::Piece *piece = pieces->AtOffset(offset);
        layout = piece->layout.get();
        start = piece->start;
        top = piece->top;
    }
    const QPointF origin = Origin(block, number);
    ReportSize(false);
    const QTextLine line = layout->lineForTextPosition(offset - start);
    if (!line.isValid())
        return {origin, QSizeF(m_cursorWidth, m_lineHeight)};
    return {origin.x() + line.cursorToX(offset - start), origin.y() + top + line.y(),
            qreal(m_cursorWidth), line.height()};
}
