// The hidden card: armed from the About window, unlocked by clicking every keyed status panel,
// then typing the code and clicking a panel once more; put away by a click on its background.
#include "MainWindowDriver.h"
#include "TestSupport.h"

#include "app/Module1.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "tools/frmAbout.h"
#include "tools/frmEgg.h"

#include <QLabel>

namespace {

const QString kCardCue = QStringLiteral("\\graphics\\s_bilbo.wav");

frmEgg &Card() {
    return Module1::Forms().Get<frmEgg>();
}

bool CardOpen() {
    return Module1::Forms().IsLoaded<frmEgg>() && Card().isVisible();
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
        Module1::Forms().Show<frmAbout>();
        QLabel *thanks = Module1::Forms().Get<frmAbout>().lblAMsg2;
        QTest::mouseClick(thanks, Qt::LeftButton, {}, thanks->rect().center());
    } else if (step.startsWith(QLatin1Char('='))) {
        main.txtEgg->clear();
        QTest::keyClicks(main.txtEgg, step.mid(1).replace(QLatin1Char('_'), QLatin1Char(' ')));
    } else if (step == QLatin1String("B")) {
        QTest::mouseClick(&Card(), Qt::LeftButton, {}, QPoint(3, Card().height() - 3));
    } else if (step == QLatin1String("S")) {
        main.ToggleSound();
    } else {
        StatusPanel *panel = main.staMain->PanelByKey(panels.value(step));
        QVERIFY2(panel, qPrintable(step));
        QTest::mouseClick(panel, Qt::LeftButton);
    }
}

// What shows: '-' no code box, 'o' the empty box, '#' the box with text, '*' the card.
QChar Seen(frmMain &main) {
    if (CardOpen())
        return QLatin1Char('*');
    if (!main.txtEgg->isVisible())
        return QLatin1Char('-');
    return main.txtEgg->text().isEmpty() ? QLatin1Char('o') : QLatin1Char('#');
}

frmMain &OpenWithStrayPanels() {
    frmMain &main = OpenMainWindow();
    main.staMain->AddPanel(QStringLiteral("Time"), StatusPanel::Style::Text, {}, {});
    main.staMain->AddPanel(QStringLiteral("other"), StatusPanel::Style::Text, {}, {});
    return main;
}

void OpenCard(frmMain &main) {
    for (const char *step : {"A", "o", "m", "d", "t", "=GRWNNWRG", "d"})
        Do(main, QLatin1String(step));
    QVERIFY(CardOpen());
}

} // namespace

class tst_HiddenCard : public QObject {
    Q_OBJECT
private slots:
    void lockArmingAndCode_data();
    void lockArmingAndCode();
    void cardIsPutAwayOnlyByABackgroundClick();
    void cardTexts();
};

void tst_HiddenCard::lockArmingAndCode_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("seen"); // after each step
    QTest::addColumn<int>("cardCues");
    QTest::newRow("armed first") << "A o m d t"
                                 << "----o" << 0;
    QTest::newRow("armed last, shown at the next click") << "t d m o A m"
                                                         << "-----o" << 0;
    QTest::newRow("a panel clicked again is no other panel") << "A d d t t m m o"
                                                             << "-------o" << 0;
    QTest::newRow("never armed") << "o m d t d"
                                 << "-----" << 0;
    QTest::newRow("keys compared exactly") << "A o m d T x t"
                                           << "------o" << 0;
    // The code is compared at a click, of any panel, after the one that revealed the box; a
    // wrong code leaves box, arming and panels as they were for another try.
    QTest::newRow("code at a later click") << "A o m d t =GRWNNWRG x"
                                           << "----o#*" << 1;
    QTest::newRow("lower case") << "A o m d t =grwnnwrg m =GRWNNWRG T"
                                << "----o###*" << 1;
    QTest::newRow("one letter lower") << "A o m d t =GRWNNWRg o =GRWNNWRG o"
                                      << "----o###*" << 1;
    QTest::newRow("trailing space") << "A o m d t =GRWNNWRG_ d =GRWNNWRG d"
                                    << "----o###*" << 1;
    QTest::newRow("one letter short") << "A o m d t =GRWNNWR t =GRWNNWRG t"
                                      << "----o###*" << 1;
    // Each showing uses up the arming and the panels, and the cue plays at the first Load only,
    // if sound is on then.
    QTest::newRow("second showing needs everything again, silently")
        << "A o m d t =GRWNNWRG d B A o m d t =GRWNNWRG t"
        << "----o#*-----o#*" << 1;
    QTest::newRow("clicks before arming count once armed") << "A o m d t =GRWNNWRG d B o m d t A o"
                                                           << "----o#*------o" << 1;
    QTest::newRow("sound off at the first showing: silent for good")
        << "S A o m d t =GRWNNWRG d B S A o m d t =GRWNNWRG d"
        << "-----o#*------o#*" << 0;
}

