#include "platform/SearchIndex.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr qsizetype kMinimumGap = 4096;

// Folds characters in place as QString's case-insensitive search compares them: one at a time,
// a surrogate pair as one character.
void Fold(char16_t *text, qsizetype count) {
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                text[i] = c + ('a' - 'A');
        } else if (QChar::isHighSurrogate(c) && i + 1 < count &&
                   QChar::isLowSurrogate(text[i + 1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
            if (QChar::requiresSurrogates(folded)) {
                text[i] = QChar::highSurrogate(folded);
                text[i + 1] = QChar::lowSurrogate(folded);
            }
            ++i;
        } else {
            text[i] = static_cast<char16_t>(QChar::toCaseFolded(char32_t(c)));
        }
    }
}

// The text folded, with room after it for the first edits.
std::vector<char16_t> Folded(const QString &text) {
    std::vector<char16_t> buffer(static_cast<std::size_t>(text.size() + kMinimumGap));
    std::copy(text.utf16(), text.utf16() + text.size(), buffer.begin());
    Fold(buffer.data(), text.size());
    return buffer;
}

} // namespace

SearchIndex::SearchIndex(QObject *parent)
    : QObject(parent) {}

SearchIndex::~SearchIndex() = default; // a fold under way is waited for: it owns its text

void SearchIndex::Follow(QTextDocument *document) {
    disconnect(m_watch);
    m_document = document;
    Forget();
    if (!document)
        return;
    m_watch = connect(document, &QTextDocument::contentsChange, this, &SearchIndex::Update);
    if (!document->isEmpty())
        StartFolding();
}

void SearchIndex::Forget() {
    m_folding = {};
    m_editsWhileFolding.clear();
    m_built = false;
    std::vector<char16_t>().swap(m_buffer);
}

void SearchIndex::StartFolding() {
    // The copy is taken here, where the document lives; only the folding leaves the thread.
    m_folding =
        std::async(std::launch::async, [text = m_document->toRawText()] { return Folded(text); });
}

void SearchIndex::Build() {
    if (m_folding.valid()) {
        Adopt(m_folding.get());
        for (const Edit &edit : std::exchange(m_editsWhileFolding, {}))
            if (m_built)
                Apply(edit);
    }
    if (!m_built)
        Adopt(Folded(m_document->toRawText())); // one character per position, as the index
}

void SearchIndex::Adopt(std::vector<char16_t> folded) {
    m_buffer = std::move(folded);
    m_gapEnd = static_cast<qsizetype>(m_buffer.size());
    m_gapStart = m_gapEnd - kMinimumGap;
    m_built = true;
}

void SearchIndex::Update(int position, int removed, int added) {
    if ((!m_built && !m_folding.valid()) || (removed == 0 && added == 0))
        return;
    // The change may take in the document's last paragraph mark, which has no place here.
    const qsizetype newSize = m_document->characterCount() - 1;
    const qsizetype come = std::max<qsizetype>(0, std::min<qsizetype>(added, newSize - position));
    Edit edit{position, removed, {}, newSize};
    if (come > 0) {
        QTextCursor range(m_document);
        range.setPosition(position);
        range.setPosition(static_cast<int>(position + come), QTextCursor::KeepAnchor);
        edit.text = range.selectedText();
    }
    // Anything unforeseen (a selection in a table gives its cells' text): made anew when next
    // searched.
    if (edit.text.size() != come)
        edit.newSize = -1;
    if (m_folding.valid())
        m_editsWhileFolding.push_back(std::move(edit));
    else
        Apply(edit);
}

void SearchIndex::Apply(const Edit &edit) {
    const qsizetype oldSize = Size();
    const qsizetype position = edit.position;
    const qsizetype gone =
        std::max<qsizetype>(0, std::min<qsizetype>(edit.removed, oldSize - position));
    const qsizetype come = edit.text.size();
    if (position > oldSize || oldSize - gone + come != edit.newSize) {
        Forget();
        return;
    }
    MoveGap(position);
    m_gapEnd += gone;
    if (m_gapEnd - m_gapStart < come) {
        const qsizetype grow = come + std::max(kMinimumGap, Size() / 8);
        m_buffer.insert(m_buffer.begin() + m_gapEnd, static_cast<std::size_t>(grow), 0);
        m_gapEnd += grow;
    }
    std::copy(edit.text.utf16(), edit.text.utf16() + come, m_buffer.begin() + m_gapStart);
    Fold(m_buffer.data() + m_gapStart, come);
    m_gapStart += come;
}

void SearchIndex::MoveGap(qsizetype position) {
    char16_t *buffer = m_buffer.data();
    if (position < m_gapStart) {
        const qsizetype count = m_gapStart - position;
        std::memmove(buffer + m_gapEnd - count, buffer + position, count * sizeof(char16_t));
        m_gapStart -= count;
        m_gapEnd -= count;
    } else if (position > m_gapStart) {
        const qsizetype count = position - m_gapStart;
        std::memmove(buffer + m_gapStart, buffer + m_gapEnd, count * sizeof(char16_t));
        m_gapStart += count;
        m_gapEnd += count;
    }
}

std::u16string SearchIndex::Range(qsizetype from, qsizetype to) const {
    std::u16string text;
    for (qsizetype i = from; i < to; ++i)
        text += m_buffer[static_cast<std::size_t>(i < m_gapStart ? i : i + m_gapEnd - m_gapStart)];
    return text;
}

qsizetype SearchIndex::Find(QStringView text, qsizetype from, qsizetype to) {
    if (!m_document || text.isEmpty())
        return -1;
    if (!m_built)
        Build();
    std::u16string needle(text.utf16(), static_cast<std::size_t>(text.size()));
    Fold(needle.data(), text.size());
    const qsizetype length = text.size();
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, Size());
    if (from > to - length)
        return -1;
    // Before the gap, across it, then after it.
    if (from < m_gapStart) {
        const qsizetype end = std::min(to, m_gapStart);
        const qsizetype at = QStringView(m_buffer.data() + from, end - from).indexOf(needle);
        if (at >= 0)
            return from + at;
        if (to > m_gapStart && length > 1) {
            const qsizetype start = std::max(from, m_gapStart - length + 1);
            const std::u16string across = Range(start, std::min(to, m_gapStart + length - 1));
            const qsizetype found = QStringView(across).indexOf(needle);
            if (found >= 0 && start + found < m_gapStart)
                return start + found;
        }
    }
    const qsizetype start = std::max(from, m_gapStart);
    if (start >= to)
        return -1;
    const qsizetype at =
        QStringView(m_buffer.data() + m_gapEnd + (start - m_gapStart), to - start).indexOf(needle);
    return at >= 0 ? start + at : -1;
}
