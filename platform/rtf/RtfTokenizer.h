#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The lexical level of RTF: group braces, control words with their numbers, control symbols,
// \'hh escapes and runs of text. Line ends in the file are not text and never reach the
// reader; everything else does, byte for byte. It never fails: a file cut short simply ends.
class RtfTokenizer {
public:
    enum class Kind : std::uint8_t {
        End,
        GroupOpen,
        GroupClose,
        ControlWord,   // `word`, `hasParam`, `param`
        ControlSymbol, // `symbol`; for "\*", `atGroupStart` too
        Hex,           // \'hh: `param` is the byte, or -1 when the two characters are not hex
        Text,          // `text`: bytes up to the next brace, backslash or line end
    };

    struct Token {
        Kind kind = Kind::End;
        std::string_view
            text;      // the word of a ControlWord (its first 32 letters), the bytes of Text
        int param = 0; // clamped to the range of int
        bool hasParam = false;
        bool atGroupStart = false; // "\*" right after "{", blanks and line ends aside
        bool printable = false;    // Text of printable ASCII only (0x20 to 0x7E)
        unsigned char symbol = 0;
        std::uint32_t wordHash = 0; // RtfKeywords::Hash() of the word
    };

    RtfTokenizer(const char *data, std::size_t size);

    Token Next();

    // Passes over the rest of the group whose "{" was the last token, up to and including its
    // closing brace (or the end of the input), nested groups and \bin data included.
    void SkipGroup();

    // The `count` bytes that follow a \binN, fewer where the input ends.
    std::string_view TakeBinary(long long count);

    // The input not read yet, for looking ahead.
    std::string_view Rest() const {
        return {reinterpret_cast<const char *>(m_p), static_cast<std::size_t>(m_end - m_p)};
    }

private:
    Token ControlSequence();

    const unsigned char *m_p;
    const unsigned char *m_end;
    const unsigned char *m_groupStart; // just after the last "{"
};
