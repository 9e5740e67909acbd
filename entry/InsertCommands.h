#pragma once

class frmMain;

// The Insert menu's commands: they put text or a picture at the caret of the main window's entry.
void InsertDate(frmMain &form);
void InsertTime(frmMain &form);
void InsertPicture(frmMain &form);
