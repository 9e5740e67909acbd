#pragma once

#include <QByteArray>
#include <QString>

// Whole-file operations that report failures as RuntimeError with the program's numbers.
// Each opens the file for one read or write and closes it at once.
namespace FileIO {

QByteArray ReadAll(const QString &path);
// The first `limit` bytes of the file, or all of it when it is shorter.
QByteArray ReadStart(const QString &path, qsizetype limit);

// Appends `line` (ended by CR LF) whole or not at all, on a line of its own even after a line
// torn earlier. A missing file is created readable and writable by its owner only.
void AppendLine(const QString &path, const QByteArray &line);

// Who may read the file a write replaces or creates.
enum class Access {
    KeptOrOwnerOnly, // an existing file keeps its mode; a new one is for its owner only
    OwnerOnly,       // for its owner only, whatever the file had before
};

// A complete new file beside the one at `path`, every byte on disk, that has not replaced it
// yet. Dropping it without Commit removes it and leaves the file at `path` as it was.
class PendingFile {
public:
    PendingFile(const QString &path, const QByteArray &bytes, Access access);
    PendingFile(PendingFile &&other) noexcept;
    PendingFile &operator=(PendingFile &&) = delete;
    ~PendingFile();

    // Puts the new file in place of the old one, in one step, and makes that step durable.
    void Commit() {
        PutInPlace();
        MakeDurable();
    }
    // The two halves of Commit, for files that replace theirs back to back.
    void PutInPlace();
    void MakeDurable();

private:
    QByteArray m_target;
    QByteArray m_temporary; // empty once in place
};

// Replaces the file only once the new content is completely on disk, so a failed write leaves
// the earlier file as it was and no partial file behind. Only an existing file in a folder
// that takes no new files is written in place instead.
// An existing file keeps its mode.
void WriteAtomically(const QString &path, const QByteArray &bytes);

} // namespace FileIO
