#pragma once

struct EntryContext;

// The Edit menu's commands on the entry.
void CutText(const EntryContext &entry);
void CopyText(const EntryContext &entry);
void PasteText(const EntryContext &entry);
