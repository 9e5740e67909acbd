#include "platform/HelpFile.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

const QRegularExpression &LinkPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(\[\[([A-Za-z0-9-]+)(?:\|([^\]]*))?\]\])"));
    return pattern;
}

const QRegularExpression &BoldPattern() {
    static const QRegularExpression pattern(QStringLiteral(R"(\*\*(.+?)\*\*)"));
    return pattern;
}

enum class Block { None, Paragraph, Bullets, Numbers };

} // namespace

HelpDocument HelpDocument::Parse(const QString &text) {
    HelpDocument document;
    QSet<QString> books;
    QString book;
    HelpTopic *topic = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const auto problem = [&](const QString &what) {
            document.problems.append(QStringLiteral("line %1: %2").arg(number).arg(what));
        };
        if (line.startsWith(QLatin1String(";;")))
            continue;
        if (line.startsWith(QLatin1String("@@"))) {
            line.remove(0, 1);
        } else if (line.startsWith(QLatin1Char('@'))) {
            const qsizetype space = line.indexOf(QLatin1Char(' '));
            const QString directive = line.mid(1, space < 0 ? -1 : space - 1);
            const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
            if (directive == QLatin1String("title")) {
                document.title = rest;
            } else if (directive == QLatin1String("book")) {
                book = rest;
                if (!books.contains(book)) {
                    books.insert(book);
                    document.books.append(book);
                }
            } else if (directive == QLatin1String("topic")) {
                const qsizetype gap = rest.indexOf(QLatin1Char(' '));
                const QString id = gap < 0 ? rest : rest.left(gap);
                if (id.isEmpty() || gap < 0) {
                    problem(QStringLiteral("a topic needs an id and a title"));
                    topic = nullptr;
                    continue;
                }
                if (document.Topic(id))
                    problem(QStringLiteral("topic id \"%1\" used twice").arg(id));
                document.AddTopic({id, rest.mid(gap + 1).trimmed(), book, {}, {}});
                topic = &document.topics.last();
            } else if (directive == QLatin1String("keywords")) {
                if (!topic) {
                    problem(QStringLiteral("keywords outside a topic"));
                    continue;
                }
                for (const QString &keyword : rest.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                    if (!keyword.trimmed().isEmpty())
                        topic->keywords.append(keyword.trimmed());
            } else {
                problem(QStringLiteral("unknown directive @%1").arg(directive));
            }
            continue;
        }
        if (topic)
            topic->lines.append(line);
        else if (!line.trimmed().isEmpty())
            problem(QStringLiteral("text outside a topic"));
    }
    // Every link must lead somewhere.
    for (const HelpTopic &each : std::as_const(document.topics)) {
        for (const QString &line : each.lines) {
            auto links = LinkPattern().globalMatch(line);
            while (links.hasNext()) {
                const QString target = links.next().captured(1);
                if (!document.Topic(target))
                    document.problems.append(
                        QStringLiteral("topic \"%1\" links to unknown topic \"%2\"")
                            .arg(each.id, target));
            }
        }
    }
    return document;
}

void HelpDocument::AddTopic(HelpTopic topic) {
    if (!m_topicIndex.contains(topic.id))
        m_topicIndex.insert(topic.id, topics.size());
    topics.append(std::move(topic));
}

const HelpTopic *HelpDocument::Topic(const QString &id) const {
    const qsizetype at = m_topicIndex.value(id, -1);
    return at < 0 ? nullptr : &topics[at];
}

namespace {

// The text with its bold and links turned into HTML, or with the markup taken out.
QString RenderInline(const QString &text, const HelpDocument &document, bool html) {
    const auto plainPart = [html](const QString &part) {
        if (!html) {
            QString plain = part;
            return plain.replace(BoldPattern(), QStringLiteral("\\1"));
        }
        QString escaped = part.toHtmlEscaped();
        return escaped.replace(BoldPattern(), QStringLiteral("<b>\\1</b>"));
    };
    QString out;
    qsizetype at = 0;
    auto links = LinkPattern().globalMatch(text);
    while (links.hasNext()) {
        const QRegularExpressionMatch link = links.next();
        out += plainPart(text.mid(at, link.capturedStart() - at));
        const HelpTopic *target = document.Topic(link.captured(1));
        QString caption = link.captured(2);
        if (caption.isEmpty())
            caption = target ? target->title : link.captured(1);
        if (html && target)
            out +=
                QStringLiteral("<a href=\"topic:%1\">%2</a>").arg(target->id, plainPart(caption));
        else
            out += plainPart(caption);
        at = link.capturedEnd();
    }
    return out + plainPart(text.mid(at));
}

QString InlineHtml(const QString &text, const HelpDocument &document) {
    return RenderInline(text, document, true);
}

} // namespace

