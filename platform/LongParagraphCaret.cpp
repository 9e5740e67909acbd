#include "platform/LongParagraphCaret.h"

#include "platform/ViewportTextLayout.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QScrollBar>
#include <QTextEdit>
#include <algorithm>
#include <iterator>

LongParagraphCaret::LongParagraphCaret(QTextEdit *box)
    : QObject(box)
    , m_box(box) {
    const QList<QObject *> children = box->children();
    const auto control = std::find_if(children.begin(), children.end(), [](QObject *child) {
        return child->inherits("QWidgetTextControl");
    });
    if (control == children.end())
        return;
    // Qt's text control is a private class: its signals can be reached only by their names.
    disconnect(*control, SIGNAL(visibilityRequest(QRectF)), box, SLOT(_q_ensureVisible(QRectF)));
    connect(*control, SIGNAL(visibilityRequest(QRectF)), this, SLOT(EnsureVisible(QRectF)));
    connect(*control, SIGNAL(updateRequest(QRectF)), this, SLOT(Repaint()));
}

const ViewportTextLayout *LongParagraphCaret::Layout() const {
    return qobject_cast<const ViewportTextLayout *>(m_box->document()->documentLayout());
}

bool LongParagraphCaret::InLongParagraph(int position) const {
    const ViewportTextLayout *layout = Layout();
    return layout != nullptr && layout->InPieces(position);
}

void LongParagraphCaret::EnsureVisible(const QRectF &requested) {
    const int position = m_box->textCursor().position();
    // A drag asks for the point under the mouse; everything else for the caret.
    if (requested.size() != QSizeF(1, 1) && InLongParagraph(position))
        ScrollToShow(Layout()->CaretRect(position).adjusted(-5, 0, 5, 0).toRect());
    else
        ScrollToShow(requested.toRect());
}

void LongParagraphCaret::ScrollToShow(const QRect &rect) {
    QScrollBar *across = m_box->horizontalScrollBar();
    QScrollBar *down = m_box->verticalScrollBar();
    const int width = m_box->viewport()->width();
    const int height = m_box->viewport()->height();
    const bool rightToLeft = m_box->isRightToLeft();
    const int left = rightToLeft ? across->maximum() - across->value() : across->value();
    int newLeft = left;
    if (rect.left() < left)
        newLeft = rect.left();
    else if (rect.left() + rect.width() > left + width)
        newLeft = rect.left() + rect.width() - width;
    across->setValue(rightToLeft ? across->maximum() - newLeft : newLeft);
    if (rect.top() < down->value())
        down->setValue(rect.top());
    else if (rect.top() + rect.height() > down->value() + height)
        down->setValue(rect.top() + rect.height() - height);
}

// QTextEdit repaints only where it thinks the caret or the selection's ends are.
void LongParagraphCaret::Repaint() {
    const QTextCursor cursor = m_box->textCursor();
    if (InLongParagraph(cursor.position()) || InLongParagraph(cursor.anchor()))
        m_box->viewport()->update();
}

std::optional<QRect> LongParagraphCaret::CaretInBox() const {
    const int position = m_box->textCursor().position();
    if (!InLongParagraph(position))
        return std::nullopt;
    const QPoint scrolled(m_box->horizontalScrollBar()->value(),
                          m_box->verticalScrollBar()->value());
    return Layout()->CaretRect(position).toRect().translated(m_box->viewport()->pos() - scrolled);
}

bool LongParagraphCaret::Move(QKeyEvent *event) {
    QTextCursor cursor = m_box->textCursor();
    if (!InLongParagraph(cursor.position()))
        return false;
    enum Step { LineUp, LineDown, LineStart, LineEnd, PageUp, PageDown };
    static constexpr struct {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Step step;
    } kSteps[] = {
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, LineUp},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, LineDown},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, LineEnd},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, PageUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, PageDown},
    };
    const auto step = std::find_if(std::begin(kSteps), std::end(kSteps), [event](const auto &s) {
        return event->matches(s.move) || event->matches(s.select);
    });
    if (step == std::end(kSteps))
        return false;
    const ViewportTextLayout *layout = Layout();
    const QRectF caret = layout->CaretRect(cursor.position());
    const qreal margin = m_box->document()->documentMargin();
    const qreal x =
        cursor.verticalMovementX() >= 0 ? cursor.verticalMovementX() + margin : caret.left();
    const qreal page = m_box->viewport()->height();
    QPointF target;
    switch (step->step) {
    case LineUp:
        target = {x, caret.top() - 1};
        break;
    case LineDown:
        target = {x, caret.bottom() + 1};
        break;
    case LineStart:
        target = {0, caret.center().y()};
        break;
    case LineEnd:
        target = {1e9, caret.center().y()};
        break;
    case PageUp:
        target = {x, caret.center().y() - page};
        break;
    case PageDown:
        target = {x, caret.center().y() + page};
        break;
    }
    if (target.y() >= margin && target.y() < layout->documentSize().height() - margin) {
        cursor.setPosition(layout->hitTest(target, Qt::FuzzyHit), event->matches(step->select)
                                                                      ? QTextCursor::KeepAnchor
                                                                      : QTextCursor::MoveAnchor);
        if (step->step != LineStart && step->step != LineEnd)
            cursor.setVerticalMovementX(qRound(x - margin));
        if (step->step == PageUp || step->step == PageDown) {
            QScrollBar *bar = m_box->verticalScrollBar();
            bar->setValue(bar->value() + qRound(target.y() - caret.center().y()));
        }
        m_box->setTextCursor(cursor);
    }
    event->accept();
    return true;
}
