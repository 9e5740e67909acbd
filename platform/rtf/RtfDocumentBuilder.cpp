#include "platform/rtf/RtfDocumentBuilder.h"

#include <QTextDocument>
#include <algorithm>
#include <private/qtextdocument_p.h>

namespace {

// Characters gathered before they go into the document. Batches start small, so that both
// threads of a read of a few hundred KB work from its start and finish together, and grow to
// an eighth of what came before: a 50 MB file read a tenth faster in batches of 512K characters
// than of 64K, for the same calls into the document. Batches of 1M were no faster and took
// 6 MB more at the peak of its read.
constexpr qsizetype kSmallestBatch = 1 << 16;
constexpr qsizetype kLargestBatch = 1 << 19;

} // namespace

void RtfBatch::Clear() {
    text.truncate(0);
    runs.clear();
    paragraphs.clear();
    charFormats.clear();
    blockFormats.clear();
    pictures.clear();
}

RtfDocumentBuilder::RtfDocumentBuilder(RtfBatchSink &sink)
    : m_sink(sink)
    , m_batchSize(kSmallestBatch) {
    AddBlockFormat(QTextBlockFormat()); // the empty document's block, format 0
}

int RtfDocumentBuilder::AddCharFormat(const QTextCharFormat &format) {
    m_batch.charFormats.push_back(format);
    return m_charFormats++;
}

int RtfDocumentBuilder::AddBlockFormat(const QTextBlockFormat &format) {
    m_batch.blockFormats.push_back(format);
    return m_blockFormats++;
}

void RtfDocumentBuilder::StartRun(int format) {
    std::vector<RtfBatch::Run> &runs = m_batch.runs;
    if (runs.empty() || runs.back().format != format || runs.back().start < m_paragraphStart)
        runs.push_back(RtfBatch::Run{m_batch.text.size(), format});
}

