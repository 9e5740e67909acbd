#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One page of help.
struct HelpTopic {
    QString id;
    QString title;
    QString book; // the chapter of the contents it belongs to; empty for none
    QStringList keywords;
    QStringList lines; // the body as written in the file
};

// A help file in Quillory's own text format (assets/help/FORMAT.md): books of topics, index
// keywords and a light markup for the bodies. Parsing never fails: what cannot be understood is
// reported in `problems` and left out or shown as plain text.
class HelpDocument {
public:
    static HelpDocument Parse(const QString &text);

    QString title;
    QList<HelpTopic> topics;
    QStringList books; // in order of appearance
    QStringList problems;

    const HelpTopic *Topic(const QString &id) const;
    // The body as HTML; links point at "topic:<id>".
    QString TopicHtml(const HelpTopic &topic) const;
    // The title and body without markup, for searching.
    QString TopicPlainText(const HelpTopic &topic) const;
    // Keyword and topic id pairs, keywords and titles together, sorted without regard to case.
    QList<QPair<QString, QString>> IndexEntries() const;
    // Ids of the topics whose text holds every one of the words, ignoring case.
    QStringList FindTopics(const QString &words) const;
};
