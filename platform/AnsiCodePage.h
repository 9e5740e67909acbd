#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the program's text files (Windows-1252): one byte per
// character, as the password files require.
namespace AnsiCodePage {

QString Decode(const QByteArray &bytes);

// Characters the code page cannot hold become '?'; `lossless` tells whether any did.
QByteArray Encode(const QString &text, bool *lossless = nullptr);

bool CanEncode(QChar c);

} // namespace AnsiCodePage
