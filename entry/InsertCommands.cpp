#include "entry/InsertCommands.h"

#include "app/Regional.h"
#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"
#include "platform/RuntimeError.h"

#include <QClipboard>
#include <QDate>
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

void InsertPicture(frmMain &form) {
    try {
        form.dlgMain.CancelError = true;
        form.dlgMain.DialogTitle = QStringLiteral("Choose a picture");
        form.dlgMain.Filter = QStringLiteral("bmp|*.bmp|gif|*.gif|jpg|*.jpg");
        form.dlgMain.ShowOpen();
        // Any picture format the machine reads is welcome when the user types its name.
        QImageReader reader(form.dlgMain.FileName);
        reader.setAutoTransform(true);
        const QImage picture = reader.read();
        if (picture.isNull())
            return; // not a readable picture: nothing changes, the clipboard included
        form.picMain->setPixmap(QPixmap::fromImage(picture));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setImage(picture.convertToFormat(QImage::Format_RGB32));
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
