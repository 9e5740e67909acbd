#pragma once

class frmMain;

// The Edit menu's commands on the main window's entry.
void CutText(frmMain &form);
void CopyText(frmMain &form);
void PasteText(frmMain &form);
