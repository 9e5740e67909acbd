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
    void opensOnToday();
    void keepsTheBrowsedMonthAndDayAcrossHiding();
    void escapeClosesLikeClose();
};

void tst_frmCalendar::opensOnToday() {
    TestRun run;
    const QDate today = QDate::currentDate();
    Module1::Forms().Show<frmCalendar>();
    frmCalendar &window = Module1::Forms().Get<frmCalendar>();
    QCOMPARE(window.windowTitle(), QStringLiteral("Calendar"));
    QCOMPARE(window.MonthView1->selectedDate(), today);
    QCOMPARE(window.MonthView1->monthShown(), today.month());
    QCOMPARE(window.MonthView1->yearShown(), today.year());
}

void tst_frmCalendar::keepsTheBrowsedMonthAndDayAcrossHiding() {
    TestRun run;
    Module1::Forms().Show<frmCalendar>();
    frmCalendar &window = Module1::Forms().Get<frmCalendar>();
    const QDate today = QDate::currentDate();

    // Browse three months ahead with the calendar's next-month arrow, and pick a day.
    auto *next =
        window.MonthView1->findChild<QToolButton *>(QStringLiteral("qt_calendar_nextmonth"));
    QVERIFY(next);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(next, Qt::LeftButton);
    const QDate browsed = today.addMonths(3);
    QCOMPARE(window.MonthView1->monthShown(), browsed.month());
    const QDate picked(browsed.year(), browsed.month(), 1);
    window.MonthView1->setSelectedDate(picked);

    QTest::mouseClick(window.cmdCClose, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    Module1::Forms().Show<frmCalendar>();

    QCOMPARE(&Module1::Forms().Get<frmCalendar>(), &window);
    QVERIFY(window.isVisible());
    QCOMPARE(window.MonthView1->monthShown(), browsed.month());
    QCOMPARE(window.MonthView1->yearShown(), browsed.year());
    QCOMPARE(window.MonthView1->selectedDate(), picked);
}

void tst_frmCalendar::escapeClosesLikeClose() {
    TestRun run;
    Module1::Forms().Show<frmCalendar>();
    frmCalendar &window = Module1::Forms().Get<frmCalendar>();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.MonthView1->setFocus();
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmCalendar>());
}

QTEST_MAIN(tst_frmCalendar)
#include "tst_frmCalendar.moc"
