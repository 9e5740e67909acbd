// The main window's toolbar: 30 positions, six of them separators, in this order. The rest of
// the program finds a button by its key.
#include "mainwindow/ToolbarPictures.h"
#include "mainwindow/frmMain.h"
#include "platform/Toolbar.h"

namespace {

enum Kind { Plain, Toggle };

struct Position {
    const char *key; // nullptr: a separator
    const char *toolTip;
    // What a screen reader calls the button: its command, in the words of the menus.
    const char *command;
    // A toggle shows whether its setting is on.
    Kind kind;
};

constexpr Position kPositions[] = {
    {"new", "clear the entry screen", "New", Plain},
    {"open", "open saved entry", "Open", Plain},
    {"save", "save current entry", "Save", Plain},
    {},
    {"cut", "cut text", "Cut", Plain},
    {"copy", "copy text", "Copy", Plain},
    {"paste", "paste text", "Paste", Plain},
    {},
    {"date", "insert current date", "Date", Plain},
    {"time", "insert current time", "Time", Plain},
    {"picture", "insert picture", "Picture", Plain},
    {},
    {"font", "choose a font", "Font", Plain},
    {"color", "choose a new text color", "Colors", Plain},
    {"center", "center text", "Center", Toggle},
    {"bold", "bold text", "Bold", Toggle},
    {"italic", "italic text", "Italic", Toggle},
    {"underline", "underlined text", "Underline", Toggle},
    {},
    {"change", "change password(s)", "Change password", Plain},
    {"calendar", "check calendar", "Calendar", Plain},
    {"format", "format 3.5\" disk", "Format 3.5\" floppy", Plain},
    {"view", "view security log", "View log", Plain},
    {"search", "search for a word/phrase", "Search", Plain},
    {"sound", "toggle sound on/off", "Sound", Toggle},
    {},
    {"help", "display the help file", "Help", Plain},
    {"about", "display the about screen", "About", Plain},
    {},
    {"exit", "exit the program", "Exit", Plain},
};

} // namespace

void frmMain::BuildToolbar() {
    for (const Position &position : kPositions) {
        if (!position.key) {
            tlbMain->AddSeparator();
            continue;
        }
        const QString key = QLatin1String(position.key);
        ToolbarButton *button =
            tlbMain->AddButton(key, QString::fromUtf8(position.toolTip), ToolbarPicture(key));
        button->setObjectName(QStringLiteral("tlbMain_") + key);
        button->setAccessibleName(QString::fromUtf8(position.command));
        button->SetToggle(position.kind == Toggle);
    }
    tlbMain->ButtonByKey(QStringLiteral("sound"))->SetValue(1);
}
