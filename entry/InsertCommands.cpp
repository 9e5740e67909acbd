#include "entry/InsertCommands.h"

#include "entry/EntryContext.h"
#include "platform/CommonDialog.h"
#include "platform/Pictures.h"
#include "platform/Regional.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPointer>

void InsertDate(const EntryContext &entry) {
    entry.rtbMain.SetSelText(Regional::ShortDateText(Services::Now().date()) +
                             QStringLiteral("\r\n"));
}

void InsertTime(const EntryContext &entry) {
    entry.rtbMain.SetSelText(Regional::LongTimeText(Services::Now().time()) +
                             QStringLiteral("\r\n"));
}

void RefusePicture(const QString &reason) {
    Services::Current().messageBox->ShowCritical(QStringLiteral("Quillory"), reason);
}

void InsertPicture(const EntryContext &entry) {
    CommonDialog &dialog = entry.dlgMain;
    try {
        dialog.CancelError = true;
        dialog.DialogTitle = QStringLiteral("Choose a picture");
        dialog.Filter = QStringLiteral("bmp|*.bmp|gif|*.gif|jpg|*.jpg");
        dialog.ShowOpen();
        // Any picture format the machine reads is welcome when the user types its name. Its
        // size comes from the header, so a picture too large to decode is refused unread.
        const QSize pixels = QImageReader(dialog.FileName).size();
        if (!pixels.isValid())
            return; // not a readable picture: nothing changes, the clipboard included
        if (Pictures::TooLarge(pixels)) {
            RefusePicture(Pictures::TooLargeText(pixels));
            return;
        }
        QFile file(dialog.FileName);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        // The carrier holds a copy at the size the entry shows, decoded in a fraction of the
        // time of the whole picture; it also proves the file is a readable picture.
        const QImage shown = Pictures::Decode(
            bytes,
            Pictures::Fitted(QSizeF(Pictures::PixelSize(bytes)), entry.rtbMain.width()).toSize());
        if (shown.isNull())
            return;
        entry.picMain.setPixmap(QPixmap::fromImage(shown));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        // The bitmap, for any program, and the file's own bytes, which our paste keeps.
        clipboard->setMimeData(new Pictures::FileMimeData(bytes));
        entry.rtbMain.setFocus();
        // The picture arrives at the caret once this command is over, as a paste would.
        QMetaObject::invokeMethod(
            &entry.rtbMain,
            [box = QPointer<RichTextBox>(&entry.rtbMain)] {
                if (box)
                    box->paste();
            },
            Qt::QueuedConnection);
    } catch (const RuntimeError &) {
        // Cancel, or a failure of the dialog: the routine ends without a word.
    }
}
