#include "platform/FileIO.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace {

[[noreturn]] void Fail(const QFileDevice &device, int osError) {
    throw RuntimeError(ErrorNumberFromFileDevice(device, osError), device.errorString());
}

} // namespace

namespace FileIO {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        Fail(file, errno);
    errno = 0;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Fail(file, errno);
    return bytes;
}

void Append(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        Fail(file, errno);
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush())
        Fail(file, errno);
}

void WriteAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        Fail(file, errno);
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int osError = errno;
        file.cancelWriting();
        Fail(file, osError);
    }
    errno = 0;
    if (!file.commit())
        Fail(file, errno);
}

} // namespace FileIO
