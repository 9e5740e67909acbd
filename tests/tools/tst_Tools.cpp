#include "TestSupport.h"

#include "app/Gradient.h"
#include "platform/ClickableLabel.h"
#include "platform/CommandButton.h"
#include "tools/frmAbout.h"
#include "tools/frmCalendar.h"

#include <QCalendarWidget>
#include <QImage>
#include <QSignalSpy>
#include <QToolButton>

class tst_Tools : public QObject {
    Q_OBJECT
private slots:
    void aboutShowsItsTextsOnTheGradient() {
        TestRun run;
        frmAbout &window = Module1::Forms().Show<frmAbout>();
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(window.lblAMsg2->text(), QStringLiteral("Thanks for trying my progrtam :-)"));
        const QString credits = window.lblAMsg->text();
        QVERIFY(credits.startsWith(QStringLiteral(
            "The following people have helped me with this program  by studying their code: ")));
        QVERIFY(credits.trimmed().endsWith(QStringLiteral("Thanks!")));

        const QImage image = window.grab().toImage();
        const int h = image.height();
        const int x = 2; // left of every label
        QCOMPARE(image.pixelColor(x, 0), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(x, h / 2), QColor(220, 220, 255));
        QCOMPARE(image.pixelColor(x, h - 1), GradientRowColor(kAboutGradient, h - 1, h));
        QCOMPARE(image.pixelColor(image.width() - 1, h / 2), QColor(220, 220, 255));
    }

    void aboutHidesAtAnyClickAndOnlyItsLastLineArms_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("arms");
        QTest::newRow("background") << "frmAbout" << 0;
        QTest::newRow("credits") << "lblAMsg" << 0;
        QTest::newRow("addresses") << "lblAMsg1" << 0;
        QTest::newRow("thanks") << "lblAMsg2" << 1;
    }

    void aboutHidesAtAnyClickAndOnlyItsLastLineArms() {
        QFETCH(QString, target);
        QFETCH(int, arms);
        TestRun run;
        frmAbout &window = Module1::Forms().Show<frmAbout>();
        QSignalSpy armed(&window, &frmAbout::CardArmed);
        QWidget *widget = target == window.objectName() ? &window : &Control(window, target);
        const QPoint point = widget == &window ? QPoint(4, 4) : widget->rect().center();

        // A press alone does nothing, nor does a click of the other button.
        QTest::mouseClick(widget, Qt::RightButton, {}, point);
        QTest::mousePress(widget, Qt::LeftButton, {}, point);
        QVERIFY(window.isVisible());
        QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
        QVERIFY(!window.isVisible());
        QCOMPARE(armed.size(), arms);
        Module1::Forms().Show<frmAbout>();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(armed.size(), arms);
    }

    void calendarOpensOnTodayAndKeepsTheBrowsedMonthAcrossHiding() {
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

QTEST_MAIN(tst_Tools)
#include "tst_Tools.moc"
