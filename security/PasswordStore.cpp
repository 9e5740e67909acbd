#include "security/PasswordStore.h"

#include "platform/AnsiCodePage.h"
#include "platform/FileIO.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace PasswordStore {

namespace {

// The scrambling distance.
constexpr qint16 gShift = 5;
// The longest password, a quote on each side and a line end.
constexpr qsizetype kLongestField = kLongestPassword + 4;

QString Shift(const QString &text, int direction) {
    QString shifted = text;
    for (QChar &c : shifted) {
        if (!AnsiCodePage::CanEncode(c))
            continue; // no 8-bit code: nothing to shift
        const int k = static_cast<unsigned char>(AnsiCodePage::Encode(QString(c))[0]);
        const int moved = k + direction * gShift;
        if (moved >= 0 && moved <= 255)
            c = AnsiCodePage::Decode(QByteArray(1, static_cast<char>(moved)))[0];
    }
    return shifted;
}

QByteArray StoredLine(const QString &password) {
    return AnsiCodePage::Encode(ScrambleText(password)) + "\r\n";
}

// Runs one step of a change, telling a failure as the change's.
template <class Step> auto Attempt(const QString &path, bool firstReplaced, Step step) {
    try {
        return step();
    } catch (const RuntimeError &error) {
        throw WriteFailure(error, path, firstReplaced);
    }
}

// New files a change left beside `path`, the newest first.
QFileInfoList Leftovers(const QString &path) {
    const QFileInfo file(path);
    return QDir(file.absolutePath())
        .entryInfoList({file.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden,
                       QDir::Time);
}

} // namespace

QString ScrambleText(const QString &text) {
    return Shift(text, +1);
}

QString UnscrambleText(const QString &text) {
    return Shift(text, -1);
}

QString ReadTextField(const QByteArray &fileContents, bool *ended) {
    if (fileContents.isEmpty())
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    qsizetype start = 0;
    while (start < fileContents.size() && fileContents[start] == ' ')
        ++start;
    QByteArray field;
    qsizetype end = start;
    if (start < fileContents.size() && fileContents[start] == '"') {
        end = fileContents.indexOf('"', start + 1);
        if (end < 0)
            end = fileContents.size();
        field = fileContents.mid(start + 1, end - start - 1);
    } else {
        while (end < fileContents.size() && fileContents[end] != ',' && fileContents[end] != '\r' &&
               fileContents[end] != '\n')
            ++end;
        field = fileContents.mid(start, end - start);
    }
    if (ended)
        *ended = end < fileContents.size();
    return AnsiCodePage::Decode(field);
}

bool CanStore(const QString &password) {
    return password.size() <= kLongestPassword &&
           UnscrambleText(ReadTextField(StoredLine(password))) == password;
}

std::optional<QString> ReadStoredPassword(const QString &path) {
    const QByteArray start = FileIO::ReadStart(path, kLongestField);
    bool ended = false;
    const QString field = ReadTextField(start, &ended);
    if (!ended && start.size() == kLongestField)
        return std::nullopt;
    return UnscrambleText(field);
}

void WriteStoredPasswords(const QString &firstPath, const QString &first, const QString &secondPath,
                          const QString &second) {
    const auto owner = FileIO::Access::OwnerOnly;
    FileIO::PendingFile newFirst = Attempt(
        firstPath, false, [&] { return FileIO::PendingFile(firstPath, StoredLine(first), owner); });
    FileIO::PendingFile newSecond = Attempt(secondPath, false, [&] {
        return FileIO::PendingFile(secondPath, StoredLine(second), owner);
    });
    // A change cut short between these two is finished at the next start.
    Attempt(firstPath, false, [&] { newFirst.PutInPlace(); });
    Attempt(secondPath, true, [&] { newSecond.PutInPlace(); });
    Attempt(firstPath, true, [&] { newFirst.MakeDurable(); });
    Attempt(secondPath, true, [&] { newSecond.MakeDurable(); });
}

void FinishInterruptedChange(const QString &firstPath, const QString &secondPath) {
    QFileInfoList firsts = Leftovers(firstPath);
    QFileInfoList seconds = Leftovers(secondPath);
    // A new second file with no new first one: the change stopped after the first replacement.
    // The second file was complete before that, so the change goes on; had it stopped earlier,
    // a new first file would still be there, and the old pair stays.
    if (firsts.isEmpty() && !seconds.isEmpty()) {
        const QString newest = seconds.takeFirst().filePath();
        if (FileIO::ReadStart(newest, kLongestField).endsWith("\r\n"))
            std::rename(QFile::encodeName(newest).constData(),
                        QFile::encodeName(secondPath).constData());
    }
    for (const QFileInfo &leftover : firsts + seconds)
        QFile::remove(leftover.filePath());
}

} // namespace PasswordStore
