#include "MainWindowDriver.h"

namespace {

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

// With a blank entry: everything but New, Save, the Edit menu and Search. Editing: everything.
const QStringList kBlank = {"copy",     "cut",      "mnuMECopy", "mnuMECut",    "mnuMEPaste",
                            "mnuMEdit", "mnuMFNew", "mnuMFSave", "mnuMTSearch", "new",
                            "paste",    "save",     "search"};

// The marker and the interface state, as "marked editing", "clear blank"...
QString Looks(const frmMain &main) {
    const bool marked = Marker(main) == QLatin1String("NOT SAVED!");
    const QStringList unusable = Unusable(main);
    const QString looks =
        QLatin1String(marked ? "marked " : "clear ") + (unusable.isEmpty()   ? "editing"
                                                        : unusable == kBlank ? "blank"
                                                                             : unusable.join(' '));
    for (const StatusPanel *panel : main.findChildren<StatusPanel *>())
        if (panel->font().bold() != marked)
            return looks + " (the status bar's type disagrees)";
    return looks;
}

} // namespace

class MainWindowStates : public QObject {
    Q_OBJECT
private slots:
    // Keys mark the entry only when they deliver a character; any mouse button marks it.
    void entryEvents_data() {
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

    void entryEvents() {
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
        QCOMPARE(Looks(main),
                 marks ? QStringLiteral("marked editing") : QStringLiteral("clear blank"));
        QCOMPARE(Panel(main, "orvsoftware").Text(), QStringLiteral("Orv Software"));
    }

    // What each command leaves, by menu and by toolbar, from a start: blank, editing (unmarked),
    // shown (editing, the marker showing though the entry was not changed since) or marked. The
    // dialogs are cancelled: a command that changes the entry marks it whatever its outcome.
    void commands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("looks");
        for (const char *command : {"IDate", "ITime", "IPicture", "FoFont", "FoColor", "FoCenter",
                                    "FoBold", "FoItalic", "FoUnderline"})
            QTest::newRow(command) << command << "blank"
                                   << "marked editing";
        const char *rows[][4] = {{"cut", "ECut", "editing", "marked editing"},
                                 {"paste", "EPaste", "editing", "marked editing"},
                                 {"copy refreshes the marker", "ECopy", "shown", "clear editing"},
                                 {"save, even cancelled", "FSave", "marked", "clear editing"},
                                 {"open", "FOpen", "blank", "clear editing"},
                                 {"open leaves the marker", "FOpen", "marked", "marked editing"},
                                 {"new", "FNew", "marked", "clear blank"},
                                 {"sound", "TSound", "shown", "marked editing"},
                                 {"exit", "FExit", "shown", "marked editing"}};
        for (const auto &[name, command, start, looks] : rows)
            QTest::newRow(name) << command << start << looks;
    }

    void commands() {
        QFETCH(QString, command);
        QFETCH(QString, start);
        QFETCH(QString, looks);
        // The toolbar's key is the command's name, in lower case.
        const QString key = command.mid(command.startsWith(QLatin1String("Fo")) ? 2 : 1).toLower();
        for (bool byToolbar : {false, true}) {
            TestRun run;
            frmMain &main = OpenMainWindow();
            EntryOf(main).setPlainText(QStringLiteral("entry text"));
            if (start != QLatin1String("blank") && start != QLatin1String("editing"))
                QTest::keyClick(&EntryOf(main), Qt::Key_X); // marked
            if (start == QLatin1String("editing") || start == QLatin1String("shown"))
                Item(main, "mnuMFOpen")
                    .trigger(); // cancelled: the flag clear, the marker as it was
            ChooseCommand(main, byToolbar, QStringLiteral("mnuM") + command, key);
            QVERIFY2(Looks(main) == looks,
                     qPrintable(Looks(main) + (byToolbar ? " (toolbar)" : "")));
            if (command == QLatin1String("FNew"))
                QCOMPARE(EntryOf(main).toPlainText(), QString());
        }
    }

    void newKeepsTheToggleLooks() {
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
        QCOMPARE(Looks(main), QStringLiteral("clear blank"));
        for (const auto &[item, key] : toggles)
            QVERIFY(Item(main, item).isChecked() && Button(main, key).Value() == 1);
    }

    // The dispatch compares keys exactly.
    void unknownKeyDoesNothing() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClick(&EntryOf(main), Qt::Key_A);
        QTest::mouseClick(Control<Toolbar>(main, "tlbMain").AddButton("New", "x", {}),
                          Qt::LeftButton);
        QCOMPARE(Looks(main), QStringLiteral("marked editing"));
        QCOMPARE(Module1::Forms().Loaded().size(), 1);
    }

    void soundSwitchKeepsItsLooksTogether() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        const auto looks = [&main] {
            return QStringLiteral("%1%2")
                .arg(int(Item(main, "mnuMTSound").isChecked()))
                .arg(Button(main, "sound").Value());
        };
        QCOMPARE(looks(), QStringLiteral("11"));
        bool on = true;
        for (bool byToolbar : {false, true, true, false}) {
            ChooseCommand(main, byToolbar, QStringLiteral("mnuMTSound"), QStringLiteral("sound"));
            on = !on;
            const QString expected = on ? QStringLiteral("11") : QStringLiteral("00");
            QCOMPARE(looks(), expected);
            QTest::keyClick(&EntryOf(main), Qt::Key_A); // the editing state
            QCOMPARE(looks(), expected);
            Item(main, "mnuMFNew").trigger(); // the blank state
            QCOMPARE(looks(), expected);
        }
        QCOMPARE(run.Cues().size(), 1);
    }
};

QTEST_MAIN(MainWindowStates)
#include "tst_MainWindowStates.moc"
