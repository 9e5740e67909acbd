#pragma once

class QString;
struct EntryContext;

// The Insert menu's commands: they put text or a picture at the caret of the entry.
void InsertDate(const EntryContext &entry);
void InsertTime(const EntryContext &entry);
void InsertPicture(const EntryContext &entry);
// Tells the user why a picture did not go into the entry.
void RefusePicture(const QString &reason);
