#include "platform/ViewportTextLayout.h"

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
        const Shape &shape = ShapeOf(block, shapes);
        const qreal above = heights.empty() ? 0 : Steps(std::max(shape.top, previousBottom));
        heights.push_back(Estimate(block, shape, above));
        previousBottom = shape.bottom;
    }
    m_heights.Replace(0, m_heights.Count(), heights);
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
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = block.textDirection();
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    option.setAlignment(QStyle::visualAlignment(
        direction,
        format.hasProperty(QTextFormat::BlockAlignment) ? format.alignment() : option.alignment()));
    const qreal width = TextWidth();
    if (format.nonBreakableLines() || width < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    else if (option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere &&
             HasOverLongWord(block))
        option.setWrapMode(QTextOption::WrapAnywhere);
    layout->setTextOption(option);

    const qreal indent = Indent(block, format);
    const bool rightToLeft = direction == Qt::RightToLeft;
    const qreal left = Steps(format.leftMargin()) + (rightToLeft ? 0 : indent);
    const qreal right = Steps(width) - Steps(format.rightMargin()) - (rightToLeft ? indent : 0);
    qreal y = 0;
    qreal bottom = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        qreal lineLeft = left;
        qreal lineRight = right;
        if (line.lineNumber() == 0 && rightToLeft)
            lineRight -= Steps(format.textIndent());
        else if (line.lineNumber() == 0)
            lineLeft += Steps(format.textIndent());
        line.setLineWidth(std::max<qreal>(0, lineRight - lineLeft));
        const LineSpacing spacing = SpacingOf(format, line);
        line.setPosition(QPointF(lineLeft, y - spacing.raise));
        bottom = y + spacing.bottom;
        y += spacing.height;
        m_widest = std::max(m_widest, line.x() + line.naturalTextWidth() + format.rightMargin() +
                                          2 * document()->documentMargin());
    }
    layout->endLayout();
    y = std::max(y, bottom);
    m_heights.Set(number, {above + y, above, true});
    Origin(block, number); // where a screen reader looks for its characters

    const int lines = layout->lineCount();
    m_seenLines += lines;
    m_seenLinesHeight += y;
    if (lines > 1 && width > 0) {
        m_seenCharacters += block.length() - 1;
        m_seenLinesWidth += (lines - 0.5) * (right - left);
    }
}

void ViewportTextLayout::Measure(const QTextBlock &block, int number) const {
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

void ViewportTextLayout::documentChanged(int from, int, int added) {
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
            DrawBlock(painter, context, block, Origin(block, number));
        top += m_heights.At(number).value;
    }
    m_drawing = false;
    Calibrate();
    ReportSize(false);
}

void ViewportTextLayout::DrawBlock(QPainter *painter, const PaintContext &context,
                                   const QTextBlock &block, QPointF origin) const {
    QTextLayout *layout = block.layout();
    const QRectF box = layout->boundingRect().translated(origin);
    const QTextBlockFormat format = block.blockFormat();
    if (const QBrush background = format.background(); background.style() != Qt::NoBrush)
        painter->fillRect(box, background);

    const int start = block.position();
    const int length = block.length();
    QList<QTextLayout::FormatRange> selections;
    for (const Selection &range : context.selections) {
        const int from = range.cursor.selectionStart() - start;
        const int to = range.cursor.selectionEnd() - start;
        if (from < length && to > 0 && to > from) {
            selections.append({from, to - from, range.format});
        } else if (!range.cursor.hasSelection() &&
                   range.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(range.cursor.position())) {
            const QTextLine line = layout->lineForTextPosition(range.cursor.position() - start);
            QTextLayout::FormatRange whole{line.textStart(), line.textLength(), range.format};
            if (whole.start + whole.length == length - 1)
                ++whole.length; // the paragraph's end too
            selections.append(whole);
        }
    }
    if (block.textList() != nullptr)
        DrawListMarker(painter, block, origin);

    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    layout->draw(painter, QPointF(), selections, context.clip);

    int caret = -1;
    if (context.cursorPosition < -1 && !layout->preeditAreaText().isEmpty())
        caret = layout->preeditAreaPosition() - (context.cursorPosition + 2);
    else if (context.cursorPosition >= start && context.cursorPosition < start + length)
        caret = context.cursorPosition - start;
    if (caret >= 0)
        layout->drawCursor(painter, QPointF(), caret, m_cursorWidth);

    if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
        const qreal width = format.lengthProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)
                                .value(box.width());
        const qreal y = length == 1 ? box.center().y() : box.bottom();
        painter->setPen(context.palette.color(QPalette::Dark));
        painter->drawLine(QLineF(box.center().x() - width / 2, y, box.center().x() + width / 2, y));
    }
    painter->setPen(pen);
}

// A list's bullet or number, left of the item's first line (right of it in right-to-left text).
void ViewportTextLayout::DrawListMarker(QPainter *painter, const QTextBlock &block,
                                        QPointF origin) const {
    const QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const QTextCharFormat charFormat = block.charFormat();
    const QFontMetricsF metrics(charFormat.font());
    const QRectF line = layout->lineAt(0).naturalTextRect().translated(origin);
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
    const QRectF text = layout->boundingRect().translated(origin);
    int position = block.position();
    bool exact = false;
    if (point.y() > text.bottom()) {
        position += block.length();
    } else if (point.y() >= text.top()) {
        const QPointF at = point - origin;
        int offset = 0;
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const QRectF rect = line.naturalTextRect();
            if (rect.top() > at.y()) {
                offset = std::min(offset, line.textStart());
            } else if (rect.bottom() <= at.y()) {
                offset = std::max(offset, line.textStart() + line.textLength());
            } else {
                exact = rect.left() <= at.x() && rect.right() >= at.x();
                offset = line.xToCursor(at.x(), accuracy == Qt::ExactHit
                                                    ? QTextLine::CursorOnCharacter
                                                    : QTextLine::CursorBetweenCharacters);
                break;
            }
        }
        position += offset;
    }
    ReportSize(false);
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    const int last = document()->characterCount() - 1 + int(layout->preeditAreaText().size());
    return std::clamp(position, 0, last);
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
    return {Origin(block, number), block.layout()->boundingRect().size()};
}
