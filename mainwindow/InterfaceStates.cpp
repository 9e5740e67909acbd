// The main window's two interface states, the modified marker, the Sound look, and the entry's
// events that mark it modified.
#include "app/Flags.h"
#include "mainwindow/frmMain.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QMenu>

namespace {

enum Cell { Enable, Disable, Leave };

// What each state writes into each menu and item (by name) and toolbar button (by key), in menu
// order, then in toolbar order. The Help menu and the "about" button are left alone by both.
constexpr struct {
    const char *item;
    Cell blank;
    Cell editing;
} kStates[] = {
    {"mnuMFile", Enable, Enable},     {"mnuMFNew", Disable, Enable},
    {"mnuMFOpen", Enable, Leave},     {"mnuMFSave", Disable, Enable},
    {"mnuMFExit", Enable, Enable},    {"mnuMEdit", Disable, Enable},
    {"mnuMECut", Disable, Enable},    {"mnuMECopy", Disable, Enable},
    {"mnuMEPaste", Disable, Enable},  {"mnuMInsert", Enable, Leave},
    {"mnuMIDate", Enable, Leave},     {"mnuMITime", Enable, Leave},
    {"mnuMIPicture", Enable, Leave},  {"mnuMFormat", Enable, Leave},
    {"mnuMFoFont", Enable, Leave},    {"mnuMFoColor", Enable, Leave},
    {"mnuMFoCenter", Enable, Leave},  {"mnuMFoBold", Enable, Leave},
    {"mnuMFoItalic", Enable, Leave},  {"mnuMFoUnderline", Enable, Leave},
    {"mnuMTools", Enable, Leave},     {"mnuMTChange", Enable, Leave},
    {"mnuMTCalendar", Enable, Leave}, {"mnuMTFormat", Enable, Leave},
    {"mnuMTView", Enable, Leave},     {"mnuMTSearch", Disable, Enable},
    {"mnuMTSound", Enable, Enable},   {"new", Disable, Enable},
    {"open", Enable, Leave},          {"save", Disable, Enable},
    {"cut", Disable, Enable},         {"copy", Disable, Enable},
    {"paste", Disable, Enable},       {"date", Enable, Leave},
    {"time", Enable, Leave},          {"picture", Enable, Leave},
    {"font", Enable, Leave},          {"color", Enable, Leave},
    {"center", Enable, Leave},        {"bold", Enable, Leave},
    {"italic", Enable, Leave},        {"underline", Enable, Leave},
    {"change", Enable, Leave},        {"calendar", Enable, Leave},
    {"format", Enable, Leave},        {"view", Enable, Leave},
    {"search", Disable, Enable},      {"sound", Enable, Enable},
    {"help", Enable, Leave},          {"exit", Enable, Leave},
};

std::optional<bool> Written(Cell cell) {
    if (cell == Leave)
        return std::nullopt;
    return cell == Enable;
}

} // namespace

void frmMain::ResolveStates() {
    for (const auto &row : kStates) {
        const QString name = QLatin1String(row.item);
        std::function<void(bool)> setEnabled;
        if (auto *item = findChild<QAction *>(name))
            setEnabled = [item](bool on) { item->setEnabled(on); };
        else if (ToolbarButton *button = tlbMain->ButtonByKey(name))
            setEnabled = [button](bool on) { button->setEnabled(on); };
        Q_ASSERT_X(setEnabled, "frmMain::ResolveStates", row.item);
        mStates.push_back({std::move(setEnabled), Written(row.blank), Written(row.editing)});
    }
}

void frmMain::ApplyState(bool editing) {
    for (const StateSwitch &control : mStates)
        if (const std::optional<bool> enabled = editing ? control.editing : control.blank)
            control.setEnabled(*enabled);
    // The pressed look mirrors the Sound check, so the button never claims sound is on while
    // it is off.
    tlbMain->ButtonByKey(QStringLiteral("sound"))->SetValue(mnuMTSound->isChecked() ? 1 : 0);
}

void frmMain::SetBlankEntryState() {
    ApplyState(false);
    UpdateModifiedPanel();
}

void frmMain::SetEditingState() {
    ApplyState(true);
}

void frmMain::ShowSoundLook(qint16 soundOn) {
    mnuMTSound->setChecked(soundOn == 1);
    tlbMain->ButtonByKey(QStringLiteral("sound"))->SetValue(soundOn == 1 ? 1 : 0);
}

void frmMain::rtbMain_KeyPress(qint16 &) {
    Mark();
    SetEditingState();
}

void frmMain::rtbMain_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    Mark();
    SetEditingState();
}

void frmMain::Mark() {
    Module1::Flags().gModified = 1;
    UpdateModifiedPanel();
}

void frmMain::UpdateModifiedPanel() {
    if (Module1::Flags().gModified == 1) {
        staMain->SetBold(true);
        staMain->PanelByKey(QStringLiteral("modified"))->SetText(QStringLiteral("NOT SAVED!"));
    } else {
        staMain->SetBold(false);
        staMain->PanelByKey(QStringLiteral("modified"))->SetText(QString());
    }
}
