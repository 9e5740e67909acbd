// The main window as it opens: its menu tree, toolbar, status bar and entry, what its Load
// does, and what a close request from the window manager does.
#include "MainWindowDriver.h"
#include "TestSupport.h"

#include "app/Module1.h"
#include "app/Regional.h"
#include "mainwindow/ToolbarPictures.h"
#include "mainwindow/frmAskQuit.h"
#include "platform/AccessibleName.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"

#include <QAccessible>
#include <QDateTime>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

namespace {

// Each menu as "name caption" lines, a separator as "name -".
const QStringList kMenuTree[] = {
    {"mnuMFile &File", "mnuMFNew &New", "mnuMFSlash -", "mnuMFOpen &Open", "mnuMFSlash1 -",
     "mnuMFSave Sa&ve", "mnuMFSlash2 -", "mnuMFExit E&xit"},
    {"mnuMEdit &Edit", "mnuMECut Cu&t", "mnuMESlash -", "mnuMECopy &Copy", "mnuMESlash1 -",
     "mnuMEPaste &Paste"},
    {"mnuMInsert &Insert", "mnuMIDate Dat&e", "mnuMISlash -", "mnuMITime &Time", "mnuMISlash1 -",
     "mnuMIPicture Pict&ure"},
    {"mnuMFormat &Format", "mnuMFoFont Fon&t", "mnuMFoSlash -", "mnuMFoColor Co&lors",
     "mnuMFoSlash1 -", "mnuMFoCenter &Center", "mnuMFoSlash2 -", "mnuMFoBold &Bold",
     "mnuMFoSlash3 -", "mnuMFoItalic &Italic", "mnuMFoSlash4 -", "mnuMFoUnderline &Underline"},
    {"mnuMTools &Tools", "mnuMTChange C&hange password", "mnuMTSlash -", "mnuMTCalendar Cale&ndar",
     "mnuMTSlash1 -", "mnuMTFormat Fo&rmat 3.5\" floppy", "mnuMTSlash2 -", "mnuMTView &View log",
     "mnuMTSlash3 -", "mnuMTSearch &Search", "mnuMTSlash4 -", "mnuMTSound Soun&d"},
    {"mnuMHelp &Help", "mnuMHContents &Contents", "mnuMHSlash -", "mnuMHAbout &About"},
};

} // namespace

class MainWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void loadStartsTheRun();
    void menuTree();
    void toolbarPositions();
    void statusPanels();
};

void MainWindowLayout::loadStartsTheRun() {
    TestRun run;
    QCOMPARE(Module1::gSoundOn, qint16(0));
    frmMain &main = OpenMainWindow();
    QCOMPARE(main.windowTitle(), QStringLiteral("Main screen"));
    QVERIFY(!(main.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
    QCOMPARE(main.minimumSize(), main.maximumSize());
    QCOMPARE(Module1::gSoundOn, qint16(1));
    // The greeting plays although sound was still off when Load began.
    QCOMPARE(run.Cues(), QStringList{QStringLiteral("\\graphics\\s_hi!.wav")});

    QTest::keyClicks(main.rtbMain, QStringLiteral("Dear diary"));
    QTextCursor typed(main.rtbMain->document());
    typed.movePosition(QTextCursor::End);
    const QFont font = typed.charFormat().font().resolve(main.rtbMain->document()->defaultFont());
    QCOMPARE(font.family().toLower(), QStringLiteral("arial"));
    QCOMPARE(font.pointSize(), 9);
    QCOMPARE(main.rtbMain->textColor(), QColor(0, 0, 0));

    // A second showing runs no Load: no second greeting.
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

void MainWindowLayout::menuTree() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(main.mnuMain);
    QVERIFY(bar);
    const QList<QAction *> menus = main.mnuMain->actions();
    QCOMPARE(menus.size(), int(std::size(kMenuTree)));
    for (int m = 0; m < menus.size(); ++m) {
        const QStringList &expected = kMenuTree[m];
        QMenu *menu = menus[m]->menu();
        QVERIFY(menu);
        const QString menuLine = expected.first();
        QCOMPARE(menu->objectName() + QLatin1Char(' ') + menu->title(), menuLine);
        QCOMPARE(bar->child(m)->text(QAccessible::Name), AccessibleNameOf(menu->title()));

        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(menu);
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), expected.size() - 1);
        for (int i = 0; i < items.size(); ++i) {
            QAction *item = items[i];
            const QString caption = item->isSeparator() ? QStringLiteral("-") : item->text();
            QCOMPARE(item->objectName() + QLatin1Char(' ') + caption, expected[i + 1]);
            QVERIFY2(item->shortcuts().isEmpty(), qPrintable(item->objectName()));
            QCOMPARE(item->isChecked(), item == main.mnuMTSound);
            if (!item->isSeparator())
                QCOMPARE(list->child(i)->text(QAccessible::Name), AccessibleNameOf(caption));
        }
    }
}

