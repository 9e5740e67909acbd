#pragma once

#include "platform/ClickableLabel.h"

#include <QList>
#include <QStatusBar>
#include <QTimer>

// One panel of a status bar. A date or time panel shows the current date or time by itself. A
// screen reader reads the panel's text (a label tells it of every change).
class StatusPanel : public ClickableLabel {
    Q_OBJECT
public:
    enum class Style { Text, Date, Time };

    StatusPanel(const QString &key, Style style, QWidget *parent = nullptr);

    QString Key() const { return m_key; }
    Style PanelStyle() const { return m_style; }
    QString Text() const { return text(); }
    void SetText(const QString &text) { setText(text); }

private:
    QString m_key;
    Style m_style;
};

// A status bar of numbered panels (from 1) with keys. Its font applies to every panel; date and
// time panels are kept current in the user's regional formats.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // A spring panel takes the width the others leave.
    StatusPanel *AddPanel(const QString &key, StatusPanel::Style style, const QString &text,
                          const QString &toolTip, bool spring = false);
    int Count() const { return static_cast<int>(m_panels.size()); }
    StatusPanel *Panels(int number) const;
    StatusPanel *PanelByKey(const QString &key) const;

    bool Bold() const { return font().bold(); }
    void SetBold(bool bold);

    // Writes the current date and time into the date and time panels.
    void RefreshClock();

signals:
    void PanelClick(StatusPanel *panel);

private:
    QList<StatusPanel *> m_panels;
    QTimer m_clock;
};
