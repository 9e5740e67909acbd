// The hidden card: armed from the About window, unlocked by clicking every keyed status panel,
// then typing the code and clicking a panel once more; put away by a click on its background.
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmMain.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "tools/frmAbout.h"
#include "tools/frmEgg.h"

#include <QAction>
#include <QLabel>
#include <QTest>

namespace {

const QString kCode = QStringLiteral("GRWNNWRG");
const QString kCardCue = QStringLiteral("\\graphics\\s_bilbo.wav");
const QStringList kKeys = {"orvsoftware", "modified", "date", "time"};

frmMain &OpenMainWindow() {
    Module1::Forms().Show<frmMain>();
    return Module1::Forms().Get<frmMain>();
}

void ClickPanel(frmMain &main, const QString &key) {
    StatusPanel *panel = main.staMain->PanelByKey(key);
    QVERIFY2(panel, qPrintable(key));
    QTest::mouseClick(panel, Qt::LeftButton);
}

void ClickEveryPanel(frmMain &main) {
    for (const QString &key : kKeys)
        ClickPanel(main, key);
}

// Arms the card the way a user does: the last line of the About window.
void Arm() {
    Module1::Forms().Show<frmAbout>();
    QLabel *thanks = Module1::Forms().Get<frmAbout>().lblAMsg2;
    QTest::mouseClick(thanks, Qt::LeftButton, {}, thanks->rect().center());
    QCOMPARE(Module1::gCardArmed, qint16(1));
}

bool CardOpen() {
    return Module1::Forms().IsLoaded<frmEgg>() && Module1::Forms().Get<frmEgg>().isVisible();
}

void ClickCardBackground() {
    frmEgg &card = Module1::Forms().Get<frmEgg>();
    QTest::mouseClick(&card, Qt::LeftButton, {}, QPoint(3, card.height() - 3));
}

int CardCues(const TestRun &run) {
    return static_cast<int>(run.Cues().count(kCardCue));
}

// Armed, panels clicked, box revealed, code typed, one more click: the card is open.
void OpenCard(frmMain &main) {
    Arm();
    ClickEveryPanel(main);
    QVERIFY(main.txtEgg->isVisible());
    QTest::keyClicks(main.txtEgg, kCode);
    ClickPanel(main, QStringLiteral("date"));
    QVERIFY(CardOpen());
}

} // namespace

class tst_HiddenCard : public QObject {
    Q_OBJECT
private slots:
    void boxShowsOnlyWhenArmedAndEveryKeyedPanelClicked_data();
    void boxShowsOnlyWhenArmedAndEveryKeyedPanelClicked();
    void panelKeysCountOnlyWhenExact();
    void onlyTheExactCodeAtALaterClickOpensTheCard_data();
    void onlyTheExactCodeAtALaterClickOpensTheCard();
    void cardClosesOnlyOnItsBackground();
    void escapeOrACloseRequestPutsTheCardAwayAsAClickWould();
    void secondShowingNeedsEverythingAgainAndIsSilent();
    void panelClicksWhileTheCardIsOpenCountLater();
    void soundOffOpensTheCardSilently();
    void cardTexts();
};

// Steps: "arm", or a panel key to click. After each step, whether the code box shows.
void tst_HiddenCard::boxShowsOnlyWhenArmedAndEveryKeyedPanelClicked_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("boxAfterEach");
    QTest::newRow("armed first") << QStringList{"arm", "orvsoftware", "modified", "date", "time"}
                                 << "----+";
    QTest::newRow("armed last, shown at the next click")
        << QStringList{"time", "date", "modified", "orvsoftware", "arm", "modified"} << "-----+";
    QTest::newRow("armed between clicks")
        << QStringList{"date", "time", "arm", "orvsoftware", "modified"} << "----+";
    QTest::newRow("a panel clicked again is not another panel")
        << QStringList{"arm", "date", "date", "time", "time", "modified", "modified", "orvsoftware"}
        << "-------+";
    QTest::newRow("never armed") << QStringList{"orvsoftware", "modified", "date", "time", "date"}
                                 << "-----";
}

