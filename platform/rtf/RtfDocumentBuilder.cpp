#include "platform/rtf/RtfDocumentBuilder.h"

#include <QTextDocument>
#include <algorithm>

namespace {

// Text gathered before it goes into the document: large enough that each insertText() carries
// many paragraphs, small enough to cost no memory worth counting.
constexpr qsizetype kBatchSize = 1 << 16;

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument *document)
    : m_document(document)
    , m_end(document)
    , m_format(document) {
    m_lastBlockFormat = AddBlockFormat(QTextBlockFormat()); // the empty document's block
}

int RtfDocumentBuilder::AddCharFormat(const QTextCharFormat &format) {
    m_charFormats.push_back(format);
    m_isPicture.push_back(format.isImageFormat());
    return static_cast<int>(m_charFormats.size()) - 1;
}

int RtfDocumentBuilder::AddBlockFormat(const QTextBlockFormat &format) {
    m_blockFormats.push_back(format);
    return static_cast<int>(m_blockFormats.size()) - 1;
}

void RtfDocumentBuilder::StartRun(int format) {
    if (m_runs.empty() || m_runs.back().format != format || m_runs.back().start < m_paragraphStart)
        m_runs.push_back(Run{m_text.size(), format});
}

void RtfDocumentBuilder::AppendText(QStringView text, int format) {
    if (text.isEmpty())
        return;
    StartRun(format);
    m_text.append(text);
    m_surrogates = m_surrogates ||
                   std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

void RtfDocumentBuilder::AppendLatin1(const char *text, qsizetype size, int format) {
    if (size == 0)
        return;
    StartRun(format);
    m_text.append(QLatin1StringView(text, size));
}

void RtfDocumentBuilder::AppendPicture(int imageFormat) {
    m_runs.push_back(Run{m_text.size(), imageFormat});
    m_text.append(QChar::ObjectReplacementCharacter);
}

void RtfDocumentBuilder::EndParagraph(int blockFormat, int markFormat) {
    // \u pairs that do not make a surrogate pair would be invalid UTF-16 in the document.
    QChar *text = m_text.data();
    for (qsizetype i = m_paragraphStart; m_surrogates && i < m_text.size(); ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < m_text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
    m_surrogates = false;
    m_paragraphs.push_back(Paragraph{m_paragraphStart, blockFormat, markFormat});
    if (m_text.size() >= kBatchSize)
        Flush();
    m_text.append(QChar::ParagraphSeparator); // begins the next paragraph
    m_paragraphStart = m_text.size();
}

void RtfDocumentBuilder::Finish() {
    // The paragraph begun last was never ended: drop it with its separator.
    const qsizetype unended = m_paragraphs.empty() && m_documentEmpty ? 0 : m_paragraphStart - 1;
    if (unended >= 0 && unended < m_text.size())
        m_text.truncate(unended);
    while (!m_runs.empty() && m_runs.back().start >= m_text.size())
        m_runs.pop_back();
    Flush();
    m_text.clear();
    m_paragraphStart = 0;
}

int RtfDocumentBuilder::MostUsedTextFormat() const {
    m_uses.assign(m_charFormats.size(), 0);
    int best = m_paragraphs.front().markFormat;
    const auto count = [this, &best](int format) {
        if (!m_isPicture[format] && ++m_uses[format] > m_uses[best])
            best = format;
    };
    for (const Run &run : m_runs)
        count(run.format);
    for (const Paragraph &paragraph : m_paragraphs)
        count(paragraph.markFormat);
    return best;
}

void RtfDocumentBuilder::Flush() {
    if (m_paragraphs.empty())
        return;
    const int start = m_end.position();
    const int base = MostUsedTextFormat();
    m_end.insertText(m_text, m_charFormats[base]);

    // Every block took the format of the block the text went into, every mark the text's
    // format; the first block of the document kept the mark it had.
    const int given = m_lastBlockFormat;
    for (std::size_t p = 0; p < m_paragraphs.size(); ++p) {
        const Paragraph &paragraph = m_paragraphs[p];
        const int at = start + static_cast<int>(paragraph.start);
        if (paragraph.blockFormat != given || paragraph.markFormat != base ||
            (p == 0 && m_documentEmpty))
            m_format.setPosition(at);
        if (paragraph.blockFormat != given)
            m_format.setBlockFormat(m_blockFormats[paragraph.blockFormat]);
        if (paragraph.markFormat != base || (p == 0 && m_documentEmpty))
            m_format.setBlockCharFormat(m_charFormats[paragraph.markFormat]);
    }
    m_lastBlockFormat = m_paragraphs.back().blockFormat;
    m_documentEmpty = false;

    // A run ends where the next one starts, or at the end of its paragraph.
    std::size_t next = 1;
    for (std::size_t r = 0; r < m_runs.size(); ++r) {
        const Run &run = m_runs[r];
        while (next < m_paragraphs.size() && m_paragraphs[next].start <= run.start)
            ++next;
        qsizetype end = next < m_paragraphs.size() ? m_paragraphs[next].start - 1 : m_text.size();
        if (r + 1 < m_runs.size())
            end = std::min(end, m_runs[r + 1].start);
        if (run.format == base || end <= run.start)
            continue;
        m_format.setPosition(start + static_cast<int>(run.start));
        m_format.setPosition(start + static_cast<int>(end), QTextCursor::KeepAnchor);
        m_format.setCharFormat(m_charFormats[run.format]);
    }
    m_text.truncate(0);
    m_runs.clear();
    m_paragraphs.clear();
}
