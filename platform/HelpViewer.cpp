#include "platform/HelpViewer.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<HelpViewer> &Viewer() {
    static QPointer<HelpViewer> viewer;
    return viewer;
}

constexpr int kTopicRole = Qt::UserRole;

// Qt takes a window of no special kind for a filler; the viewer is a frame named by its caption.
QAccessibleInterface *MakeAccessibleViewer(const QString &className, QObject *object) {
    if (className == QLatin1String("HelpViewer"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// Lists a text that leads to a topic. The item is given its topic before it joins the list,
// where every change to an item is announced to the view: long lists stay quick to fill.
void AddTopicItem(QListWidget *list, const QString &text, const QString &id) {
    auto *item = new QListWidgetItem(text);
    item->setData(kTopicRole, id);
    list->addItem(item);
}

} // namespace

HelpViewer::HelpViewer()
    : QWidget(nullptr, Qt::Window)
    , tabTopics(new QTabWidget(this))
    , treeContents(new QTreeWidget)
    , txtIndex(new QLineEdit)
    , lstIndex(new QListWidget)
    , txtFind(new QLineEdit)
    , lstFind(new QListWidget)
    , lblFindCount(new QLabel)
    , txtTopic(new QTextBrowser(this)) {
    BuildControls();
}

void HelpViewer::BuildControls() {
    setObjectName(QStringLiteral("HelpViewer"));
    tabTopics->setObjectName(QStringLiteral("tabTopics"));
    treeContents->setObjectName(QStringLiteral("treeContents"));
    txtIndex->setObjectName(QStringLiteral("txtIndex"));
    lstIndex->setObjectName(QStringLiteral("lstIndex"));
    txtFind->setObjectName(QStringLiteral("txtFind"));
    lstFind->setObjectName(QStringLiteral("lstFind"));
    lblFindCount->setObjectName(QStringLiteral("lblFindCount"));
    txtTopic->setObjectName(QStringLiteral("txtTopic"));

    treeContents->setHeaderHidden(true);
    treeContents->setAccessibleName(QStringLiteral("Contents"));
    txtIndex->setPlaceholderText(QStringLiteral("Type the first letters of a word"));
    txtIndex->setAccessibleName(QStringLiteral("Index word"));
    lstIndex->setAccessibleName(QStringLiteral("Index"));
    txtFind->setPlaceholderText(QStringLiteral("Type words to find"));
    txtFind->setAccessibleName(QStringLiteral("Words to find"));
    txtFind->setClearButtonEnabled(true);
    lstFind->setAccessibleName(QStringLiteral("Topics found"));
    txtTopic->setAccessibleName(QStringLiteral("Topic"));
    txtTopic->setOpenLinks(false);
    // A long word is broken anywhere: laying it out whole takes time that grows with its
    // square. Rows of one height are placed without measuring each: files may list thousands.
    txtTopic->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    treeContents->setUniformRowHeights(true);
    lstIndex->setUniformItemSizes(true);
    lstFind->setUniformItemSizes(true);

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(new QLabel(QStringLiteral("Type the word you are looking for:")));
    indexLayout->addWidget(txtIndex);
    indexLayout->addWidget(lstIndex);
    auto *findPage = new QWidget;
    auto *findLayout = new QVBoxLayout(findPage);
    findLayout->addWidget(new QLabel(QStringLiteral("Find topics that contain all these words:")));
    findLayout->addWidget(txtFind);
    findLayout->addWidget(lstFind);
    findLayout->addWidget(lblFindCount);
    tabTopics->addTab(treeContents, QStringLiteral("Contents"));
    tabTopics->addTab(indexPage, QStringLiteral("Index"));
    tabTopics->addTab(findPage, QStringLiteral("Find"));

    auto *splitter = new QSplitter(this);
    splitter->addWidget(tabTopics);
    splitter->addWidget(txtTopic);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 530});
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
    resize(820, 560);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(treeContents, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { ContentsItemChosen(item); });
    connect(treeContents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { ContentsItemChosen(item); });
    connect(txtIndex, &QLineEdit::textEdited, this, &HelpViewer::IndexTextEdited);
    connect(lstIndex, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            ShowTopic(item->data(kTopicRole).toString());
    });
    connect(txtFind, &QLineEdit::textChanged, this, &HelpViewer::FindTextEdited);
    connect(lstFind, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            ShowTopic(item->data(kTopicRole).toString(), txtFind->text().simplified());
    });
    connect(txtTopic, &QTextBrowser::anchorClicked, this, &HelpViewer::LinkClicked);
}

void HelpViewer::Run(const QString &helpFile, int command) {
    if (command == kHelpQuit) {
        if (Viewer())
            Viewer()->close();
        return;
    }
    if (!Viewer()) {
        static const bool accessibleViewer =
            (QAccessible::installFactory(MakeAccessibleViewer), true);
        Q_UNUSED(accessibleViewer);
        Viewer() = new HelpViewer;
        Viewer()->setAttribute(Qt::WA_DeleteOnClose);
        // Gone before the application object is.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, Viewer(), [] { Discard(); });
    }
    HelpViewer *viewer = Viewer();
    viewer->Load(helpFile); // read afresh: the file may have been put in place meanwhile
    viewer->tabTopics->setCurrentIndex(0);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    if (viewer->m_loaded)
        viewer->treeContents->setFocus();
}

HelpViewer *HelpViewer::Current() {
    return Viewer();
}

