#pragma once

#include <QList>
#include <QToolBar>
#include <QToolButton>

// A toolbar button: a push button, named for a screen reader by its command, with its tooltip
// as description. A toggle button also has a pressed look (Value) that the program sets;
// clicking never presses it by itself, and a plain button is never drawn pressed.
class ToolbarButton : public QToolButton {
    Q_OBJECT
public:
    ToolbarButton(QString key, const QString &toolTip, QWidget *parent = nullptr);

    QString Key() const { return m_key; }
    void SetToggle(bool toggle) { setCheckable(toggle); }
    // 1 pressed, 0 not pressed.
    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value) { setChecked(value == 1); }

protected:
    void nextCheckState() override {}

private:
    QString m_key;
};

// A toolbar whose positions count from 1, separators included; buttons are found by position or
// by key, and every button's click arrives as one ButtonClick.
class Toolbar : public QToolBar {
    Q_OBJECT
public:
    explicit Toolbar(QWidget *parent = nullptr);

    ToolbarButton *AddButton(const QString &key, const QString &toolTip, const QIcon &picture);
    void AddSeparator();

    int Count() const { return static_cast<int>(m_positions.size()); }
    // The button at a position from 1; nullptr for a separator or a position out of range.
    ToolbarButton *Buttons(int position) const;
    ToolbarButton *ButtonByKey(const QString &key) const;
    bool IsSeparator(int position) const;

signals:
    void ButtonClick(ToolbarButton *button);

private:
    QList<ToolbarButton *> m_positions; // nullptr marks a separator
};