void MainWindowLayout::toolbarPositions() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    // By position, one group of buttons a line, "key Name: description" as a screen reader finds
    // them, with "*" after a toggle button's name; "-" a separator.
    const QStringList expected =
        QStringLiteral("new New: clear the entry screen|open Open: open saved entry|"
                       "save Save: save current entry|-|"
                       "cut Cut: cut text|copy Copy: copy text|paste Paste: paste text|-|"
                       "date Date: insert current date|time Time: insert current time|"
                       "picture Picture: insert picture|-|"
                       "font Font: choose a font|color Colors: choose a new text color|"
                       "center Center*: center text|bold Bold*: bold text|"
                       "italic Italic*: italic text|underline Underline*: underlined text|-|"
                       "change Change password: change password(s)|"
                       "calendar Calendar: check calendar|"
                       "format Format 3.5\" floppy: format 3.5\" disk|"
                       "view View log: view security log|"
                       "search Search: search for a word/phrase|"
                       "sound Sound*: toggle sound on/off|-|"
                       "help Help: display the help file|about About: display the about screen|-|"
                       "exit Exit: exit the program")
            .split(QLatin1Char('|'));
    QCOMPARE(main.tlbMain->Count(), expected.size());
    QList<QImage> drawn; // our own pictures, for a bare desktop: each clear and distinct
    for (int position = 1; position <= main.tlbMain->Count(); ++position) {
        ToolbarButton *button = main.tlbMain->Buttons(position);
        const QString line = expected[position - 1];
        if (line == QLatin1String("-")) {
            QVERIFY2(!button && main.tlbMain->IsSeparator(position), qPrintable(line));
            continue;
        }
        QVERIFY(button);
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(spoken->role(), QAccessible::Button);
        QCOMPARE(QStringLiteral("%1 %2%3: %4")
                     .arg(button->Key(), spoken->text(QAccessible::Name),
                          spoken->state().checkable ? QStringLiteral("*") : QString(),
                          spoken->text(QAccessible::Description)),
                 line);
        QCOMPARE(button->Value(), position == 25 ? 1 : 0);
        QCOMPARE(spoken->state().checked, position == 25);
        QVERIFY(!button->icon().pixmap(24, 24).isNull());
        const QImage picture = DrawnToolbarPicture(button->Key()).toImage();
        QCOMPARE(picture.size(), QSize(24, 24));
        int inked = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                inked += qAlpha(picture.pixel(x, y)) > 128;
        QVERIFY2(inked >= 20 && !drawn.contains(picture), qPrintable(line));
        drawn.append(picture);
    }
    // Clicking a button runs its command but never presses it by itself, nor can the program.
    ToolbarButton *date = main.tlbMain->ButtonByKey(QStringLiteral("date"));
    QTest::mouseClick(date, Qt::LeftButton);
    date->SetValue(1);
    QCOMPARE(date->Value(), 0);
}

void MainWindowLayout::statusPanels() {
    TestRun run;
    frmMain &main = OpenMainWindow();
    StatusBar *bar = main.staMain;
    QCOMPARE(bar->Count(), 4);
    const QStringList keys = {"orvsoftware", "modified", "date", "time"};
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(bar->Panels(n)->Key(), keys[n - 1]);
    QCOMPARE(bar->Panels(1)->toolTip(),
             QStringLiteral("Displays the full path\\filename of current data"));
    QCOMPARE(bar->Panels(2)->toolTip(), QStringLiteral("(Bold) Mod = need to save current data"));
    for (int n = 2; n <= 4; ++n)
        QVERIFY(bar->Panels(1)->width() > 2 * bar->Panels(n)->width());

    // A click names its panel; a press that ends elsewhere is no click.
    QSignalSpy clicks(bar, &StatusBar::PanelClick);
    QTest::mouseClick(bar->Panels(3), Qt::LeftButton);
    QTest::mousePress(bar->Panels(1), Qt::LeftButton);
    QTest::mouseRelease(bar->Panels(1), Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().first().value<StatusPanel *>(), bar->Panels(3));

    // The date and time panels follow the clock (allowing for a tick between reads).
    const QDateTime before = QDateTime::currentDateTime();
    QTest::qWait(1100);
    QStringList moments;
    for (QDateTime at = before; at <= QDateTime::currentDateTime().addSecs(1); at = at.addSecs(1))
        moments << Regional::ShortDateText(at.date()) + ' ' + Regional::LongTimeText(at.time());
    const QString shown = bar->Panels(3)->Text() + ' ' + bar->Panels(4)->Text();
    QVERIFY2(moments.contains(shown), qPrintable(shown));

    // A screen reader reads what each panel shows.
    QTest::keyClick(main.rtbMain, Qt::Key_A);
    for (int n = 1; n <= 4; ++n) {
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(bar->Panels(n));
        QCOMPARE(spoken->text(QAccessible::Name), bar->Panels(n)->Text());
    }
    QCOMPARE(bar->Panels(2)->Text(), QStringLiteral("NOT SAVED!"));
    QCOMPARE(QAccessible::queryAccessibleInterface(bar->Panels(3))->text(QAccessible::Description),
             QStringLiteral("Date"));
}

QTEST_MAIN(MainWindowLayout)
#include "tst_MainWindowLayout.moc"
