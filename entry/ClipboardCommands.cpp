#include "entry/ClipboardCommands.h"

#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// Only plain text travels through these commands; Clear first, so nothing of what the
// clipboard held before, in any format, survives.
void PutSelectionOnClipboard(const RichTextBox &box) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(box.SelText());
}

} // namespace

void CutText(frmMain &form) {
    PutSelectionOnClipboard(*form.rtbMain);
    form.rtbMain->SetSelText(QString());
}

void CopyText(frmMain &form) {
    PutSelectionOnClipboard(*form.rtbMain);
}

void PasteText(frmMain &form) {
    form.rtbMain->SetSelText(QGuiApplication::clipboard()->text());
}
