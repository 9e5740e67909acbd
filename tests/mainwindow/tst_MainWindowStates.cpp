// The main window's interface states, modified marker, entry events, command dispatch and
// sound switch, driven through its menus, toolbar and entry.
#include "TestSupport.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmAskQuit.h"
#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <functional>

namespace {

frmMain &OpenMainWindow() {
    Module1::Forms().Show<frmMain>();
    return Module1::Forms().Get<frmMain>();
}

// A row of the state tables: a menu or menu item by name, or a toolbar button by position.
struct Item {
    QAction *action = nullptr;
    ToolbarButton *button = nullptr;

    bool Enabled() const { return action ? action->isEnabled() : button->isEnabled(); }
    void SetEnabled(bool on) const {
        if (action)
            action->setEnabled(on);
        else
            button->setEnabled(on);
    }
};

Item FindItem(frmMain &main, const QString &name) {
    if (name.startsWith(QLatin1String("button ")))
        return {nullptr, main.tlbMain->Buttons(name.mid(7).toInt())};
    if (auto *menu = main.findChild<QMenu *>(name))
        return {menu->menuAction(), nullptr};
    return {main.findChild<QAction *>(name), nullptr};
}

void Choose(frmMain &main, const QString &route, const QString &menuItem, const QString &key) {
    if (route == QLatin1String("menu")) {
        QAction *item = main.findChild<QAction *>(menuItem);
        QVERIFY(item);
        item->trigger();
    } else {
        ToolbarButton *button = main.tlbMain->ButtonByKey(key);
        QVERIFY(button);
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

QString Marker(frmMain &main) {
    return main.staMain->Panels(2)->Text();
}

bool EveryPanelBold(frmMain &main, bool bold) {
    for (int n = 1; n <= main.staMain->Count(); ++n)
        if (main.staMain->Panels(n)->font().bold() != bold)
            return false;
    return true;
}

// Records the observable effects of a command as they happen: the interface state changing
// (seen on File > New), the status bar turning bold or regular, and the entry being emptied.
class EffectTrace : public QObject {
public:
    explicit EffectTrace(frmMain &main)
        : m_main(main) {
        connect(main.mnuMFNew, &QAction::changed, this, [this] {
            m_effects.append(QStringLiteral("state new=%1 gModified=%2 marker='%3'")
                                 .arg(m_main.mnuMFNew->isEnabled())
                                 .arg(Module1::gModified)
                                 .arg(Marker(m_main)));
        });
        connect(main.rtbMain, &QTextEdit::textChanged, this, [this] {
            m_effects.append(QStringLiteral("entry '%1' gModified=%2 marker='%3'")
                                 .arg(m_main.rtbMain->toPlainText())
                                 .arg(Module1::gModified)
                                 .arg(Marker(m_main)));
        });
        main.staMain->installEventFilter(this);
    }
    QStringList Effects() const { return m_effects; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_main.staMain && event->type() == QEvent::FontChange)
            m_effects.append(QStringLiteral("bold=%1 gModified=%2 marker='%3' new=%4")
                                 .arg(m_main.staMain->Bold())
                                 .arg(Module1::gModified)
                                 .arg(Marker(m_main))
                                 .arg(m_main.mnuMFNew->isEnabled()));
        return false;
    }

private:
    frmMain &m_main;
    QStringList m_effects;
};

} // namespace

class MainWindowStates : public QObject {
    Q_OBJECT
private slots:
    void stateTables_data();
    void stateTables();
    void statesInPractice();
    void markerBoldensEveryPanel();
    void entryKeys_data();
    void entryKeys();
    void entryMouseButtons_data();
    void entryMouseButtons();
    void orderOfEffects_data();
    void orderOfEffects();
    void copyOnlyRefreshesTheMarker();
    void openLeavesTheMarkerShowing();
    void newKeepsTheToggleLooks();
    void exitOnlyShowsTheQuitWindow();
    void unknownKeyDoesNothing();
    void soundSwitchKeepsItsThreeLooksTogether();
    void statesMirrorTheSoundSetting();
};

void MainWindowStates::stateTables_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QChar>("blank");   // E enable, D disable, L leave
    QTest::addColumn<QChar>("editing"); // the same for SetEditingState
    const char *rows[] = {
        "mnuMFile EE",      "mnuMFNew DE",    "mnuMFOpen EL",     "mnuMFSave DE",
        "mnuMFExit EE",     "mnuMEdit DE",    "mnuMECut DE",      "mnuMECopy DE",
        "mnuMEPaste DE",    "mnuMInsert EL",  "mnuMIDate EL",     "mnuMITime EL",
        "mnuMIPicture EL",  "mnuMFormat EL",  "mnuMFoFont EL",    "mnuMFoColor EL",
        "mnuMFoCenter EL",  "mnuMFoBold EL",  "mnuMFoItalic EL",  "mnuMFoUnderline EL",
        "mnuMTools EL",     "mnuMTChange EL", "mnuMTCalendar EL", "mnuMTFormat EL",
        "mnuMTView EL",     "mnuMTSearch DE", "mnuMTSound EE",    "mnuMHelp LL",
        "mnuMHContents LL", "mnuMHAbout LL",  "button 1 DE",      "button 2 EL",
        "button 3 DE",      "button 5 DE",    "button 6 DE",      "button 7 DE",
        "button 9 EL",      "button 10 EL",   "button 11 EL",     "button 13 EL",
        "button 14 EL",     "button 15 EL",   "button 16 EL",     "button 17 EL",
        "button 18 EL",     "button 20 EL",   "button 21 EL",     "button 22 EL",
        "button 23 EL",     "button 24 DE",   "button 25 EE",     "button 27 EL",
        "button 28 LL",     "button 30 EL",
    };
    for (const char *row : rows) {
        const QString text = QString::fromLatin1(row);
        const QString item = text.left(text.lastIndexOf(QLatin1Char(' ')));
        QTest::newRow(row) << item << text.at(text.size() - 2) << text.at(text.size() - 1);
    }
}

