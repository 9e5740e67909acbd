#pragma once

class frmMain;

// The Format menu's commands on the main window's entry.
void ChooseFont(frmMain &form);
void ChooseTextColor(frmMain &form);
void ToggleCenter(frmMain &form);
void ToggleBold(frmMain &form);
void ToggleItalic(frmMain &form);
void ToggleUnderline(frmMain &form);
