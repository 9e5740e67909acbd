#include "platform/rtf/RtfKeywords.h"

#include <QTextCharFormat>
#include <cstring>

namespace RtfKeywords {

namespace {

constexpr int kMaxTwips = 31680; // 22 inches: more is a damaged number
constexpr int kMaxInt = 2147483647;

constexpr std::uint8_t U8(auto target) {
    return static_cast<std::uint8_t>(target);
}

constexpr Keyword CharToggle(CharField field, int on = 1) {
    return {Kind::Toggle, Scope::Character, U8(field), false, false, on};
}
constexpr Keyword CharFlag(CharField field, int value) {
    return {Kind::Flag, Scope::Character, U8(field), false, false, value};
}
constexpr Keyword CharValue(CharField field, int byDefault, int min, int max) {
    return {Kind::Value, Scope::Character, U8(field), false, false, byDefault, min, max};
}
constexpr Keyword ParaFlag(ParaField field, int value) {
    return {Kind::Flag, Scope::Paragraph, U8(field), false, false, value};
}
constexpr Keyword ParaValue(ParaField field, int min, int max = kMaxTwips) {
    return {Kind::Value, Scope::Paragraph, U8(field), false, false, 0, min, max};
}
constexpr Keyword PictureType(PictureKind kind) {
    return {Kind::Flag, Scope::Picture, U8(PictureField::Kind), false, false, U8(kind)};
}
constexpr Keyword PictureValue(PictureField field, int byDefault = 0) {
    return {Kind::Value, Scope::Picture, U8(field), false, false, byDefault, -kMaxInt, kMaxInt};
}
constexpr Keyword ColorValue(ColorField field) {
    return {Kind::Value, Scope::Color, U8(field), false, false, 0, 0, 255};
}
constexpr Keyword Do(Command command, int value = 0, bool keepsBytes = false) {
    return {Kind::Value, Scope::Command, U8(command), false, keepsBytes, value};
}
constexpr Keyword Dest(Destination destination, bool readIgnorable = false) {
    return {Kind::Destination, Scope::Command, U8(destination), readIgnorable, false, 0};
}
constexpr Keyword Sym(char16_t character) {
    return {Kind::Symbol, Scope::Command, 0, false, false, character};
}
constexpr Keyword Skip() {
    return {Kind::Skip, Scope::Command, 0, false, false, 0};
}

struct Entry {
    std::string_view word;
    Keyword keyword;
};

using C = CharField;
using P = ParaField;
using K = PictureKind;
using F = PictureField;

const Entry kTable[] = {
    // header and encoding
    {"ansi", Do(Command::DocumentCodePage, 1252)},
    {"mac", Do(Command::DocumentCodePage, 10000)},
    {"pc", Do(Command::DocumentCodePage, 437)},
    {"pca", Do(Command::DocumentCodePage, 850)},
    {"ansicpg", Do(Command::AnsiCodePage)},
    {"deff", Do(Command::DefaultFont)},
    {"uc", Do(Command::UnicodeSkip)},
    {"u", Do(Command::Unicode, 0, true)},
    {"bin", Do(Command::Binary, 0, true)},
    // destinations
    {"fonttbl", Dest(Destination::FontTable)},
    {"colortbl", Dest(Destination::ColorTable)},
    {"pict", Dest(Destination::Picture)},
    {"fldinst", Dest(Destination::FieldInstruction, true)},
    {"fldrslt", Dest(Destination::FieldResult)},
    {"shppict", Dest(Destination::Transparent, true)},
    // Row properties of nested tables; some writers put the cells' text inside.
    {"nesttableprops", Dest(Destination::Transparent, true)},
    // Word for Mac: {\upr{ANSI variant}{\*\ud{Unicode variant}}}.
    {"upr", Dest(Destination::UnicodeVariants, true)},
    {"ud", Dest(Destination::Transparent, true)},
    // Parts that are not body text, and alternatives we do not show.
    {"stylesheet", Skip()},
    {"info", Skip()},
    {"header", Skip()},
    {"headerl", Skip()},
    {"headerr", Skip()},
    {"headerf", Skip()},
    {"footer", Skip()},
    {"footerl", Skip()},
    {"footerr", Skip()},
    {"footerf", Skip()},
    {"footnote", Skip()},
    {"annotation", Skip()},
    {"atnid", Skip()},
    {"atnauthor", Skip()},
    {"atndate", Skip()},
    {"atntime", Skip()},
    {"atnicn", Skip()},
    {"atnref", Skip()},
    {"nonshppict", Skip()},
    {"objdata", Skip()},
    {"objclass", Skip()},
    {"objname", Skip()},
    {"xe", Skip()},
    {"tc", Skip()},
    {"txe", Skip()},
    {"rxe", Skip()},
    {"pn", Skip()},
    {"pntxta", Skip()},
    {"pntxtb", Skip()},
    {"listtable", Skip()},
    {"listoverridetable", Skip()},
    {"revtbl", Skip()},
    {"rsidtbl", Skip()},
    {"filetbl", Skip()},
    {"template", Skip()},
    {"private", Skip()},
    {"nonesttables", Skip()},
    {"do", Skip()},
    {"NeXTGraphic", Skip()},
    {"bkmkstart", Skip()},
    {"bkmkend", Skip()},
    // List definitions, and tables usually marked ignorable, recognised even when a writer
    // forgot the \* (or wrote "{*\name").
    {"list", Skip()},
    {"listlevel", Skip()},
    {"leveltext", Skip()},
    {"levelnumbers", Skip()},
    {"listoverride", Skip()},
    {"listname", Skip()},
    {"listpicture", Skip()},
    {"generator", Skip()},
    {"xmlnstbl", Skip()},
    {"themedata", Skip()},
    {"colorschememapping", Skip()},
    {"latentstyles", Skip()},
    {"datastore", Skip()},
    {"mmathPr", Skip()},
    {"pgdsctbl", Skip()},
    {"wgrffmtfilter", Skip()},
    {"ftnsep", Skip()},
    {"ftnsepc", Skip()},
    {"aftnsep", Skip()},
    {"aftnsepc", Skip()},
    {"defchp", Skip()},
    {"defpap", Skip()},
    {"fldtype", Skip()},
    {"userprops", Skip()},
    {"docvar", Skip()},
    {"formfield", Skip()},
    {"title", Skip()},
    {"subject", Skip()},
    {"author", Skip()},
    {"operator", Skip()},
    {"keywords", Skip()},
    {"comment", Skip()},
    {"doccomm", Skip()},
    // font and colour tables
    {"f", Do(Command::Font, 0, true)},
    {"fcharset", Do(Command::FontCharset, 0, true)},
    {"cpg", Do(Command::FontCodePage, 0, true)},
    {"red", ColorValue(ColorField::Red)},
    {"green", ColorValue(ColorField::Green)},
    {"blue", ColorValue(ColorField::Blue)},
    // character formatting
    {"plain", Do(Command::Plain)},
    {"b", CharToggle(C::Bold)},
    {"i", CharToggle(C::Italic)},
    {"ul", CharToggle(C::Underline, QTextCharFormat::SingleUnderline)},
    {"uldb", CharToggle(C::Underline, QTextCharFormat::SingleUnderline)},
    {"ulth", CharToggle(C::Underline, QTextCharFormat::SingleUnderline)},
    {"ulw", CharToggle(C::Underline, QTextCharFormat::SingleUnderline)},
    {"uld", CharToggle(C::Underline, QTextCharFormat::DotLine)},
    {"ulthd", CharToggle(C::Underline, QTextCharFormat::DotLine)},
    {"uldash", CharToggle(C::Underline, QTextCharFormat::DashUnderline)},
    {"ulthdash", CharToggle(C::Underline, QTextCharFormat::DashUnderline)},
    {"ulldash", CharToggle(C::Underline, QTextCharFormat::DashUnderline)},
    {"ulthldash", CharToggle(C::Underline, QTextCharFormat::DashUnderline)},
    {"uldashd", CharToggle(C::Underline, QTextCharFormat::DashDotLine)},
    {"ulthdashd", CharToggle(C::Underline, QTextCharFormat::DashDotLine)},
    {"uldashdd", CharToggle(C::Underline, QTextCharFormat::DashDotDotLine)},
    {"ulthdashdd", CharToggle(C::Underline, QTextCharFormat::DashDotDotLine)},
    {"ulwave", CharToggle(C::Underline, QTextCharFormat::WaveUnderline)},
    {"ulhwave", CharToggle(C::Underline, QTextCharFormat::WaveUnderline)},
    {"ululdbwave", CharToggle(C::Underline, QTextCharFormat::WaveUnderline)},
    {"ulnone", CharFlag(C::Underline, QTextCharFormat::NoUnderline)},
    {"strike", CharToggle(C::Strike)},
    {"striked", CharToggle(C::Strike)},
    {"super", CharToggle(C::Valign, 1)},
    {"sub", CharToggle(C::Valign, 2)},
    {"nosupersub", CharFlag(C::Valign, 0)},
    {"up", Do(Command::Raise)},
    {"dn", Do(Command::Lower)},
    {"caps", CharToggle(C::Caps, 1)},
    {"scaps", CharToggle(C::Caps, 2)},
    {"v", CharToggle(C::Hidden)},
    {"fs", CharValue(C::HalfPoints, 24, -kMaxInt, kMaxInt)},
    {"cf", CharValue(C::Foreground, 0, 0, kMaxInt)},
    {"cb", CharValue(C::Background, 0, 0, kMaxInt)},
    {"chcbpat", CharValue(C::Background, 0, 0, kMaxInt)},
    {"highlight", CharValue(C::Background, 0, 0, kMaxInt)},
    // paragraph formatting
    {"pard", Do(Command::ParagraphDefaults)},
    {"ql", ParaFlag(P::Align, 0)},
    {"qc", ParaFlag(P::Align, 1)},
    {"qr", ParaFlag(P::Align, 2)},
    {"qj", ParaFlag(P::Align, 3)},
    {"qd", ParaFlag(P::Align, 3)},
    {"li", ParaValue(P::LeftIndent, -kMaxTwips)},
    {"lin", ParaValue(P::LeftIndent, -kMaxTwips)},
    {"ri", ParaValue(P::RightIndent, -kMaxTwips)},
    {"rin", ParaValue(P::RightIndent, -kMaxTwips)},
    {"fi", ParaValue(P::FirstIndent, -kMaxTwips)},
    {"sb", ParaValue(P::SpaceBefore, 0)},
    {"sa", ParaValue(P::SpaceAfter, 0)},
    {"sl", ParaValue(P::LineSpacing, -kMaxTwips)},
    {"slmult", {Kind::Toggle, Scope::Paragraph, U8(P::LineMultiple), false, false, 1}},
    // characters and breaks
    {"par", Sym(QChar::ParagraphSeparator)},
    {"sect", Sym(QChar::ParagraphSeparator)},
    {"page", Sym(QChar::ParagraphSeparator)},
    {"line", Sym(QChar::LineSeparator)},
    {"lbr", Sym(QChar::LineSeparator)},
    {"tab", Sym(u'\t')},
    {"cell", Do(Command::Cell)},
    {"nestcell", Do(Command::Cell)},
    {"row", Do(Command::Row)},
    {"nestrow", Do(Command::Row)},
    {"emdash", Sym(0x2014)},
    {"endash", Sym(0x2013)},
    {"emspace", Sym(0x2003)},
    {"enspace", Sym(0x2002)},
    {"qmspace", Sym(0x2005)},
    {"bullet", Sym(0x2022)},
    {"lquote", Sym(0x2018)},
    {"rquote", Sym(0x2019)},
    {"ldblquote", Sym(0x201C)},
    {"rdblquote", Sym(0x201D)},
    {"zwj", Sym(0x200D)},
    {"zwnj", Sym(0x200C)},
    {"ltrmark", Sym(0x200E)},
    {"rtlmark", Sym(0x200F)},
    {"chftn", Do(Command::FootnoteMark)},
    // pictures
    {"pngblip", PictureType(K::Png)},
    {"jpegblip", PictureType(K::Jpeg)},
    {"emfblip", PictureType(K::Emf)},
    {"wmetafile", PictureType(K::Wmf)},
    {"dibitmap", PictureType(K::Dib)},
    {"wbitmap", PictureType(K::Ddb)},
    {"macpict", PictureType(K::Other)},
    {"pmmetafile", PictureType(K::Other)},
    {"picw", PictureValue(F::Picw)},
    {"pich", PictureValue(F::Pich)},
    {"picwgoal", PictureValue(F::Goalw)},
    {"pichgoal", PictureValue(F::Goalh)},
    {"picscalex", PictureValue(F::Scalex, 100)},
    {"picscaley", PictureValue(F::Scaley, 100)},
};

constexpr std::size_t kTableSize = sizeof(kTable) / sizeof(kTable[0]);
constexpr unsigned kSlotBits = 10;
static_assert(kTableSize * 3 < (1u << kSlotBits), "the index needs room to stay sparse");

std::uint32_t Hash(std::string_view word) {
    std::uint32_t hash = 0;
    for (const char c : word)
        hash = HashStep(hash, static_cast<unsigned char>(c));
    return hash;
}

unsigned Slot(std::uint32_t hash, std::size_t length) {
    return ((hash ^ static_cast<std::uint32_t>(length)) * 2654435761u) >> (32 - kSlotBits);
}

// Open addressing over the table: 1 + the entry's index, 0 for an empty slot.
using SlotTable = std::array<std::uint16_t, 1u << kSlotBits>;

SlotTable MakeSlots() {
    SlotTable index{};
    for (std::size_t i = 0; i < kTableSize; ++i) {
        unsigned slot = Slot(Hash(kTable[i].word), kTable[i].word.size());
        while (index[slot] != 0)
            slot = (slot + 1) & (index.size() - 1);
        index[slot] = static_cast<std::uint16_t>(i + 1);
    }
    return index;
}

} // namespace

const Keyword *Find(std::string_view word, std::uint32_t hash) {
    static const SlotTable index = MakeSlots();
    for (unsigned slot = Slot(hash, word.size());; slot = (slot + 1) & (index.size() - 1)) {
        if (index[slot] == 0)
            return nullptr;
        const Entry &entry = kTable[index[slot] - 1];
        if (entry.word == word)
            return &entry.keyword;
    }
}

} // namespace RtfKeywords