void MainWindowStates::stateTables() {
    QFETCH(QString, item);
    QFETCH(QChar, blank);
    QFETCH(QChar, editing);
    TestRun run;
    frmMain &main = OpenMainWindow();
    const Item found = FindItem(main, item);
    QVERIFY(found.action || found.button);

    const std::pair<QChar, std::function<void()>> routines[] = {
        {blank, [&] { main.SetBlankEntryState(); }},
        {editing, [&] { main.SetEditingState(); }},
    };
    for (const auto &[cell, routine] : routines) {
        for (bool before : {false, true}) {
            found.SetEnabled(before);
            routine();
            const bool expected = cell == QLatin1Char('E') || (cell == QLatin1Char('L') && before);
            QCOMPARE(found.Enabled(), expected);
        }
    }
}

void MainWindowStates::statesInPractice() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    const QStringList unusable = {
        QStringLiteral("mnuMFNew"),    QStringLiteral("mnuMFSave"), QStringLiteral("mnuMEdit"),
        QStringLiteral("mnuMECut"),    QStringLiteral("mnuMECopy"), QStringLiteral("mnuMEPaste"),
        QStringLiteral("mnuMTSearch"), QStringLiteral("button 1"),  QStringLiteral("button 3"),
        QStringLiteral("button 5"),    QStringLiteral("button 6"),  QStringLiteral("button 7"),
        QStringLiteral("button 24")};
    QStringList every;
    for (QAction *action : main.findChildren<QAction *>())
        if (!action->objectName().isEmpty() && !action->isSeparator())
            every.append(action->objectName());
    for (int position = 1; position <= main.tlbMain->Count(); ++position)
        if (!main.tlbMain->IsSeparator(position))
            every.append(QStringLiteral("button %1").arg(position));
    QCOMPARE(every.size(), 24 + 6 + 24);

    for (const QString &name : every)
        QVERIFY2(FindItem(main, name).Enabled() == !unusable.contains(name), qPrintable(name));

    QTest::keyClick(main.rtbMain, Qt::Key_X);
    for (const QString &name : every)
        QVERIFY2(FindItem(main, name).Enabled(), qPrintable(name));

    Choose(main, QStringLiteral("menu"), QStringLiteral("mnuMFNew"), {});
    for (const QString &name : every)
        QVERIFY2(FindItem(main, name).Enabled() == !unusable.contains(name), qPrintable(name));
}

