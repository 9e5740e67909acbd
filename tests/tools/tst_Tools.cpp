#include "MainWindowDriver.h"

#include "app/Gradient.h"
#include "platform/ClickableLabel.h"
#include "platform/CommandButton.h"
#include "platform/CommonDialog.h"
#include "platform/DriveListBox.h"
#include "platform/Drives.h"
#include "platform/HelpViewer.h"
#include "platform/QtCommonDialogPresenter.h"
#include "platform/Services.h"
#include "platform/TextBox.h"
#include "tools/HelpContents.h"
#include "tools/frmAbout.h"
#include "tools/frmCalendar.h"
#include "tools/frmEgg.h"
#include "tools/frmFormat.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextList>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>

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

QString ShippedHelpFile() {
    return QFINDTESTDATA("../../assets/help/orvquillory.hlp");
}

// A laptop with a floppy drive, two partitions of its disk, an NFS share, a USB stick (which
// reports itself as not removable, as many do), a DVD drive and the usual pseudo file systems.
SystemFacts Laptop() {
    SystemFacts facts;
    facts.blocks = {{.name = "sda", .label = {}},
                    {.name = "sdb", .usb = true, .label = {}},
                    {.name = "sr0", .removableFlag = true, .optical = true, .label = {}},
                    {.name = "fd0", .removableFlag = true, .label = {}}};
    facts.mounts = {{"/dev/sda3", "/home", "ext4", {}, "sda"},
                    {"/dev/sda2", "/", "ext4", {}, "sda"},
                    {"tmpfs", "/run", "tmpfs", {}, {}},
                    {"/dev/loop3", "/snap/core/1", "squashfs", {}, "loop3"},
                    {"server:/export", "/mnt/share", "nfs4", {}, {}},
                    {"/dev/sdb1", "/media/u/MY STICK", "vfat", "MY STICK", "sdb"},
                    {"/dev/sda3", "/var/lib/bind-of-home", "ext4", {}, "sda"}};
    return facts;
}

QStringList Texts(const QList<DriveEntry> &drives) {
    QStringList texts;
    for (const DriveEntry &drive : drives)
        texts.append(drive.Text());
    return texts;
}

const DriveEntry *WithLetter(const QList<DriveEntry> &drives, char letter) {
    for (const DriveEntry &drive : drives)
        if (drive.letter == QLatin1Char(letter))
            return &drive;
    return nullptr;
}

// A machine with the drives a test gives it. Format requests are recorded and their dialog
// stays "open" until the test runs `closeDialog`.
struct FakeDrives final : DriveService {
    QList<DriveEntry> Drives() override { return drives; }
    void FormatDrive(QWidget *owner, int driveNumber, std::function<void()> whenClosed) override {
        requests.append({owner, driveNumber});
        closeDialog = std::move(whenClosed);
    }
    QList<DriveEntry> drives;
    QList<std::pair<QWidget *, int>> requests;
    std::function<void()> closeDialog;
};

FakeDrives &InstallDrives(QList<DriveEntry> drives) {
    auto fake = std::make_unique<FakeDrives>();
    fake->drives = std::move(drives);
    FakeDrives &installed = *fake;
    Services::Current().drives = std::move(fake);
    return installed;
}

} // namespace

class tst_Tools : public QObject {
    Q_OBJECT
private slots:
    // The user's own data folders must not take part.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { HelpViewer::Discard(); }

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

