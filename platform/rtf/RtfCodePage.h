#pragma once

#include <QString>
#include <cstddef>

// Decoding of the 8-bit text of RTF files (`\'hh` escapes and raw bytes) for the Windows and
// Macintosh code pages that word processors declare with `\ansicpg`, `\mac`, `\pc` and font
// `\fcharset`. Tables come from glibc's iconv, built once per code page and kept for the run.
namespace RtfCodePage {

// Code page numbers beyond the Windows ones.
constexpr int Symbol = 42;        // the Symbol font's own encoding (`\fcharset2`)
constexpr int SymbolPrivate = 43; // other symbol fonts (Wingdings...): U+F000 + byte
constexpr int MacRoman = 10000;   // `\mac`, `\fcharset77`
constexpr int PcDefault = 437;    // `\pc`
constexpr int Windows1252 = 1252;

// Windows-1252, the code page of `\ansi` and of the program's own text files: the character a
// byte stands for (the five bytes it leaves undefined stand for the C1 controls of the same
// number), and the byte that stands for a character, or -1 when none does.
char16_t FromWindows1252(unsigned char byte);
int ToWindows1252(char16_t character);

// The code page of a font `\fcharsetN`: 0 (ANSI) is Windows-1252 whatever `\ansicpg` says;
// -1 for the charsets that mean "the document's" (1, default) and unknown ones.
int FromCharset(int charset);

class Decoder {
public:
    virtual ~Decoder() = default;
    // Whether a byte starts a two-byte character (always false for single-byte code pages).
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // Appends the text of complete bytes to `out`; invalid or unpaired bytes become U+FFFD.
    virtual void Decode(const unsigned char *bytes, std::size_t count, QString &out) const = 0;
};

// The decoder of a code page, or of Windows-1252 when the code page is unknown here. The
// returned object lives until the program ends.
const Decoder &ForCodePage(int codePage);

} // namespace RtfCodePage
