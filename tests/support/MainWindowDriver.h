#pragma once

#include "TestSupport.h"
#include "mainwindow/frmMain.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"

#include <QAction>

inline frmMain &OpenMainWindow() {
    return Module1::Forms().Show<frmMain>();
}

inline RichTextBox &EntryOf(const frmMain &main) {
    return Control<RichTextBox>(main, QStringLiteral("rtbMain"));
}
inline QAction &Item(const frmMain &main, const QString &name) {
    return Control<QAction>(main, name);
}
inline ToolbarButton &Button(const frmMain &main, const QString &key) {
    return Control<ToolbarButton>(main, QStringLiteral("tlbMain_") + key);
}
inline StatusPanel &Panel(const frmMain &main, const QString &key) {
    return Control<StatusPanel>(main, key);
}
inline QString Marker(const frmMain &main) {
    return Panel(main, QStringLiteral("modified")).Text();
}

inline void ChooseCommand(frmMain &main, bool byToolbar, const QString &menuItem,
                          const QString &key) {
    if (!byToolbar) {
        Item(main, menuItem).trigger();
        return;
    }
    ToolbarButton &button = Button(main, key);
    QVERIFY2(button.isEnabled(), qPrintable(key));
    QTest::mouseClick(&button, Qt::LeftButton);
}
