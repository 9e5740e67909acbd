#pragma once

#include "platform/RuntimeError.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The two password files: one line each, the password with every character's 8-bit code
// (Windows-1252) raised by 5, then CR LF. Scrambled, not encrypted.
namespace PasswordStore {

inline constexpr const char *kFirstFile = "orvpass1.txt";
inline constexpr const char *kSecondFile = "orvpass2.txt";
// The longest text a password box holds.
inline constexpr qsizetype kLongestPassword = 32767;

// Each character's code raised (lowered) by 5; a code that would leave 0..255 stays as it is.
QString ScrambleText(const QString &text);
QString UnscrambleText(const QString &text);

// One comma-delimited field of sequential input: leading spaces skipped; a quoted field runs
// to the next quote; otherwise to the first comma or the end of the line. `ended` tells whether
// a delimiter ended it rather than the end of `fileContents`. Throws RuntimeError 62 (input past
// end of file) for a file without any data.
QString ReadTextField(const QByteArray &fileContents, bool *ended = nullptr);

// Whether the files give `password` back exactly as written: only characters of the code page,
// and none that the shift or the field reading changes (an apostrophe is stored as the comma
// that ends the field, codes 251 to 255 stay unshifted and come back as other characters).
bool CanStore(const QString &password);

// Reads the file's first field and unscrambles it; nothing (nullopt) when that field runs on
// past anything a password can be, so that no typed text matches it. Only the start of the file
// is read. Throws RuntimeError for a missing, unreadable or empty file.
std::optional<QString> ReadStoredPassword(const QString &path);

// A password change that failed: the file, why, and whether the first file had already been
// replaced (only a failure between the two replacements leaves it so).
struct WriteFailure : RuntimeError {
    WriteFailure(const RuntimeError &cause, QString path, bool firstReplaced)
        : RuntimeError(cause)
        , path(std::move(path))
        , firstReplaced(firstReplaced) {}
    QString path;
    bool firstReplaced;
};

// Writes both new files completely before either replaces its old one, then replaces them back
// to back; the files are for their owner alone. Throws WriteFailure.
void WriteStoredPasswords(const QString &firstPath, const QString &first, const QString &secondPath,
                          const QString &second);

// At a start: completes a change cut short between the two replacements and removes whatever
// else a change cut short left beside the files.
void FinishInterruptedChange(const QString &firstPath, const QString &secondPath);

} // namespace PasswordStore
