#pragma once

#include <QObject>
#include <QPointer>
#include <QStringView>
#include <future>
#include <vector>

class QTextDocument;

// The text of a document folded to one case, one character for each position (paragraph
// breaks and pictures included), for finding text whatever its case. A document handed over
// whole (an opened entry) is folded on a worker thread at once, so the first search after an
// open finds it ready; otherwise it is made at the first search. After that an edit changes
// only the characters the edit changed, so a search right after typing in a long entry does not
// copy the whole text again.
//
// The characters live in a gap buffer: an edit moves the gap to where it happens, which costs
// nothing while the user types in one place.
class SearchIndex : public QObject {
    Q_OBJECT
public:
    explicit SearchIndex(QObject *parent = nullptr);
    ~SearchIndex() override;

    // Follows `document` from now on, instead of the document followed so far.
    void Follow(QTextDocument *document);

    // Where `text` first occurs, case ignored, starting at or after `from` and ending at or
    // before `to`; -1 when it does not.
    qsizetype Find(QStringView text, qsizetype from, qsizetype to);

private:
    // One change of the document's text: `removed` characters at `position` gave way to
    // `text`, leaving the document `newSize` characters long.
    struct Edit {
        qsizetype position;
        int removed;
        QString text;
        qsizetype newSize;
    };

    void StartFolding();
    void Build();
    void Adopt(std::vector<char16_t> folded);
    void Update(int position, int removed, int added);
    void Apply(const Edit &edit);
    void Forget();
    void MoveGap(qsizetype position);
    qsizetype Size() const {
        return static_cast<qsizetype>(m_buffer.size()) - (m_gapEnd - m_gapStart);
    }
    // The folded characters [from, to), whichever side of the gap they lie.
    std::u16string Range(qsizetype from, qsizetype to) const;

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_watch;
    bool m_built = false;
    // The folded text on its way from the worker thread, and the edits made meanwhile.
    std::future<std::vector<char16_t>> m_folding;
    std::vector<Edit> m_editsWhileFolding;
    std::vector<char16_t> m_buffer;
    qsizetype m_gapStart = 0;
    qsizetype m_gapEnd = 0;
};
