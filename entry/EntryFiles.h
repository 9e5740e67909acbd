#pragma once

class QString;
struct EntryContext;

// Save and Open of the entry. Each arms one error handler: a cancelled dialog ends the routine
// silently, one of the seven file errors shows the file error window, anything else is ignored.
namespace Module1 {

// Asks for a file name every time and writes the entry as RTF; the path panel shows it and the
// flag gModified is 0 after a written file, 1 after a failed write.
void SaveEntry(const EntryContext &entry);
// Replaces the entry with a chosen file's content; the path panel shows it.
void OpenEntry(const EntryContext &entry);
// The part of OpenEntry after the dialog: loads `path` into the entry, shows it in the path
// panel, plays the open cue; a failure shows the file error window.
void OpenEntryFile(const EntryContext &entry, const QString &path);

} // namespace Module1
