#include "entry/InsertCommands.h"

#include "entry/EntryContext.h"
#include "platform/CommonDialog.h"
#include "platform/Regional.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"

#include <QClipboard>
#include <QDate>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QTime>

void InsertDate(const EntryContext &entry) {
    entry.rtbMain.SetSelText(Regional::ShortDateText(Services::Now().date()) +
                             QStringLiteral("\r\n"));
}

void InsertTime(const EntryContext &entry) {
    entry.rtbMain.SetSelText(Regional::LongTimeText(Services::Now().time()) +
                             QStringLiteral("\r\n"));
}

void InsertPicture(const EntryContext &entry) {
    CommonDialog &dialog = entry.dlgMain;
    try {
        dialog.CancelError = true;
        dialog.DialogTitle = QStringLiteral("Choose a picture");
        dialog.Filter = QStringLiteral("bmp|*.bmp|gif|*.gif|jpg|*.jpg");
        dialog.ShowOpen();
        // Any picture format the machine reads is welcome when the user types its name.
        QImageReader reader(dialog.FileName);
        reader.setAutoTransform(true);
        const QImage picture = reader.read();
        if (picture.isNull())
            return; // not a readable picture: nothing changes, the clipboard included
        entry.picMain.setPixmap(QPixmap::fromImage(picture));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setImage(picture.convertToFormat(QImage::Format_RGB32));
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
