#pragma once

#include <QAccessible>
#include <QWidget>

// A window of the program. The registry creates it at its first reference and runs its
// Form_Load once; closing it only hides it, so a later showing finds it as it was left.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);

    virtual void Form_Load() {}
    // Runs when the window is unloaded, before it is destroyed.
    virtual void Form_Unload() {}

    // A plain show: visible, in front and active; returns at once. Never modal.
    void Show();
    void Hide();
    // A plain show beside `other`, covering none of it where the screen leaves room, and kept
    // above it by the window manager even when `other` stays on top of every window.
    void ShowNextTo(const QWidget &other);

    // What a screen reader takes the window for; it names the window by its caption.
    virtual QAccessible::Role AccessibleRole() const { return QAccessible::Dialog; }
    // A click on the bare background, for a window that takes one; a screen reader can press the
    // window to the same effect.
    virtual bool TakesClicks() const { return false; }
    virtual void Form_Click() {}

protected:
    // A fixed-size window with a title but no title-bar buttons, centred at its first showing.
    void MakeFixedWindowWithoutButtons();
    // A fixed-size window with neither caption nor title bar, centred at its first showing.
    void MakeBorderlessWindow();
    // Fixes the size to what the layout asks for; call after the controls are built.
    void FixSizeToContents();

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CenterOnScreen();

    bool m_centred = false;
};
