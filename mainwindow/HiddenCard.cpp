// The hidden card's lock on the main window: armed from the About window, then every keyed
// status panel clicked, in any order; that reveals the code box, and a later panel click with
// the code in it opens the card.
#include "app/FormRegistry.h"
#include "mainwindow/frmMain.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "tools/frmEgg.h"

void frmMain::staMain_PanelClick(StatusPanel *panel) {
    // Keys compared exactly; a panel with any other key still runs the check below.
    const QString key = panel->Key();
    if (key == QLatin1String("orvsoftware"))
        mPanelOrvSoftware = 1;
    else if (key == QLatin1String("modified"))
        mPanelModified = 1;
    else if (key == QLatin1String("date"))
        mPanelDate = 1;
    else if (key == QLatin1String("time"))
        mPanelTime = 1;

    if (gCardArmed == 1 && mPanelOrvSoftware == 1 && mPanelModified == 1 && mPanelDate == 1 &&
        mPanelTime == 1) {
        txtEgg->setVisible(true);
        // Compared in the very click that reveals the box, while it is still empty: the code
        // counts only at a later click.
        if (txtEgg->text() == QLatin1String("GRWNNWRG")) {
            Module1::Forms().Show<frmEgg>();
            gCardArmed = 0;
            mPanelOrvSoftware = 0;
            mPanelModified = 0;
            mPanelDate = 0;
            mPanelTime = 0;
        }
    }
}

void frmMain::ArmCard() {
    gCardArmed = 1;
}

void frmMain::CardPutAway() {
    txtEgg->setVisible(false);
    txtEgg->setText(QString());
}
