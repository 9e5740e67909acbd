#pragma once

struct EntryContext;

// The Format menu's commands on the entry's selection.
void ChooseFont(const EntryContext &entry);
void ChooseTextColor(const EntryContext &entry);
void ToggleCenter(const EntryContext &entry);
void ToggleBold(const EntryContext &entry);
void ToggleItalic(const EntryContext &entry);
void ToggleUnderline(const EntryContext &entry);
