#include "MainWindowDriver.h"

#include "app/Gradient.h"
#include "platform/ClickableLabel.h"
#include "platform/CommandButton.h"
#include "platform/TextBox.h"
#include "tools/frmAbout.h"
#include "tools/frmCalendar.h"
#include "tools/frmEgg.h"

#include <QCalendarWidget>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

namespace {

frmEgg &Card() {
    return Module1::Forms().Get<frmEgg>();
}

TextBox &CodeBox(const frmMain &main) {
    return Control<TextBox>(main, QStringLiteral("txtEgg"));
}

// One step of a user, as a word:
//   o m d t   click the keyed panel orvsoftware, modified, date or time
//   T x       click a panel keyed "Time" or "other", added for the test
//   A         arm: click the last line of the About window
//   =CODE     type CODE into the emptied code box ('_' for a space)
//   B         click the card's background
//   S         toggle the sound
void Do(frmMain &main, const QString &step) {
    static const QHash<QString, QString> panels = {{"o", "orvsoftware"}, {"m", "modified"},
                                                   {"d", "date"},        {"t", "time"},
                                                   {"T", "Time"},        {"x", "other"}};
    if (step == QLatin1String("A")) {
        Item(main, "mnuMHAbout").trigger();
        QLabel *thanks = Module1::Forms().Get<frmAbout>().lblAMsg2;
        QTest::mouseClick(thanks, Qt::LeftButton, {}, thanks->rect().center());
    } else if (step.startsWith(QLatin1Char('='))) {
        CodeBox(main).clear();
        QTest::keyClicks(&CodeBox(main), step.mid(1).replace(QLatin1Char('_'), QLatin1Char(' ')));
    } else if (step == QLatin1String("B")) {
        QTest::mouseClick(&Card(), Qt::LeftButton, {}, QPoint(3, Card().height() - 3));
    } else if (step == QLatin1String("S")) {
        Item(main, "mnuMTSound").trigger();
    } else {
        QTest::mouseClick(&Panel(main, panels.value(step)), Qt::LeftButton);
    }
}

// What shows: '-' no code box, 'o' the empty box, '#' the box with text, '*' the card.
QChar Seen(const frmMain &main) {
    if (Module1::Forms().IsLoaded<frmEgg>() && Card().isVisible())
        return QLatin1Char('*');
    if (!CodeBox(main).isVisible())
        return QLatin1Char('-');
    return CodeBox(main).text().isEmpty() ? QLatin1Char('o') : QLatin1Char('#');
}

} // namespace

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

    void cardLockArmingAndCode_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen"); // after each step
        QTest::addColumn<int>("cardCues");
        const auto row = [](const char *name, const char *steps, const char *seen, int cues = 0) {
            QTest::newRow(name) << steps << seen << cues;
        };
        row("armed first", "A o m d t", "----o");
        row("armed last, shown at the next click", "t d m o A m", "-----o");
        row("a panel clicked again is no other panel", "A d d t t m m o", "-------o");
        row("never armed", "o m d t d", "-----");
        row("keys compared exactly", "A o m d T x t", "------o");
        // The code is compared at a click, of any panel, after the one that revealed the box; a
        // wrong code leaves box, arming and panels as they were for another try.
        row("code at a later click", "A o m d t =GRWNNWRG x", "----o#*", 1);
        row("near misses", "A o m d t =grwnnwrg m =GRWNNWRg o =GRWNNWRG_ d =GRWNNWR t =GRWNNWRG T",
            "----o#########*", 1);
        // Each showing uses up the arming and the panels, and the cue plays at the first Load only,
        // if sound is on then.
        row("second showing needs everything again, silently",
            "A o m d t =GRWNNWRG d B A o m d t =GRWNNWRG t", "----o#*-----o#*", 1);
        row("clicks before arming count once armed", "A o m d t =GRWNNWRG d B o m d t A o",
            "----o#*------o", 1);
        row("sound off at the first showing: silent for good",
            "S A o m d t =GRWNNWRG d B S A o m d t =GRWNNWRG d", "-----o#*------o#*");
    }

    void cardLockArmingAndCode() {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        QFETCH(int, cardCues);
        TestRun run;
        frmMain &main = OpenMainWindow();
        StatusBar &bar = Control<StatusBar>(main, "staMain");
        bar.AddPanel(QStringLiteral("Time"), StatusPanel::Style::Text, {}, {});
        bar.AddPanel(QStringLiteral("other"), StatusPanel::Style::Text, {}, {});
        QString trace;
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            Do(main, step);
            trace += Seen(main);
        }
        QCOMPARE(trace, seen);
        QCOMPARE(run.Cues().count(QStringLiteral("\\graphics\\s_bilbo.wav")), cardCues);
    }

    void cardIsPutAwayOnlyByABackgroundClick() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        for (const char *step : {"A", "o", "m", "d", "t", "=GRWNNWRG", "d"})
            Do(main, QLatin1String(step));
        frmEgg &card = Card();
        QVERIFY(card.isVisible());
        QCOMPARE(card.lblEMsg1->text(), QStringLiteral("Ha, You found it! :-)"));
        for (QLabel *label : {card.lblEMsg1, card.Label1, card.Label2, card.Label10, card.imgEgg}) {
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
            QVERIFY2(card.isVisible(), qPrintable(label->objectName()));
        }
        QTest::mouseClick(&card, Qt::RightButton, {}, QPoint(3, 3));
        QTest::keyClick(&card, Qt::Key_Escape);
        QVERIFY(!card.close());
        QVERIFY(card.isVisible());
        QCOMPARE(CodeBox(main).displayText(), QString(8, QLatin1Char('*')));
    }
};

QTEST_MAIN(tst_Tools)
#include "tst_Tools.moc"