    // The other dialogs' properties carry on untouched.
    void helpRoutineAsksForTheTopicsOfTheBareFileName() {
        TestRun run;
        CommonDialog dlgMain;
        dlgMain.FileName = QStringLiteral("/home/me/entry.rtf");
        ShowHelpContents(dlgMain);
        const ScriptedDialogs::Shown &help = run.Dialogs().shown.value(0);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(help.kind, help.HelpFile, dlgMain.FileName)
                     .arg(help.HelpCommand),
                 QStringLiteral("help orvquillory.hlp /home/me/entry.rtf 11"));
    }

    void helpViewerTellsOfAMissingFileAndOpensWithoutBlocking() {
        TestRun run;
        // The real presenter: its help is our own non-blocking viewer, safe to open here.
        Services::Current().dialogs = std::make_unique<QtCommonDialogPresenter>();
        QTemporaryDir folder;
        const auto back =
            qScopeGuard([previous = QDir::currentPath()] { QDir::setCurrent(previous); });
        QDir::setCurrent(folder.path());
        const QString helpFile = folder.filePath(QStringLiteral("orvquillory.hlp"));
        QVERIFY(
            HelpViewer::FindHelpFile(QStringLiteral("orvquillory.hlp"), HelpViewer::SearchFolders())
                .isEmpty());
        CommonDialog dlgMain;

        ShowHelpContents(dlgMain); // returns here, with the viewer open: nothing waits for it

        HelpViewer *viewer = HelpViewer::Current();
        QVERIFY(viewer && viewer->isVisible() && !viewer->isModal());
        QVERIFY(!viewer->HasDocument() && !viewer->tabTopics->isEnabled());
        const QString message = viewer->txtTopic->toPlainText();
        QVERIFY(message.contains(QStringLiteral("orvquillory.hlp was not found")));
        QVERIFY(message.contains(QDir::toNativeSeparators(folder.path())));
        QVERIFY(run.Messages().isEmpty()); // said in the viewer, not in a message box

        // Once the file is there, the next call finds it, and any later call brings the same
        // window back to its topics list.
        QVERIFY(QFile::copy(ShippedHelpFile(), helpFile));
        for (int call = 0; call < 2; ++call) {
            viewer->tabTopics->setCurrentIndex(2);
            ShowHelpContents(dlgMain);
            QCOMPARE(HelpViewer::Current(), viewer);
            QVERIFY(viewer->HasDocument() && viewer->tabTopics->isEnabled());
            QCOMPARE(viewer->tabTopics->currentIndex(), 0);
        }
        QCOMPARE(QFileInfo(viewer->LoadedPath()).canonicalFilePath(),
                 QFileInfo(helpFile).canonicalFilePath());
    }

    void shippedHelpFileIsWellFormedAndCoversEveryWindow() {
        QFile file(ShippedHelpFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const HelpDocument help = HelpDocument::Parse(QString::fromUtf8(file.readAll()));
        QCOMPARE(help.problems, QStringList());
        const QStringList subjects =
            QStringLiteral(
                "Password entry|Main screen|NOT SAVED!|New|Open|Save|Cut|Copy|Paste|Date|"
                "Time|Picture|Font|Colors|Center|Bold|Italic|Underline|Change password|"
                "Calendar|Format 3.5\" floppy|View log|Search|Not found!|Sound|About|"
                "Quit program?|File error!|orvlog.txt|scrambled|RTF|gnome-disk-utility")
                .split(QLatin1Char('|'));
        for (const QString &subject : subjects)
            QVERIFY2(!help.FindTopics(subject).isEmpty(), qPrintable(subject));
        for (const HelpTopic &topic : help.topics)
            QVERIFY2(!topic.book.isEmpty(), qPrintable(topic.id));
    }

    void helpViewerListsTopicsAndFindsWords() {
        TestRun run;
        HelpViewer::Run(ShippedHelpFile(), HelpViewer::kHelpFinder);
        HelpViewer &viewer = *HelpViewer::Current();
        int listed = 0; // every topic in the contents
        for (QTreeWidgetItemIterator it(viewer.treeContents, QTreeWidgetItemIterator::NoChildren);
             *it; ++it)
            ++listed;
        QCOMPARE(listed, viewer.Document().topics.size());
        QCOMPARE(viewer.treeContents->topLevelItem(0)->text(0), QStringLiteral("Getting started"));
        viewer.treeContents->setCurrentItem(viewer.treeContents->findItems(
            "The calendar", Qt::MatchExactly | Qt::MatchRecursive)[0]);
        QVERIFY(
            viewer.txtTopic->toPlainText().contains(QStringLiteral("opens on the current month")));

        viewer.tabTopics->setCurrentIndex(2);
        QTest::keyClicks(viewer.txtFind, QStringLiteral("SCRAMBLED passwords"));
        QVERIFY(viewer.lstFind->findItems("The calendar", Qt::MatchExactly).isEmpty());
        QCOMPARE(viewer.lblFindCount->text(),
                 QStringLiteral("%1 topics found").arg(viewer.lstFind->count()));
        viewer.lstFind->setCurrentItem(
            viewer.lstFind->findItems("What the passwords protect", Qt::MatchExactly).value(0));
        QCOMPARE(viewer.CurrentTopicId(), QStringLiteral("security"));
        QCOMPARE(viewer.txtTopic->textCursor().selectedText().toLower(),
                 QStringLiteral("scrambled"));
        QTest::keyClicks(viewer.txtFind, QStringLiteral(" zebra"));
        QCOMPARE(viewer.lstFind->count(), 0);

        viewer.tabTopics->setCurrentIndex(1);
        QTest::keyClicks(viewer.txtIndex, QStringLiteral("orvl"));
        QCOMPARE(viewer.lstIndex->currentItem()->text(), QStringLiteral("orvlog.txt"));
        QVERIFY(QStringList({"security-log", "files"}).contains(viewer.CurrentTopicId()));

        viewer.ShowTopic(QStringLiteral("welcome"));
        viewer.txtTopic->anchorClicked(QUrl(QStringLiteral("topic:quitting")));
        QCOMPARE(viewer.CurrentTopicId(), QStringLiteral("quitting"));
    }

    void helpSearchOrderIsCurrentThenProgramThenData() {
        const QStringList folders = HelpViewer::SearchFolders();
        QCOMPARE(folders.mid(0, 2), (QStringList{QDir::currentPath(), qApp->applicationDirPath()}));
        QVERIFY(folders.size() > 2);
        QTemporaryDir first, second;
        const QString x = QStringLiteral("x.hlp");
        for (const QTemporaryDir *dir : {&first, &second})
            QVERIFY(QFile(dir->filePath(x)).open(QIODevice::WriteOnly));
        QCOMPARE(HelpViewer::FindHelpFile(x, {first.path(), second.path()}), first.filePath(x));
        QCOMPARE(HelpViewer::FindHelpFile(x, {"/nonexistent", second.path()}), second.filePath(x));
        QCOMPARE(HelpViewer::FindHelpFile(second.filePath(x), {first.path()}), second.filePath(x));
        QCOMPARE(HelpViewer::FindHelpFile(QStringLiteral("y.hlp"), {first.path()}), QString());
    }

    void helpParsesItsMarkup() {
        const HelpDocument help = HelpDocument::Parse(QStringLiteral(
            ";; a comment\r\n@title Test Help\n@topic loose Loose topic\nBefore any book.\n"
            "@book First\n@topic one Topic One\n@keywords alpha; Beta\n"
            "A paragraph that\ngoes on with **bold** and <tags>.\n\n"
            "- an item with [[two]]\n  continued\n- and [[two|a named link]] and [[nowhere]]\n"
            "== Sub\n1. first\n@@at sign\n"
            "@book Second\n@topic two Topic Two\n@frobnicate\n@topic one Again\n"));
        QCOMPARE(help.title, QStringLiteral("Test Help"));
        QCOMPARE(help.books, (QStringList{"First", "Second"}));
        QStringList placed;
        for (const HelpTopic &topic : help.topics)
            placed << topic.book + QLatin1Char('/') + topic.id;
        QCOMPARE(placed, (QStringList{"/loose", "First/one", "Second/two", "Second/one"}));
        QCOMPARE(help.topics[1].keywords, (QStringList{"alpha", "Beta"}));
        QCOMPARE(help.problems, (QStringList{"line 19: unknown directive @frobnicate",
                                             "line 20: topic id \"one\" used twice",
                                             "topic \"one\" links to unknown topic \"nowhere\""}));
        QCOMPARE(help.TopicHtml(help.topics[1]),
                 QStringLiteral(
                     "<h2>Topic One</h2>\n"
                     "<p>A paragraph that goes on with <b>bold</b> and &lt;tags&gt;.</p>\n"
                     "<ul>\n<li>an item with <a href=\"topic:two\">Topic Two</a> continued</li>\n"
                     "<li>and <a href=\"topic:two\">a named link</a> and nowhere</li>\n</ul>\n"
                     "<h3>Sub</h3>\n<ol>\n<li>first @at sign</li>\n</ol>\n"));

        const auto index = help.IndexEntries();
        QStringList keywords;
        for (const auto &entry : index)
            keywords.append(entry.first);
        QCOMPARE(keywords,
                 (QStringList{"Again", "alpha", "Beta", "Loose topic", "Topic One", "Topic Two"}));
        QCOMPARE(help.FindTopics(QStringLiteral("named BOLD")), QStringList{QStringLiteral("one")});
        QCOMPARE(help.FindTopics(QStringLiteral("   ")), QStringList());
    }

    void helpShowsLongTopicsWithBoundedWork() {
        // Qt's text lists slow down with the square of their items, and laying out text takes time
        // with its length: a long list goes on numbered in paragraphs, and the text is cut short.
        QString source = QStringLiteral("@topic long Long\n");
        for (int i = 1; i <= 1200; ++i)
            source += QStringLiteral("%1. item\n").arg(i);
        source += QStringLiteral("word ").repeated(20'000);
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("long.hlp")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(source.toUtf8()) > 0);
        file.close();
        HelpViewer::Run(file.fileName(), HelpViewer::kHelpFinder);
        const QTextDocument *shown = HelpViewer::Current()->txtTopic->document();

        int longestList = 0;
        for (QTextBlock block = shown->begin(); block.isValid(); block = block.next())
            if (block.textList())
                longestList = std::max(longestList, block.textList()->count());
        QCOMPARE(longestList, HelpDocument::kMaxListItems);
        const QString text = shown->toPlainText();
        QVERIFY(text.contains(QStringLiteral("1200.  item")));
        QVERIFY(text.size() < HelpDocument::kMaxShownTopicChars + 200);
        QVERIFY(text.trimmed().endsWith(QStringLiteral("the rest of it is left out.")));
    }

    void arrangesAndClassifiesTheMachinesDrives() {
        QHash<QString, QChar> letters;
        const QList<DriveEntry> drives = ArrangeDrives(Laptop(), letters);
        QCOMPARE(Texts(drives),
                 (QStringList{"a: [/dev/fd0]", "c: [/]", "d: [/home]", "e: [server:/export]",
                              "f: [MY STICK]", "g: [/dev/sr0]"}));
        const DriveEntry *stick = WithLetter(drives, 'f');
        QCOMPARE(stick->device, QStringLiteral("/dev/sdb")); // the whole device is formatted
        QCOMPARE(stick->mountPoint, QStringLiteral("/media/u/MY STICK"));

        // The type is read by the letter alone, whatever follows it.
        SystemDriveService service(Laptop);
        const std::pair<const char *, int> kinds[] = {
            {"A:", DriveKind::Removable},     {"C: [/]", DriveKind::Fixed},
            {"d: [/home]", DriveKind::Fixed}, {"E: [SERVER:/EXPORT]", DriveKind::Remote},
            {"F: [X]", DriveKind::Removable}, {"G:", DriveKind::CdRom},
            {"Q:", DriveKind::NoRootDir},     {"", DriveKind::NoRootDir}};
        for (const auto &[text, kind] : kinds)
            QVERIFY2(service.DriveType(QLatin1String(text)) == kind, text);
    }

    void lettersStayWithTheirDrivesForTheRun() {
        QHash<QString, QChar> letters;
        SystemFacts facts = Laptop();
        ArrangeDrives(facts, letters);

        facts.blocks.removeIf([](const BlockDeviceFacts &b) { return b.name == "sdb"; });
        facts.mounts.removeIf([](const MountFacts &m) { return m.parentBlock == "sdb"; });
        facts.blocks.append({.name = "mmcblk0", .sdCard = true, .label = "CAMERA"});
        QList<DriveEntry> drives = ArrangeDrives(facts, letters);
        QCOMPARE(Texts(drives),
                 (QStringList{"a: [/dev/fd0]", "c: [/]", "d: [/home]", "e: [server:/export]",
                              "g: [/dev/sr0]", "h: [CAMERA]"}));

        drives = ArrangeDrives(Laptop(), letters);
        QCOMPARE(WithLetter(drives, 'f')->label, QStringLiteral("MY STICK"));
    }

    void onlyARemovableDriveGoesToTheFormatProgramWhichIsWaitedFor() {
        // A stand-in for the format program that notes its arguments and stays open until told.
        QTemporaryDir dir;
        QFile script(dir.filePath(QStringLiteral("stand-in-disks")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "echo \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
                     "while [ ! -e \"$(dirname \"$0\")/close\" ]; do sleep 0.02; done\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        script.close();
        SystemDriveService service(Laptop,
                                   FormatTool{QStringLiteral("stand-in-disks"), {dir.path()}});
        QWidget owner;
        int closed = 0;
        const QString arguments = dir.filePath(QStringLiteral("arguments"));

        // Fixed, network, optical and absent drives start nothing, and the wait ends at once.
        for (const char *drive : {"C:", "E:", "G:", "Q:"})
            service.FormatDrive(&owner, DriveNumberOf(QLatin1String(drive)), [&] { ++closed; });
        QCOMPARE(closed, 4);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(arguments));

        service.FormatDrive(&owner, DriveNumberOf(QStringLiteral("F: [MY STICK]")),
                            [&] { ++closed; });
        QTRY_VERIFY(QFile::exists(arguments));
        QFile file(arguments);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().trimmed(), QByteArray("--block-device /dev/sdb --format-device"));
        QTest::qWait(100); // events flow while the program is open, and the wait goes on
        QCOMPARE(closed, 4);

        QFile(dir.filePath(QStringLiteral("close"))).open(QIODevice::WriteOnly);
        QTRY_COMPARE(closed, 5);
        QVERIFY(owner.findChildren<QMessageBox *>().isEmpty());
    }

    void missingFormatProgramNamesWhatToInstall() {
        QTemporaryDir emptyDir;
        SystemDriveService service(Laptop,
                                   FormatTool{QStringLiteral("gnome-disks"), {emptyDir.path()}});
        QWidget owner;
        int closed = 0;

        service.FormatDrive(&owner, 0, [&] { ++closed; });

        auto *box = owner.findChild<QMessageBox *>(QStringLiteral("msgFormatToolMissing"));
        QVERIFY(box && box->isVisible());
        QVERIFY(box->text().contains(QStringLiteral("gnome-disk-utility")));
        QVERIFY(box->text().contains(QStringLiteral("\"gnome-disks\"")));
        QCOMPARE(closed, 0); // the owner waits for the message as it would for the dialog
        box->accept();
        QCOMPARE(closed, 1);
    }

    void thisMachinesSystemVolumeIsAFixedDrive() {
        SystemDriveService service;
        const QList<DriveEntry> drives = service.Drives();
        const DriveEntry *system = WithLetter(drives, 'c');
        QVERIFY2(system, qPrintable(Texts(drives).join(QLatin1String(", "))));
        QCOMPARE(system->mountPoint, QStringLiteral("/"));
        QCOMPARE(system->kind, DriveKind::Fixed);
        for (const DriveEntry &drive : drives)
            QVERIFY(!drive.device.startsWith(QLatin1String("/dev/loop")));
    }

    void formatWindowShowsItsTextsAndDrives() {
        TestRun run;
        const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();
        InstallDrives({{u'a', DriveKind::Removable, {}, {}, {}},
                       {u'c', DriveKind::Fixed, "elsewhere", {}, "/nowhere-in-particular"},
                       {u'd', DriveKind::Fixed, "HERE", {}, currentRoot}});
        frmFormat &window = Module1::Forms().Show<frmFormat>();
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
        QStringList listed;
        for (int i = 0; i < window.drvFormat->count(); ++i)
            listed.append(window.drvFormat->itemText(i));
        QCOMPARE(listed, (QStringList{"a:", "c: [elsewhere]", "d: [HERE]"}));
        QCOMPARE(window.drvFormat->Drive(), QStringLiteral("d: [HERE]"));

        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.drvFormat);
        for (QWidget *next : {window.cmdFormat, window.cmdFContinue}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void formatThenDone_data() {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<int>("driveNumber"); // handed to the format dialog; -1 when none opens
        QTest::newRow("fixed") << "c: [/]" << -1;
        QTest::newRow("optical") << "d: [HOLIDAY 2003]" << -1;
        QTest::newRow("network") << "z: [server:/export]" << -1;
        QTest::newRow("floppy a") << "a:" << 0;
        QTest::newRow("usb stick e") << "e: [STICK]" << 4;
    }

    void formatThenDone() {
        QFETCH(QString, drive);
        QFETCH(int, driveNumber);
        TestRun run;
        // Drives as letter, kind, label, device, mount point.
        FakeDrives &drives =
            InstallDrives({{u'a', DriveKind::Removable, {}, {}, {}},
                           {u'c', DriveKind::Fixed, {}, {}, "/"},
                           {u'd', DriveKind::CdRom, "HOLIDAY 2003", {}, {}},
                           {u'e', DriveKind::Removable, "STICK", {}, "/media/stick"},
                           {u'z', DriveKind::Remote, "server:/export", {}, {}}});
        frmFormat &window = Module1::Forms().Show<frmFormat>();
        window.drvFormat->setCurrentIndex(window.drvFormat->findText(drive));
        QCOMPARE(window.drvFormat->Drive(), drive);

        QTest::mouseClick(window.cmdFormat, Qt::LeftButton);

        if (driveNumber >= 0) {
            QCOMPARE(drives.requests.size(), 1);
            QCOMPARE(drives.requests[0].first, &window);
            QCOMPARE(drives.requests[0].second, driveNumber);
            // While the dialog is open the window waits, and its close button has not changed yet.
            QVERIFY(!window.isEnabled());
            QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Can&cel"));
            QTest::mouseClick(window.cmdFormat, Qt::LeftButton);
            QCOMPARE(drives.requests.size(), 1);
            // Formatted or cancelled: the window can't tell.
            std::exchange(drives.closeDialog, {})();
        }
        QCOMPARE(drives.requests.size(), driveNumber >= 0 ? 1 : 0);
        QVERIFY(window.isEnabled());
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
        QCOMPARE(window.cmdFContinue->accessibleName(), QStringLiteral("Done"));
        QVERIFY(run.Messages().isEmpty());

        QTest::mouseClick(window.cmdFContinue, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(&Module1::Forms().Show<frmFormat>(), &window);
        QCOMPARE(window.cmdFContinue->text(), QStringLiteral("Done"));
        QCOMPARE(window.drvFormat->Drive(), drive);
    }
};

QTEST_MAIN(tst_Tools)
#include "tst_Tools.moc"
