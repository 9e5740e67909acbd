#pragma once

// Driving the main window as a user does, for the tests of several folders.
#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "mainwindow/frmMain.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QTest>

inline frmMain &OpenMainWindow() {
    Module1::Forms().Show<frmMain>();
    return Module1::Forms().Get<frmMain>();
}

// Runs a command by its menu item or by its toolbar button, which must be usable.
inline void ChooseCommand(frmMain &main, bool byToolbar, const QString &menuItem,
                          const QString &key) {
    if (!byToolbar) {
        QAction *item = main.findChild<QAction *>(menuItem);
        QVERIFY2(item, qPrintable(menuItem));
        item->trigger();
        return;
    }
    ToolbarButton *button = main.tlbMain->ButtonByKey(key);
    QVERIFY2(button && button->isEnabled(), qPrintable(key));
    QTest::mouseClick(button, Qt::LeftButton);
}
