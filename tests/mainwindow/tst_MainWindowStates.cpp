// The main window's interface states, modified marker, entry events, command dispatch and
// sound switch, driven through its menus, toolbar and entry.
#include "MainWindowDriver.h"

namespace {

bool EveryPanelBold(const frmMain &main, bool bold) {
    for (const StatusPanel *panel : main.findChildren<StatusPanel *>())
        if (panel->font().bold() != bold)
            return false;
    return true;
}

// The menus, items and toolbar buttons a user cannot use, by name and key.
QStringList Unusable(const frmMain &main) {
    QStringList unusable;
    for (const QAction *item : main.findChildren<QAction *>())
        if (item->objectName().startsWith(QLatin1String("mnu")) && !item->isEnabled())
            unusable << item->objectName();
    for (const ToolbarButton *button : main.findChildren<ToolbarButton *>())
        if (!button->isEnabled())
            unusable << button->Key();
    unusable.sort();
    return unusable;
}

const QStringList kBlank = {"copy",     "cut",      "mnuMECopy", "mnuMECut",    "mnuMEPaste",
                            "mnuMEdit", "mnuMFNew", "mnuMFSave", "mnuMTSearch", "new",
                            "paste",    "save",     "search"};

// Records the observable effects of a command as they happen, each with the modified flag,
// the marker and File > New's state at that moment: the interface state changing ("state",
// seen on File > New), the status bar turning "bold" or "regular", the entry changing.
class EffectTrace : public QObject {
public:
    explicit EffectTrace(const frmMain &main)
        : m_main(main)
        , m_bar(Control<StatusBar>(main, "staMain")) {
        connect(&Item(main, "mnuMFNew"), &QAction::changed, this, [this] { Note("state"); });
        connect(&EntryOf(main), &QTextEdit::textChanged, this, [this] { Note("entry"); });
        m_bar.installEventFilter(this);
    }
    QStringList effects;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_bar && event->type() == QEvent::FontChange)
            Note(m_bar.Bold() ? "bold" : "regular");
        return false;
    }

private:
    void Note(const char *what) {
        effects.append(QStringLiteral("%1 flag=%2 marker='%3' new=%4")
                           .arg(QLatin1String(what))
                           .arg(Module1::Flags().gModified)
                           .arg(Marker(m_main))
                           .arg(Item(m_main, "mnuMFNew").isEnabled()));
    }
    const frmMain &m_main;
    StatusBar &m_bar;
};

} // namespace

class MainWindowStates : public QObject {
    Q_OBJECT
private slots:
    void statesAsTheUserMeetsThem();
    void entryEvents_data();
    void entryEvents();
    void orderOfEffects_data();
    void orderOfEffects();
    void newKeepsTheToggleLooks();
    void unknownKeyDoesNothing();
    void soundSwitchKeepsItsThreeLooksTogether();
};

// Blank: everything but New, Save, the Edit menu and Search. Editing: everything.
void MainWindowStates::statesAsTheUserMeetsThem() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    QCOMPARE(Unusable(main), kBlank);
    QTest::keyClick(&EntryOf(main), Qt::Key_A);
    QCOMPARE(Unusable(main), QStringList());
    Item(main, "mnuMFNew").trigger();
    QCOMPARE(Unusable(main), kBlank);
    // Open applies the editing state whatever the dialog's outcome: here it is cancelled.
    QTest::mouseClick(&Button(main, "open"), Qt::LeftButton);
    QCOMPARE(Unusable(main), QStringList());
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
    RichTextBox &entry = EntryOf(main);
    entry.setPlainText(QStringLiteral("some text"));
    if (key)
        QTest::keyClick(&entry, Qt::Key(key));
    else
        QTest::mousePress(entry.viewport(), Qt::MouseButton(button));
    QCOMPARE(Marker(main), marks ? QStringLiteral("NOT SAVED!") : QString());
    QVERIFY(EveryPanelBold(main, marks));
    QCOMPARE(Panel(main, "orvsoftware").Text(), QStringLiteral("Orv Software"));
    QCOMPARE(Unusable(main), marks ? QStringList() : kBlank);
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
        EntryOf(main).setPlainText(QStringLiteral("entry text"));
        if (start != QLatin1String("blank") && start != QLatin1String("editing"))
            QTest::keyClick(&EntryOf(main), Qt::Key_X); // marked
        if (start == QLatin1String("editing") || start == QLatin1String("shown"))
            Item(main, "mnuMFOpen").trigger(); // cancelled: the flag clear, the marker as it was
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
    TestRun run;
    frmMain &main = OpenMainWindow();
    QTest::keyClicks(&EntryOf(main), QStringLiteral("Hello"));
    const char *toggles[][2] = {{"mnuMFoCenter", "center"},
                                {"mnuMFoBold", "bold"},
                                {"mnuMFoItalic", "italic"},
                                {"mnuMFoUnderline", "underline"}};
    for (const auto &[item, key] : toggles)
        Item(main, item).trigger();
    Item(main, "mnuMFNew").trigger();
    QCOMPARE(EntryOf(main).toPlainText(), QString());
    QVERIFY(Marker(main).isEmpty() && EveryPanelBold(main, false));
    for (const auto &[item, key] : toggles)
        QVERIFY(Item(main, item).isChecked() && Button(main, key).Value() == 1);
}

// The dispatch compares keys exactly.
void MainWindowStates::unknownKeyDoesNothing() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    ToolbarButton *stray =
        Control<Toolbar>(main, "tlbMain").AddButton(QStringLiteral("New"), QStringLiteral("x"), {});
    EffectTrace trace(main);
    QTest::mouseClick(stray, Qt::LeftButton);
    QCOMPARE(trace.effects, QStringList());
    QCOMPARE(Module1::Forms().Loaded().size(), 1);
}

// The menu check, the toolbar button and the setting never disagree, whichever route toggles
// it and whichever state follows.
void MainWindowStates::soundSwitchKeepsItsThreeLooksTogether() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    const auto looks = [&main] {
        return QStringLiteral("%1%2%3")
            .arg(int(Item(main, "mnuMTSound").isChecked()))
            .arg(Button(main, "sound").Value())
            .arg(Module1::Flags().gSoundOn);
    };
    QCOMPARE(looks(), QStringLiteral("111"));
    bool on = true;
    for (bool byToolbar : {false, true, true, false}) {
        ChooseCommand(main, byToolbar, QStringLiteral("mnuMTSound"), QStringLiteral("sound"));
        on = !on;
        const QString expected = on ? QStringLiteral("111") : QStringLiteral("000");
        QCOMPARE(looks(), expected);
        QTest::keyClick(&EntryOf(main), Qt::Key_A); // the editing state
        QCOMPARE(looks(), expected);
        Item(main, "mnuMFNew").trigger(); // the blank state
        QCOMPARE(looks(), expected);
    }
    QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});
}

QTEST_MAIN(MainWindowStates)
#include "tst_MainWindowStates.moc"
