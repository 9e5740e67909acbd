#pragma once

#include <QByteArray>
#include <QString>

// Whole-file operations that report failures as RuntimeError with the program's numbers.
// Each opens the file for one read or write and closes it at once.
namespace FileIO {

QByteArray ReadAll(const QString &path);

// Opens for appending, creating a missing file; never truncates.
void Append(const QString &path, const QByteArray &bytes);

// Replaces the file only once the new content is completely written and flushed, so a failed
// write leaves the earlier file as it was and no partial file behind.
void WriteAtomically(const QString &path, const QByteArray &bytes);

} // namespace FileIO