QString HelpDocument::TopicHtml(const HelpTopic &topic) const {
    QString html = QStringLiteral("<h2>%1</h2>\n").arg(topic.title.toHtmlEscaped());
    Block block = Block::None;
    int item = 0;             // the number of the list item being gathered
    bool listTagOpen = false; // until the list goes on in paragraphs
    QString pending;          // the paragraph or list item being gathered
    const auto closeListTag = [&] {
        if (listTagOpen)
            html += block == Block::Bullets ? QStringLiteral("</ul>\n") : QStringLiteral("</ol>\n");
        listTagOpen = false;
    };
    const auto flushItem = [&] {
        if (pending.isEmpty())
            return;
        const QString inner = InlineHtml(pending, *this);
        pending.clear();
        if (block == Block::Paragraph) {
            html += QStringLiteral("<p>%1</p>\n").arg(inner);
        } else if (item <= kMaxListItems) {
            html += QStringLiteral("<li>%1</li>\n").arg(inner);
        } else {
            closeListTag();
            const QString marker = block == Block::Bullets ? QStringLiteral("&bull;")
                                                           : QStringLiteral("%1.").arg(item);
            html += QStringLiteral("<p style=\"margin: 0 0 0 40px; text-indent: -20px\">"
                                   "%1&nbsp;&nbsp;%2</p>\n")
                        .arg(marker, inner);
        }
    };
    const auto close = [&] {
        flushItem();
        closeListTag();
        block = Block::None;
    };
    const auto open = [&](Block wanted) {
        if (block == wanted) {
            flushItem();
            ++item;
            return;
        }
        close();
        block = wanted;
        item = 1;
        listTagOpen = wanted != Block::Paragraph;
        if (wanted == Block::Bullets)
            html += QStringLiteral("<ul>\n");
        else if (wanted == Block::Numbers)
            html += QStringLiteral("<ol>\n");
    };
    static const QRegularExpression numbered(QStringLiteral(R"(^\d+\.\s+)"));
    qsizetype room = kMaxShownTopicChars;
    bool cut = false;
    for (const QString &whole : topic.lines) {
        const QString line = whole.left(room);
        room -= line.size();
        cut = line.size() < whole.size();
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            close();
        } else if (line.startsWith(QLatin1String("== "))) {
            close();
            html += QStringLiteral("<h3>%1</h3>\n").arg(InlineHtml(line.mid(3).trimmed(), *this));
        } else if (line.startsWith(QLatin1String("- "))) {
            open(Block::Bullets);
            pending = line.mid(2).trimmed();
        } else if (const auto match = numbered.match(line); match.hasMatch()) {
            open(Block::Numbers);
            pending = line.mid(match.capturedLength()).trimmed();
        } else {
            // A line of text continues the paragraph or the list item above it.
            if (block == Block::None)
                open(Block::Paragraph);
            pending += (pending.isEmpty() ? QString() : QStringLiteral(" ")) + trimmed;
        }
        if (cut)
            break;
    }
    close();
    if (cut)
        html += QStringLiteral("<p><i>This topic is too long to be shown whole: the rest of it "
                               "is left out.</i></p>\n");
    return html;
}

QString HelpDocument::TopicPlainText(const HelpTopic &topic) const {
    QStringList text{topic.title};
    for (const QString &line : topic.lines) {
        QString plain = RenderInline(line, *this, false);
        if (plain.startsWith(QLatin1String("== ")) || plain.startsWith(QLatin1String("- ")))
            plain = plain.mid(plain.indexOf(QLatin1Char(' ')) + 1);
        text.append(plain);
    }
    return text.join(QLatin1Char('\n'));
}

QList<QPair<QString, QString>> HelpDocument::IndexEntries() const {
    QList<QPair<QString, QString>> entries;
    for (const HelpTopic &topic : topics) {
        entries.append({topic.title, topic.id});
        for (const QString &keyword : topic.keywords)
            entries.append({keyword, topic.id});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

QStringList HelpDocument::FindTopics(const QString &words) const {
    const QStringList wanted = words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList found;
    if (wanted.isEmpty())
        return found;
    if (m_plainTexts.size() != topics.size()) { // made once: searching follows every keystroke
        m_plainTexts.clear();
        for (const HelpTopic &topic : topics)
            m_plainTexts.append(TopicPlainText(topic));
    }
    for (qsizetype i = 0; i < topics.size(); ++i) {
        if (std::all_of(wanted.begin(), wanted.end(), [&](const QString &word) {
                return m_plainTexts[i].contains(word, Qt::CaseInsensitive);
            }))
            found.append(topics[i].id);
    }
    return found;
}
