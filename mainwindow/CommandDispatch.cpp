// The main window's command dispatch: one Click handler per menu item and one ButtonClick for
// the toolbar, which finds the command by the button's key. Commands that change the entry
// mark it modified before their routine runs, whatever the routine's outcome.
#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "entry/ClipboardCommands.h"
#include "entry/EntryContext.h"
#include "entry/EntryFiles.h"
#include "entry/FormattingCommands.h"
#include "entry/InsertCommands.h"
#include "entry/frmSearch.h"
#include "mainwindow/frmAskQuit.h"
#include "mainwindow/frmMain.h"
#include "platform/MenuItem.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "security/frmPassChange.h"
#include "security/frmView.h"
#include "tools/HelpContents.h"
#include "tools/frmAbout.h"
#include "tools/frmCalendar.h"
#include "tools/frmFormat.h"

void frmMain::ConnectCommands() {
    ConnectClick(mnuMFNew, this, &frmMain::mnuMFNew_Click);
    ConnectClick(mnuMFOpen, this, &frmMain::mnuMFOpen_Click);
    ConnectClick(mnuMFSave, this, &frmMain::mnuMFSave_Click);
    ConnectClick(mnuMFExit, this, &frmMain::mnuMFExit_Click);
    ConnectClick(mnuMECut, this, &frmMain::mnuMECut_Click);
    ConnectClick(mnuMECopy, this, &frmMain::mnuMECopy_Click);
    ConnectClick(mnuMEPaste, this, &frmMain::mnuMEPaste_Click);
    ConnectClick(mnuMIDate, this, &frmMain::mnuMIDate_Click);
    ConnectClick(mnuMITime, this, &frmMain::mnuMITime_Click);
    ConnectClick(mnuMIPicture, this, &frmMain::mnuMIPicture_Click);
    ConnectClick(mnuMFoFont, this, &frmMain::mnuMFoFont_Click);
    ConnectClick(mnuMFoColor, this, &frmMain::mnuMFoColor_Click);
    ConnectClick(mnuMFoCenter, this, &frmMain::mnuMFoCenter_Click);
    ConnectClick(mnuMFoBold, this, &frmMain::mnuMFoBold_Click);
    ConnectClick(mnuMFoItalic, this, &frmMain::mnuMFoItalic_Click);
    ConnectClick(mnuMFoUnderline, this, &frmMain::mnuMFoUnderline_Click);
    ConnectClick(mnuMTChange, this, &frmMain::mnuMTChange_Click);
    ConnectClick(mnuMTCalendar, this, &frmMain::mnuMTCalendar_Click);
    ConnectClick(mnuMTFormat, this, &frmMain::mnuMTFormat_Click);
    ConnectClick(mnuMTView, this, &frmMain::mnuMTView_Click);
    ConnectClick(mnuMTSearch, this, &frmMain::mnuMTSearch_Click);
    ConnectClick(mnuMTSound, this, &frmMain::mnuMTSound_Click);
    ConnectClick(mnuMHContents, this, &frmMain::mnuMHContents_Click);
    ConnectClick(mnuMHAbout, this, &frmMain::mnuMHAbout_Click);
    connect(tlbMain, &Toolbar::ButtonClick, this, &frmMain::tlbMain_ButtonClick);
    connect(rtbMain, &RichTextBox::KeyPress, this, &frmMain::rtbMain_KeyPress);
    connect(rtbMain, &RichTextBox::MouseDown, this, &frmMain::rtbMain_MouseDown);
    connect(rtbMain, &RichTextBox::PictureRefused, this, &RefusePicture);
    connect(staMain, &StatusBar::PanelClick, this, &frmMain::staMain_PanelClick);
}

