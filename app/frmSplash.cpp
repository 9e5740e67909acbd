#include "app/frmSplash.h"

#include "app/FormRegistry.h"
#include "app/Gradient.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

frmSplash::frmSplash(int shownMilliseconds)
    : Label1(new QLabel(QStringLiteral("Quillory"), this))
    , Label2(new QLabel(QStringLiteral("Orv Software"), this))
    , lblSVer(new QLabel(QStringLiteral(" 1.0"), this))
    , tmrTaskTimer(new QTimer(this))
    , mShownMilliseconds(shownMilliseconds) {
    MakeBorderlessWindow();
    BuildControls();
}

void frmSplash::BuildControls() {
    setObjectName(QStringLiteral("frmSplash"));
    setAccessibleName(QStringLiteral("Quillory")); // it has no caption
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    lblSVer->setObjectName(QStringLiteral("lblSVer"));
    tmrTaskTimer->setObjectName(QStringLiteral("tmrTaskTimer"));

    QFont nameFont(QStringLiteral("Arial"), 40, QFont::Bold);
    nameFont.setItalic(true);
    Label1->setFont(nameFont);
    Label2->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    lblSVer->setFont(QFont(QStringLiteral("Arial"), 11));
    for (QLabel *label : {Label1, Label2, lblSVer}) {
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("color: #000040; background: transparent;"));
    }

    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(lblSVer);
    layout->addStretch();
    setFixedSize(480, 300);
    // Every pixel is painted by the gradient, so nothing of the default background flashes.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void frmSplash::Form_Load() {
    tmrTaskTimer->setSingleShot(true);
    tmrTaskTimer->setTimerType(Qt::PreciseTimer); // a coarse timer may fire early
    tmrTaskTimer->setInterval(mShownMilliseconds);
    connect(tmrTaskTimer, &QTimer::timeout, this, &frmSplash::tmrTaskTimer_Timer);
    tmrTaskTimer->start();
}

void frmSplash::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    PaintGradient(painter, kSplashGradient, height(), [this] { return width(); });
}

void frmSplash::closeEvent(QCloseEvent *event) {
    event->ignore();
}

void frmSplash::tmrTaskTimer_Timer() {
    CloseSplash();
}

void frmSplash::CloseSplash() {
    tmrTaskTimer->stop();
    Module1::Forms().Unload(this);
    emit Over();
}
