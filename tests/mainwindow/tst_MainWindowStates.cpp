// The main window's interface states, modified marker, entry events, command dispatch and
// sound switch, driven through its menus, toolbar and entry.
#include "MainWindowDriver.h"
#include "TestSupport.h"

#include "app/Module1.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"

#include <QMenu>

namespace {

QString Marker(frmMain &main) {
    return main.staMain->Panels(2)->Text();
}

bool EveryPanelBold(frmMain &main, bool bold) {
    for (int n = 1; n <= main.staMain->Count(); ++n)
        if (main.staMain->Panels(n)->font().bold() != bold)
            return false;
    return true;
}

// Records the observable effects of a command as they happen, each with the modified flag,
// the marker and File > New's state at that moment: the interface state changing ("state",
// seen on File > New), the status bar turning "bold" or "regular", the entry changing.
class EffectTrace : public QObject {
public:
    explicit EffectTrace(frmMain &main)
        : m_main(main) {
        connect(main.mnuMFNew, &QAction::changed, this, [this] { Note("state"); });
        connect(main.rtbMain, &QTextEdit::textChanged, this, [this] { Note("entry"); });
        main.staMain->installEventFilter(this);
    }
    QStringList effects;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_main.staMain && event->type() == QEvent::FontChange)
            Note(m_main.staMain->Bold() ? "bold" : "regular");
        return false;
    }

private:
    void Note(const char *what) {
        effects.append(QStringLiteral("%1 flag=%2 marker='%3' new=%4")
                           .arg(QLatin1String(what))
                           .arg(Module1::gModified)
                           .arg(Marker(m_main))
                           .arg(m_main.mnuMFNew->isEnabled()));
    }
    frmMain &m_main;
};

} // namespace

class MainWindowStates : public QObject {
    Q_OBJECT
private slots:
    void stateTables_data();
    void stateTables();
    void entryEvents_data();
    void entryEvents();
    void orderOfEffects_data();
    void orderOfEffects();
    void newKeepsTheToggleLooks();
    void unknownKeyDoesNothing();
    void soundSwitchKeepsItsThreeLooksTogether();
};

void MainWindowStates::stateTables_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("cells"); // blank, then editing: E enable, D disable, L leave
    // Menus and items by name, toolbar buttons by position ("b1" is the first).
    const QStringList table =
        QStringLiteral("mnuMFile EE mnuMFNew DE mnuMFOpen EL mnuMFSave DE mnuMFExit EE "
                       "mnuMEdit DE mnuMECut DE mnuMECopy DE mnuMEPaste DE "
                       "mnuMInsert EL mnuMIDate EL mnuMITime EL mnuMIPicture EL "
                       "mnuMFormat EL mnuMFoFont EL mnuMFoColor EL mnuMFoCenter EL mnuMFoBold EL "
                       "mnuMFoItalic EL mnuMFoUnderline EL "
                       "mnuMTools EL mnuMTChange EL mnuMTCalendar EL mnuMTFormat EL mnuMTView EL "
                       "mnuMTSearch DE mnuMTSound EE mnuMHelp LL mnuMHContents LL mnuMHAbout LL "
                       "b1 DE b2 EL b3 DE b5 DE b6 DE b7 DE b9 EL b10 EL b11 EL b13 EL b14 EL "
                       "b15 EL b16 EL b17 EL b18 EL b20 EL b21 EL b22 EL b23 EL b24 DE b25 EE "
                       "b27 EL b28 LL b30 EL")
            .split(QLatin1Char(' '));
    for (int i = 0; i < table.size(); i += 2)
        QTest::newRow(qPrintable(table[i])) << table[i] << table[i + 1];
}

