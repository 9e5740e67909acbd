#pragma once

#include "platform/TextLines.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <vector>

// A read-only view of a plain text file of any size, such as the security log. It reads only
// the lines on screen (see TextLines), so a file of ten million lines opens at once and costs
// little memory beyond the offset of each line. It draws no caret and takes no typing; the
// keyboard scrolls. Lines end at LF, with a CR before it dropped, or at a lone CR. A screen
// reader reads it as a read-only text whose caret is at the top line on screen.
class PlainTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PlainTextView(QWidget *parent = nullptr);

    // Shows the file's text, in the system's 8-bit encoding, from its first line. Throws
    // RuntimeError when the file cannot be read; the view then shows nothing.
    void LoadFile(const QString &path);
    // Shows `bytes` as text in the system's 8-bit encoding.
    void SetContents(QByteArray bytes);

    qsizetype LineCount() const { return m_lines.Count(); }
    QString Line(qsizetype index) const;
    // The whole text, lines joined by "\n".
    QString Text() const;
    qsizetype FirstVisibleLine() const;
    // The lines on screen, joined by "\n".
    QString VisibleText() const;

signals:
    // Raised when a mouse button is pressed, released or double-clicked over the text.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    // The scroll bars count lines and pixels; the view repaints rather than moving pixels.
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class AccessiblePlainTextView;

    void ShowFromTheTop();
    void UpdateScrollBars();
    int LineHeight() const;
    int CharWidth() const;
    int VisibleLineCount() const;

    TextLines m_lines;
    // Where each line starts in Text(), in characters; built when a screen reader first asks.
    mutable std::vector<int> m_characterStarts;
};
