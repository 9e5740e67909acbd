#include "platform/PlainTextView.h"

#include "platform/FileIO.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int kMargin = 4;

// The end of the line from `at`: its LF, a CR that no LF follows (a line torn before its LF),
// or `end`.
const char *LineEnd(const char *at, const char *end) {
    const void *found = std::memchr(at, '\n', static_cast<size_t>(end - at));
    const char *lf = found ? static_cast<const char *>(found) : end;
    const char *cr = static_cast<const char *>(std::memchr(at, '\r', static_cast<size_t>(lf - at)));
    return cr && (cr + 1 != lf || lf == end) ? cr : lf;
}

// What a screen reader reads of the view: the lines on screen, as it would read a page.
class AccessibleView : public QAccessibleWidget {
public:
    explicit AccessibleView(PlainTextView *view)
        : QAccessibleWidget(view, QAccessible::StaticText) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return static_cast<const PlainTextView *>(widget())->VisibleText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *MakeAccessibleView(const QString &className, QObject *object) {
    if (className == QLatin1String("PlainTextView") && object->isWidgetType())
        return new AccessibleView(static_cast<PlainTextView *>(object));
    return nullptr;
}

} // namespace

PlainTextView::PlainTextView(QWidget *parent)
    : QAbstractScrollArea(parent) {
    static const bool accessibleViews = (QAccessible::installFactory(MakeAccessibleView), true);
    Q_UNUSED(accessibleViews);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    setFont(fixed);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::ArrowCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

void PlainTextView::LoadFile(const QString &path) {
    SetContents({});
    SetContents(FileIO::ReadAll(path));
}

void PlainTextView::SetContents(QByteArray bytes) {
    m_bytes = std::move(bytes);
    IndexLines();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
}

void PlainTextView::IndexLines() {
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    // Count first, so the index is allocated once at its final size.
    qsizetype lines = 0;
    for (const char *at = data, *end = data + size; at < end; ++lines)
        at = LineEnd(at, end) + 1;
    m_lineStarts.clear();
    m_lineStarts.shrink_to_fit();
    m_lineStarts.reserve(static_cast<size_t>(lines) + 1);
    m_longestLineBytes = 0;
    qsizetype start = 0;
    while (start < size) {
        m_lineStarts.push_back(start);
        const qsizetype end = LineEnd(data + start, data + size) - data;
        m_longestLineBytes = std::max(m_longestLineBytes, end - start);
        start = end + 1;
    }
    // One more start past the last line, so every line ends one byte before the next start.
    if (!m_lineStarts.empty())
        m_lineStarts.push_back(start);
}

QString PlainTextView::Line(qsizetype index) const {
    if (index < 0 || index >= LineCount())
        return {};
    const qsizetype start = m_lineStarts[static_cast<size_t>(index)];
    qsizetype end = m_lineStarts[static_cast<size_t>(index + 1)] - 1;
    if (end > start && m_bytes[end - 1] == '\r')
        --end;
    return QString::fromLocal8Bit(m_bytes.constData() + start, end - start);
}

QString PlainTextView::Text() const {
    QStringList lines;
    lines.reserve(LineCount());
    for (qsizetype i = 0; i < LineCount(); ++i)
        lines.append(Line(i));
    return lines.join(QLatin1Char('\n'));
}

qsizetype PlainTextView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

QString PlainTextView::VisibleText() const {
    QStringList lines;
    const qsizetype first = FirstVisibleLine();
    for (qsizetype i = first; i < LineCount() && i < first + VisibleLineCount(); ++i)
        lines.append(Line(i));
    return lines.join(QLatin1Char('\n'));
}

int PlainTextView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int PlainTextView::CharWidth() const {
    return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int PlainTextView::VisibleLineCount() const {
    return std::max(1, (viewport()->height() - kMargin) / LineHeight());
}

void PlainTextView::UpdateScrollBars() {
    const int visible = VisibleLineCount();
    const qsizetype lastFirst = std::max<qsizetype>(0, LineCount() - visible);
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<qsizetype>(lastFirst, INT_MAX)));
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
    // Bytes are at least as many as characters, so the longest line's byte count bounds its
    // width without decoding every line.
    const qint64 textWidth = qint64(m_longestLineBytes) * CharWidth() + 2 * kMargin;
    const qint64 hiddenWidth = std::max<qint64>(0, textWidth - viewport()->width());
    horizontalScrollBar()->setRange(0, static_cast<int>(std::min<qint64>(hiddenWidth, INT_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(CharWidth());
}

void PlainTextView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const int lineHeight = LineHeight();
    const int ascent = fontMetrics().ascent();
    const int charWidth = CharWidth();
    const int scrolledBy = horizontalScrollBar()->value();
    // Only the columns on screen are drawn, so a line of any length paints quickly. Narrow
    // characters may fit two to a column, hence the double count.
    const qsizetype firstColumn = scrolledBy / charWidth;
    const qsizetype columns = 2 * (viewport()->width() / charWidth) + 2;
    const int x = kMargin + static_cast<int>(firstColumn * charWidth) - scrolledBy;
    int y = kMargin;
    for (qsizetype i = FirstVisibleLine(); i < LineCount() && y < viewport()->height();
         ++i, y += lineHeight) {
        const QString text = Line(i);
        if (text.size() > firstColumn)
            painter.drawText(x, y + ascent, text.mid(firstColumn, columns));
    }
}

void PlainTextView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void PlainTextView::changeEvent(QEvent *event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateScrollBars();
}

void PlainTextView::scrollContentsBy(int, int) {
    viewport()->update();
    QAccessibleEvent scrolled(this, QAccessible::VisibleDataChanged);
    QAccessible::updateAccessibility(&scrolled);
}

void PlainTextView::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Home:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    default:
        // Arrows and page keys scroll; anything else, typing included, passes on unchanged.
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void PlainTextView::mousePressEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void PlainTextView::mouseReleaseEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    emit MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void PlainTextView::mouseDoubleClickEvent(QMouseEvent *) {
    emit DblClick();
}
