#include "TestSupport.h"

#include "platform/CommonDialog.h"
#include "platform/HelpViewer.h"
#include "platform/QtCommonDialogPresenter.h"
#include "tools/HelpContents.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

// Remembers what the help call asked for.
class RecordingPresenter final : public CommonDialogPresenter {
public:
    bool ShowOpen(CommonDialog &) override { return false; }
    bool ShowSave(CommonDialog &) override { return false; }
    bool ShowColor(CommonDialog &) override { return false; }
    bool ShowFont(CommonDialog &) override { return false; }
    void ShowHelp(CommonDialog &dialog) override {
        calls.append(QStringLiteral("%1 %2").arg(dialog.HelpFile).arg(dialog.HelpCommand));
    }
    QStringList calls;
};

// Runs a test inside a folder of its own, then goes back.
class InFolder {
public:
    explicit InFolder(const QString &folder)
        : m_previous(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~InFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

QString ShippedHelpFile() {
    return QFINDTESTDATA("../../assets/help/orvquillory.hlp");
}

QStringList TreeTitles(const QTreeWidget *tree) {
    QStringList titles;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it)
        if ((*it)->childCount() == 0)
            titles.append((*it)->text(0));
    return titles;
}

QStringList ListTexts(const QListWidget *list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

} // namespace

class tst_Help : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void routineAsksForTheTopicsOfTheBareFileName();
    void realViewerOpensWithoutBlocking();
    void shippedFileIsWellFormedAndCoversEveryWindow();
    void viewerListsTopicsAndFindsWords();
    void missingFileIsReportedInTheViewer();
    void searchOrderIsCurrentThenProgramThenData();
    void parsesTheMarkup();
};

void tst_Help::initTestCase() {
    // The user's own data folders must not take part.
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(!ShippedHelpFile().isEmpty());
}

void tst_Help::cleanup() {
    HelpViewer::Discard();
    CommonDialog::SetPresenter(nullptr);
}

void tst_Help::routineAsksForTheTopicsOfTheBareFileName() {
    TestRun run;
    auto presenter = std::make_unique<RecordingPresenter>();
    RecordingPresenter *recorder = presenter.get();
    CommonDialog::SetPresenter(std::move(presenter));
    CommonDialog dlgMain;
    dlgMain.FileName = QStringLiteral("/home/me/entry.rtf");
    dlgMain.HelpCommand = 3;

    ShowHelpContents(dlgMain);

    QCOMPARE(recorder->calls, QStringList{QStringLiteral("orvquillory.hlp 11")});
    // The other dialogs' properties carry on untouched.
    QCOMPARE(dlgMain.FileName, QStringLiteral("/home/me/entry.rtf"));
}

void tst_Help::realViewerOpensWithoutBlocking() {
    TestRun run;
    // The real presenter: its help is our own non-blocking viewer, safe to open here.
    CommonDialog::SetPresenter(std::make_unique<QtCommonDialogPresenter>());
    QTemporaryDir folder;
    QVERIFY(QFile::copy(ShippedHelpFile(), folder.filePath(QStringLiteral("orvquillory.hlp"))));
    InFolder in(folder.path());
    CommonDialog dlgMain;

    ShowHelpContents(dlgMain); // returns here, with the viewer open: nothing waits for it

    HelpViewer *viewer = HelpViewer::Current();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QVERIFY(!viewer->isModal());
    QVERIFY(viewer->HasDocument());
    QCOMPARE(QFileInfo(viewer->LoadedPath()).canonicalFilePath(),
             QFileInfo(folder.filePath(QStringLiteral("orvquillory.hlp"))).canonicalFilePath());
    QCOMPARE(viewer->tabTopics->currentIndex(), 0); // on its topics list
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Help Topics: Quillory Help"));

    // A second call brings the same window back to its topics list.
    viewer->tabTopics->setCurrentIndex(2);
    ShowHelpContents(dlgMain);
    QCOMPARE(HelpViewer::Current(), viewer);
    QCOMPARE(viewer->tabTopics->currentIndex(), 0);
}