void MainWindowStates::markerBoldensEveryPanel() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    QCOMPARE(Marker(main), QString());
    QVERIFY(EveryPanelBold(main, false));

    Module1::gModified = 1;
    Module1::UpdateModifiedPanel();
    QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
    QVERIFY(EveryPanelBold(main, true));

    Module1::gModified = 0;
    Module1::UpdateModifiedPanel();
    QCOMPARE(Marker(main), QString());
    QVERIFY(EveryPanelBold(main, false));
    QCOMPARE(main.staMain->Panels(1)->Text(), QStringLiteral("Orv Software"));
}

void MainWindowStates::entryKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("marks");
    QTest::newRow("letter") << int(Qt::Key_A) << true;
    QTest::newRow("space") << int(Qt::Key_Space) << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << false;
    QTest::newRow("Left") << int(Qt::Key_Left) << false;
    QTest::newRow("Down") << int(Qt::Key_Down) << false;
    QTest::newRow("Home") << int(Qt::Key_Home) << false;
    QTest::newRow("F5") << int(Qt::Key_F5) << false;
}

void MainWindowStates::entryKeys() {
    QFETCH(int, key);
    QFETCH(bool, marks);
    TestRun run;
    frmMain &main = OpenMainWindow();
    main.rtbMain->setPlainText(QStringLiteral("some text"));
    QTest::keyClick(main.rtbMain, Qt::Key(key));
    QCOMPARE(Module1::gModified, qint16(marks ? 1 : 0));
    QCOMPARE(Marker(main), marks ? QStringLiteral("NOT SAVED!") : QString());
    QCOMPARE(main.mnuMFNew->isEnabled(), marks);
    QCOMPARE(main.tlbMain->ButtonByKey(QStringLiteral("search"))->isEnabled(), marks);
}

void MainWindowStates::entryMouseButtons_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void MainWindowStates::entryMouseButtons() {
    QFETCH(int, button);
    TestRun run;
    frmMain &main = OpenMainWindow();
    QTest::mousePress(main.rtbMain->viewport(), Qt::MouseButton(button));
    QTest::mouseRelease(main.rtbMain->viewport(), Qt::MouseButton(button));
    QCOMPARE(Module1::gModified, qint16(1));
    QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
    QVERIFY(main.mnuMEdit->menuAction()->isEnabled());
    QCOMPARE(main.rtbMain->toPlainText(), QString());
}

