#pragma once

#include <QTextEdit>

// The rich text box: a rich text editor with the KeyPress and MouseDown events of the entry.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

signals:
    // Raised for each key press that delivers a character; a handler may set the code to 0
    // to swallow the key.
    void KeyPress(qint16 &keyAscii);
    // Raised when any mouse button is pressed over the text.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
