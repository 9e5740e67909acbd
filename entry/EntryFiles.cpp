#include "entry/EntryFiles.h"

#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "app/SharedRoutines.h"
#include "entry/EntryContext.h"
#include "entry/frmFileErr.h"
#include "platform/BusyCursor.h"
#include "platform/CommonDialog.h"
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
    Forms().Show<frmFileErr>(error.number());
}

} // namespace

void SaveEntry(const EntryContext &entry) {
    try {
        PrepareFileDialog(entry.dlgMain, QStringLiteral("Save file"));
        entry.dlgMain.ShowSave();
        const QString path = entry.dlgMain.FileName;
        {
            const BusyCursor busy;
            entry.rtbMain.SaveFile(path, RichTextBox::RichText);
        }
        entry.pathPanel.SetText(path);
        if (Flags().gSoundOn == 1)
            PlayCue(QStringLiteral("\\graphics\\s_saveddata.wav"));
        Flags().gModified = 0;
    } catch (const RuntimeError &error) {
        // A failed write must not look saved: New or Exit would then drop the entry unasked.
        // Only a cancelled dialog leaves the marker blank.
        if (error.number() != ErrorNumber::CancelSelected)
            Flags().gModified = 1;
        HandleFileError(error);
    }
}

void OpenEntry(const EntryContext &entry) {
    try {
        PrepareFileDialog(entry.dlgMain, QStringLiteral("Open file"));
        entry.dlgMain.ShowOpen();
    } catch (const RuntimeError &error) {
        HandleFileError(error);
        return;
    }
    OpenEntryFile(entry, entry.dlgMain.FileName);
}

void OpenEntryFile(const EntryContext &entry, const QString &path) {
    try {
        {
            const BusyCursor busy;
            entry.rtbMain.LoadFile(path, RichTextBox::RichText);
        }
        entry.pathPanel.SetText(path);
        if (Flags().gSoundOn == 1)
            PlayCue(QStringLiteral("\\graphics\\s_openfile.wav"));
    } catch (const RuntimeError &error) {
        HandleFileError(error);
    }
}

} // namespace Module1
