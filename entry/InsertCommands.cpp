#include "entry/InsertCommands.h"

#include "app/Module1.h"
#include "app/Regional.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBoxPresenter.h"
#include "platform/Pictures.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"

#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QTime>

void InsertDate(frmMain &form) {
    form.rtbMain->SetSelText(Regional::ShortDateText(QDate::currentDate()) +
                             QStringLiteral("\r\n"));
}

void InsertTime(frmMain &form) {
    form.rtbMain->SetSelText(Regional::LongTimeText(QTime::currentTime()) + QStringLiteral("\r\n"));
}

void RefusePicture(const QString &reason) {
    Module1::MessageBox().ShowCritical(QStringLiteral("Quillory"), reason);
}

void InsertPicture(frmMain &form) {
    try {
        form.dlgMain.CancelError = true;
        form.dlgMain.DialogTitle = QStringLiteral("Choose a picture");
        form.dlgMain.Filter = QStringLiteral("bmp|*.bmp|gif|*.gif|jpg|*.jpg");
        form.dlgMain.ShowOpen();
        // Any picture format the machine reads is welcome when the user types its name. Its
        // size comes from the header, so a picture too large to decode is refused unread.
        const QSize pixels = QImageReader(form.dlgMain.FileName).size();
        if (!pixels.isValid())
            return; // not a readable picture: nothing changes, the clipboard included
        if (Pictures::TooLarge(pixels)) {
            RefusePicture(Pictures::TooLargeText(pixels));
            return;
        }
        QFile file(form.dlgMain.FileName);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        // The carrier holds a copy at the size the entry shows, decoded in a fraction of the
        // time of the whole picture; it also proves the file is a readable picture.
        const QImage shown = Pictures::Decode(
            bytes,
            Pictures::Fitted(QSizeF(Pictures::PixelSize(bytes)), form.rtbMain->width()).toSize());
        if (shown.isNull())
            return;
        form.picMain->setPixmap(QPixmap::fromImage(shown));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        // The bitmap, for any program, and the file's own bytes, which our paste keeps.
        clipboard->setMimeData(new Pictures::FileMimeData(bytes));
        form.rtbMain->setFocus();
        // The picture arrives at the caret once this command is over, as a paste would.
        QMetaObject::invokeMethod(
            form.rtbMain,
            [box = QPointer<RichTextBox>(form.rtbMain)] {
                if (box)
                    box->paste();
            },
            Qt::QueuedConnection);
    } catch (const RuntimeError &) {
        // Cancel, or a failure of the dialog: the routine ends without a word.
    }
}