void MainWindowStates::stateTables() {
    QFETCH(QString, item);
    QFETCH(QString, cells);
    TestRun run;
    frmMain &main = OpenMainWindow();
    QAction *action = nullptr;
    QWidget *button = nullptr;
    if (item.startsWith(QLatin1Char('b')))
        button = main.tlbMain->Buttons(item.mid(1).toInt());
    else if (auto *menu = main.findChild<QMenu *>(item))
        action = menu->menuAction();
    else
        action = main.findChild<QAction *>(item);
    QVERIFY(action || button);
    const auto enabled = [&] { return action ? action->isEnabled() : button->isEnabled(); };

    QCOMPARE(enabled(), cells[0] != QLatin1Char('D')); // the window opens blank
    for (int routine : {0, 1}) {
        for (bool before : {false, true}) {
            action ? action->setEnabled(before) : button->setEnabled(before);
            routine == 0 ? main.SetBlankEntryState() : main.SetEditingState();
            const QChar cell = cells[routine];
            QCOMPARE(enabled(), cell == QLatin1Char('E') || (cell == QLatin1Char('L') && before));
        }
    }
}

// Keys mark the entry only when they deliver a character; any mouse button marks it.
void MainWindowStates::entryEvents_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("marks");
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << true;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << false;
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << false;
    QTest::newRow("left button") << 0 << int(Qt::LeftButton) << true;
    QTest::newRow("right button") << 0 << int(Qt::RightButton) << true;
    QTest::newRow("middle button") << 0 << int(Qt::MiddleButton) << true;
}

void MainWindowStates::entryEvents() {
    QFETCH(int, key);
    QFETCH(int, button);
    QFETCH(bool, marks);
    TestRun run;
    frmMain &main = OpenMainWindow();
    main.rtbMain->setPlainText(QStringLiteral("some text"));
    if (key)
        QTest::keyClick(main.rtbMain, Qt::Key(key));
    else
        QTest::mousePress(main.rtbMain->viewport(), Qt::MouseButton(button));
    QCOMPARE(Module1::gModified, qint16(marks ? 1 : 0));
    QCOMPARE(Marker(main), marks ? QStringLiteral("NOT SAVED!") : QString());
    QVERIFY(EveryPanelBold(main, marks));
    QCOMPARE(main.staMain->Panels(1)->Text(), QStringLiteral("Orv Software"));
    QCOMPARE(main.mnuMFNew->isEnabled(), marks);
    QCOMPARE(main.tlbMain->ButtonByKey(QStringLiteral("search"))->isEnabled(), marks);
}

void MainWindowStates::orderOfEffects_data() {
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("key");
    // blank, editing, shown (editing, marker showing, flag clear) or marked
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("effects");

    const auto add = [](const char *name, const char *menuItem, const char *start,
                        const QStringList &effects) {
        QTest::newRow(name) << QString::fromLatin1(menuItem)
                            << QString::fromLatin1(name).section(' ', 0, 0)
                            << QString::fromLatin1(start) << effects;
    };
    const QStringList markThenEdit = {QStringLiteral("bold flag=1 marker='' new=0"),
                                      QStringLiteral("state flag=1 marker='NOT SAVED!' new=1")};
    const QStringList markOnly = {QStringLiteral("bold flag=1 marker='' new=1")};
    const QStringList refreshOnly = {QStringLiteral("regular flag=0 marker='NOT SAVED!' new=1")};
    add("date", "mnuMIDate", "blank", markThenEdit);
    add("time", "mnuMITime", "blank", markThenEdit);
    add("picture", "mnuMIPicture", "blank", markThenEdit);
    add("font", "mnuMFoFont", "blank", markThenEdit);
    add("color", "mnuMFoColor", "blank", markThenEdit);
    add("center", "mnuMFoCenter", "blank", markThenEdit);
    add("bold", "mnuMFoBold", "blank", markThenEdit);
    add("italic", "mnuMFoItalic", "blank", markThenEdit);
    add("underline", "mnuMFoUnderline", "blank", markThenEdit);
    add("cut", "mnuMECut", "editing", markOnly);
    add("paste", "mnuMEPaste", "editing", markOnly);
    add("copy", "mnuMECopy", "shown", refreshOnly);
    add("save", "mnuMFSave", "marked", refreshOnly);
    add("open", "mnuMFOpen", "blank", {QStringLiteral("state flag=0 marker='' new=1")});
    add("open leaves the marker", "mnuMFOpen", "marked", {});
    add("new", "mnuMFNew", "marked",
        {QStringLiteral("state flag=1 marker='NOT SAVED!' new=0"),
         QStringLiteral("regular flag=0 marker='NOT SAVED!' new=0"),
         QStringLiteral("entry flag=0 marker='' new=0")});
    // Neither marks nor refreshes.
    add("sound", "mnuMTSound", "editing", {});
    add("sound with the marker", "mnuMTSound", "shown", {});
    add("exit", "mnuMFExit", "editing", {});
    add("exit with the marker", "mnuMFExit", "shown", {});
}

