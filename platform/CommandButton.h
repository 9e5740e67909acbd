#pragma once

#include <QPushButton>
#include <QTimer>

// A command button: Enter or Space on it while it has the focus presses it, and no button is
// a window's default button. Its access key (Alt and the letter after "&" in its caption) runs
// its command at once; the button then looks pressed for a moment, as it does after a click.
// Its accessible name is its caption without the access-key "&".
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);

    void SetCaption(const QString &caption);

protected:
    bool event(QEvent *event) override;

private:
    QTimer m_pressedLook;
};
