#pragma once

#include <QLineEdit>

// A single-line text box with a KeyPress event: each key that delivers a character raises it
// with the character's code, which a handler may set to 0 to swallow the key.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    // Shows every typed character as `mask` ("*"); a null QChar shows the text in clear.
    void SetPasswordChar(QChar mask);

signals:
    void KeyPress(qint16 &keyAscii);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
