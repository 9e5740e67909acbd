// The main window's status bar: four panels, addressed by number (from 1) and by key.
#include "mainwindow/frmMain.h"
#include "platform/Regional.h"
#include "platform/StatusBar.h"

#include <QFontMetrics>

namespace {

// Wide enough for the text in bold, since the whole bar turns bold while the marker shows.
int BoldWidthOf(const QWidget *panel, const QString &sample) {
    QFont bold = panel->font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(sample) + 16;
}

} // namespace

void frmMain::BuildStatusBar() {
    using Style = StatusPanel::Style;
    staMain->AddPanel(QStringLiteral("orvsoftware"), Style::Text, QStringLiteral("Orv Software"),
                      QStringLiteral("Displays the full path\\filename of current data"), true);
    StatusPanel *modified =
        staMain->AddPanel(QStringLiteral("modified"), Style::Text, QStringLiteral("NOT SAVED!"),
                          QStringLiteral("(Bold) Mod = need to save current data"));
    StatusPanel *date = staMain->AddPanel(QStringLiteral("date"), Style::Date, {}, {});
    StatusPanel *time = staMain->AddPanel(QStringLiteral("time"), Style::Time, {}, {});
    modified->setMinimumWidth(BoldWidthOf(modified, QStringLiteral("NOT SAVED!")));
    // Samples with wide digits, in the user's formats.
    date->setMinimumWidth(BoldWidthOf(date, Regional::ShortDateText(QDate(2000, 12, 28))));
    time->setMinimumWidth(qMax(BoldWidthOf(time, Regional::LongTimeText(QTime(10, 58, 58))),
                               BoldWidthOf(time, Regional::LongTimeText(QTime(22, 58, 58)))));
    // A screen reader reads each panel's text; these two say what theirs is.
    date->setAccessibleDescription(QStringLiteral("Date"));
    time->setAccessibleDescription(QStringLiteral("Time"));
}
