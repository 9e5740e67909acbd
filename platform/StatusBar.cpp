#include "platform/StatusBar.h"

#include "platform/Regional.h"
#include "platform/Services.h"

#include <QDateTime>

StatusPanel::StatusPanel(const QString &key, Style style, QWidget *parent)
    : ClickableLabel({}, parent)
    , m_key(key)
    , m_style(style) {
    setObjectName(key);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMargin(1);
}

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent) {
    setSizeGripEnabled(false);
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &StatusBar::RefreshClock);
}

StatusPanel *StatusBar::AddPanel(const QString &key, StatusPanel::Style style, const QString &text,
                                 const QString &toolTip, bool spring) {
    auto *panel = new StatusPanel(key, style, this);
    panel->SetText(text);
    panel->setToolTip(toolTip);
    panel->setAccessibleDescription(toolTip);
    if (style != StatusPanel::Style::Text) {
        panel->setAlignment(Qt::AlignCenter);
        m_clock.start();
    }
    addWidget(panel, spring ? 1 : 0);
    m_panels.append(panel);
    connect(panel, &StatusPanel::Click, this, [this, panel] { emit PanelClick(panel); });
    RefreshClock();
    return panel;
}

StatusPanel *StatusBar::Panels(int number) const {
    if (number < 1 || number > Count())
        return nullptr;
    return m_panels.at(number - 1);
}

StatusPanel *StatusBar::PanelByKey(const QString &key) const {
    for (StatusPanel *panel : m_panels)
        if (panel->Key() == key)
            return panel;
    return nullptr;
}

void StatusBar::SetBold(bool bold) {
    QFont bolder = font();
    bolder.setBold(bold);
    setFont(bolder);
}

void StatusBar::RefreshClock() {
    const QDateTime now = Services::Now();
    for (StatusPanel *panel : m_panels) {
        if (panel->PanelStyle() == StatusPanel::Style::Date)
            panel->SetText(Regional::ShortDateText(now.date()));
        else if (panel->PanelStyle() == StatusPanel::Style::Time)
            panel->SetText(Regional::LongTimeText(now.time()));
    }
}
