#pragma once

// platform/: our stand-ins for the platform the program was designed around: the form runtime's
// windows (Form), the standard controls (rich text box, toolbar, status bar, drive list...), the
// RTF codec, files, and the services below. Nothing here knows any window of the program; the
// windows above are built from these pieces.
#include "platform/CommonDialog.h"
#include "platform/CuePlayer.h"
#include "platform/Drives.h"
#include "platform/MessageBoxPresenter.h"

#include <QDateTime>
#include <functional>
#include <memory>

// The platform services the program asks for, in one place: sound cues, the standard message
// box, the common dialogs, the machine's drives and the clock. Tests install fakes of all of
// them with one assignment to Services::Current().
struct Services {
    std::unique_ptr<CuePlayer> cues;
    std::unique_ptr<MessageBoxPresenter> messageBox;
    std::unique_ptr<CommonDialogPresenter> dialogs;
    std::unique_ptr<DriveService> drives;
    std::function<QDateTime()> clock;

    // The machine's own: Qt's dialogs and message box, the system's drives and clock; cues stay
    // silent until the program installs its player.
    static Services System();
    // The services in use.
    static Services &Current();
    // The date and time now, by the clock in use.
    static QDateTime Now() { return Current().clock(); }
};
