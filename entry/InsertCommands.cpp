#include "entry/InsertCommands.h"

// Not written yet: the insert task fills these.
void InsertDate(frmMain &) {}
void InsertTime(frmMain &) {}
void InsertPicture(frmMain &) {}
