#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The control words the reader knows, in one table: each with its kind, what it acts on and a
// number. Words the table does not hold are ignored, or skipped with their group when the
// group is marked ignorable ("{\*\word").
namespace RtfKeywords {

enum class Kind : std::uint8_t {
    Flag,        // sets its target to its value
    Toggle,      // sets its target to its value, or to 0 when its number is 0 (\b0)
    Value,       // sets its target to its number kept within [min, max], or to its value
    Destination, // a group the reader takes apart from the text: target is a Destination
    Symbol,      // a character (its value)
    Skip,        // a group that is not the entry's text (a header, the style sheet)
};

// Where the target of a Flag, Toggle or Value lies.
enum class Scope : std::uint8_t {
    Character, // a CharField of the group's character properties
    Paragraph, // a ParaField of the group's paragraph properties
    Picture,   // a PictureField of the picture being read
    Color,     // a ColorField of the colour table entry being read
    Command,   // a Command the reader carries out with the value
};

enum class CharField : std::uint8_t {
    Font, // font table number, -1 for the document's default font
    HalfPoints,
    Foreground, // colour table index; 0 is "auto"
    Background,
    Link, // hyperlink target index, -1 for none
    Bold,
    Italic,
    Underline, // a QTextCharFormat::UnderlineStyle
    Strike,
    Valign, // 0 normal, 1 superscript, 2 subscript
    Caps,   // 0 none, 1 all, 2 small capitals
    Hidden,
    Count
};

enum class ParaField : std::uint8_t {
    LeftIndent, // twips
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple, // 1: LineSpacing is in 240ths of a line
    Align,        // 0 left, 1 centre, 2 right, 3 justified
    Count
};

enum class PictureField : std::uint8_t {
    Kind, // a PictureKind
    Picw, // the picture's own size: pixels, or hundredths of a millimetre for metafiles
    Pich,
    Goalw, // the size shown, in twips
    Goalh,
    Scalex, // percent
    Scaley,
    Count
};

enum class PictureKind : std::uint8_t { Unknown, Png, Jpeg, Emf, Wmf, Dib, Ddb, Other };

enum class ColorField : std::uint8_t { Red, Green, Blue, Count };

enum class Command : std::uint8_t {
    DocumentCodePage, // \ansi, \mac, \pc, \pca
    AnsiCodePage,     // \ansicpg
    DefaultFont,      // \deff
    UnicodeSkip,      // \uc
    Unicode,          // \u
    Font,             // \f: a font table entry's number, or the text's font
    FontCharset,
    FontCodePage,
    Plain,
    ParagraphDefaults, // \pard
    Raise,             // \up
    Lower,             // \dn
    Cell,
    Row,
    FootnoteMark, // \chftn
    Binary,       // \bin
};

enum class Destination : std::uint8_t {
    FontTable,
    ColorTable,
    Picture,
    FieldInstruction,
    FieldResult,
    Transparent,     // read as if the group were not there (\shppict, \ud)
    UnicodeVariants, // \upr: an ANSI and a Unicode variant of the same thing
};

struct Keyword {
    Kind kind;
    Scope scope;
    std::uint8_t target;  // a field of the scope, a Command or a Destination
    bool readIgnorable;   // read even in a group marked ignorable
    bool keepsBytes;      // leaves pending bytes of the text undecoded (they may go on after it)
    int value;            // see Kind
    int min = 0, max = 0; // Value: the range of its number
};

// The keyword of a control word, or nullptr; `hash` is HashStep() over its letters, from 0.
const Keyword *Find(std::string_view word, std::uint32_t hash);

constexpr std::uint32_t HashStep(std::uint32_t hash, unsigned char letter) {
    return hash * 33 ^ letter;
}

template <class Field> constexpr std::size_t Index(Field field) {
    return static_cast<std::size_t>(field);
}

// The properties a group's keywords set: compared and hashed as a whole.
template <class Field> struct Properties {
    std::array<int, Index(Field::Count)> values{};
    int &operator[](Field field) { return values[Index(field)]; }
    int operator[](Field field) const { return values[Index(field)]; }
    bool operator==(const Properties &) const = default;
};

// Cheap: properties are hashed for every run of text.
template <class Field> size_t qHash(const Properties<Field> &properties, size_t seed = 0) {
    std::uint64_t hash = seed ^ 0x9E3779B97F4A7C15ull;
    for (const int value : properties.values)
        hash = (hash ^ static_cast<std::uint32_t>(value)) * 0x100000001B3ull;
    return static_cast<size_t>(hash ^ (hash >> 29));
}

} // namespace RtfKeywords