void tst_HiddenCard::boxShowsOnlyWhenArmedAndEveryKeyedPanelClicked() {
    QFETCH(QStringList, steps);
    QFETCH(QString, boxAfterEach);
    TestRun run;
    frmMain &main = OpenMainWindow();
    QVERIFY(!main.txtEgg->isVisible());
    QString seen;
    for (const QString &step : steps) {
        if (step == QLatin1String("arm"))
            Arm();
        else
            ClickPanel(main, step);
        seen += main.txtEgg->isVisible() ? QLatin1Char('+') : QLatin1Char('-');
    }
    QCOMPARE(seen, boxAfterEach);
    // Revealing is all a click does while the box is empty.
    QVERIFY(!Module1::Forms().IsLoaded<frmEgg>());
    QCOMPARE(Module1::gCardArmed, qint16(steps.contains(QStringLiteral("arm")) ? 1 : 0));
    QVERIFY(main.txtEgg->text().isEmpty());
}

void tst_HiddenCard::panelKeysCountOnlyWhenExact() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    // Panels whose keys only resemble the real ones.
    main.staMain->AddPanel(QStringLiteral("Time"), StatusPanel::Style::Text, {}, {});
    main.staMain->AddPanel(QStringLiteral("other"), StatusPanel::Style::Text, {}, {});
    Arm();
    for (const char *key : {"orvsoftware", "modified", "date", "Time", "other"})
        ClickPanel(main, QString::fromLatin1(key));
    QVERIFY(!main.txtEgg->isVisible());
    QCOMPARE(main.mPanelTime, qint16(0));

    ClickPanel(main, QStringLiteral("time"));
    QVERIFY(main.txtEgg->isVisible());
    // Once the lock is met, any panel, keyed or not, makes the check.
    QTest::keyClicks(main.txtEgg, kCode);
    ClickPanel(main, QStringLiteral("other"));
    QVERIFY(CardOpen());
}

void tst_HiddenCard::onlyTheExactCodeAtALaterClickOpensTheCard_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("lower case") << "grwnnwrg";
    QTest::newRow("one letter in lower case") << "GRWNNWRg";
    QTest::newRow("followed by a space") << "GRWNNWRG ";
    QTest::newRow("after a space") << " GRWNNWRG";
    QTest::newRow("one letter short") << "GRWNNWR";
    QTest::newRow("reversed halves") << "NWRGGRWN";
}

void tst_HiddenCard::onlyTheExactCodeAtALaterClickOpensTheCard() {
    QFETCH(QString, typed);
    TestRun run;
    frmMain &main = OpenMainWindow();
    Arm();
    ClickEveryPanel(main);
    QVERIFY(main.txtEgg->isVisible());

    // A wrong code changes nothing: box, arming and flags stay for another try.
    QTest::keyClicks(main.txtEgg, typed);
    ClickPanel(main, QStringLiteral("modified"));
    QVERIFY(!Module1::Forms().IsLoaded<frmEgg>());
    QVERIFY(main.txtEgg->isVisible());
    QCOMPARE(main.txtEgg->text(), typed);
    QCOMPARE(Module1::gCardArmed, qint16(1));

    // Typing alone opens nothing; the corrected code counts at the next panel click.
    main.txtEgg->clear();
    QTest::keyClicks(main.txtEgg, kCode);
    QVERIFY(!Module1::Forms().IsLoaded<frmEgg>());
    ClickPanel(main, QStringLiteral("orvsoftware"));
    QVERIFY(CardOpen());
    QCOMPARE(Module1::gCardArmed, qint16(0));
    QCOMPARE(QList<qint16>(
                 {main.mPanelOrvSoftware, main.mPanelModified, main.mPanelDate, main.mPanelTime}),
             QList<qint16>({0, 0, 0, 0}));
    // The box stays as it was, masked text and all, while the card is open.
    QVERIFY(main.txtEgg->isVisible());
    QCOMPARE(main.txtEgg->text(), kCode);
    QCOMPARE(main.txtEgg->displayText(), QString(8, QLatin1Char('*')));
}

void tst_HiddenCard::cardClosesOnlyOnItsBackground() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    OpenCard(main);
    frmEgg &card = Module1::Forms().Get<frmEgg>();

    for (QLabel *label : {card.lblEMsg1, card.Label1, card.Label2, card.Label10, card.imgEgg}) {
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QVERIFY2(card.isVisible(), qPrintable(label->objectName()));
    }
    QTest::mouseClick(&card, Qt::RightButton, {}, QPoint(3, 3));
    QVERIFY(card.isVisible());
    QVERIFY(main.txtEgg->isVisible());

    ClickCardBackground();
    QVERIFY(!card.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmEgg>());
    QVERIFY(!main.txtEgg->isVisible());
    QVERIFY(main.txtEgg->text().isEmpty());
}

