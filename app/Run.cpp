#include "app/Run.h"

#include "app/Flags.h"
#include "app/FormRegistry.h"
#include "platform/Services.h"

#include <QCoreApplication>

namespace Module1 {

namespace {

// The folders chosen for the run; empty for the program's folder.
QString &ChosenAppPath() {
    static QString path;
    return path;
}

QString &ChosenProgramPath() {
    static QString path;
    return path;
}

QString OrProgramFolder(const QString &path) {
    return path.isEmpty() ? QCoreApplication::applicationDirPath() : path;
}

} // namespace

QString AppPath() {
    return OrProgramFolder(ChosenAppPath());
}

void SetAppPath(const QString &path) {
    ChosenAppPath() = path;
}

QString ProgramPath() {
    return OrProgramFolder(ChosenProgramPath());
}

void SetProgramPath(const QString &path) {
    ChosenProgramPath() = path;
}

QString AppFile(const QString &fileName) {
    return AppPath() + QLatin1Char('/') + fileName;
}

void Reset() {
    DiscardForms();
    Flags().gModified = 0;
    Flags().gSoundOn = 0;
    ChosenAppPath().clear();
    ChosenProgramPath().clear();
    Services::Current() = Services::System();
}

} // namespace Module1
