#include "platform/AnsiCodePage.h"

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes, which map to C1 controls.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return byte;
}

int ToByte(char16_t unicode) {
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF))
        return unicode;
    for (int i = 0; i < 32; ++i) {
        const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : char16_t(0x80 + i);
        if (mapped == unicode)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace AnsiCodePage {

QString Decode(const QByteArray &bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray Encode(const QString &text, bool *lossless) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool allKept = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = ToByte(text[i].unicode());
        allKept = allKept && byte >= 0;
        bytes[i] = static_cast<char>(byte >= 0 ? byte : '?');
    }
    if (lossless)
        *lossless = allKept;
    return bytes;
}

bool CanEncode(QChar c) {
    return ToByte(c.unicode()) >= 0;
}

} // namespace AnsiCodePage
