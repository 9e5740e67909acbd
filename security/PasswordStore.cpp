#include "security/PasswordStore.h"

#include "app/Module1.h"
#include "platform/AnsiCodePage.h"
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

namespace PasswordStore {

namespace {

QString Shift(const QString &text, int direction) {
    Module1::gShift = 5;
    QString shifted = text;
    for (qsizetype p = 0; p < shifted.size(); ++p) {
        if (!AnsiCodePage::CanEncode(shifted[p]))
            continue; // no 8-bit code: nothing to shift
        const int k = static_cast<unsigned char>(AnsiCodePage::Encode(QString(shifted[p]))[0]);
        const int moved = k + direction * Module1::gShift;
        if (moved >= 0 && moved <= 255)
            shifted[p] = AnsiCodePage::Decode(QByteArray(1, static_cast<char>(moved)))[0];
    }
    return shifted;
}

} // namespace

QString ScrambleText(const QString &text) {
    return Shift(text, +1);
}

QString UnscrambleText(const QString &text) {
    return Shift(text, -1);
}

QString ReadTextField(const QByteArray &fileContents) {
    if (fileContents.isEmpty())
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    qsizetype start = 0;
    while (start < fileContents.size() && fileContents[start] == ' ')
        ++start;
    QByteArray field;
    if (start < fileContents.size() && fileContents[start] == '"') {
        const qsizetype close = fileContents.indexOf('"', start + 1);
        field = fileContents.mid(start + 1, close < 0 ? -1 : close - start - 1);
    } else {
        qsizetype end = start;
        while (end < fileContents.size() && fileContents[end] != ',' && fileContents[end] != '\r' &&
               fileContents[end] != '\n')
            ++end;
        field = fileContents.mid(start, end - start);
    }
    return AnsiCodePage::Decode(field);
}

QString ReadStoredPassword(const QString &path) {
    return UnscrambleText(ReadTextField(FileIO::ReadAll(path)));
}

void WriteStoredPassword(const QString &path, const QString &password) {
    FileIO::WriteAtomically(path, AnsiCodePage::Encode(ScrambleText(password)) + "\r\n");
}

} // namespace PasswordStore
