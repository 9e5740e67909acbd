#include "TestSupport.h"

#include "platform/CommandButton.h"
#include "tools/frmCalendar.h"

#include <QCalendarWidget>
#include <QToolButton>

class tst_frmCalendar : public QObject {
    Q_OBJECT
private slots:
    void opensOnTodayAndKeepsTheBrowsedMonthAcrossHiding() {
        TestRun run;
        frmCalendar &window = Module1::Forms().Show<frmCalendar>();
        QCOMPARE(window.MonthView1->selectedDate(), QDate(2026, 12, 5));
        QCOMPARE(window.MonthView1->monthShown(), 12);

        auto &next = Control<QToolButton>(*window.MonthView1, "qt_calendar_nextmonth");
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(&next, Qt::LeftButton);
        const QDate picked(2027, 3, 1);
        QCOMPARE(window.MonthView1->monthShown(), 3);
        window.MonthView1->setSelectedDate(picked);

        for (bool byEscape : {false, true}) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            window.MonthView1->setFocus();
            if (byEscape)
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                QTest::mouseClick(window.cmdCClose, Qt::LeftButton);
            QVERIFY(!window.isVisible());
            QCOMPARE(&Module1::Forms().Show<frmCalendar>(), &window);
            QCOMPARE(window.MonthView1->yearShown() * 100 + window.MonthView1->monthShown(),
                     202703);
            QCOMPARE(window.MonthView1->selectedDate(), picked);
        }
    }
};

QTEST_MAIN(tst_frmCalendar)
#include "tst_frmCalendar.moc"