void tst_HiddenCard::lockArmingAndCode() {
    QFETCH(QString, steps);
    QFETCH(QString, seen);
    QFETCH(int, cardCues);
    TestRun run;
    frmMain &main = OpenWithStrayPanels();
    QString trace;
    for (const QString &step : steps.split(QLatin1Char(' '))) {
        Do(main, step);
        trace += Seen(main);
    }
    QCOMPARE(trace, seen);
    QCOMPARE(run.Cues().count(kCardCue), cardCues);
}

void tst_HiddenCard::cardIsPutAwayOnlyByABackgroundClick() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    OpenCard(main);
    // Showing the card used up the arming and every panel's click.
    QCOMPARE(QList<qint16>({Module1::gCardArmed, main.mPanelOrvSoftware, main.mPanelModified,
                            main.mPanelDate, main.mPanelTime}),
             QList<qint16>(5, 0));
    frmEgg &card = Card();
    for (QLabel *label : {card.lblEMsg1, card.Label1, card.Label2, card.Label10, card.imgEgg}) {
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QVERIFY2(card.isVisible(), qPrintable(label->objectName()));
    }
    QTest::mouseClick(&card, Qt::RightButton, {}, QPoint(3, 3));
    QVERIFY(card.isVisible());
    // The box stays as it was, masked, while the card is open.
    QVERIFY(main.txtEgg->isVisible());
    QCOMPARE(main.txtEgg->displayText(), QString(8, QLatin1Char('*')));

    // Neither Esc nor a close request from the window manager puts it away.
    QTest::keyClick(&card, Qt::Key_Escape);
    QVERIFY(!card.close());
    QVERIFY(card.isVisible());

    Do(main, QStringLiteral("B"));
    QVERIFY(!card.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmEgg>());
    QVERIFY(!main.txtEgg->isVisible());
    QVERIFY(main.txtEgg->text().isEmpty());
}

void tst_HiddenCard::cardTexts() {
    TestRun run;
    frmEgg &card = Card();
    QCOMPARE(card.lblEMsg1->text(), QStringLiteral("Ha, You found it! :-)"));
    const std::pair<QLabel *, QLabel *> rows[] = {{card.Label1, card.Label2},
                                                  {card.Label3, card.Label4},
                                                  {card.Label5, card.Label6},
                                                  {card.Label7, card.Label8},
                                                  {card.Label9, card.Label10}};
    QStringList headings;
    for (const auto &[heading, value] : rows) {
        headings.append(heading->text());
        // Each value, filled in, sits on its heading's row, to the right of it.
        QVERIFY(!value->text().isEmpty() && value->y() == heading->y());
        QVERIFY(value->x() >= heading->x() + heading->width());
    }
    QCOMPARE(headings, (QStringList{"NAME:", "STATUS:", "GOAL:", "ADDRESS:", "DATE:"}));
}

QTEST_MAIN(tst_HiddenCard)
#include "tst_HiddenCard.moc"
