#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "platform/CommandButton.h"
#include "tools/frmCalendar.h"

#include <QCalendarWidget>
#include <QTest>
#include <QToolButton>

class tst_frmCalendar : public QObject {
    Q_OBJECT
private slots:
    void opensOnTodayAndKeepsTheBrowsedMonthAcrossHiding();
};

void tst_frmCalendar::opensOnTodayAndKeepsTheBrowsedMonthAcrossHiding() {
    TestRun run;
    const QDate today = QDate::currentDate();
    Module1::Forms().Show<frmCalendar>();
    frmCalendar &window = Module1::Forms().Get<frmCalendar>();
    QCOMPARE(window.windowTitle(), QStringLiteral("Calendar"));
    QCOMPARE(window.MonthView1->selectedDate(), today);
    QCOMPARE(window.MonthView1->monthShown(), today.month());

    // Browse three months ahead with the calendar's next-month arrow, and pick a day.
    auto *next =
        window.MonthView1->findChild<QToolButton *>(QStringLiteral("qt_calendar_nextmonth"));
    QVERIFY(next);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(next, Qt::LeftButton);
    const QDate picked = today.addMonths(3).addDays(1 - today.addMonths(3).day());
    QCOMPARE(window.MonthView1->monthShown(), picked.month());
    window.MonthView1->setSelectedDate(picked);

    // Close, then Escape (ours, for the keyboard), hide it; it comes back as it was left.
    for (bool byEscape : {false, true}) {
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.MonthView1->setFocus();
        if (byEscape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            QTest::mouseClick(window.cmdCClose, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        Module1::Forms().Show<frmCalendar>();
        QCOMPARE(&Module1::Forms().Get<frmCalendar>(), &window);
        QCOMPARE(window.MonthView1->monthShown(), picked.month());
        QCOMPARE(window.MonthView1->yearShown(), picked.year());
        QCOMPARE(window.MonthView1->selectedDate(), picked);
    }
}

QTEST_MAIN(tst_frmCalendar)
#include "tst_frmCalendar.moc"
