#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <cerrno>

RuntimeError::RuntimeError(int number)
    : RuntimeError(number, QString()) {}

RuntimeError::RuntimeError(int number, QString detail)
    : std::runtime_error(RuntimeErrorDescription(number).toStdString())
    , m_number(number)
    , m_detail(std::move(detail)) {}

QString RuntimeError::description() const {
    return RuntimeErrorDescription(m_number);
}

QString RuntimeErrorDescription(int number) {
    switch (number) {
    case ErrorNumber::FileNotFound:
        return QStringLiteral("File not found");
    case ErrorNumber::DeviceIOError:
        return QStringLiteral("Device I/O error");
    case ErrorNumber::DiskFull:
        return QStringLiteral("Disk full");
    case ErrorNumber::InputPastEndOfFile:
        return QStringLiteral("Input past end of file");
    case ErrorNumber::DeviceUnavailable:
        return QStringLiteral("Device unavailable");
    case ErrorNumber::PermissionDenied:
        return QStringLiteral("Permission denied");
    case ErrorNumber::DiskNotReady:
        return QStringLiteral("Disk not ready");
    case ErrorNumber::PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("Path not found");
    case ErrorNumber::InvalidFileFormat:
        return QStringLiteral("Invalid file format");
    case ErrorNumber::CancelSelected:
        return QStringLiteral("Cancel was selected.");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

int ErrorNumberFromErrno(int osError, const QString &path) {
    switch (osError) {
    case ENOENT: {
        const QFileInfo info(path);
        return QDir(info.absolutePath()).exists() ? ErrorNumber::FileNotFound
                                                  : ErrorNumber::PathNotFound;
    }
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case EIO:
        return ErrorNumber::DeviceIOError;
    case ENXIO:
    case ENODEV:
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
        return ErrorNumber::DeviceUnavailable;
    case ENOMEDIUM:
        return ErrorNumber::DiskNotReady;
    case ENAMETOOLONG: // a name the system cannot take is told as one it cannot find
    case EINVAL:
    case EILSEQ:
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
    case EBUSY:
    case EEXIST:
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

int ErrorNumberFromFileDevice(const QFileDevice &device, int osError) {
    if (osError != 0)
        return ErrorNumberFromErrno(osError, device.fileName());
    if (QFileInfo(device.fileName()).isDir())
        return ErrorNumber::PathFileAccessError; // Qt refuses a folder without an errno
    switch (device.error()) {
    case QFileDevice::OpenError:
        return QFileInfo::exists(device.fileName())
                   ? ErrorNumber::PathFileAccessError
                   : ErrorNumberFromErrno(ENOENT, device.fileName());
    case QFileDevice::ResourceError:
        return ErrorNumber::DiskFull;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
        return ErrorNumber::DeviceIOError;
    case QFileDevice::PermissionsError:
    default:
        return ErrorNumber::PathFileAccessError;
    }
}
