#include "security/frmView.h"

#include "app/Run.h"
#include "platform/CommandButton.h"
#include "platform/PlainTextView.h"
#include "platform/RuntimeError.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

// The log has no size limit, so rtbView is a read-only view that decodes only the lines on
// screen rather than a rich text box that would lay out every line at once. It has no caret and
// takes no typing: the caret the viewer would hide never appears, and keys only scroll.

frmView::frmView()
    : rtbView(new PlainTextView(this))
    , cmdVDone(new CommandButton(QStringLiteral("&Done"), this)) {
    setWindowTitle(QStringLiteral("View security log"));
    BuildControls();
}

void frmView::BuildControls() {
    setObjectName(QStringLiteral("frmView"));
    rtbView->setObjectName(QStringLiteral("rtbView"));
    cmdVDone->setObjectName(QStringLiteral("cmdVDone"));
    rtbView->setAccessibleName(QStringLiteral("Security log"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdVDone);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rtbView);
    layout->addLayout(buttons);
    resize(560, 380);

    connect(cmdVDone, &QPushButton::clicked, this, &frmView::cmdVDone_Click);
    connect(rtbView, &PlainTextView::MouseDown, this, &frmView::rtbView_MouseDown);
    connect(rtbView, &PlainTextView::MouseUp, this, &frmView::rtbView_MouseUp);
    connect(rtbView, &PlainTextView::DblClick, this, &frmView::rtbView_DblClick);
}

void frmView::Form_Load() {
    try {
        rtbView->LoadFile(Module1::AppFile(QStringLiteral("orvlog.txt")));
    } catch (const RuntimeError &) {
        // A log deleted or made unreadable during the run shows as an empty log; the viewer
        // only reads, so there is nothing to repair and no reason to end the run.
    }
}

void frmView::cmdVDone_Click() {
    Hide();
}

void frmView::rtbView_MouseDown() {
    Hide();
}

void frmView::rtbView_MouseUp() {
    Hide();
}

void frmView::rtbView_DblClick() {
    Hide();
}
