#include "mainwindow/frmMain.h"

#include "app/Flags.h"
#include "app/SharedRoutines.h"
#include "entry/EntryContext.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

frmMain::frmMain()
    : mnuMain(new QMenuBar(this))
    , tlbMain(new Toolbar(this))
    , rtbMain(new RichTextBox(this))
    , staMain(new StatusBar(this))
    , picMain(new QLabel(this))
    , txtEgg(new TextBox(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Main screen"));
    MakeFixedWindowWithoutButtons();
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
    Arrange();
    ConnectCommands();
    ResolveStates();
    connect(&Module1::Flags().gSoundOn, &Module1::Flag::Changed, this, &frmMain::ShowSoundLook);
    dlgMain.HelpFile = QStringLiteral("orvquillory.hlp");
}

void frmMain::Arrange() {
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    tlbMain->setObjectName(QStringLiteral("tlbMain"));
    rtbMain->setObjectName(QStringLiteral("rtbMain"));
    rtbMain->setAccessibleName(QStringLiteral("Journal entry"));
    // A scroll bar that came and went would change the text's width, and the whole entry would
    // be laid out again at the new width (and a picture fitted to one width shown at the other).
    rtbMain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    staMain->setObjectName(QStringLiteral("staMain"));
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->hide(); // only carries a picture on its way into the entry
    txtEgg->setObjectName(QStringLiteral("txtEgg"));
    txtEgg->setAccessibleName(QStringLiteral("Code"));
    txtEgg->SetPasswordChar(QLatin1Char('*'));
    txtEgg->setFixedWidth(120);
    txtEgg->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mnuMain);
    layout->addWidget(tlbMain);
    layout->addWidget(rtbMain, 1);
    layout->addWidget(txtEgg, 0, Qt::AlignRight);
    layout->addWidget(staMain);
    setFixedSize(860, 600);
}

void frmMain::Form_Load() {
    SetBlankEntryState();
    rtbMain->setFont(QFont(QStringLiteral("arial"), QStringLiteral("9").toInt()));
    rtbMain->setTextColor(QColor(0, 0, 0));
    staMain->PanelByKey(QStringLiteral("modified"))->SetText(QString());
    Module1::Flags().gSoundOn = 1;
    // The greeting plays whatever the sound setting.
    Module1::PlayCue(QStringLiteral("\\graphics\\s_hi!.wav"));
}

void frmMain::closeEvent(QCloseEvent *event) {
    event->ignore();
    mnuMFExit_Click();
}

EntryContext frmMain::Entry() {
    const auto look = [this](QAction *item, const char *key) {
        return ToggleLook{*item, *tlbMain->ButtonByKey(QLatin1String(key))};
    };
    return {*rtbMain,
            *staMain->PanelByKey(QStringLiteral("orvsoftware")),
            dlgMain,
            *picMain,
            look(mnuMFoCenter, "center"),
            look(mnuMFoBold, "bold"),
            look(mnuMFoItalic, "italic"),
            look(mnuMFoUnderline, "underline")};
}
