// The main window's menu tree. Items have access keys only, never shortcut keys.
#include "mainwindow/frmMain.h"
#include "platform/MenuStyle.h"

#include <QMenu>
#include <QMenuBar>
#include <QShortcutEvent>

namespace {

// File and Format share the access key F. Qt would take turns between them at each Alt+F; the
// first menu of the bar with that key is what the user gets every time, as on the desktop the
// program comes from.
class FirstMenuTakesSharedAccessKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Shortcut)
            return false;
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (!shortcut->isAmbiguous())
            return false;
        auto *bar = static_cast<QMenuBar *>(watched);
        for (QAction *menu : bar->actions()) {
            if (menu->isEnabled() && QKeySequence::mnemonic(menu->text()) == shortcut->key()) {
                bar->setActiveAction(menu);
                return true;
            }
        }
        return false;
    }
};

QMenu *AddMenu(QMenuBar *bar, const char *name, const QString &caption) {
    QMenu *menu = bar->addMenu(caption);
    // One style for every menu of the bar, owned by the bar.
    auto *style = bar->findChild<CheckMarkOnlyMenuStyle *>();
    if (!style) {
        style = new CheckMarkOnlyMenuStyle;
        style->setParent(bar);
    }
    menu->setStyle(style);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction *AddItem(QMenu *menu, const char *name, const QString &caption) {
    QAction *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcuts({});
    return item;
}

QAction *AddSeparator(QMenu *menu, const char *name) {
    QAction *separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

// Items whose check mark the program sets (the formatting toggles and Sound).
QAction *AddCheckItem(QMenu *menu, const char *name, const QString &caption, bool checked) {
    QAction *item = AddItem(menu, name, caption);
    item->setCheckable(true);
    item->setChecked(checked);
    return item;
}

} // namespace

void frmMain::BuildMenus() {
    mnuMain->installEventFilter(new FirstMenuTakesSharedAccessKey(mnuMain));
    mnuMFile = AddMenu(mnuMain, "mnuMFile", QStringLiteral("&File"));
    mnuMFNew = AddItem(mnuMFile, "mnuMFNew", QStringLiteral("&New"));
    mnuMFSlash = AddSeparator(mnuMFile, "mnuMFSlash");
    mnuMFOpen = AddItem(mnuMFile, "mnuMFOpen", QStringLiteral("&Open"));
    mnuMFSlash1 = AddSeparator(mnuMFile, "mnuMFSlash1");
    mnuMFSave = AddItem(mnuMFile, "mnuMFSave", QStringLiteral("Sa&ve"));
    mnuMFSlash2 = AddSeparator(mnuMFile, "mnuMFSlash2");
    mnuMFExit = AddItem(mnuMFile, "mnuMFExit", QStringLiteral("E&xit"));

    mnuMEdit = AddMenu(mnuMain, "mnuMEdit", QStringLiteral("&Edit"));
    mnuMECut = AddItem(mnuMEdit, "mnuMECut", QStringLiteral("Cu&t"));
    mnuMESlash = AddSeparator(mnuMEdit, "mnuMESlash");
    mnuMECopy = AddItem(mnuMEdit, "mnuMECopy", QStringLiteral("&Copy"));
    mnuMESlash1 = AddSeparator(mnuMEdit, "mnuMESlash1");
    mnuMEPaste = AddItem(mnuMEdit, "mnuMEPaste", QStringLiteral("&Paste"));

    mnuMInsert = AddMenu(mnuMain, "mnuMInsert", QStringLiteral("&Insert"));
    mnuMIDate = AddItem(mnuMInsert, "mnuMIDate", QStringLiteral("Dat&e"));
    mnuMISlash = AddSeparator(mnuMInsert, "mnuMISlash");
    mnuMITime = AddItem(mnuMInsert, "mnuMITime", QStringLiteral("&Time"));
    mnuMISlash1 = AddSeparator(mnuMInsert, "mnuMISlash1");
    mnuMIPicture = AddItem(mnuMInsert, "mnuMIPicture", QStringLiteral("Pict&ure"));

    mnuMFormat = AddMenu(mnuMain, "mnuMFormat", QStringLiteral("&Format"));
    mnuMFoFont = AddItem(mnuMFormat, "mnuMFoFont", QStringLiteral("Fon&t"));
    mnuMFoSlash = AddSeparator(mnuMFormat, "mnuMFoSlash");
    mnuMFoColor = AddItem(mnuMFormat, "mnuMFoColor", QStringLiteral("Co&lors"));
    mnuMFoSlash1 = AddSeparator(mnuMFormat, "mnuMFoSlash1");
    mnuMFoCenter = AddCheckItem(mnuMFormat, "mnuMFoCenter", QStringLiteral("&Center"), false);
    mnuMFoSlash2 = AddSeparator(mnuMFormat, "mnuMFoSlash2");
    mnuMFoBold = AddCheckItem(mnuMFormat, "mnuMFoBold", QStringLiteral("&Bold"), false);
    mnuMFoSlash3 = AddSeparator(mnuMFormat, "mnuMFoSlash3");
    mnuMFoItalic = AddCheckItem(mnuMFormat, "mnuMFoItalic", QStringLiteral("&Italic"), false);
    mnuMFoSlash4 = AddSeparator(mnuMFormat, "mnuMFoSlash4");
    mnuMFoUnderline =
        AddCheckItem(mnuMFormat, "mnuMFoUnderline", QStringLiteral("&Underline"), false);

    mnuMTools = AddMenu(mnuMain, "mnuMTools", QStringLiteral("&Tools"));
    mnuMTChange = AddItem(mnuMTools, "mnuMTChange", QStringLiteral("C&hange password"));
    mnuMTSlash = AddSeparator(mnuMTools, "mnuMTSlash");
    mnuMTCalendar = AddItem(mnuMTools, "mnuMTCalendar", QStringLiteral("Cale&ndar"));
    mnuMTSlash1 = AddSeparator(mnuMTools, "mnuMTSlash1");
    mnuMTFormat = AddItem(mnuMTools, "mnuMTFormat", QStringLiteral("Fo&rmat 3.5\" floppy"));
    mnuMTSlash2 = AddSeparator(mnuMTools, "mnuMTSlash2");
    mnuMTView = AddItem(mnuMTools, "mnuMTView", QStringLiteral("&View log"));
    mnuMTSlash3 = AddSeparator(mnuMTools, "mnuMTSlash3");
    mnuMTSearch = AddItem(mnuMTools, "mnuMTSearch", QStringLiteral("&Search"));
    mnuMTSlash4 = AddSeparator(mnuMTools, "mnuMTSlash4");
    mnuMTSound = AddCheckItem(mnuMTools, "mnuMTSound", QStringLiteral("Soun&d"), true);

    mnuMHelp = AddMenu(mnuMain, "mnuMHelp", QStringLiteral("&Help"));
    mnuMHContents = AddItem(mnuMHelp, "mnuMHContents", QStringLiteral("&Contents"));
    mnuMHSlash = AddSeparator(mnuMHelp, "mnuMHSlash");
    mnuMHAbout = AddItem(mnuMHelp, "mnuMHAbout", QStringLiteral("&About"));
}
