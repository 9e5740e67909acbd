#pragma once

class QString;
class frmMain;

// The Insert menu's commands: they put text or a picture at the caret of the main window's entry.
void InsertDate(frmMain &form);
void InsertTime(frmMain &form);
void InsertPicture(frmMain &form);
// Tells the user why a picture did not go into the entry.
void RefusePicture(const QString &reason);
