#include "platform/AnsiCodePage.h"

#include "platform/rtf/RtfCodePage.h"

namespace AnsiCodePage {

QString Decode(const QByteArray &bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(RtfCodePage::FromWindows1252(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray Encode(const QString &text, bool *lossless) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool allKept = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = RtfCodePage::ToWindows1252(text[i].unicode());
        allKept = allKept && byte >= 0;
        bytes[i] = static_cast<char>(byte >= 0 ? byte : '?');
    }
    if (lossless)
        *lossless = allKept;
    return bytes;
}

bool CanEncode(QChar c) {
    return RtfCodePage::ToWindows1252(c.unicode()) >= 0;
}

} // namespace AnsiCodePage
