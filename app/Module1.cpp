#include "app/Module1.h"

#include "app/FormRegistry.h"
#include "platform/CuePlayer.h"
#include "platform/MessageBoxPresenter.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QWidget>

namespace Module1 {

namespace {

struct State {
    QString appPath;
    QString programPath;
    std::unique_ptr<FormRegistry> forms;
    ErrObject err;
    std::unique_ptr<CuePlayer> cues = std::make_unique<SilentCuePlayer>();
    std::unique_ptr<MessageBoxPresenter> messageBox = std::make_unique<QtMessageBoxPresenter>();
};

State &Shared() {
    static State state;
    return state;
}

// Tab's own move: QWidget::focusNextPrevChild, reached through a legal member pointer.
struct FocusChain : QWidget {
    static bool MoveNext(QWidget *from) { return (from->*&FocusChain::focusNextPrevChild)(true); }
};

} // namespace

QString AppPath() {
    if (!Shared().appPath.isEmpty())
        return Shared().appPath;
    return QCoreApplication::applicationDirPath();
}

void SetAppPath(const QString &path) {
    Shared().appPath = path;
}

QString AppFile(const QString &fileName) {
    return AppPath() + QLatin1Char('/') + fileName;
}

QString ProgramPath() {
    if (!Shared().programPath.isEmpty())
        return Shared().programPath;
    return QCoreApplication::applicationDirPath();
}

void SetProgramPath(const QString &path) {
    Shared().programPath = path;
}

FormRegistry &Forms() {
    if (!Shared().forms)
        Shared().forms = std::make_unique<FormRegistry>();
    return *Shared().forms;
}

CuePlayer &Cues() {
    return *Shared().cues;
}

void SetCuePlayer(std::unique_ptr<CuePlayer> player) {
    Shared().cues = std::move(player);
}

MessageBoxPresenter &MessageBox() {
    return *Shared().messageBox;
}

void SetMessageBox(std::unique_ptr<MessageBoxPresenter> presenter) {
    Shared().messageBox = std::move(presenter);
}

void PlayCue(const QString &cueText) {
    QString relative = cueText;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    Cues().Play(ProgramPath() + relative);
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

ErrObject &Err() {
    return Shared().err;
}

void EndWithUnhandledError(const RuntimeError &error, const QString &about) {
    QString text =
        QStringLiteral("Run-time error '%1':\n\n").arg(error.number()) + error.description();
    if (!about.isEmpty())
        text += QStringLiteral(": ") + about;
    MessageBox().ShowCritical(QStringLiteral("Quillory"), text);
    Forms().EndWithError(1);
}

void Reset() {
    if (Shared().forms)
        Shared().forms->DestroyAllNow();
    gModified = 0;
    gSoundOn = 0;
    gLogMessage.clear();
    gCardArmed = 0;
    gShift = 0;
    Shared().appPath.clear();
    Shared().programPath.clear();
    Shared().err = ErrObject();
    Shared().cues = std::make_unique<SilentCuePlayer>();
    Shared().messageBox = std::make_unique<QtMessageBoxPresenter>();
}

} // namespace Module1
