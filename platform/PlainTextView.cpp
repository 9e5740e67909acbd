#include "platform/PlainTextView.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <climits>

namespace {

constexpr int kMargin = 4;

QAccessibleInterface *MakeAccessibleView(const QString &className, QObject *object);

} // namespace

// What a screen reader reads of the view: the whole text, read-only, lines joined by line feeds,
// with the caret at the start of the top line on screen, so that scrolling by a line moves the
// caret by a line and the screen reader reads the line that comes into view. Moving the caret
// scrolls.
class AccessiblePlainTextView final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessiblePlainTextView(PlainTextView *view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? View()->VisibleText() : QAccessibleWidget::text(kind);
    }

    // Nothing in the view can be selected.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}

    int cursorPosition() const override { return Starts()[View()->FirstVisibleLine()]; }
    void setCursorPosition(int position) override {
        View()->verticalScrollBar()->setValue(static_cast<int>(LineAt(position)));
    }
    void scrollToSubstring(int start, int) override {
        const qsizetype line = LineAt(start);
        const qsizetype first = View()->FirstVisibleLine();
        if (line < first || line >= first + View()->VisibleLineCount())
            setCursorPosition(start);
    }

    int characterCount() const override { return LineCount() == 0 ? 0 : Starts().back() - 1; }
    QString text(int start, int end) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                             int *end) const override {
        return Around(offset, -1, boundary, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                         int *end) const override {
        return Around(offset, 0, boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                            int *end) const override {
        return Around(offset, 1, boundary, start, end);
    }

    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    QString attributes(int, int *start, int *end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    PlainTextView *View() const { return static_cast<PlainTextView *>(widget()); }
    qsizetype LineCount() const { return View()->LineCount(); }
    const std::vector<int> &Starts() const;
    qsizetype LineAt(int offset) const;
    QString LineWithFeed(qsizetype line) const {
        return line + 1 < LineCount() ? View()->Line(line) + QLatin1Char('\n') : View()->Line(line);
    }
    // The text `step` units (-1, 0, 1) from the one at `offset`.
    QString Around(int offset, int step, QAccessible::TextBoundaryType boundary, int *start,
                   int *end) const;
};

const std::vector<int> &AccessiblePlainTextView::Starts() const {
    std::vector<int> &starts = View()->m_characterStarts;
    if (starts.empty()) {
        starts.reserve(static_cast<size_t>(LineCount()) + 1);
        qsizetype start = 0;
        starts.push_back(0);
        for (qsizetype i = 0; i < LineCount(); ++i) {
            start += View()->Line(i).size() + 1;
            starts.push_back(static_cast<int>(std::min<qsizetype>(start, INT_MAX)));
        }
    }
    return starts;
}

qsizetype AccessiblePlainTextView::LineAt(int offset) const {
    const std::vector<int> &starts = Starts();
    const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
    const qsizetype line = std::distance(starts.begin(), after) - 1;
    return std::clamp<qsizetype>(line, 0, std::max<qsizetype>(0, LineCount() - 1));
}

QString AccessiblePlainTextView::text(int start, int end) const {
    start = std::max(start, 0);
    end = std::min(end, characterCount());
    if (start >= end)
        return {};
    const qsizetype first = LineAt(start);
    QString lines;
    for (qsizetype line = first; line <= LineAt(end - 1); ++line)
        lines += LineWithFeed(line);
    return lines.mid(start - Starts()[first], end - start);
}

QString AccessiblePlainTextView::Around(int offset, int step,
                                        QAccessible::TextBoundaryType boundary, int *start,
                                        int *end) const {
    *start = *end = -1;
    switch (boundary) {
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary: {
        const qsizetype line = LineAt(offset) + step;
        if (LineCount() == 0 || line < 0 || line >= LineCount())
            return {};
        *start = Starts()[line];
        QString text = LineWithFeed(line);
        *end = *start + static_cast<int>(text.size());
        return text;
    }
    case QAccessible::CharBoundary: {
        const int at = offset + step;
        if (at < 0 || at >= characterCount())
            return {};
        *start = at;
        *end = at + 1;
        return text(at, at + 1);
    }
    case QAccessible::NoBoundary:
        if (step != 0)
            return {};
        *start = 0;
        *end = characterCount();
        return text(0, *end);
    default:
        // Words and sentences: rare enough to be found in the whole text.
        if (step < 0)
            return QAccessibleTextInterface::textBeforeOffset(offset, boundary, start, end);
        if (step > 0)
            return QAccessibleTextInterface::textAfterOffset(offset, boundary, start, end);
        return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
    }
}

QRect AccessiblePlainTextView::characterRect(int offset) const {
    if (offset < 0 || offset >= characterCount())
        return {};
    const PlainTextView *view = View();
    const qsizetype line = LineAt(offset);
    const qsizetype column = offset - Starts()[line];
    const QPoint topLeft(kMargin + static_cast<int>(column) * view->CharWidth() -
                             view->horizontalScrollBar()->value(),
                         kMargin + static_cast<int>(line - view->FirstVisibleLine()) *
                                       view->LineHeight());
    return {view->viewport()->mapToGlobal(topLeft), QSize(view->CharWidth(), view->LineHeight())};
}

int AccessiblePlainTextView::offsetAtPoint(const QPoint &point) const {
    const PlainTextView *view = View();
    const QPoint at = view->viewport()->mapFromGlobal(point);
    if (!view->viewport()->rect().contains(at) || at.y() < kMargin)
        return -1;
    const qsizetype line = view->FirstVisibleLine() + (at.y() - kMargin) / view->LineHeight();
    if (line >= LineCount())
        return -1;
    const int column =
        std::max(0, at.x() + view->horizontalScrollBar()->value() - kMargin) / view->CharWidth();
    return Starts()[line] + static_cast<int>(std::min<qsizetype>(column, view->Line(line).size()));
}

namespace {

QAccessibleInterface *MakeAccessibleView(const QString &className, QObject *object) {
    if (className == QLatin1String("PlainTextView"))
        return new AccessiblePlainTextView(static_cast<PlainTextView *>(object));
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
    const auto shown = qScopeGuard([this] { ShowFromTheTop(); }); // nothing, if it fails
    m_lines.Load(path);
}

void PlainTextView::SetContents(QByteArray bytes) {
    m_lines.SetBytes(std::move(bytes));
    ShowFromTheTop();
}

void PlainTextView::ShowFromTheTop() {
    m_characterStarts.clear();
    m_characterStarts.shrink_to_fit();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
}

QString PlainTextView::Line(qsizetype index) const {
    return QString::fromLocal8Bit(m_lines.Line(index));
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
    const qint64 textWidth = qint64(m_lines.LongestLine()) * CharWidth() + qint64(2) * kMargin;
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
    // Only for a screen reader: the caret's offset needs the index of every line's offset.
    if (!QAccessible::isActive())
        return;
    if (QAccessibleTextInterface *text =
            QAccessible::queryAccessibleInterface(this)->textInterface()) {
        QAccessibleTextCursorEvent moved(this, text->cursorPosition());
        QAccessible::updateAccessibility(&moved);
    }
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
