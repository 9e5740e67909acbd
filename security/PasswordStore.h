#pragma once

#include <QByteArray>
#include <QString>

// The two password files: one line each, the password with every character's 8-bit code
// (Windows-1252) raised by 5, then CR LF. Scrambled, not encrypted.
namespace PasswordStore {

inline constexpr const char *kFirstFile = "orvpass1.txt";
inline constexpr const char *kSecondFile = "orvpass2.txt";

// Each character's code raised (lowered) by 5; a code that would leave 0..255 stays as it is.
QString ScrambleText(const QString &text);
QString UnscrambleText(const QString &text);

// One comma-delimited field of sequential input: leading spaces skipped; a quoted field runs
// to the next quote; otherwise to the first comma or the end of the line. Throws RuntimeError
// 62 (input past end of file) for a file without any data.
QString ReadTextField(const QByteArray &fileContents);

// Reads the file's first field and unscrambles it. Throws RuntimeError for a missing,
// unreadable or empty file.
QString ReadStoredPassword(const QString &path);

// Replaces the file with the scrambled password and CR LF; the old file is replaced only by a
// complete new one. Throws RuntimeError when the file cannot be written.
void WriteStoredPassword(const QString &path, const QString &password);

} // namespace PasswordStore
