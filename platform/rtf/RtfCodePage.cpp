#include "platform/rtf/RtfCodePage.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace RtfCodePage {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Symbol font's glyphs as Unicode (0x20..0xFF). Bytes it leaves undefined and the pieces of
// large brackets go to the private use area U+F0xx, where Symbol fonts put them too.
constexpr char16_t kSymbolHigh[96] = {
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118,
    0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0x232A, 0x222B, 0x2320,
    0x23AE, 0x2321, 0,      0,      0,      0,      0,      0,      0,      0,      0,      0};

// 0x40..0x7E of Symbol: Greek letters and a few mathematical signs where ASCII has others.
constexpr char16_t kSymbolMiddle[63] = {
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1,
    0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5,
    0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, '[',    0x2234, ']',    0x22A5, '_',    0x203E,
    0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA,
    0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6,
    0x03C9, 0x03BE, 0x03C8, 0x03B6, '{',    '|',    '}',    0x223C};

char16_t SymbolToUnicode(unsigned char byte) {
    switch (byte) {
    case 0x22:
        return 0x2200;
    case 0x24:
        return 0x2203;
    case 0x27:
        return 0x220B;
    case 0x2A:
        return 0x2217;
    case 0x2D:
        return 0x2212;
    default:
        break;
    }
    if (byte < 0x20)
        return byte;
    if (byte < 0x40)
        return byte;
    if (byte < 0x7F)
        return kSymbolMiddle[byte - 0x40];
    if (byte >= 0xA0 && kSymbolHigh[byte - 0xA0] != 0)
        return kSymbolHigh[byte - 0xA0];
    return char16_t(0xF000 + byte);
}

class TableDecoder final : public Decoder {
public:
    explicit TableDecoder(const std::array<char16_t, 256> &table)
        : m_table(table) {}
    bool IsLeadByte(unsigned char) const override { return false; }
    void Decode(const unsigned char *bytes, std::size_t count, QString &out) const override {
        const qsizetype at = out.size();
        out.resize(at + qsizetype(count));
        QChar *dest = out.data() + at;
        for (std::size_t i = 0; i < count; ++i)
            dest[i] = QChar(m_table[bytes[i]]);
    }

private:
    std::array<char16_t, 256> m_table;
};

class DoubleByteDecoder final : public Decoder {
public:
    DoubleByteDecoder(iconv_t converter, int codePage)
        : m_converter(converter)
        , m_codePage(codePage) {}
    ~DoubleByteDecoder() override { iconv_close(m_converter); }

    bool IsLeadByte(unsigned char byte) const override {
        switch (m_codePage) {
        case 932:
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 1361:
            return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) ||
                   (byte >= 0xE0 && byte <= 0xF9);
        default:
            return byte >= 0x81 && byte <= 0xFE;
        }
    }

    void Decode(const unsigned char *bytes, std::size_t count, QString &out) const override {
        std::lock_guard lock(m_mutex);
        std::vector<char16_t> buffer(count + 1);
        std::size_t i = 0;
        while (i < count) {
            char *in = reinterpret_cast<char *>(const_cast<unsigned char *>(bytes + i));
            std::size_t inLeft = count - i;
            char *outPtr = reinterpret_cast<char *>(buffer.data());
            std::size_t outLeft = buffer.size() * sizeof(char16_t);
            iconv(m_converter, nullptr, nullptr, nullptr, nullptr);
            const std::size_t result = iconv(m_converter, &in, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            const std::size_t produced =
                (buffer.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t);
            out.append(reinterpret_cast<const QChar *>(buffer.data()), qsizetype(produced));
            i = count - inLeft;
            if (result != std::size_t(-1))
                break;
            if (error == E2BIG)
                continue;
            // An invalid or incomplete character: one replacement for the lead byte and its
            // trail (or for the lone byte), then go on.
            out.append(QChar(kReplacement));
            i += (IsLeadByte(bytes[i]) && i + 1 < count && bytes[i + 1] >= 0x40) ? 2 : 1;
        }
    }

private:
    iconv_t m_converter;
    int m_codePage;
    mutable std::mutex m_mutex;
};

const char *IconvName(int codePage) {
    switch (codePage) {
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 852:
        return "CP852";
    case 866:
        return "CP866";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 1361:
        return "JOHAB";
    case 10000:
        return "MACINTOSH";
    case 10007:
        return "MAC-CYRILLIC";
    case 10029:
        return "MAC-CENTRALEUROPE";
    default:
        return nullptr;
    }
}

bool IsDoubleByte(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361;
}

std::unique_ptr<Decoder> MakeDecoder(int codePage) {
    std::array<char16_t, 256> table{};
    if (codePage == Symbol) {
        for (int b = 0; b < 256; ++b)
            table[b] = SymbolToUnicode(static_cast<unsigned char>(b));
        return std::make_unique<TableDecoder>(table);
    }
    if (codePage == SymbolPrivate) {
        // Dingbat fonts have no Unicode mapping of their own; the private use area is where
        // their glyphs are found when the font is installed.
        for (int b = 0; b < 256; ++b)
            table[b] = b < 0x20 ? char16_t(b) : char16_t(0xF000 + b);
        return std::make_unique<TableDecoder>(table);
    }
    for (int b = 0; b < 256; ++b)
        table[b] = FromWindows1252(static_cast<unsigned char>(b));
    const char *name = IconvName(codePage);
    if (name == nullptr)
        return std::make_unique<TableDecoder>(table);
    iconv_t converter = iconv_open("UTF-16LE", name);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's own failure value
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::make_unique<TableDecoder>(table);
    if (IsDoubleByte(codePage))
        return std::make_unique<DoubleByteDecoder>(converter, codePage);
    // One byte at a time; code pages with combining marks (1258) hold a character back until
    // the converter is flushed.
    for (int b = 0; b < 256; ++b) {
        char byte = char(b);
        char *in = &byte;
        std::size_t inLeft = 1;
        char16_t unit[4] = {};
        char *outPtr = reinterpret_cast<char *>(unit);
        std::size_t outLeft = sizeof(unit);
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
        if (result != std::size_t(-1) && outLeft < sizeof(unit))
            table[b] = unit[0];
        else if (b >= 0x80)
            table[b] = kReplacement;
    }
    iconv_close(converter);
    return std::make_unique<TableDecoder>(table);
}

} // namespace

char16_t FromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kWindows1252High[byte - 0x80] != 0)
        return kWindows1252High[byte - 0x80];
    return byte;
}

int ToWindows1252(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    for (int i = 0; i < 32; ++i) {
        const char16_t mapped = kWindows1252High[i] != 0 ? kWindows1252High[i] : char16_t(0x80 + i);
        if (mapped == character)
            return 0x80 + i;
    }
    return -1;
}

int FromCharset(int charset) {
    switch (charset) {
    case 0:
        return Windows1252;
    case 2:
        return Symbol;
    case 77:
        return MacRoman;
    case 78:
        return 932;
    case 79:
        return 949;
    case 80:
        return 936;
    case 81:
        return 950;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return -1;
    }
}

const Decoder &ForCodePage(int codePage) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<Decoder>> decoders;
    std::lock_guard lock(mutex);
    std::unique_ptr<Decoder> &slot = decoders[codePage];
    if (!slot)
        slot = MakeDecoder(codePage);
    return *slot;
}

} // namespace RtfCodePage
