#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QFile;

// The lines of a plain text file of any size, for a view that shows a few at a time. A small
// file is read whole; a large one stays on disk, and only where each line starts is kept in
// memory (4 bytes a line): its lines are read from the file when asked for. Lines end at LF,
// with a CR before it dropped, or at a lone CR (a line torn before its LF).
//
// A large file that changes later never makes it fail: it is read, not mapped, so the lines of
// a file cut short meanwhile just come out shorter or empty.
class TextLines {
public:
    TextLines();
    ~TextLines();

    // Throws RuntimeError when the file cannot be read; the lines are then empty.
    void Load(const QString &path);
    void SetBytes(QByteArray bytes);

    qsizetype Count() const { return m_starts.Size() == 0 ? 0 : m_starts.Size() - 1; }
    // The bytes of a line, without its line end; valid until the next call.
    QByteArrayView Line(qsizetype index) const;
    // The byte count of the longest line, line end included.
    qsizetype LongestLine() const { return m_longest; }

private:
    // Line starts in blocks of 65,536 that never move once filled, so the index grows without
    // ever being copied: each block is a 64-bit base and 32-bit offsets from it (64-bit ones for
    // a block that spans more than 4 GiB).
    class Starts {
    public:
        void Clear();
        void Push(qint64 start);
        qsizetype Size() const { return m_size; }
        qint64 At(qsizetype line) const;

    private:
        struct Block {
            qint64 base;
            std::vector<quint32> offsets;
            std::vector<qint64> wide;
        };
        std::vector<Block> m_blocks;
        qsizetype m_size = 0;
    };

    class Indexer;

    void Clear();
    // The bytes [start, end), fewer where the file now ends sooner.
    QByteArrayView Bytes(qint64 start, qint64 end) const;

    QByteArray m_bytes;            // a small file, whole
    std::unique_ptr<QFile> m_file; // a large file, open for reading
    Starts m_starts;               // and the start a line after the last would have
    qsizetype m_longest = 0;
    mutable QByteArray m_window; // the part of a large file read last
    mutable qint64 m_windowStart = 0;
};
