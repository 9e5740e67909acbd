#include "entry/ClipboardCommands.h"

#include "entry/EntryContext.h"
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

void CutText(const EntryContext &entry) {
    PutSelectionOnClipboard(entry.rtbMain);
    entry.rtbMain.SetSelText(QString());
}

void CopyText(const EntryContext &entry) {
    PutSelectionOnClipboard(entry.rtbMain);
}

void PasteText(const EntryContext &entry) {
    entry.rtbMain.SetSelText(QGuiApplication::clipboard()->text());
}
