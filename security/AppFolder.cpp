#include "security/AppFolder.h"

#include "app/FormRegistry.h"
#include "app/Run.h"
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"
#include "security/PasswordStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <iterator>
#include <sys/stat.h>
#include <vector>

namespace AppFolder {

namespace {

const QLatin1String kPasswordFiles[] = {QLatin1String(PasswordStore::kFirstFile),
                                        QLatin1String(PasswordStore::kSecondFile)};

bool HoldsPasswordFile(const QDir &folder) {
    return folder.exists(kPasswordFiles[0]) || folder.exists(kPasswordFiles[1]);
}

// A portable copy missing one of its password files stays portable: the gate tells the file
// missing, as it always has.
bool IsPortable(const QString &programFolder) {
    return QFileInfo(programFolder).isWritable() && HoldsPasswordFile(QDir(programFolder));
}

// Folders that are missing on the way are made for their owner alone too, as the desktop's
// rules for per-user data ask.
void MakeOwnerOnlyFolder(const QString &path) {
    if (QFileInfo(path).isDir())
        return;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path)
        MakeOwnerOnlyFolder(parent);
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        throw RuntimeError(ErrorNumberFromErrno(error, path),
                           path + QStringLiteral(": ") + qt_error_string(error));
    }
}

// Runs one step of the seeding, its failure naming `path`.
template <class Step> auto Naming(const QString &path, Step step) {
    try {
        return step();
    } catch (const RuntimeError &error) {
        throw RuntimeError(error.number(), path + QStringLiteral(": ") + error.detail());
    }
}

// Both files are complete on disk before either is in place; a copy cut short between the two
// is finished by the gate, as a password change is.
void CopyFirstPasswords(const QDir &from, const QDir &to) {
    std::vector<FileIO::PendingFile> copies;
    copies.reserve(std::size(kPasswordFiles));
    for (const QLatin1String name : kPasswordFiles) {
        const QString source = from.filePath(name);
        const QString target = to.filePath(name);
        const QByteArray bytes = Naming(source, [&] { return FileIO::ReadAll(source); });
        Naming(target, [&] { copies.emplace_back(target, bytes, FileIO::Access::OwnerOnly); });
    }
    for (FileIO::PendingFile &copy : copies)
        copy.PutInPlace();
    for (FileIO::PendingFile &copy : copies)
        copy.MakeDurable();
}

} // namespace

QString Choose(const QString &programFolder, const QString &userFolder) {
    if (IsPortable(programFolder))
        return programFolder;
    MakeOwnerOnlyFolder(userFolder);
    if (!HoldsPasswordFile(QDir(userFolder)))
        CopyFirstPasswords(QDir(programFolder).filePath(QLatin1String(kFirstPasswords)),
                           QDir(userFolder));
    return userFolder;
}

QString UserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool SetUpForThisRun() {
    try {
        Module1::SetAppPath(Choose(Module1::ProgramPath(), UserFolder()));
        return true;
    } catch (const RuntimeError &error) {
        Module1::EndWithUnhandledError(
            error, error.detail() +
                       QStringLiteral("\n\nQuillory keeps your password files and security log "
                                      "in the folder %1, which it could not set up. Make sure "
                                      "you may write there and the disk has room, then start "
                                      "Quillory again.")
                           .arg(UserFolder()));
        return false;
    }
}

} // namespace AppFolder
