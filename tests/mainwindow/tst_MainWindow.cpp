#include "MainWindowDriver.h"

#include "mainwindow/ToolbarPictures.h"
#include "mainwindow/frmAskQuit.h"
#include "platform/Services.h"
#include "security/frmPassEntry.h"

#include <QAccessible>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionMenuItem>

namespace {

// A choice's look as "bold #rrggbb" or "regular #rrggbb".
const QString kAtFirst = QStringLiteral("regular #0000c0");
const QString kUnderPointer = QStringLiteral("bold #ff0000");
const QString kAtRest = QStringLiteral("regular #0000ff");

frmAskQuit &ChooseExit(frmMain &main) {
    Item(main, "mnuMFExit").trigger();
    return Module1::Forms().Get<frmAskQuit>();
}

QString Look(const ChoiceLabel *label) {
    return QStringLiteral("%1 %2").arg(label->Bold() ? "bold" : "regular",
                                       label->ForeColor().name());
}

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

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void loadStartsTheRun() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QVERIFY(!(main.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
        QCOMPARE(main.minimumSize(), main.maximumSize());
        for (const QAction *item : main.findChildren<QAction *>()) // Sound alone is checked
            if (item->objectName().startsWith(QLatin1String("mnu")))
                QCOMPARE(item->isChecked(), item->objectName() == QLatin1String("mnuMTSound"));
        // The greeting plays although sound was still off when Load began.
        QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});

        RichTextBox &entry = EntryOf(main);
        QTest::keyClicks(&entry, QStringLiteral("Dear diary"));
        QTextCursor typed(entry.document());
        typed.movePosition(QTextCursor::End);
        const QFont font = typed.charFormat().font().resolve(entry.document()->defaultFont());
        QCOMPARE(font.family().toLower(), QStringLiteral("arial"));
        QCOMPARE(font.pointSize(), 9);
        QCOMPARE(entry.textColor(), QColor(0, 0, 0));

        main.Hide();
        Module1::Forms().Show<frmMain>();
        QCOMPARE(run.Cues().size(), 1);

