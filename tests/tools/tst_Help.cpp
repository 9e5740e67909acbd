#include "TestSupport.h"

#include "platform/CommonDialog.h"
#include "platform/HelpViewer.h"
#include "platform/QtCommonDialogPresenter.h"
#include "platform/Services.h"
#include "tools/HelpContents.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextList>
#include <QTreeWidget>

namespace {

QString ShippedHelpFile() {
    return QFINDTESTDATA("../../assets/help/orvquillory.hlp");
}

} // namespace

class tst_Help : public QObject {
    Q_OBJECT
private slots:
    // The user's own data folders must not take part.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { HelpViewer::Discard(); }

    // The other dialogs' properties carry on untouched.
    void routineAsksForTheTopicsOfTheBareFileName() {
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

    void realViewerTellsOfAMissingFileAndOpensWithoutBlocking() {
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

    void shippedFileIsWellFormedAndCoversEveryWindow() {
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

    void viewerListsTopicsAndFindsWords() {
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

    void searchOrderIsCurrentThenProgramThenData() {
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

    void parsesTheMarkup() {
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

    void longTopicsAreShownWithBoundedWork() {
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
};

QTEST_MAIN(tst_Help)
#include "tst_Help.moc"
