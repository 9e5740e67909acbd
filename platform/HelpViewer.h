#pragma once

#include "platform/HelpFile.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// The program's help viewer: one window for the run, never modal. It finds a help file given by
// its bare name, opens on its topics list (contents, index, and a find box over the whole text)
// and, when the file cannot be found or read, says so in its own window.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Help commands understood: the topics list, and closing the viewer.
    static constexpr int kHelpQuit = 2;
    static constexpr int kHelpFinder = 11;

    // Carries out a help command for the file and returns at once.
    static void Run(const QString &helpFile, int command);
    // The viewer window, if one is open.
    static HelpViewer *Current();
    // Destroys the viewer window; for the end of the run and for tests.
    static void Discard();

    // Where a bare file name is looked for, in order: the current folder, the program's folder,
    // the program's standard data folders.
    static QStringList SearchFolders();
    // The first existing file of that name in the folders; a name with a folder is taken as it
    // is. Empty when there is none.
    static QString FindHelpFile(const QString &fileName, const QStringList &folders);

    bool HasDocument() const { return m_loaded; }
    QString LoadedPath() const { return m_path; }
    const HelpDocument &Document() const { return m_document; }
    QString CurrentTopicId() const { return m_currentTopic; }
    // Shows a topic; with `highlight`, its first occurrence is selected.
    void ShowTopic(const QString &id, const QString &highlight = {});

    QTabWidget *tabTopics;
    QTreeWidget *treeContents;
    QLineEdit *txtIndex;
    QListWidget *lstIndex;
    QLineEdit *txtFind;
    QListWidget *lstFind;
    QLabel *lblFindCount;
    QTextBrowser *txtTopic;

private:
    HelpViewer();
    void BuildControls();
    void Load(const QString &fileName);
    void ShowProblem(const QString &heading, const QString &detailsHtml);
    void FillContents();
    void FillIndex();
    void IndexTextEdited(const QString &text);
    void FindTextEdited(const QString &text);
    void ContentsItemChosen(QTreeWidgetItem *item);
    void LinkClicked(const QUrl &url);

    HelpDocument m_document;
    bool m_loaded = false;
    QString m_path;
    QString m_currentTopic;
};