        // The window manager's close request asks to quit rather than leave a headless program.
        QVERIFY(!main.close());
        QVERIFY(main.isVisible());
        QVERIFY(Module1::Forms().Get<frmAskQuit>().isVisible());
        TestRun::ProcessEvents();
        QVERIFY(!run.Ended());
    }

    void accessKeysLeadToTheirCommands_data() {
        QTest::addColumn<QString>("keys");  // Alt+the first, then the others
        QTest::addColumn<QString>("shown"); // the window that comes up; none: the date is inserted
        const char *rows[][3] = {{"File, Exit", "fx", "frmAskQuit"},
                                 {"Insert, Date", "ie", ""},
                                 {"Tools, Change password", "th", "frmPassChange"},
                                 {"Tools, Calendar", "tn", "frmCalendar"},
                                 {"Tools, Format floppy", "tr", "frmFormat"},
                                 {"Tools, View log", "tv", "frmView"},
                                 {"Help, About", "ha", "frmAbout"}};
        for (const auto &[name, keys, shown] : rows)
            QTest::newRow(name) << QString(keys) << QString(shown);
    }

    // Menus have access keys, no shortcuts. File and Format share F: File, the first, opens.
    void accessKeysLeadToTheirCommands() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        TestRun run;
        frmMain &main = OpenMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        for (int press = 0; press < 3 && keys.startsWith(QLatin1Char('f')); ++press) {
            QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
            QTRY_VERIFY(Control<QMenu>(main, "mnuMFile").isVisible());
            QVERIFY(!Control<QMenu>(main, "mnuMFormat").isVisible());
            Control<QMenu>(main, "mnuMFile").close();
        }
        QTest::keyClick(&main, keys[0].toLatin1(), Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), keys[1].toLatin1());
        const auto active = [] {
            return QApplication::activeWindow() ? QApplication::activeWindow()->objectName() : "";
        };
        if (shown.isEmpty())
            QVERIFY(EntryOf(main).toPlainText().startsWith(QStringLiteral("12/5/2026")));
        else
            QTRY_COMPARE(active(), shown);
        for (const QAction *item : main.findChildren<QAction *>())
            QVERIFY2(item->shortcuts().isEmpty(), qPrintable(item->objectName()));
    }

    void onlyCheckedItemsShowAMark() {
        TestRun run;
        QMenu &format = Control<QMenu>(OpenMainWindow(), "mnuMFormat");
        const auto draw = [&format](QStyleOptionMenuItem::CheckType type, bool checked) {
            QStyleOptionMenuItem option;
            option.initFrom(&format);
            option.rect = QRect(0, 0, 160, 24);
            option.text = QStringLiteral("Bold");
            option.menuItemType = QStyleOptionMenuItem::Normal;
            option.menuHasCheckableItems = true;
            option.checkType = type;
            option.checked = checked;
            QImage picture(option.rect.size(), QImage::Format_ARGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            format.style()->drawControl(QStyle::CE_MenuItem, &option, &painter, &format);
            return picture;
        };
        const QImage plain = draw(QStyleOptionMenuItem::NotCheckable, false);
        QCOMPARE(draw(QStyleOptionMenuItem::NonExclusive, false), plain);
        QVERIFY(draw(QStyleOptionMenuItem::NonExclusive, true) != plain);
    }

    void toolbarPicturesAndClicks() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        // Our own pictures, for a bare desktop: each clear and distinct.
        QList<QImage> drawn;
        for (const ToolbarButton *button : main.findChildren<ToolbarButton *>()) {
            QVERIFY(!button->icon().pixmap(24, 24).isNull());
            const QImage picture = DrawnToolbarPicture(button->Key()).toImage();
            int inked = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    inked += qAlpha(picture.pixel(x, y)) > 128;
            QVERIFY2(inked >= 20 && !drawn.contains(picture), qPrintable(button->Key()));
            drawn.append(picture);
        }
        QCOMPARE(drawn.size(), 24);
        // Clicking a button runs its command but never presses it by itself, nor can the program.
        ToolbarButton &date = Button(main, "date");
        QTest::mouseClick(&date, Qt::LeftButton);
        date.SetValue(1);
        QCOMPARE(date.Value(), 0);
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
    }

    void statusPanels() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        StatusBar &bar = Control<StatusBar>(main, "staMain");
        QCOMPARE(bar.Count(), 4);
        for (int n = 2; n <= 4; ++n)
            QVERIFY(bar.Panels(1)->width() > 2 * bar.Panels(n)->width());
        QCOMPARE(Panel(main, "orvsoftware").Text(), QStringLiteral("Orv Software"));
        QCOMPARE(Marker(main), QString());
        QCOMPARE(Panel(main, "date").Text(), QStringLiteral("12/5/2026"));
        QCOMPARE(Panel(main, "time").Text(), QStringLiteral("10:52:57 PM"));
        Services::Current().clock = [] { return TestRun::kNow.addSecs(3600); };
        QTRY_COMPARE(Panel(main, "time").Text(), QStringLiteral("11:52:57 PM"));

        QSignalSpy clicks(&bar, &StatusBar::PanelClick);
        QTest::mouseClick(bar.Panels(3), Qt::LeftButton);
        QTest::mousePress(bar.Panels(1), Qt::LeftButton);
        QTest::mouseRelease(bar.Panels(1), Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().first().value<StatusPanel *>(), bar.Panels(3));

        QTest::keyClick(&EntryOf(main), Qt::Key_A);
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(QAccessible::queryAccessibleInterface(bar.Panels(n))->text(QAccessible::Name),
                     bar.Panels(n)->Text());
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(bar.Panels(3))->text(QAccessible::Description),
            QStringLiteral("Date"));
    }

    void quitWindowLookAndHighlightUnderThePointer() {
        TestRun run;
        frmAskQuit &quit = ChooseExit(OpenMainWindow());
        QCOMPARE(Look(quit.lblAQYes), kAtFirst);
        QCOMPARE(Look(quit.lblAQNo), kAtFirst);
        QCOMPARE(quit.lblAQTitle->font().pointSize(), 12);
        QLabel *rows[][2] = {{quit.lblAQ1, quit.lblAQ2},
                             {quit.lblAQ3, quit.lblAQ4},
                             {quit.lblAQ5, quit.lblAQ6},
                             {quit.lblAQ7, quit.lblAQ8}};
        for (auto &row : rows) {
            QVERIFY(row[0]->font().bold() && !row[1]->font().bold());
            QCOMPARE(MessageWindow::ForeColorOf(row[0]), QColor(0, 0, 192));
            QCOMPARE(row[0]->geometry().center().y(), row[1]->geometry().center().y());
            QVERIFY(row[0]->geometry().right() < row[1]->geometry().left());
        }
        QCOMPARE(quit.lblAQ6->text(),
                 QStringLiteral("Dectected a 'Quit' button click")); // as it is
        QCOMPARE(quit.lblAQYes->y(), quit.lblAQNo->y());
        QVERIFY(quit.lblAQYes->x() < quit.lblAQNo->x());

        TestRun::MovePointerOver(quit.lblAQYes);
        QCOMPARE(Look(quit.lblAQYes), kUnderPointer);
        QCOMPARE(Look(quit.lblAQNo), kAtFirst);
        // Other labels and the picture keep the pointer to themselves.
        for (QWidget *other :
             std::initializer_list<QWidget *>{quit.lblAQTitle, quit.lblAQ8, quit.imgAQuit}) {
            TestRun::MovePointerOver(other);
            QCOMPARE(Look(quit.lblAQYes), kUnderPointer);
        }
        TestRun::MovePointerOver(quit.lblAQNo);
        QCOMPARE(Look(quit.lblAQNo), kUnderPointer);
        QCOMPARE(Look(quit.lblAQYes), kUnderPointer);
        // The etched line is part of the background.
        TestRun::MovePointerOver(quit.Line1);
        QCOMPARE(Look(quit.lblAQYes), kAtRest);
        QCOMPARE(Look(quit.lblAQNo), kAtRest);
    }

    void quitWindowNoHidesItAndKeepsItsHighlight() {
        TestRun run;
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("unsaved"));
        frmAskQuit &quit = ChooseExit(main);
        // The main window still takes typing while the question is up.
        QTest::keyClicks(&EntryOf(main), QStringLiteral(" words"));
        QTest::mouseClick(quit.lblAQ2, Qt::LeftButton);
        QTest::mouseClick(quit.imgAQuit, Qt::LeftButton);
        QVERIFY(quit.isVisible());

        TestRun::MovePointerOver(quit.lblAQNo);
        QTest::mouseClick(quit.lblAQNo, Qt::LeftButton);
        TestRun::ProcessEvents();
        QVERIFY(!quit.isVisible());
        QVERIFY(main.isVisible());
        QCOMPARE(EntryOf(main).toPlainText(), QStringLiteral("unsaved words"));
        QCOMPARE(Marker(main), QStringLiteral("NOT SAVED!"));
        QVERIFY(!run.Ended());

        QCOMPARE(&ChooseExit(main), &quit);
        QVERIFY(quit.isVisible());
        QCOMPARE(Look(quit.lblAQNo), kUnderPointer);
        QCOMPARE(Look(quit.lblAQYes), kAtFirst);
    }

    void quitWindowYesUnloadsEveryWindow() {
        TestRun run;
        run.SetPasswords(QStringLiteral("journal"), QStringLiteral("diary"));
        Module1::Forms().Get<frmPassEntry>().Hide(); // the gate stays loaded, hidden
        frmMain &main = OpenMainWindow();
        QTest::keyClicks(&EntryOf(main), QStringLiteral("never saved"));
        frmAskQuit &quit = ChooseExit(main);
        QCOMPARE(Module1::Forms().Loaded().size(), 3);

        QTest::mouseClick(quit.lblAQYes, Qt::LeftButton);
        QVERIFY(Module1::Forms().Loaded().isEmpty());
        TestRun::ProcessEvents();
        QVERIFY(run.Ended());
        QCOMPARE(run.ExitCode(), 0);
        QVERIFY(run.Messages().isEmpty()); // no question about the unsaved entry
    }

    // The question plays at the window's Load only, if sound is on then: never at a later Exit.
    void questionCueAtTheFirstExitOnly() {
        for (bool soundAtFirstExit : {true, false}) {
            TestRun run;
            frmMain &main = OpenMainWindow();
            const auto sound = [&main] { Item(main, "mnuMTSound").trigger(); };
            if (!soundAtFirstExit)
                sound();
            QTest::mouseClick(ChooseExit(main).lblAQNo, Qt::LeftButton);
            if (!soundAtFirstExit)
                sound();
            QTest::mouseClick(ChooseExit(main).lblAQNo, Qt::LeftButton);
            ChooseCommand(main, true, {}, QStringLiteral("exit"));
            QCOMPARE(run.Cues().count(QStringLiteral("\\graphics\\s_question.wav")),
                     soundAtFirstExit ? 1 : 0);
        }
    }

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
            return QString::asprintf("%d%d", Item(main, "mnuMTSound").isChecked(),
                                     Button(main, "sound").Value());
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

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