void HelpViewer::Discard() {
    delete Viewer().data();
}

QStringList HelpViewer::SearchFolders() {
    QStringList folders{QDir::currentPath(), QCoreApplication::applicationDirPath()};
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        if (!folders.contains(folder))
            folders.append(folder);
    return folders;
}

QString HelpViewer::FindHelpFile(const QString &fileName, const QStringList &folders) {
    if (fileName.isEmpty())
        return {};
    if (fileName.contains(QLatin1Char('/')))
        return QFileInfo(fileName).isFile() ? fileName : QString();
    for (const QString &folder : folders) {
        QString path = QDir(folder).filePath(fileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

void HelpViewer::Load(const QString &fileName) {
    m_loaded = false;
    m_path.clear();
    m_currentTopic.clear();
    m_document = HelpDocument();
    treeContents->clear();
    lstIndex->clear();
    lstFind->clear();
    lblFindCount->clear();

    const QStringList folders = SearchFolders();
    const QString path = FindHelpFile(fileName, folders);
    if (path.isEmpty()) {
        QString list;
        for (const QString &folder : folders)
            list +=
                QStringLiteral("<li>%1</li>").arg(QDir::toNativeSeparators(folder).toHtmlEscaped());
        ShowProblem(QStringLiteral("Cannot find the help file"),
                    QStringLiteral("<p>The help file <b>%1</b> was not found. These folders were "
                                   "searched:</p><ul>%2</ul><p>Put the file into the program's "
                                   "folder, or install Quillory again, then choose Help, "
                                   "Contents once more.</p>")
                        .arg(fileName.toHtmlEscaped(), list));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowProblem(QStringLiteral("Cannot open the help file"),
                    QStringLiteral("<p>The help file <b>%1</b> could not be read: %2.</p>")
                        .arg(QDir::toNativeSeparators(path).toHtmlEscaped(),
                             file.errorString().toHtmlEscaped()));
        return;
    }
    m_document = HelpDocument::Parse(QString::fromUtf8(file.readAll()));
    if (m_document.topics.isEmpty()) {
        ShowProblem(QStringLiteral("Not a help file"),
                    QStringLiteral("<p>The file <b>%1</b> holds no help topics.</p>")
                        .arg(QDir::toNativeSeparators(path).toHtmlEscaped()));
        return;
    }
    m_loaded = true;
    m_path = path;
    tabTopics->setEnabled(true);
    setWindowTitle(
        QStringLiteral("Help Topics: %1")
            .arg(m_document.title.isEmpty() ? QFileInfo(path).fileName() : m_document.title));
    FillContents();
    FillIndex();
    ShowTopic(m_document.topics.constFirst().id);
}

void HelpViewer::ShowProblem(const QString &heading, const QString &detailsHtml) {
    setWindowTitle(QStringLiteral("Help"));
    tabTopics->setEnabled(false);
    txtTopic->setHtml(QStringLiteral("<h2>%1</h2>%2").arg(heading.toHtmlEscaped(), detailsHtml));
}

void HelpViewer::FillContents() {
    QHash<QString, QTreeWidgetItem *> books;
    for (const QString &book : std::as_const(m_document.books)) {
        auto *item = new QTreeWidgetItem(treeContents, {book});
        item->setFlags(Qt::ItemIsEnabled);
        books.insert(book, item);
    }
    for (const HelpTopic &topic : std::as_const(m_document.topics)) {
        QTreeWidgetItem *book = books.value(topic.book);
        auto *item = book ? new QTreeWidgetItem(book, {topic.title})
                          : new QTreeWidgetItem(treeContents, {topic.title});
        item->setData(0, kTopicRole, topic.id);
    }
    treeContents->expandAll();
}

void HelpViewer::FillIndex() {
    for (const auto &[keyword, id] : m_document.IndexEntries())
        AddTopicItem(lstIndex, keyword, id);
}

void HelpViewer::IndexTextEdited(const QString &text) {
    // The list follows the typing: the first entry that begins with the text is chosen.
    if (text.isEmpty())
        return;
    for (int row = 0; row < lstIndex->count(); ++row) {
        if (lstIndex->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
            lstIndex->setCurrentRow(row);
            lstIndex->scrollToItem(lstIndex->item(row), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpViewer::FindTextEdited(const QString &text) {
    lstFind->clear();
    if (text.trimmed().isEmpty()) {
        lblFindCount->clear();
        return;
    }
    const QStringList found = m_document.FindTopics(text);
    for (const QString &id : found)
        AddTopicItem(lstFind, m_document.Topic(id)->title, id);
    lblFindCount->setText(found.size() == 1 ? QStringLiteral("1 topic found")
                                            : QStringLiteral("%1 topics found").arg(found.size()));
}

void HelpViewer::ContentsItemChosen(QTreeWidgetItem *item) {
    if (item && item->data(0, kTopicRole).isValid())
        ShowTopic(item->data(0, kTopicRole).toString());
}

void HelpViewer::LinkClicked(const QUrl &url) {
    if (url.scheme() == QLatin1String("topic"))
        ShowTopic(url.path());
}

void HelpViewer::ShowTopic(const QString &id, const QString &highlight) {
    const HelpTopic *topic = m_document.Topic(id);
    if (!topic)
        return;
    m_currentTopic = id;
    txtTopic->setHtml(m_document.TopicHtml(*topic));
    const QString first = highlight.section(QLatin1Char(' '), 0, 0);
    if (!first.isEmpty())
        txtTopic->find(first);
}
