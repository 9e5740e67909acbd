#include "mainwindow/Journey.h"

#include "app/FormRegistry.h"
#include "app/frmSplash.h"
#include "mainwindow/frmMain.h"
#include "security/frmPassChange.h"
#include "security/frmPassEntry.h"
#include "tools/frmAbout.h"
#include "tools/frmEgg.h"

namespace {

// The About window and the card are opened from the main window, which is then loaded.
template <class Step> auto OnTheMainWindow(FormRegistry &forms, Step step) {
    return [&forms, step] {
        if (forms.IsLoaded<frmMain>())
            (forms.Get<frmMain>().*step)();
    };
}

void Follow(FormRegistry &forms, Form *form, const QString &entryToOpen) {
    const auto showMain = [&forms] { forms.Show<frmMain>(); };
    if (auto *main = qobject_cast<frmMain *>(form); main && !entryToOpen.isEmpty())
        QMetaObject::invokeMethod(
            main, [main, entryToOpen] { main->OpenGivenEntry(entryToOpen); }, Qt::QueuedConnection);
    else if (auto *splash = qobject_cast<frmSplash *>(form))
        QObject::connect(splash, &frmSplash::Over, &forms,
                         [&forms] { forms.Show<frmPassEntry>(); });
    else if (auto *gate = qobject_cast<frmPassEntry *>(form))
        QObject::connect(gate, &frmPassEntry::Accepted, &forms, showMain);
    else if (auto *change = qobject_cast<frmPassChange *>(form))
        QObject::connect(change, &frmPassChange::PasswordsSaved, &forms, showMain);
    else if (auto *about = qobject_cast<frmAbout *>(form))
        QObject::connect(about, &frmAbout::CardArmed, &forms,
                         OnTheMainWindow(forms, &frmMain::ArmCard));
    else if (auto *card = qobject_cast<frmEgg *>(form))
        QObject::connect(card, &frmEgg::PutAway, &forms,
                         OnTheMainWindow(forms, &frmMain::CardPutAway));
}

} // namespace

void LayTheRoad(FormRegistry &forms, const QString &entryToOpen) {
    QObject::connect(&forms, &FormRegistry::FormLoaded, &forms,
                     [&forms, entryToOpen](Form *form) { Follow(forms, form, entryToOpen); });
}
