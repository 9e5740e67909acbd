#include "platform/TextLines.h"

#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 kReadWhole = 8 << 20; // larger files stay on disk
constexpr qint64 kChunk = 1 << 20;     // read at a time while indexing
constexpr qint64 kWindow = 1 << 20;    // read at a time for lines
constexpr qsizetype kBlockLines = 1 << 16;

[[noreturn]] void Fail(const QFile &file, int osError) {
    throw RuntimeError(ErrorNumberFromFileDevice(file, osError), file.errorString());
}

} // namespace

void TextLines::Starts::Clear() {
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_size = 0;
}

void TextLines::Starts::Push(qint64 start) {
    if (m_size % kBlockLines == 0)
        m_blocks.push_back(Block{start, {}, {}});
    Block &block = m_blocks.back();
    if (block.wide.empty() && start - block.base > std::numeric_limits<quint32>::max())
        block.wide.assign(block.offsets.begin(), block.offsets.end());
    if (block.wide.empty())
        block.offsets.push_back(static_cast<quint32>(start - block.base));
    else
        block.wide.push_back(start - block.base);
    ++m_size;
}

qint64 TextLines::Starts::At(qsizetype line) const {
    const Block &block = m_blocks[static_cast<std::size_t>(line / kBlockLines)];
    const auto at = static_cast<std::size_t>(line % kBlockLines);
    return block.base + (block.wide.empty() ? qint64(block.offsets[at]) : block.wide[at]);
}

// Finds the line starts in the bytes fed to it, one part after another.
class TextLines::Indexer {
public:
    explicit Indexer(TextLines &lines)
        : m_lines(lines) {}

    void Feed(const char *data, qsizetype size, qint64 base) {
        qsizetype i = 0;
        if (m_crAtEnd) { // the last part ended in a CR
            m_crAtEnd = false;
            if (size > 0 && data[0] == '\n') {
                EndLine(base, base + 1);
                i = 1;
            } else {
                EndLine(base - 1, base);
            }
        }
        qsizetype lf = -1; // the next LF and CR at or after i, or size for none
        qsizetype cr = -1;
        while (i < size) {
            if (lf < i)
                lf = Next(data, i, size, '\n');
            if (cr < i)
                cr = Next(data, i, size, '\r');
            if (lf < cr) {
                EndLine(base + lf, base + lf + 1);
                i = lf + 1;
            } else if (cr == size) {
                break;
            } else if (cr + 1 == size) {
                m_crAtEnd = true; // a CR LF, or a lone CR: the next part tells
                break;
            } else if (data[cr + 1] == '\n') {
                EndLine(base + cr + 1, base + cr + 2);
                i = cr + 2;
            } else {
                EndLine(base + cr, base + cr + 1);
                i = cr + 1;
            }
        }
    }

    void Finish(qint64 size) {
        if (m_crAtEnd)
            EndLine(size - 1, size);
        if (m_lineStart < size) // a last line without a line end
            EndLine(size, size + 1);
        // One more start past the last line, so every line ends one byte before the next start.
        if (m_lines.m_starts.Size() > 0)
            m_lines.m_starts.Push(m_lineStart);
    }

private:
    static qsizetype Next(const char *data, qsizetype from, qsizetype size, char c) {
        const void *found = std::memchr(data + from, c, static_cast<std::size_t>(size - from));
        return found ? static_cast<const char *>(found) - data : size;
    }

    // The line from m_lineStart ends at `end` (its LF or lone CR); the next starts at `next`.
    void EndLine(qint64 end, qint64 next) {
        m_lines.m_starts.Push(m_lineStart);
        m_lines.m_longest = std::max<qsizetype>(m_lines.m_longest, end - m_lineStart);
        m_lineStart = next;
    }

    TextLines &m_lines;
    qint64 m_lineStart = 0;
    bool m_crAtEnd = false;
};

TextLines::TextLines() = default;
TextLines::~TextLines() = default;

void TextLines::Clear() {
    m_bytes.clear();
    m_file.reset();
    m_starts.Clear();
    m_longest = 0;
    m_window.clear();
}

void TextLines::SetBytes(QByteArray bytes) {
    Clear();
    m_bytes = std::move(bytes);
    Indexer indexer(*this);
    indexer.Feed(m_bytes.constData(), m_bytes.size(), 0);
    indexer.Finish(m_bytes.size());
}

void TextLines::Load(const QString &path) {
    Clear();
    if (QFileInfo(path).size() <= kReadWhole) {
        SetBytes(FileIO::ReadAll(path));
        return;
    }
    auto file = std::make_unique<QFile>(path);
    errno = 0;
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        Fail(*file, errno);
    Indexer indexer(*this);
    QByteArray chunk(kChunk, Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        errno = 0;
        const qint64 read = file->read(chunk.data(), kChunk);
        if (read < 0) {
            const int error = errno;
            Clear();
            Fail(*file, error);
        }
        if (read == 0)
            break;
        indexer.Feed(chunk.constData(), read, size);
        size += read;
    }
    indexer.Finish(size);
    m_file = std::move(file);
}

QByteArrayView TextLines::Bytes(qint64 start, qint64 end) const {
    if (!m_file) {
        end = std::min<qint64>(end, m_bytes.size());
        return QByteArrayView(m_bytes).sliced(start, std::max<qint64>(0, end - start));
    }
    if (start < m_windowStart || end > m_windowStart + m_window.size()) {
        m_window.clear();
        m_windowStart = start;
        if (m_file->seek(start))
            m_window = m_file->read(std::max(end - start, kWindow));
    }
    const qint64 from = std::min<qint64>(start - m_windowStart, m_window.size());
    const qint64 to = std::min<qint64>(end - m_windowStart, m_window.size());
    return QByteArrayView(m_window).sliced(from, std::max<qint64>(0, to - from));
}

QByteArrayView TextLines::Line(qsizetype index) const {
    if (index < 0 || index >= Count())
        return {};
    const qint64 start = m_starts.At(index);
    QByteArrayView line = Bytes(start, m_starts.At(index + 1) - 1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}
