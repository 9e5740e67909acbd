#pragma once

struct EntryContext;

// The Insert menu's commands: they put text or a picture at the caret of the entry.
void InsertDate(const EntryContext &entry);
void InsertTime(const EntryContext &entry);
void InsertPicture(const EntryContext &entry);
