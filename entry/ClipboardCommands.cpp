#include "entry/ClipboardCommands.h"

// Not written yet: the clipboard task fills these.
void CutText(frmMain &) {}
void CopyText(frmMain &) {}
void PasteText(frmMain &) {}
