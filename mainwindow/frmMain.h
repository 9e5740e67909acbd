#pragma once

#include "app/Form.h"
#include "platform/CommonDialog.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class RichTextBox;
class StatusBar;
class StatusPanel;
class TextBox;
class Toolbar;
class ToolbarButton;

// The program's working window: the journal entry under a menu bar and a toolbar, with a status
// bar below. Its commands run in the files of their subsystems; this class holds the controls,
// the dispatch and the two interface states.
class frmMain : public Form {
    Q_OBJECT
public:
    frmMain();

    void Form_Load() override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::Window; }

    // The interface states (InterfaceStates.cpp).
    void SetBlankEntryState();
    void SetEditingState();
    // The Sound command: the menu check is the master, the "sound" button and gSoundOn follow.
    void ToggleSound();
    // Opens a file given to the program as the Open command would have, had it been chosen in
    // the dialog (CommandDispatch.cpp).
    void OpenGivenEntry(const QString &path);

    QMenuBar *mnuMain;
    QMenu *mnuMFile;
    QAction *mnuMFNew, *mnuMFSlash, *mnuMFOpen, *mnuMFSlash1, *mnuMFSave, *mnuMFSlash2, *mnuMFExit;
    QMenu *mnuMEdit;
    QAction *mnuMECut, *mnuMESlash, *mnuMECopy, *mnuMESlash1, *mnuMEPaste;
    QMenu *mnuMInsert;
    QAction *mnuMIDate, *mnuMISlash, *mnuMITime, *mnuMISlash1, *mnuMIPicture;
    QMenu *mnuMFormat;
    QAction *mnuMFoFont, *mnuMFoSlash, *mnuMFoColor, *mnuMFoSlash1, *mnuMFoCenter, *mnuMFoSlash2,
        *mnuMFoBold, *mnuMFoSlash3, *mnuMFoItalic, *mnuMFoSlash4, *mnuMFoUnderline;
    QMenu *mnuMTools;
    QAction *mnuMTChange, *mnuMTSlash, *mnuMTCalendar, *mnuMTSlash1, *mnuMTFormat, *mnuMTSlash2,
        *mnuMTView, *mnuMTSlash3, *mnuMTSearch, *mnuMTSlash4, *mnuMTSound;
    QMenu *mnuMHelp;
    QAction *mnuMHContents, *mnuMHSlash, *mnuMHAbout;

    Toolbar *tlbMain;
    RichTextBox *rtbMain;
    StatusBar *staMain;
    QLabel *picMain;
    TextBox *txtEgg;
    CommonDialog dlgMain;

    // One flag per keyed status panel, for the hidden card.
    qint16 mPanelOrvSoftware = 0;
    qint16 mPanelModified = 0;
    qint16 mPanelDate = 0;
    qint16 mPanelTime = 0;

protected:
    // The window has no close button; a close request from the window manager (Alt+F4) is the
    // Exit command, so the program never runs on with only hidden windows.
    void closeEvent(QCloseEvent *event) override;

private:
    // Builders (MainMenus.cpp, MainToolbar.cpp, MainStatusBar.cpp).
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void Arrange();

    // Command dispatch (CommandDispatch.cpp).
    void ConnectCommands();
    void Mark();
    void mnuMFNew_Click();
    void mnuMFOpen_Click();
    void mnuMFSave_Click();
    void mnuMFExit_Click();
    void mnuMECut_Click();
    void mnuMECopy_Click();
    void mnuMEPaste_Click();
    void mnuMIDate_Click();
    void mnuMITime_Click();
    void mnuMIPicture_Click();
    void mnuMFoFont_Click();
    void mnuMFoColor_Click();
    void mnuMFoCenter_Click();
    void mnuMFoBold_Click();
    void mnuMFoItalic_Click();
    void mnuMFoUnderline_Click();
    void mnuMTChange_Click();
    void mnuMTCalendar_Click();
    void mnuMTFormat_Click();
    void mnuMTView_Click();
    void mnuMTSearch_Click();
    void mnuMTSound_Click();
    void mnuMHContents_Click();
    void mnuMHAbout_Click();
    void tlbMain_ButtonClick(ToolbarButton *button);

    // The windows and the help routine of other subsystems, one line each once they exist.
    void ShowChangePasswords();
    void ShowCalendar();
    void ShowFormatTool();
    void ShowSecurityLog();
    void ShowSearch();
    void ShowHelpContents();
    void ShowAbout();

    // The entry's events (InterfaceStates.cpp).
    void rtbMain_KeyPress(qint16 &keyAscii);
    void rtbMain_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // The hidden card's lock (HiddenCard.cpp).
    void staMain_PanelClick(StatusPanel *panel);
};
