#pragma once

#include <QPushButton>

// A command button: Enter or Space on it while it has the focus presses it, and no button is
// a window's default button. Its accessible name is its caption without the access-key "&".
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);

    void SetCaption(const QString &caption);
};