void tst_HiddenCard::escapeOrACloseRequestPutsTheCardAwayAsAClickWould() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    OpenCard(main);
    frmEgg &card = Module1::Forms().Get<frmEgg>();
    QTest::keyClick(&card, Qt::Key_Escape);
    QVERIFY(!card.isVisible());
    QVERIFY(!main.txtEgg->isVisible());
    QVERIFY(main.txtEgg->text().isEmpty());

    OpenCard(main);
    QVERIFY(!card.close()); // the window manager's close: hidden, never destroyed
    QVERIFY(!card.isVisible());
    QVERIFY(Module1::Forms().IsLoaded<frmEgg>());
    QVERIFY(!main.txtEgg->isVisible());
    QVERIFY(main.txtEgg->text().isEmpty());
}

void tst_HiddenCard::secondShowingNeedsEverythingAgainAndIsSilent() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    QCOMPARE(Module1::gSoundOn, qint16(1));
    OpenCard(main);
    QCOMPARE(CardCues(run), 1);
    QCOMPARE(run.Cues().last(), kCardCue);
    ClickCardBackground();

    // Armed anew, the panels clicked for the first showing no longer count: all four again.
    Arm();
    for (const char *key : {"orvsoftware", "modified", "date"}) {
        ClickPanel(main, QString::fromLatin1(key));
        QVERIFY2(!main.txtEgg->isVisible(), key);
    }
    ClickPanel(main, QStringLiteral("time"));
    QVERIFY(main.txtEgg->isVisible());
    QVERIFY(main.txtEgg->text().isEmpty());
    QTest::keyClicks(main.txtEgg, kCode);
    ClickPanel(main, QStringLiteral("time"));
    QVERIFY(CardOpen());
    // The same card again, without a second Load and so without a second cue.
    QCOMPARE(CardCues(run), 1);

    // And the arming was used up again: panels alone reveal nothing.
    ClickCardBackground();
    ClickEveryPanel(main);
    QVERIFY(!main.txtEgg->isVisible());
}

void tst_HiddenCard::panelClicksWhileTheCardIsOpenCountLater() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    OpenCard(main);

    // With the card open, clicks set the flags but open nothing until armed anew.
    ClickEveryPanel(main);
    QCOMPARE(Module1::gCardArmed, qint16(0));
    ClickCardBackground();
    QVERIFY(!main.txtEgg->isVisible());

    // Those flags count once armed: the next click reveals the box.
    Arm();
    QVERIFY(!main.txtEgg->isVisible());
    ClickPanel(main, QStringLiteral("orvsoftware"));
    QVERIFY(main.txtEgg->isVisible());
    QVERIFY(!CardOpen());
}

void tst_HiddenCard::soundOffOpensTheCardSilently() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    main.mnuMTSound->trigger();
    QCOMPARE(Module1::gSoundOn, qint16(0));
    OpenCard(main);
    QCOMPARE(CardCues(run), 0);
    ClickCardBackground();

    // Sound back on: the card's Load has already run, so it stays silent for the whole run.
    main.mnuMTSound->trigger();
    QCOMPARE(Module1::gSoundOn, qint16(1));
    OpenCard(main);
    QCOMPARE(CardCues(run), 0);
}

void tst_HiddenCard::cardTexts() {
    TestRun run;
    frmEgg &card = Module1::Forms().Get<frmEgg>();
    QVERIFY(card.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(card.lblEMsg1->text(), QStringLiteral("Ha, You found it! :-)"));
    const QList<QLabel *> headings = {card.Label1, card.Label3, card.Label5, card.Label7,
                                      card.Label9};
    const QList<QLabel *> values = {card.Label2, card.Label4, card.Label6, card.Label8,
                                    card.Label10};
    const QStringList captions = {"NAME:", "STATUS:", "GOAL:", "ADDRESS:", "DATE:"};
    for (int i = 0; i < captions.size(); ++i) {
        QCOMPARE(headings[i]->text(), captions[i]);
        QVERIFY(!values[i]->text().isEmpty());
        // Each value sits on its heading's row, to the right of it.
        QCOMPARE(values[i]->y(), headings[i]->y());
        QVERIFY(values[i]->x() > headings[i]->x() + headings[i]->width() - 1);
    }
    QVERIFY(!card.imgEgg->pixmap().isNull());
}

QTEST_MAIN(tst_HiddenCard)
#include "tst_HiddenCard.moc"