void MainWindowStates::orderOfEffects_data() {
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("start"); // blank, editing, or editing with the marker showing
    QTest::addColumn<QStringList>("effects");

    const QStringList markThenEdit = {
        QStringLiteral("bold=1 gModified=1 marker='' new=0"),
        QStringLiteral("state new=1 gModified=1 marker='NOT SAVED!'"),
    };
    const char *markAndEdit[][2] = {
        {"mnuMIDate", "date"},  {"mnuMITime", "time"},      {"mnuMIPicture", "picture"},
        {"mnuMFoFont", "font"}, {"mnuMFoColor", "color"},   {"mnuMFoCenter", "center"},
        {"mnuMFoBold", "bold"}, {"mnuMFoItalic", "italic"}, {"mnuMFoUnderline", "underline"},
    };
    for (const auto &row : markAndEdit)
        QTest::newRow(row[1]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1])
                              << QStringLiteral("blank") << markThenEdit;

    const QStringList markOnly = {QStringLiteral("bold=1 gModified=1 marker='' new=1")};
    QTest::newRow("cut") << QStringLiteral("mnuMECut") << QStringLiteral("cut")
                         << QStringLiteral("editing") << markOnly;
    QTest::newRow("paste") << QStringLiteral("mnuMEPaste") << QStringLiteral("paste")
                           << QStringLiteral("editing") << markOnly;
    QTest::newRow("copy") << QStringLiteral("mnuMECopy") << QStringLiteral("copy")
                          << QStringLiteral("editing") << QStringList();
    QTest::newRow("open") << QStringLiteral("mnuMFOpen") << QStringLiteral("open")
                          << QStringLiteral("blank")
                          << QStringList{QStringLiteral("state new=1 gModified=0 marker=''")};
    QTest::newRow("save") << QStringLiteral("mnuMFSave") << QStringLiteral("save")
                          << QStringLiteral("marked")
                          << QStringList{
                                 QStringLiteral("bold=0 gModified=0 marker='NOT SAVED!' new=1")};
    QTest::newRow("new") << QStringLiteral("mnuMFNew") << QStringLiteral("new")
                         << QStringLiteral("marked")
                         << QStringList{
                                QStringLiteral("state new=0 gModified=1 marker='NOT SAVED!'"),
                                QStringLiteral("bold=0 gModified=0 marker='NOT SAVED!' new=0"),
                                QStringLiteral("entry '' gModified=0 marker=''"),
                            };
    QTest::newRow("sound") << QStringLiteral("mnuMTSound") << QStringLiteral("sound")
                           << QStringLiteral("marked") << QStringList();
}

void MainWindowStates::orderOfEffects() {
    QFETCH(QString, menuItem);
    QFETCH(QString, key);
    QFETCH(QString, start);
    QFETCH(QStringList, effects);
    for (const QString &route : {QStringLiteral("menu"), QStringLiteral("toolbar")}) {
        TestRun run;
        frmMain &main = OpenMainWindow();
        main.rtbMain->setPlainText(QStringLiteral("entry text"));
        if (start != QLatin1String("blank"))
            main.SetEditingState();
        if (start == QLatin1String("marked")) {
            Module1::gModified = 1;
            Module1::UpdateModifiedPanel();
        }
        EffectTrace trace(main);
        Choose(main, route, menuItem, key);
        // The marking and the state come first; what the command itself then does to the
        // entry follows them.
        QVERIFY2(
            trace.Effects().mid(0, effects.size()) == effects,
            qPrintable(route + QLatin1String(": ") + trace.Effects().join(QLatin1String(" | "))));
    }
}

void MainWindowStates::copyOnlyRefreshesTheMarker() {
    for (const QString &route : {QStringLiteral("menu"), QStringLiteral("toolbar")}) {
        TestRun run;
        frmMain &main = OpenMainWindow();
        main.SetEditingState();
        // As after Open: the flag is clear but the marker still shows.
        Module1::gModified = 1;
        Module1::UpdateModifiedPanel();
        Module1::gModified = 0;
        Choose(main, route, QStringLiteral("mnuMECopy"), QStringLiteral("copy"));
        QCOMPARE(Module1::gModified, qint16(0));
        QCOMPARE(Marker(main), QString());
        QVERIFY(EveryPanelBold(main, false));
    }
}

void MainWindowStates::openLeavesTheMarkerShowing() {
    for (const QString &route : {QStringLiteral("menu"), QStringLiteral("toolbar")}) {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClick(main.rtbMain, Qt::Key_A);
        Choose(main, route, QStringLiteral("mnuMFOpen"), QStringLiteral("open"));
        QCOMPARE(Module1::gModified, qint16(0));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QVERIFY(main.mnuMFSave->isEnabled());
    }
}

