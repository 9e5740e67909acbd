#pragma once

// mainwindow/: the top of the house. frmMain composes what the folders below offer: its menus
// and toolbar run the commands of entry/ on the EntryContext it hands them and open the windows
// of security/ and tools/; it keeps the two interface states, the modified marker and the hidden
// card's lock. Journey.h lays the road from window to window once for the run.
#include "platform/CommonDialog.h"
#include "platform/Form.h"

#include <functional>
#include <optional>
#include <vector>

struct EntryContext;
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
// bar below. Each control's object name is its name. Its commands run in the files of their
// subsystems; this class holds the controls, the dispatch and the two interface states.
class frmMain : public Form {
    Q_OBJECT
public:
    frmMain();

    void Form_Load() override;
    QAccessible::Role AccessibleRole() const override { return QAccessible::Window; }

    // The interface states (InterfaceStates.cpp).
    void SetBlankEntryState();
    void SetEditingState();
    // Shows the modified marker from gModified: "NOT SAVED!" with the whole status bar in bold
    // when it is 1, an empty panel in regular type otherwise.
    void UpdateModifiedPanel();
    // Opens a file given to the program as the Open command would have, had it been chosen in
    // the dialog (CommandDispatch.cpp).
    void OpenGivenEntry(const QString &path);

    // The hidden card's lock (HiddenCard.cpp): the About window took the first step; the card
    // was put away, and the code box goes with it.
    void ArmCard();
    void CardPutAway();

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

    // What the entry's commands work on.
    EntryContext Entry();

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

    // The interface states' table, resolved to the controls (InterfaceStates.cpp).
    void ResolveStates();
    void ApplyState(bool editing);
    // The Sound item's check and the "sound" button follow gSoundOn.
    void ShowSoundLook(qint16 soundOn);

    // The entry's events (InterfaceStates.cpp).
    void rtbMain_KeyPress(qint16 &keyAscii);
    void rtbMain_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // The hidden card's lock (HiddenCard.cpp).
    void staMain_PanelClick(StatusPanel *panel);

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

    // One control of the state table: how to enable it, and what each state writes into it
    // (nothing: the state leaves it as it is).
    struct StateSwitch {
        std::function<void(bool)> setEnabled;
        std::optional<bool> blank;
        std::optional<bool> editing;
    };
    std::vector<StateSwitch> mStates;

    // The hidden card's lock: armed from the About window, then one flag per keyed panel.
    qint16 gCardArmed = 0;
    qint16 mPanelOrvSoftware = 0;
    qint16 mPanelModified = 0;
    qint16 mPanelDate = 0;
    qint16 mPanelTime = 0;
};
