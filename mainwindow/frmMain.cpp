#include "mainwindow/frmMain.h"

#include "app/FormRegistry.h"
#include "app/Module1.h"

#include <QCloseEvent>

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Main screen"));
    MakeFixedWindowWithoutButtons();
    setFixedSize(800, 560);
}

void frmMain::Form_Load() {
    Module1::gSoundOn = 1;
    Module1::PlayCue(QStringLiteral("\\graphics\\s_hi!.wav"));
}

void frmMain::closeEvent(QCloseEvent *event) {
    event->ignore();
    Module1::Forms().UnloadAll();
}