void MainWindowStates::newKeepsTheToggleLooks() {
    for (const QString &route : {QStringLiteral("menu"), QStringLiteral("toolbar")}) {
        for (bool on : {true, false}) {
            TestRun run;
            frmMain &main = OpenMainWindow();
            QTest::keyClicks(main.rtbMain, QStringLiteral("Hello"));
            QAction *checks[] = {main.mnuMFoCenter, main.mnuMFoBold, main.mnuMFoItalic,
                                 main.mnuMFoUnderline};
            for (QAction *check : checks)
                check->setChecked(on);
            for (int position = 15; position <= 18; ++position)
                main.tlbMain->Buttons(position)->SetValue(on ? 1 : 0);

            Choose(main, route, QStringLiteral("mnuMFNew"), QStringLiteral("new"));

            QCOMPARE(main.rtbMain->toPlainText(), QString());
            QCOMPARE(Module1::gModified, qint16(0));
            QCOMPARE(Marker(main), QString());
            QVERIFY(!main.mnuMFNew->isEnabled());
            QVERIFY(!main.tlbMain->Buttons(1)->isEnabled());
            for (QAction *check : checks)
                QCOMPARE(check->isChecked(), on);
            for (int position = 15; position <= 18; ++position)
                QCOMPARE(main.tlbMain->Buttons(position)->Value(), on ? 1 : 0);
        }
    }
}

void MainWindowStates::exitOnlyShowsTheQuitWindow() {
    for (const QString &route : {QStringLiteral("menu"), QStringLiteral("toolbar")}) {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(main.rtbMain, QStringLiteral("ab"));
        Choose(main, route, QStringLiteral("mnuMFExit"), QStringLiteral("exit"));
        QVERIFY(Module1::Forms().IsLoaded<frmAskQuit>());
        QVERIFY(Module1::Forms().Get<frmAskQuit>().isVisible());
        // Nothing else changed, and the entry still takes typing.
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QTest::keyClicks(main.rtbMain, QStringLiteral("c"));
        QCOMPARE(main.rtbMain->toPlainText(), QStringLiteral("abc"));
        Choose(main, route, QStringLiteral("mnuMFExit"), QStringLiteral("exit"));
        QCOMPARE(Module1::Forms().Loaded().size(), 2);
        TestRun::ProcessEvents();
        QVERIFY(!run.Ended());
    }
}

void MainWindowStates::unknownKeyDoesNothing() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    ToolbarButton *stray = main.tlbMain->AddButton(QStringLiteral("New"), QStringLiteral("x"), {});
    EffectTrace trace(main);
    QTest::mouseClick(stray, Qt::LeftButton);
    QCOMPARE(trace.Effects(), QStringList());
    QCOMPARE(Module1::gModified, qint16(0));
    QCOMPARE(Module1::Forms().Loaded().size(), 1);
}

void MainWindowStates::soundSwitchKeepsItsThreeLooksTogether() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    ToolbarButton *sound = main.tlbMain->Buttons(25);
    QCOMPARE(sound->Key(), QStringLiteral("sound"));
    const QString routes[] = {QStringLiteral("menu"), QStringLiteral("toolbar"),
                              QStringLiteral("toolbar"), QStringLiteral("menu")};
    bool on = true;
    for (const QString &route : routes) {
        Choose(main, route, QStringLiteral("mnuMTSound"), QStringLiteral("sound"));
        on = !on;
        QCOMPARE(main.mnuMTSound->isChecked(), on);
        QCOMPARE(sound->Value(), on ? 1 : 0);
        QCOMPARE(Module1::gSoundOn, qint16(on ? 1 : 0));
    }
    QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});
}

void MainWindowStates::statesMirrorTheSoundSetting() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    main.ToggleSound();
    main.SetBlankEntryState();
    QCOMPARE(main.tlbMain->Buttons(25)->Value(), 0);
    main.SetEditingState();
    QCOMPARE(main.tlbMain->Buttons(25)->Value(), 0);
    QCOMPARE(Module1::gSoundOn, qint16(0));
    main.ToggleSound();
    main.SetEditingState();
    QCOMPARE(main.tlbMain->Buttons(25)->Value(), 1);
    QCOMPARE(Module1::gSoundOn, qint16(1));
}

QTEST_MAIN(MainWindowStates)
#include "tst_MainWindowStates.moc"
