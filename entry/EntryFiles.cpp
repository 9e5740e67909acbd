#include "entry/EntryFiles.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "entry/frmFileErr.h"
#include "mainwindow/frmMain.h"
#include "platform/BusyCursor.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/StatusBar.h"

namespace Module1 {

namespace {

// Both file dialogs: the cancel error armed, their title, and entry files in the list.
void PrepareFileDialog(CommonDialog &dialog, const QString &title) {
    dialog.CancelError = true;
    dialog.DialogTitle = title;
    dialog.Filter = QStringLiteral("*.rtf|*.rtf");
}

// The error handler of both routines: the seven file errors are told in the file error window;
// anything else, the dialog's Cancel included, ends the routine without a word.
void HandleFileError(const RuntimeError &error) {
    if (frmFileErr::MessageFor(error.number()).isEmpty())
        return;
    Err().Number = error.number();
    Forms().Show<frmFileErr>();
}

} // namespace

void SaveEntry() {
    frmMain &form = Forms().Get<frmMain>();
    try {
        PrepareFileDialog(form.dlgMain, QStringLiteral("Save file"));
        form.dlgMain.ShowSave();
        const QString path = form.dlgMain.FileName;
        {
            const BusyCursor busy;
            form.rtbMain->SaveFile(path, RichTextBox::RichText);
        }
        form.staMain->Panels(1)->SetText(path);
        if (gSoundOn == 1)
            PlayCue(QStringLiteral("\\graphics\\s_saveddata.wav"));
        gModified = 0;
    } catch (const RuntimeError &error) {
        // A failed write must not look saved: New or Exit would then drop the entry unasked.
        // Only a cancelled dialog leaves the marker blank.
        if (error.number() != ErrorNumber::CancelSelected)
            gModified = 1;
        HandleFileError(error);
    }
}

void OpenEntry() {
    frmMain &form = Forms().Get<frmMain>();
    try {
        PrepareFileDialog(form.dlgMain, QStringLiteral("Open file"));
        form.dlgMain.ShowOpen();
    } catch (const RuntimeError &error) {
        HandleFileError(error);
        return;
    }
    OpenEntryFile(form.dlgMain.FileName);
}

void OpenEntryFile(const QString &path) {
    frmMain &form = Forms().Get<frmMain>();
    try {
        {
            const BusyCursor busy;
            form.rtbMain->LoadFile(path, RichTextBox::RichText);
        }
        form.staMain->Panels(1)->SetText(path);
        if (gSoundOn == 1)
            PlayCue(QStringLiteral("\\graphics\\s_openfile.wav"));
    } catch (const RuntimeError &error) {
        HandleFileError(error);
    }
}

} // namespace Module1
