#pragma once

#include <QHash>
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
    // The most characters of a topic's text that are shown; a longer topic is cut there, with
    // a note. Help a person writes fits many times over; far longer text (a long word above
    // all) takes Qt seconds to lay out.
    static constexpr qsizetype kMaxShownTopicChars = 50'000;
    // Qt's text lists take time that grows with the square of their items, so beyond this many
    // items a list goes on in paragraphs that begin with the item's bullet or number.
    static constexpr int kMaxListItems = 500;

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

private:
    void AddTopic(HelpTopic topic);

    QHash<QString, qsizetype> m_topicIndex; // id -> place in `topics`, of its first topic
    mutable QStringList m_plainTexts;       // of every topic, made at the first search
};
