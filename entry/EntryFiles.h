#pragma once

#include <QString>

// The entry file routines of the shared module: Save and Open of the main window's entry.
namespace Module1 {

void SaveEntry();
void OpenEntry();
// The part of OpenEntry after the dialog: loads `path` into the entry, shows it in the status
// bar, plays the open cue; a failure shows the file error window.
void OpenEntryFile(const QString &path);

} // namespace Module1