void tst_Help::shippedFileIsWellFormedAndCoversEveryWindow() {
    QFile file(ShippedHelpFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const HelpDocument help = HelpDocument::Parse(QString::fromUtf8(file.readAll()));
    QCOMPARE(help.problems, QStringList());
    // Every window and command a user meets has a topic that names it.
    for (const char *subject : {"Password entry",
                                "Main screen",
                                "NOT SAVED!",
                                "New",
                                "Open",
                                "Save",
                                "Cut",
                                "Copy",
                                "Paste",
                                "Date",
                                "Time",
                                "Picture",
                                "Font",
                                "Colors",
                                "Center",
                                "Bold",
                                "Italic",
                                "Underline",
                                "Change password",
                                "Calendar",
                                "Format 3.5\" floppy",
                                "View log",
                                "Search",
                                "Not found!",
                                "Sound",
                                "About",
                                "Quit program?",
                                "File error!",
                                "orvlog.txt",
                                "scrambled",
                                "RTF",
                                "gnome-disk-utility"})
        QVERIFY2(!help.FindTopics(QLatin1String(subject)).isEmpty(), subject);
    for (const HelpTopic &topic : help.topics)
        QVERIFY2(!topic.book.isEmpty(), qPrintable(topic.id));
}

void tst_Help::viewerListsTopicsAndFindsWords() {
    TestRun run;
    QTemporaryDir folder;
    QVERIFY(QFile::copy(ShippedHelpFile(), folder.filePath(QStringLiteral("orvquillory.hlp"))));
    InFolder in(folder.path());
    HelpViewer::Run(QStringLiteral("orvquillory.hlp"), HelpViewer::kHelpFinder);
    HelpViewer *viewer = HelpViewer::Current();
    QVERIFY(viewer && viewer->HasDocument());

    const QStringList titles = TreeTitles(viewer->treeContents);
    QCOMPARE(titles.size(), viewer->Document().topics.size());
    QVERIFY(titles.contains(QStringLiteral("The password entry window")));
    QVERIFY(titles.contains(QStringLiteral("The calendar")));
    QCOMPARE(viewer->treeContents->topLevelItem(0)->text(0), QStringLiteral("Getting started"));

    // Contents: choosing a topic shows it.
    QTreeWidgetItem *calendar =
        viewer->treeContents
            ->findItems(QStringLiteral("The calendar"), Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    QVERIFY(calendar);
    viewer->treeContents->setCurrentItem(calendar);
    QCOMPARE(viewer->CurrentTopicId(), QStringLiteral("calendar"));
    QVERIFY(viewer->txtTopic->toPlainText().contains(QStringLiteral("opens on the current month")));

    // Find: every topic holding the words, and the word selected in the one shown.
    viewer->tabTopics->setCurrentIndex(2);
    QTest::keyClicks(viewer->txtFind, QStringLiteral("SCRAMBLED passwords"));
    const QStringList found = ListTexts(viewer->lstFind);
    QVERIFY(found.contains(QStringLiteral("What the passwords protect")));
    QVERIFY(!found.contains(QStringLiteral("The calendar")));
    QCOMPARE(viewer->lblFindCount->text(), QStringLiteral("%1 topics found").arg(found.size()));
    viewer->lstFind->setCurrentRow(
        int(found.indexOf(QStringLiteral("What the passwords protect"))));
    QCOMPARE(viewer->CurrentTopicId(), QStringLiteral("security"));
    QCOMPARE(viewer->txtTopic->textCursor().selectedText().toLower(), QStringLiteral("scrambled"));

    QTest::keyClicks(viewer->txtFind, QStringLiteral(" zebra"));
    QCOMPARE(viewer->lstFind->count(), 0);

    // Index: typing jumps to the first entry that begins with the letters.
    viewer->tabTopics->setCurrentIndex(1);
    QTest::keyClicks(viewer->txtIndex, QStringLiteral("orvl"));
    QVERIFY(viewer->lstIndex->currentItem());
    QCOMPARE(viewer->lstIndex->currentItem()->text(), QStringLiteral("orvlog.txt"));
    QVERIFY(viewer->CurrentTopicId() == QStringLiteral("security-log") ||
            viewer->CurrentTopicId() == QStringLiteral("files"));

    // Links lead to their topic.
    viewer->ShowTopic(QStringLiteral("welcome"));
    viewer->txtTopic->anchorClicked(QUrl(QStringLiteral("topic:quitting")));
    QCOMPARE(viewer->CurrentTopicId(), QStringLiteral("quitting"));
}

void tst_Help::missingFileIsReportedInTheViewer() {
    TestRun run;
    // The real presenter: its help is our own non-blocking viewer, safe to open here.
    CommonDialog::SetPresenter(std::make_unique<QtCommonDialogPresenter>());
    QTemporaryDir empty;
    InFolder in(empty.path());
    CommonDialog dlgMain;
    QVERIFY(HelpViewer::FindHelpFile(QStringLiteral("orvquillory.hlp"), HelpViewer::SearchFolders())
                .isEmpty());

    ShowHelpContents(dlgMain);

    HelpViewer *viewer = HelpViewer::Current();
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(!viewer->HasDocument());
    QVERIFY(!viewer->tabTopics->isEnabled());
    const QString message = viewer->txtTopic->toPlainText();
    QVERIFY2(message.contains(QStringLiteral("orvquillory.hlp was not found")),
             qPrintable(message));
    QVERIFY(message.contains(QDir::toNativeSeparators(empty.path())));
    QVERIFY(run.Messages().isEmpty()); // said in the viewer, not in a message box

    // Once the file is there, the next call finds it.
    QVERIFY(QFile::copy(ShippedHelpFile(), empty.filePath(QStringLiteral("orvquillory.hlp"))));
    ShowHelpContents(dlgMain);
    QVERIFY(viewer->HasDocument());
    QVERIFY(viewer->tabTopics->isEnabled());
}

void tst_Help::searchOrderIsCurrentThenProgramThenData() {
    const QStringList folders = HelpViewer::SearchFolders();
    QCOMPARE(folders.value(0), QDir::currentPath());
    QCOMPARE(folders.value(1), QCoreApplication::applicationDirPath());
    QVERIFY(folders.size() > 2);

    QTemporaryDir first;
    QTemporaryDir second;
    for (const QTemporaryDir *dir : {&first, &second}) {
        QFile file(dir->filePath(QStringLiteral("x.hlp")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(HelpViewer::FindHelpFile(QStringLiteral("x.hlp"), {first.path(), second.path()}),
             first.filePath(QStringLiteral("x.hlp")));
    QCOMPARE(HelpViewer::FindHelpFile(QStringLiteral("x.hlp"),
                                      {QStringLiteral("/nonexistent"), second.path()}),
             second.filePath(QStringLiteral("x.hlp")));
    QCOMPARE(HelpViewer::FindHelpFile(second.filePath(QStringLiteral("x.hlp")), {first.path()}),
             second.filePath(QStringLiteral("x.hlp")));
    QCOMPARE(HelpViewer::FindHelpFile(QStringLiteral("y.hlp"), {first.path()}), QString());
}

void tst_Help::parsesTheMarkup() {
    const HelpDocument help =
        HelpDocument::Parse(QStringLiteral(";; a comment\r\n"
                                           "@title Test Help\n"
                                           "@topic loose Loose topic\n"
                                           "Before any book.\n"
                                           "@book First\n"
                                           "@topic one Topic One\n"
                                           "@keywords alpha; Beta\n"
                                           "A paragraph that\n"
                                           "goes on with **bold** and <tags>.\n"
                                           "\n"
                                           "- an item with [[two]]\n"
                                           "  continued\n"
                                           "- and [[two|a named link]] and [[nowhere]]\n"
                                           "== Sub\n"
                                           "1. first\n"
                                           "@@at sign\n"
                                           "@book Second\n"
                                           "@topic two Topic Two\n"
                                           "@frobnicate\n"
                                           "@topic one Again\n"));
    QCOMPARE(help.title, QStringLiteral("Test Help"));
    QCOMPARE(help.books, (QStringList{"First", "Second"}));
    QCOMPARE(help.topics.size(), 4);
    QCOMPARE(help.topics[0].book, QString());
    QCOMPARE(help.topics[1].book, QStringLiteral("First"));
    QCOMPARE(help.topics[1].keywords, (QStringList{"alpha", "Beta"}));
    QCOMPARE(help.topics[2].book, QStringLiteral("Second"));
    QCOMPARE(help.problems.size(), 3);
    QVERIFY(help.problems.filter(QStringLiteral("@frobnicate")).size() == 1);
    QVERIFY(help.problems.filter(QStringLiteral("used twice")).size() == 1);
    QVERIFY(help.problems.filter(QStringLiteral("\"nowhere\"")).size() == 1);

    const QString html = help.TopicHtml(help.topics[1]);
    QVERIFY(html.contains(QStringLiteral("<p>A paragraph that goes on with <b>bold</b> and "
                                         "&lt;tags&gt;.</p>")));
    QVERIFY(html.contains(QStringLiteral(
        "<ul>\n<li>an item with <a href=\"topic:two\">Topic Two</a> continued</li>")));
    QVERIFY(html.contains(
        QStringLiteral("<a href=\"topic:two\">a named link</a> and nowhere</li>\n</ul>")));
    QVERIFY(html.contains(QStringLiteral("<h3>Sub</h3>\n<ol>\n<li>first @at sign</li>\n</ol>")));

    const auto index = help.IndexEntries();
    QStringList keywords;
    for (const auto &entry : index)
        keywords.append(entry.first);
    QCOMPARE(keywords,
             (QStringList{"Again", "alpha", "Beta", "Loose topic", "Topic One", "Topic Two"}));
    QCOMPARE(help.FindTopics(QStringLiteral("named BOLD")), QStringList{QStringLiteral("one")});
    QCOMPARE(help.FindTopics(QStringLiteral("   ")), QStringList());
}

QTEST_MAIN(tst_Help)
#include "tst_Help.moc"