void RtfDocumentBuilder::AppendText(QStringView text, int format) {
    if (text.isEmpty())
        return;
    StartRun(format);
    m_batch.text.append(text);
    m_surrogates = m_surrogates ||
                   std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

void RtfDocumentBuilder::AppendLatin1(const char *text, qsizetype size, int format) {
    if (size == 0)
        return;
    StartRun(format);
    m_batch.text.append(QLatin1StringView(text, size));
}

void RtfDocumentBuilder::AppendPicture(RtfImages::RtfPicture picture) {
    const int format = AddCharFormat(QTextImageFormat());
    m_batch.pictures.push_back(RtfBatch::Picture{format, std::move(picture)});
    m_batch.runs.push_back(RtfBatch::Run{m_batch.text.size(), format});
    m_batch.text.append(QChar::ObjectReplacementCharacter);
}

void RtfDocumentBuilder::EndParagraph(int blockFormat, int markFormat) {
    // \u pairs that do not make a surrogate pair would be invalid UTF-16 in the document.
    QString &all = m_batch.text;
    QChar *text = all.data();
    for (qsizetype i = m_paragraphStart; m_surrogates && i < all.size(); ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < all.size() && text[i + 1].isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
    m_surrogates = false;
    m_batch.paragraphs.push_back(RtfBatch::Paragraph{m_paragraphStart, blockFormat, markFormat});
    if (m_batch.text.size() >= m_batchSize) {
        m_handedOver += m_batch.text.size();
        m_batchSize = std::clamp(m_handedOver / 8, kSmallestBatch, kLargestBatch);
        HandOver();
        m_firstBatch = false;
    }
    m_batch.text.append(QChar::ParagraphSeparator); // begins the next paragraph
    m_paragraphStart = m_batch.text.size();
}

void RtfDocumentBuilder::Finish() {
    // The paragraph begun last was never ended: drop it with its separator.
    QString &text = m_batch.text;
    const qsizetype unended = m_batch.paragraphs.empty() && m_firstBatch ? 0 : m_paragraphStart - 1;
    if (unended >= 0 && unended < text.size())
        text.truncate(unended);
    while (!m_batch.runs.empty() && m_batch.runs.back().start >= text.size())
        m_batch.runs.pop_back();
    HandOver();
    m_paragraphStart = 0;
}

void RtfDocumentBuilder::HandOver() {
    m_sink.Take(m_batch);
}

RtfDocumentInserter::RtfDocumentInserter(QTextDocument *document)
    : m_document(document) {}

void RtfDocumentInserter::Take(RtfBatch &batch) {
    Register(batch);
    Insert(batch);
    batch.Clear();
}

void RtfDocumentInserter::Register(RtfBatch &batch) {
    for (QTextCharFormat &format : batch.charFormats) {
        m_isPicture.push_back(format.isImageFormat());
        m_charFormats.push_back(std::move(format));
    }
    for (QTextBlockFormat &format : batch.blockFormats)
        m_blockFormats.push_back(std::move(format));
    for (const RtfBatch::Picture &picture : batch.pictures)
        m_charFormats[picture.format] = RtfImages::Add(m_document, picture.picture);
    m_charIndices.resize(m_charFormats.size(), -1);
    m_blockIndices.resize(m_blockFormats.size(), -1);
}

int RtfDocumentInserter::MostUsedTextFormat(const RtfBatch &batch) {
    m_uses.assign(m_charFormats.size(), 0);
    int best = batch.paragraphs.front().markFormat;
    const auto count = [this, &best](int format) {
        if (!m_isPicture[format] && ++m_uses[format] > m_uses[best])
            best = format;
    };
    for (const RtfBatch::Run &run : batch.runs)
        count(run.format);
    return best;
}

int RtfDocumentInserter::CharIndex(int format) {
    return DocumentIndex(m_charFormats[format], m_charIndices[format]);
}

int RtfDocumentInserter::BlockIndex(int format) {
    return DocumentIndex(m_blockFormats[format], m_blockIndices[format]);
}

int RtfDocumentInserter::DocumentIndex(const QTextFormat &format, int &index) {
    if (index < 0)
        index = QTextDocumentPrivate::get(m_document)->formatCollection()->indexForFormat(format);
    return index;
}

void RtfDocumentInserter::Insert(const RtfBatch &batch) {
    if (batch.paragraphs.empty())
        return;
    QTextDocumentPrivate *const table = QTextDocumentPrivate::get(m_document);
    const int start = m_position;
    const int base = MostUsedTextFormat(batch);
    const int baseIndex = CharIndex(base);
    const std::vector<RtfBatch::Paragraph> &paragraphs = batch.paragraphs;
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const RtfBatch::Paragraph &paragraph = paragraphs[p];
        const int at = start + static_cast<int>(paragraph.start);
        if (m_documentEmpty) {
            // The document's one block becomes the first paragraph.
            QTextCursor first(m_document);
            first.setBlockFormat(m_blockFormats[paragraph.blockFormat]);
            first.setBlockCharFormat(m_charFormats[paragraph.markFormat]);
            m_documentEmpty = false;
        } else {
            // The separator before a paragraph carries its block format and its mark's format.
            table->insertBlock(at - 1, BlockIndex(paragraph.blockFormat),
                               CharIndex(paragraph.markFormat));
        }
        const qsizetype end =
            p + 1 < paragraphs.size() ? paragraphs[p + 1].start - 1 : batch.text.size();
        if (end > paragraph.start)
            table->insert(at,
                          QString::fromRawData(batch.text.constData() + paragraph.start,
                                               end - paragraph.start),
                          baseIndex);
    }
    m_position = start + static_cast<int>(batch.text.size());

    // A run ends where the next one starts, or at the end of its paragraph.
    const std::vector<RtfBatch::Run> &runs = batch.runs;
    std::size_t next = 1;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const RtfBatch::Run &run = runs[r];
        while (next < paragraphs.size() && paragraphs[next].start <= run.start)
            ++next;
        qsizetype end = next < paragraphs.size() ? paragraphs[next].start - 1 : batch.text.size();
        if (r + 1 < runs.size())
            end = std::min(end, runs[r + 1].start);
        if (run.format == base || end <= run.start)
            continue;
        table->setCharFormat(start + static_cast<int>(run.start), static_cast<int>(end - run.start),
                             m_charFormats[run.format]);
    }
}
