#pragma once

#include <QObject>
#include <QRect>
#include <optional>

class QKeyEvent;
class QTextEdit;
class ViewportTextLayout;

// QTextEdit reads where the caret is, and the lines its keys move by, from a paragraph's own
// layout, which stays empty in a paragraph laid out in pieces. There, this scrolls the box to
// the caret, repaints it, moves it by lines and pages, and tells an input method where it is.
class LongParagraphCaret final : public QObject {
    Q_OBJECT
public:
    explicit LongParagraphCaret(QTextEdit *box);

    // Moves the caret for a line or page key inside such a paragraph; false for any other key
    // or place, which QTextEdit handles.
    bool Move(QKeyEvent *event);
    // The caret's rectangle in the box when it is in such a paragraph.
    std::optional<QRect> CaretInBox() const;

private:
    Q_SLOT void EnsureVisible(const QRectF &requested);
    Q_SLOT void Repaint();
    const ViewportTextLayout *Layout() const;
    bool InLongParagraph(int position) const;
    // As QTextEdit scrolls to what it is asked to show: as little as shows it whole.
    void ScrollToShow(const QRect &rect);

    QTextEdit *m_box;
};
