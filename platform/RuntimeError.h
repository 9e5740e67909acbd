#pragma once

#include <QString>
#include <stdexcept>

class QFileDevice;

// The program's failures are the runtime's numbered errors; routines that handle errors act on
// the number. Every mapping from operating-system failures to these numbers lives in
// RuntimeError.cpp.
namespace ErrorNumber {
constexpr int FileNotFound = 53;
constexpr int DeviceIOError = 57;
constexpr int DiskFull = 61;
constexpr int InputPastEndOfFile = 62;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidFileFormat = 321;
constexpr int CancelSelected = 32755;
} // namespace ErrorNumber

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, QString detail);

    int number() const { return m_number; }
    // The runtime's own description of the number ("File not found").
    QString description() const;
    // Extra words from the operating system, for logs and tests; never shown instead of the
    // description.
    QString detail() const { return m_detail; }

private:
    int m_number;
    QString m_detail;
};

QString RuntimeErrorDescription(int number);

// errno of a failed operation on `path` -> one of the seven numbers the file error window
// tells (53, 57, 61, 68, 71, 75, 76). ENOENT becomes 53 when the folder exists and 76 when it
// does not, as a user would tell the two apart.
int ErrorNumberFromErrno(int osError, const QString &path);

// For failures reported by QFile without an errno.
int ErrorNumberFromFileDevice(const QFileDevice &device, int osError);
