#include "tools/frmCalendar.h"

#include "platform/CommandButton.h"
#include "platform/Services.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>

frmCalendar::frmCalendar()
    : MonthView1(new QCalendarWidget(this))
    , cmdCClose(new CommandButton(QStringLiteral("&Close"), this)) {
    setWindowTitle(QStringLiteral("Calendar"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
}

void frmCalendar::BuildControls() {
    setObjectName(QStringLiteral("frmCalendar"));
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    cmdCClose->setObjectName(QStringLiteral("cmdCClose"));
    MonthView1->setAccessibleName(QStringLiteral("Month calendar"));
    // The calendar's own month arrows show only pictures, and its grid of days has no name.
    const std::pair<const char *, const char *> unnamed[] = {
        {"qt_calendar_prevmonth", "Previous month"},
        {"qt_calendar_nextmonth", "Next month"},
        {"qt_calendar_calendarview", "Days"}};
    for (const auto &[objectName, spoken] : unnamed)
        if (auto *part = MonthView1->findChild<QWidget *>(QLatin1String(objectName)))
            part->setAccessibleName(QLatin1String(spoken));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(MonthView1);
    layout->addLayout(buttons);

    // Esc closes the calendar as the Close button does.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &frmCalendar::cmdCClose_Click);
    connect(cmdCClose, &QPushButton::clicked, this, &frmCalendar::cmdCClose_Click);
    FixSizeToContents();
}

void frmCalendar::Form_Load() {
    // Only at the first showing: later showings keep the month and day the user left.
    const QDate today = Services::Now().date();
    MonthView1->setSelectedDate(today);
    MonthView1->setCurrentPage(today.year(), today.month());
}

void frmCalendar::cmdCClose_Click() {
    Hide();
}
