#include "app/SharedRoutines.h"

#include "app/Run.h"
#include "platform/Services.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace Module1 {

namespace {

// Tab's own move: QWidget::focusNextPrevChild, reached through a legal member pointer.
struct FocusChain : QWidget {
    static bool MoveNext(QWidget *from) { return (from->*&FocusChain::focusNextPrevChild)(true); }
};

} // namespace

void PlayCue(const QString &cueText) {
    QString relative = cueText;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    Services::Current().cues->Play(ProgramPath() + relative);
}

void EnterAsTab(qint16 &keyAscii) {
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            if (QPointer<QWidget> focus = QApplication::focusWidget())
                FocusChain::MoveNext(focus);
        },
        Qt::QueuedConnection);
}

} // namespace Module1
