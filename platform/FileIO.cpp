#include "platform/FileIO.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void Fail(const QFileDevice &device, int osError) {
    throw RuntimeError(ErrorNumberFromFileDevice(device, osError), device.errorString());
}

[[noreturn]] void Fail(int osError, const QString &path) {
    throw RuntimeError(ErrorNumberFromErrno(osError, path), qt_error_string(osError));
}

// The folder refused the new file that was to replace an existing one.
struct FolderTakesNoNewFiles : RuntimeError {
    using RuntimeError::RuntimeError;
};

// A file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int fd() const { return m_fd; }
    // Closes it now: some file systems report a failed write only here. 0 or the errno.
    int Close() {
        const int result = ::close(std::exchange(m_fd, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// 0 once every byte is written, else the errno.
int WriteAll(int fd, const QByteArray &bytes) {
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC; // nothing taken, no reason given
        data += written;
        left -= written;
    }
    return 0;
}

// 0 once the file is on disk and holds exactly `size` bytes, else the errno.
int SyncAndCheckSize(int fd, qsizetype size) {
    struct stat info {};
    if (::fsync(fd) != 0 || ::fstat(fd, &info) != 0)
        return errno;
    return info.st_size == size ? 0 : EIO;
}

// A link is followed, so the file it names is replaced and the link stays.
QByteArray Target(const QString &path) {
    const QFileInfo info(path);
    return QFile::encodeName(info.isSymLink() && info.exists() ? info.canonicalFilePath() : path);
}

// Beside the file and named after it ("entry.rtf.a1B2c3"), short enough for any name.
QByteArray TemporaryNameTemplate(const QByteArray &target) {
    const qsizetype nameStart = target.lastIndexOf('/') + 1;
    return target.left(nameStart) + target.mid(nameStart, NAME_MAX - 7) + ".XXXXXX";
}

// Makes the folder's list of names durable: a power cut right after a rename must not bring
// the old file back. 0 or the errno; a file system that cannot sync a folder is no failure.
int SyncFolderOf(const QByteArray &target) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd() < 0)
        return errno;
    if (::fsync(dir.fd()) != 0 && errno != EINVAL && errno != ENOTSUP)
        return errno;
    return 0;
}

// Overwrites the file itself, for a folder that refuses the file a replacement needs. The
// whole new content is in memory (and on screen), so a failure loses nothing of it.
void WriteInPlace(const QByteArray &target, const QByteArray &bytes) {
    const QString path = QFile::decodeName(target);
    Descriptor file(::open(target.constData(), O_WRONLY | O_CLOEXEC));
    if (file.fd() < 0)
        Fail(errno, path);
    // Room for the whole content first, so a full disk fails before the old content changes.
    if (!bytes.isEmpty() && ::fallocate(file.fd(), FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
        errno != EOPNOTSUPP)
        Fail(errno, path);
    int error = WriteAll(file.fd(), bytes);
    if (!error && ::ftruncate(file.fd(), bytes.size()) != 0)
        error = errno;
    if (!error)
        error = SyncAndCheckSize(file.fd(), bytes.size());
    if (!error)
        error = file.Close();
    if (error)
        Fail(error, path);
}

// Opens for appending and for reading its end; a missing file is created for its owner alone.
int OpenForAppending(const QByteArray &name) {
    for (;;) {
        const int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        const int created =
            ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (created >= 0) {
            ::fchmod(created, 0600); // the umask may have taken the owner's rights too
            return created;
        }
        if (errno != EEXIST)
            return -1;
    }
}

// What must come before a new line in a file of `size` bytes: nothing after a line end, the
// LF of a line cut after its CR, CR LF after a torn line.
QByteArray LineEndNeeded(int fd, off_t size) {
    char last = '\n';
    if (size > 0 && ::pread(fd, &last, 1, size - 1) != 1)
        last = '\n';
    if (last == '\n')
        return {};
    return last == '\r' ? QByteArray("\n") : QByteArray("\r\n");
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

QByteArray ReadStart(const QString &path, qsizetype limit) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        Fail(file, errno);
    errno = 0;
    QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError)
        Fail(file, errno);
    return bytes;
}

void AppendLine(const QString &path, const QByteArray &line) {
    Descriptor file(OpenForAppending(QFile::encodeName(path)));
    struct stat info {};
    if (file.fd() < 0 || ::fstat(file.fd(), &info) != 0)
        Fail(errno, path);
    int error = WriteAll(file.fd(), LineEndNeeded(file.fd(), info.st_size) + line);
    if (!error && ::fsync(file.fd()) != 0)
        error = errno;
    if (error) {
        // Whatever part of the line got in goes again: the line is there whole or not at all.
        if (::ftruncate(file.fd(), info.st_size) != 0)
            qWarning("could not take a torn line off %s", qPrintable(path));
        Fail(error, path);
    }
    if (const int closeError = file.Close())
        Fail(closeError, path);
}

PendingFile::PendingFile(const QString &path, const QByteArray &bytes, Access access)
    : m_target(Target(path)) {
    struct stat existing {};
    const bool exists = ::stat(m_target.constData(), &existing) == 0;
    if (!exists && errno != ENOENT)
        Fail(errno, path);
    if (exists && !S_ISREG(existing.st_mode))
        Fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL, path);

    QByteArray name = TemporaryNameTemplate(m_target);
    Descriptor file(::mkostemp(name.data(), O_CLOEXEC)); // created for its owner alone
    if (file.fd() < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM || error == EROFS))
            throw FolderTakesNoNewFiles(ErrorNumberFromErrno(error, path), qt_error_string(error));
        Fail(error, path);
    }
    m_temporary = name;
    if (exists && ::fchown(file.fd(), existing.st_uid, existing.st_gid) != 0) {
        // Only the owner's own files keep their owner; anyone else's become the writer's.
    }
    const bool keepMode = exists && access == Access::KeptOrOwnerOnly;
    int error = ::fchmod(file.fd(), keepMode ? existing.st_mode & 07777 : 0600) != 0 ? errno : 0;
    if (!error)
        error = WriteAll(file.fd(), bytes);
    if (!error)
        error = SyncAndCheckSize(file.fd(), bytes.size());
    if (!error)
        error = file.Close();
    if (error) {
        ::unlink(std::exchange(m_temporary, {}).constData());
        Fail(error, path);
    }
}

PendingFile::PendingFile(PendingFile &&other) noexcept
    : m_target(std::move(other.m_target))
    , m_temporary(std::exchange(other.m_temporary, {})) {}

PendingFile::~PendingFile() {
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

void PendingFile::PutInPlace() {
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
        Fail(errno, QFile::decodeName(m_target));
    m_temporary.clear();
}

void PendingFile::MakeDurable() {
    if (const int error = SyncFolderOf(m_target))
        Fail(error, QFile::decodeName(m_target));
}

void WriteAtomically(const QString &path, const QByteArray &bytes) {
    try {
        PendingFile file(path, bytes, Access::KeptOrOwnerOnly);
        file.Commit();
    } catch (const FolderTakesNoNewFiles &) {
        WriteInPlace(Target(path), bytes);
    }
}

} // namespace FileIO
