// The main window's toolbar: 30 positions, six of them separators. Other code addresses the
// buttons by key or by position (from 1, separators counted), so the order is fixed.
#include "mainwindow/ToolbarPictures.h"
#include "mainwindow/frmMain.h"
#include "platform/Toolbar.h"

namespace {

struct Position {
    const char *key; // nullptr: a separator
    const char *toolTip;
};

constexpr Position kPositions[] = {
    {"new", "clear the entry screen"},
    {"open", "open saved entry"},
    {"save", "save current entry"},
    {nullptr, nullptr},
    {"cut", "cut text"},
    {"copy", "copy text"},
    {"paste", "paste text"},
    {nullptr, nullptr},
    {"date", "insert current date"},
    {"time", "insert current time"},
    {"picture", "insert picture"},
    {nullptr, nullptr},
    {"font", "choose a font"},
    {"color", "choose a new text color"},
    {"center", "center text"},
    {"bold", "bold text"},
    {"italic", "italic text"},
    {"underline", "underlined text"},
    {nullptr, nullptr},
    {"change", "change password(s)"},
    {"calendar", "check calendar"},
    {"format", "format 3.5\" disk"},
    {"view", "view security log"},
    {"search", "search for a word/phrase"},
    {"sound", "toggle sound on/off"},
    {nullptr, nullptr},
    {"help", "display the help file"},
    {"about", "display the about screen"},
    {nullptr, nullptr},
    {"exit", "exit the program"},
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
    }
    tlbMain->ButtonByKey(QStringLiteral("sound"))->SetValue(1);
}
