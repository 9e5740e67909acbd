#include "app/Run.h"

#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "platform/Services.h"

#include <QCoreApplication>

namespace Module1 {

namespace {

QString &ChosenAppPath() {
    static QString path;
    return path;
}

} // namespace

QString AppPath() {
    if (!ChosenAppPath().isEmpty())
        return ChosenAppPath();
    return QCoreApplication::applicationDirPath();
}

void SetAppPath(const QString &path) {
    ChosenAppPath() = path;
}

QString AppFile(const QString &fileName) {
    return AppPath() + QLatin1Char('/') + fileName;
}

void Reset() {
    DiscardForms();
    Flags().gModified = 0;
    Flags().gSoundOn = 0;
    ChosenAppPath().clear();
    Services::Current() = Services::System();
}

} // namespace Module1
