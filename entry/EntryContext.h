#pragma once

// entry/: the journal entry and its commands: Open and Save (EntryFiles), the file error
// window, the Edit, Format and Insert commands, search and its not-found window. They work on
// the controls the main window hands them in an EntryContext and know no window above them.
class CommonDialog;
class QAction;
class QLabel;
class RichTextBox;
class StatusPanel;
class ToolbarButton;

// The look of a formatting toggle: its menu item's check mark and its toolbar button's pressed
// look. Only the toggle commands change it.
struct ToggleLook {
    QAction &item;
    ToolbarButton &button;

    void Show(bool on) const;
};

// What the entry's commands work on, handed in by the main window.
struct EntryContext {
    RichTextBox &rtbMain;   // the entry
    StatusPanel &pathPanel; // the path of the entry file last opened or saved
    CommonDialog &dlgMain;  // one set of dialog properties, kept from one use to the next
    QLabel &picMain;        // carries a picture on its way into the entry
    ToggleLook center;
    ToggleLook bold;
    ToggleLook italic;
    ToggleLook underline;
};