void frmMain::tlbMain_ButtonClick(ToolbarButton *button) {
    // Compared exactly, in this order; the first match runs.
    static constexpr struct {
        const char *key;
        void (frmMain::*command)();
    } kCommands[] = {
        {"new", &frmMain::mnuMFNew_Click},
        {"open", &frmMain::mnuMFOpen_Click},
        {"save", &frmMain::mnuMFSave_Click},
        {"cut", &frmMain::mnuMECut_Click},
        {"copy", &frmMain::mnuMECopy_Click},
        {"paste", &frmMain::mnuMEPaste_Click},
        {"date", &frmMain::mnuMIDate_Click},
        {"time", &frmMain::mnuMITime_Click},
        {"picture", &frmMain::mnuMIPicture_Click},
        {"font", &frmMain::mnuMFoFont_Click},
        {"color", &frmMain::mnuMFoColor_Click},
        {"center", &frmMain::mnuMFoCenter_Click},
        {"bold", &frmMain::mnuMFoBold_Click},
        {"italic", &frmMain::mnuMFoItalic_Click},
        {"underline", &frmMain::mnuMFoUnderline_Click},
        {"change", &frmMain::mnuMTChange_Click},
        {"calendar", &frmMain::mnuMTCalendar_Click},
        {"format", &frmMain::mnuMTFormat_Click},
        {"view", &frmMain::mnuMTView_Click},
        {"search", &frmMain::mnuMTSearch_Click},
        {"sound", &frmMain::mnuMTSound_Click},
        {"help", &frmMain::mnuMHContents_Click},
        {"about", &frmMain::mnuMHAbout_Click},
        {"exit", &frmMain::mnuMFExit_Click},
    };
    const QString key = button->Key();
    for (const auto &row : kCommands) {
        if (key == QLatin1String(row.key)) {
            (this->*row.command)();
            return;
        }
    }
}

void frmMain::mnuMFNew_Click() {
    SetBlankEntryState();
    Module1::Flags().gModified = 0;
    UpdateModifiedPanel();
    rtbMain->SetText(QString());
}

void frmMain::mnuMFOpen_Click() {
    Module1::Flags().gModified = 0;
    SetEditingState();
    Module1::OpenEntry(Entry());
}

void frmMain::OpenGivenEntry(const QString &path) {
    Module1::Flags().gModified = 0;
    SetEditingState();
    dlgMain.FileName = path; // the next file dialog offers it, as after a chosen one
    Module1::OpenEntryFile(Entry(), path);
}

void frmMain::mnuMFSave_Click() {
    Module1::Flags().gModified = 0;
    Module1::SaveEntry(Entry());
    UpdateModifiedPanel();
}

void frmMain::mnuMFExit_Click() {
    Module1::Forms().Show<frmAskQuit>();
}

void frmMain::mnuMECut_Click() {
    Mark();
    CutText(Entry());
}

void frmMain::mnuMECopy_Click() {
    UpdateModifiedPanel();
    CopyText(Entry());
}

void frmMain::mnuMEPaste_Click() {
    Mark();
    PasteText(Entry());
}

void frmMain::mnuMIDate_Click() {
    Mark();
    SetEditingState();
    InsertDate(Entry());
}

void frmMain::mnuMITime_Click() {
    Mark();
    SetEditingState();
    InsertTime(Entry());
}

void frmMain::mnuMIPicture_Click() {
    Mark();
    SetEditingState();
    InsertPicture(Entry());
}

void frmMain::mnuMFoFont_Click() {
    Mark();
    SetEditingState();
    ChooseFont(Entry());
}

void frmMain::mnuMFoColor_Click() {
    Mark();
    SetEditingState();
    ChooseTextColor(Entry());
}

void frmMain::mnuMFoCenter_Click() {
    Mark();
    SetEditingState();
    ToggleCenter(Entry());
}

void frmMain::mnuMFoBold_Click() {
    Mark();
    SetEditingState();
    ToggleBold(Entry());
}

void frmMain::mnuMFoItalic_Click() {
    Mark();
    SetEditingState();
    ToggleItalic(Entry());
}

void frmMain::mnuMFoUnderline_Click() {
    Mark();
    SetEditingState();
    ToggleUnderline(Entry());
}

void frmMain::mnuMTChange_Click() {
    Module1::Forms().Show<frmPassChange>();
}

void frmMain::mnuMTCalendar_Click() {
    Module1::Forms().Show<frmCalendar>();
}

void frmMain::mnuMTFormat_Click() {
    Module1::Forms().Show<frmFormat>();
}

void frmMain::mnuMTView_Click() {
    Module1::Forms().Show<frmView>();
}

void frmMain::mnuMTSearch_Click() {
    Module1::Forms().Show<frmSearch>(*rtbMain);
}

// The Sound command: gSoundOn flips, and the Sound item's check and button follow it.
void frmMain::mnuMTSound_Click() {
    Module1::Flags().gSoundOn = mnuMTSound->isChecked() ? 0 : 1;
}

void frmMain::mnuMHContents_Click() {
    ShowHelpContents(dlgMain);
}

void frmMain::mnuMHAbout_Click() {
    Module1::Forms().Show<frmAbout>();
}