void MainWindowStates::orderOfEffects() {
    QFETCH(QString, menuItem);
    QFETCH(QString, key);
    QFETCH(QString, start);
    QFETCH(QStringList, effects);
    for (bool byToolbar : {false, true}) {
        TestRun run;
        frmMain &main = OpenMainWindow();
        main.rtbMain->setPlainText(QStringLiteral("entry text"));
        if (start != QLatin1String("blank"))
            main.SetEditingState();
        if (start == QLatin1String("shown") || start == QLatin1String("marked")) {
            Module1::gModified = 1;
            Module1::UpdateModifiedPanel();
            Module1::gModified = start == QLatin1String("marked") ? 1 : 0;
        }
        EffectTrace trace(main);
        ChooseCommand(main, byToolbar, menuItem, key);
        // The marking and the state come first, and nothing else marks or changes the state;
        // what the command itself then does to the entry may follow.
        QStringList later = trace.effects.mid(effects.size());
        later.removeIf([](const QString &effect) { return effect.startsWith("entry"); });
        QVERIFY2(trace.effects.mid(0, effects.size()) == effects && later.isEmpty(),
                 qPrintable(QLatin1String(byToolbar ? "toolbar: " : "menu: ") +
                            trace.effects.join(QLatin1String(" | "))));
    }
}

void MainWindowStates::newKeepsTheToggleLooks() {
    for (bool on : {true, false}) {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(main.rtbMain, QStringLiteral("Hello"));
        QAction *checks[] = {main.mnuMFoCenter, main.mnuMFoBold, main.mnuMFoItalic,
                             main.mnuMFoUnderline};
        for (int i = 0; i < 4; ++i) {
            checks[i]->setChecked(on);
            main.tlbMain->Buttons(15 + i)->SetValue(on ? 1 : 0);
        }
        main.mnuMFNew->trigger();
        QCOMPARE(main.rtbMain->toPlainText(), QString());
        QVERIFY(Marker(main).isEmpty() && EveryPanelBold(main, false));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(checks[i]->isChecked(), on);
            QCOMPARE(main.tlbMain->Buttons(15 + i)->Value(), on ? 1 : 0);
        }
    }
}

void MainWindowStates::unknownKeyDoesNothing() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    ToolbarButton *stray = main.tlbMain->AddButton(QStringLiteral("New"), QStringLiteral("x"), {});
    EffectTrace trace(main);
    QTest::mouseClick(stray, Qt::LeftButton);
    QCOMPARE(trace.effects, QStringList());
    QCOMPARE(Module1::Forms().Loaded().size(), 1);
}

// The menu check, the toolbar button and the setting never disagree, whichever route toggles
// it and whichever state routine runs after.
void MainWindowStates::soundSwitchKeepsItsThreeLooksTogether() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    const auto looks = [&main] {
        return QStringLiteral("%1%2%3")
            .arg(int(main.mnuMTSound->isChecked()))
            .arg(main.tlbMain->Buttons(25)->Value())
            .arg(Module1::gSoundOn);
    };
    bool on = true;
    for (bool byToolbar : {false, true, true, false}) {
        ChooseCommand(main, byToolbar, QStringLiteral("mnuMTSound"), QStringLiteral("sound"));
        on = !on;
        const QString expected = on ? QStringLiteral("111") : QStringLiteral("000");
        QCOMPARE(looks(), expected);
        main.SetBlankEntryState();
        QCOMPARE(looks(), expected);
        main.SetEditingState();
        QCOMPARE(looks(), expected);
    }
    QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});
}

QTEST_MAIN(MainWindowStates)
#include "tst_MainWindowStates.moc"
