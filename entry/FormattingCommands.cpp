#include "entry/FormattingCommands.h"

// Not written yet: the formatting task fills these.
void ChooseFont(frmMain &) {}
void ChooseTextColor(frmMain &) {}
void ToggleCenter(frmMain &) {}
void ToggleBold(frmMain &) {}
void ToggleItalic(frmMain &) {}
void ToggleUnderline(frmMain &) {}
