#pragma once

#include <QString>

namespace Module1 {

// Appends the outcome of a password check ("authorized" or "unauthorized"), the date and the
// time as one line to the security log "orvlog.txt" in the application path. Throws
// RuntimeError when the line cannot be written whole.
void WriteLogEntry(const QString &outcome);

} // namespace Module1
