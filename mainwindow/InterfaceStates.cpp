// The main window's two interface states, the modified marker, and the entry's events that
// mark it modified.
#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmMain.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QMenu>

namespace {

void SetEnabled(QMenu *menu, bool enabled) {
    menu->menuAction()->setEnabled(enabled);
}

} // namespace

void frmMain::SetBlankEntryState() {
    SetEnabled(mnuMFile, true);
    mnuMFNew->setEnabled(false);
    mnuMFOpen->setEnabled(true);
    mnuMFSave->setEnabled(false);
    mnuMFExit->setEnabled(true);
    SetEnabled(mnuMEdit, false);
    mnuMECut->setEnabled(false);
    mnuMECopy->setEnabled(false);
    mnuMEPaste->setEnabled(false);
    SetEnabled(mnuMInsert, true);
    mnuMIDate->setEnabled(true);
    mnuMITime->setEnabled(true);
    mnuMIPicture->setEnabled(true);
    SetEnabled(mnuMFormat, true);
    mnuMFoFont->setEnabled(true);
    mnuMFoColor->setEnabled(true);
    mnuMFoCenter->setEnabled(true);
    mnuMFoBold->setEnabled(true);
    mnuMFoItalic->setEnabled(true);
    mnuMFoUnderline->setEnabled(true);
    SetEnabled(mnuMTools, true);
    mnuMTChange->setEnabled(true);
    mnuMTCalendar->setEnabled(true);
    mnuMTFormat->setEnabled(true);
    mnuMTView->setEnabled(true);
    mnuMTSearch->setEnabled(false);
    mnuMTSound->setEnabled(true);

    tlbMain->Buttons(1)->setEnabled(false);  // new
    tlbMain->Buttons(2)->setEnabled(true);   // open
    tlbMain->Buttons(3)->setEnabled(false);  // save
    tlbMain->Buttons(5)->setEnabled(false);  // cut
    tlbMain->Buttons(6)->setEnabled(false);  // copy
    tlbMain->Buttons(7)->setEnabled(false);  // paste
    tlbMain->Buttons(9)->setEnabled(true);   // date
    tlbMain->Buttons(10)->setEnabled(true);  // time
    tlbMain->Buttons(11)->setEnabled(true);  // picture
    tlbMain->Buttons(13)->setEnabled(true);  // font
    tlbMain->Buttons(14)->setEnabled(true);  // color
    tlbMain->Buttons(15)->setEnabled(true);  // center
    tlbMain->Buttons(16)->setEnabled(true);  // bold
    tlbMain->Buttons(17)->setEnabled(true);  // italic
    tlbMain->Buttons(18)->setEnabled(true);  // underline
    tlbMain->Buttons(20)->setEnabled(true);  // change
    tlbMain->Buttons(21)->setEnabled(true);  // calendar
    tlbMain->Buttons(22)->setEnabled(true);  // format
    tlbMain->Buttons(23)->setEnabled(true);  // view
    tlbMain->Buttons(24)->setEnabled(false); // search
    tlbMain->Buttons(25)->setEnabled(true);  // sound
    // The pressed look mirrors the Sound check, so the button never claims sound is on while
    // it is off.
    tlbMain->Buttons(25)->SetValue(mnuMTSound->isChecked() ? 1 : 0);
    tlbMain->Buttons(27)->setEnabled(true); // help
    tlbMain->Buttons(30)->setEnabled(true); // exit

    Module1::UpdateModifiedPanel();
}

void frmMain::SetEditingState() {
    SetEnabled(mnuMFile, true);
    mnuMFNew->setEnabled(true);
    mnuMFSave->setEnabled(true);
    mnuMFExit->setEnabled(true);
    SetEnabled(mnuMEdit, true);
    mnuMECut->setEnabled(true);
    mnuMECopy->setEnabled(true);
    mnuMEPaste->setEnabled(true);
    mnuMTSearch->setEnabled(true);
    mnuMTSound->setEnabled(true);

    tlbMain->ButtonByKey(QStringLiteral("new"))->setEnabled(true);
    tlbMain->ButtonByKey(QStringLiteral("save"))->setEnabled(true);
    tlbMain->ButtonByKey(QStringLiteral("cut"))->setEnabled(true);
    tlbMain->ButtonByKey(QStringLiteral("copy"))->setEnabled(true);
    tlbMain->ButtonByKey(QStringLiteral("paste"))->setEnabled(true);
    tlbMain->ButtonByKey(QStringLiteral("search"))->setEnabled(true);
    ToolbarButton *sound = tlbMain->ButtonByKey(QStringLiteral("sound"));
    sound->setEnabled(true);
    sound->SetValue(mnuMTSound->isChecked() ? 1 : 0);
}

void frmMain::ToggleSound() {
    mnuMTSound->setChecked(!mnuMTSound->isChecked());
    ToolbarButton *sound = tlbMain->Buttons(25);
    if (mnuMTSound->isChecked()) {
        sound->SetValue(1);
        Module1::gSoundOn = 1;
    } else {
        sound->SetValue(0);
        Module1::gSoundOn = 0;
    }
}

void frmMain::rtbMain_KeyPress(qint16 &) {
    Module1::gModified = 1;
    Module1::UpdateModifiedPanel();
    SetEditingState();
}

void frmMain::rtbMain_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    Module1::gModified = 1;
    Module1::UpdateModifiedPanel();
    SetEditingState();
}

void Module1::UpdateModifiedPanel() {
    StatusBar *bar = Forms().Get<frmMain>().staMain;
    if (gModified == 1) {
        bar->SetBold(true);
        bar->Panels(2)->SetText(QStringLiteral("NOT SAVED!"));
    } else {
        bar->SetBold(false);
        bar->Panels(2)->SetText(QString());
    }
}
