#include "platform/rtf/RtfReader.h"

#include "platform/rtf/RtfBatchQueue.h"
#include "platform/rtf/RtfCodePage.h"
#include "platform/rtf/RtfDocumentBuilder.h"
#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfKeywords.h"
#include "platform/rtf/RtfTokenizer.h"

#include <QColor>
#include <QHash>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

using RtfKeywords::CharField;
using RtfKeywords::ColorField;
using RtfKeywords::Command;
using RtfKeywords::Keyword;
using RtfKeywords::ParaField;
using RtfKeywords::PictureField;
using RtfKeywords::Scope;
using Token = RtfTokenizer::Token;
using CharProps = RtfKeywords::Properties<CharField>;
using ParaProps = RtfKeywords::Properties<ParaField>;

// Groups nested deeper than this share the state of the deepest one: real files stay far below
// it, and a hostile file cannot make the state stack grow without bound.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kDefaultHalfPoints = 24;
constexpr double kTwipsPerPixel = 15.0; // 96 pixels per inch

enum class Dest : std::uint8_t { Body, FontTable, ColorTable, Pict, FieldInst };

CharProps DefaultCharProps() {
    CharProps props;
    props[CharField::Font] = -1;
    props[CharField::HalfPoints] = kDefaultHalfPoints;
    props[CharField::Link] = -1;
    return props;
}

struct State {
    CharProps chr = DefaultCharProps();
    int format = -1; // of chr, once asked for
    ParaProps para;
    Dest dest = Dest::Body;
    int uc = 1;
    bool upr = false; // children are the two variants of \upr
};

struct Font {
    QString name;
    int codePage = -1; // -1: the document's
};

bool IsPrintableAscii(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

// Control characters (from \'hh or \uN) are not text; a lone U+FFFC would pose as a picture, a
// U+2029 as a paragraph end, U+FDD0 and U+FDD1 as the document's own frame marks.
bool IsPlainText(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x20 && u != 0x7F && u != 0xFFFC && u != 0x2029 && u != 0xFDD0 && u != 0xFDD1) ||
           u == '\t';
}

// Hex digits to their value; -1 for bytes that are not hex digits. Pictures are most of a large
// entry's bytes.
constexpr std::array<short, 256> kHexValues = [] {
    std::array<short, 256> values{};
    values.fill(-1);
    for (int c = '0'; c <= '9'; ++c)
        values[c] = static_cast<short>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) {
        values[c] = static_cast<short>(c - 'a' + 10);
        values[c - 'a' + 'A'] = static_cast<short>(c - 'a' + 10);
    }
    return values;
}();

// The target of a HYPERLINK field instruction, or an empty string for other fields.
QString HyperlinkTarget(const QString &instruction) {
    QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    qsizetype i = 9;
    QString target;
    QString anchor;
    bool nextIsAnchor = false;
    while (i < text.size()) {
        while (i < text.size() && text[i].isSpace())
            ++i;
        if (i >= text.size())
            break;
        QString token;
        if (text[i] == QLatin1Char('"')) {
            ++i;
            while (i < text.size() && text[i] != QLatin1Char('"')) {
                if (text[i] == QLatin1Char('\\') && i + 1 < text.size() &&
                    (text[i + 1] == QLatin1Char('\\') || text[i + 1] == QLatin1Char('"')))
                    ++i;
                token += text[i++];
            }
            ++i;
        } else {
            while (i < text.size() && !text[i].isSpace())
                token += text[i++];
            if (token.startsWith(QLatin1Char('\\'))) {
                const QString option = token.mid(1).toLower();
                nextIsAnchor = option == QLatin1String("l");
                if (option != QLatin1String("l") && option != QLatin1String("o") &&
                    option != QLatin1String("t"))
                    continue;
                if (!nextIsAnchor) {
                    // \o and \t take an argument that is not the target.
                    while (i < text.size() && text[i].isSpace())
                        ++i;
                    if (i < text.size() && text[i] == QLatin1Char('"')) {
                        const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
                        i = close < 0 ? text.size() : close + 1;
                    } else {
                        while (i < text.size() && !text[i].isSpace())
                            ++i;
                    }
                }
                continue;
            }
        }
        if (nextIsAnchor) {
            anchor = token;
            nextIsAnchor = false;
        } else if (target.isEmpty()) {
            target = token;
        }
    }
    if (!anchor.isEmpty())
        target += QLatin1Char('#') + anchor;
    return target;
}

// The reader proper: keeps the state of every open group, follows the destinations (font and
// colour tables, pictures, fields) and hands the text, with its formats, to the builder.
class Parser {
public:
    Parser(const char *data, std::size_t size, RtfBatchSink &sink)
        : m_tokens(data, size)
        , m_builder(sink) {
        NewPicture();
    }

    void Run();

private:
    State &St() { return m_stack.back(); }

    // tokens
    void OpenGroup();
    void CloseGroup();
    bool RootEndsHere() const;
    void EnterSkip();
    void ControlWord(const Token &token);
    void ControlSymbol(const Token &token);
    void HexByte(int value);
    void Text(const Token &token);
    void LiteralByte(unsigned char c);
    bool ConsumeFallback();

    // keywords
    void SetChar(CharField field, int value);
    void SetChars(const CharProps &props);
    void Set(const Keyword &keyword, int value, const Token &token);
    void RunCommand(Command command, int value, const Token &token);
    void EnterDestination(RtfKeywords::Destination destination);
    void Symbol(char16_t c);

    // text
    int CurrentCodePage();
    void AddByte(unsigned char byte);
    void FlushBytes();
    void AddText(const QChar *text, qsizetype count);
    void AddChar(char16_t c) {
        const QChar ch(c);
        AddText(&ch, 1);
    }
    bool BodyTextShows();
    int RunFormat();
    void AddBodyText(const QChar *text, qsizetype count);
    void AddBodyLatin1(const unsigned char *text, qsizetype count);
    void AddPendingCells();
    void AddPictureHex(const unsigned char *text, const unsigned char *end);
    void NewPicture();
    void AddPicture();

    // structure
    void EndParagraph();
    void EndFontEntry();
    void EndColorEntry();
    int FormatIndex(const CharProps &props);
    int BlockFormatIndex(const ParaProps &props);
    QTextCharFormat MakeCharFormat(const CharProps &props) const;
    static QTextBlockFormat MakeBlockFormat(const ParaProps &props);

    RtfTokenizer m_tokens;
    RtfDocumentBuilder m_builder;
    bool m_finished = false;

    std::vector<State> m_stack;
    std::size_t m_overflowDepth = 0; // groups beyond kMaxDepth
    bool m_ignorableNext = false;    // after {\*
    int m_fallbackLeft = 0;          // \uc units still to drop after \uN

    // encoding
    int m_docCodePage = RtfCodePage::Windows1252;
    int m_deff = 0;
    std::unordered_map<int, Font> m_fonts;
    int m_cachedFont = -2;
    int m_cachedCodePage = 0;
    std::string m_pendingBytes;
    int m_pendingCodePage = 0;
    bool m_expectTrail = false;
    QString m_decoded;
    const RtfCodePage::Decoder *m_decoder = nullptr;
    int m_decoderCodePage = -1;

    // tables, fields, pictures
    Font m_fontEntry;
    int m_fontEntryNumber = 0;
    QString m_fontEntryName;
    std::vector<QColor> m_colors;
    RtfKeywords::Properties<ColorField> m_color;
    QString m_fieldInstruction;
    std::vector<QString> m_links;
    RtfKeywords::Properties<PictureField> m_picture;
    QByteArray m_pictureData;
    int m_nibble = -1;
    int m_footnotes = 0;

    // the paragraph being read
    int m_pendingCells = 0;
    QHash<CharProps, int> m_formatIndex;
    std::array<std::pair<CharProps, int>, 4> m_recentFormats{
        {{{}, -1}, {{}, -1}, {{}, -1}, {{}, -1}}};
    QHash<ParaProps, int> m_blockFormatIndex;
};

void Parser::Run() {
    for (Token token = m_tokens.Next(); token.kind != RtfTokenizer::Kind::End && !m_finished;
         token = m_tokens.Next()) {
        switch (token.kind) {
        case RtfTokenizer::Kind::GroupOpen:
            OpenGroup();
            break;
        case RtfTokenizer::Kind::GroupClose:
            CloseGroup();
            break;
        case RtfTokenizer::Kind::ControlWord:
            ControlWord(token);
            break;
        case RtfTokenizer::Kind::ControlSymbol:
            ControlSymbol(token);
            break;
        case RtfTokenizer::Kind::Hex:
            HexByte(token.param);
            break;
        case RtfTokenizer::Kind::Text:
            Text(token);
            break;
        case RtfTokenizer::Kind::End:
            break;
        }
    }
    // End of input, or the root group closed: groups still open are closed silently.
    FlushBytes();
    if (!m_stack.empty() && m_stack.back().dest == Dest::Pict)
        AddPicture();
    if (!m_builder.ParagraphIsEmpty())
        EndParagraph();
    m_builder.Finish();
}

void Parser::OpenGroup() {
    m_fallbackLeft = 0;
    FlushBytes();
    m_ignorableNext = false;
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflowDepth;
        return;
    }
    if (m_stack.empty()) {
        m_stack.emplace_back();
        return;
    }
    const bool uprChild = St().upr;
    m_stack.push_back(St());
    St().upr = false;
    if (uprChild) {
        // \upr holds an ANSI and a Unicode variant of the same thing; keep only {\*\ud ...}.
        std::string_view rest = m_tokens.Rest();
        while (!rest.empty() && (rest[0] == ' ' || rest[0] == '\r' || rest[0] == '\n'))
            rest.remove_prefix(1);
        rest = rest.substr(0, 6);
        const bool wordGoesOn =
            rest.size() == 6 && ((rest[5] | 0x20) >= 'a' && (rest[5] | 0x20) <= 'z');
        if (rest.substr(0, 5) != "\\*\\ud" || wordGoesOn)
            EnterSkip();
    }
}

bool Parser::RootEndsHere() const {
    // Some writers put a stray '}' mid-file; only a closing brace followed by nothing but
    // blanks, NULs and more closing braces ends the document.
    const std::string_view rest = m_tokens.Rest();
    const std::size_t after = rest.find_first_not_of(std::string_view(" \r\n\t\0}", 6));
    // More RTF after it means the brace was a stray one; other bytes are trailing garbage.
    return after == std::string_view::npos || (rest[after] != '{' && rest[after] != '\\');
}

void Parser::CloseGroup() {
    m_fallbackLeft = 0;
    FlushBytes();
    m_ignorableNext = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 1) {
        if (m_stack.empty() || RootEndsHere())
            m_finished = true;
        return;
    }
    const Dest closing = St().dest;
    m_stack.pop_back();
    if (closing == Dest::Pict && St().dest != Dest::Pict)
        AddPicture();
    else if (closing == Dest::FontTable)
        EndFontEntry();
}

void Parser::EnterSkip() {
    // Skips the rest of the group just opened, its state with it.
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
    } else {
        if (m_stack.size() <= 1)
            return; // never the root
        m_stack.pop_back();
    }
    m_ignorableNext = false;
    m_tokens.SkipGroup();
}

bool Parser::ConsumeFallback() {
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return true;
    }
    return false;
}

void Parser::ControlWord(const Token &token) {
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    const Keyword *keyword = RtfKeywords::Find(token.text, token.wordHash);
    if (keyword == nullptr) {
        if (ignorable)
            EnterSkip();
        else
            ConsumeFallback();
        return;
    }
    if (ignorable && !keyword->readIgnorable) {
        EnterSkip();
        return;
    }
    const bool command =
        keyword->scope == Scope::Command && keyword->kind == RtfKeywords::Kind::Value;
    // A \u while fallback units are still expected starts a new character: writers that
    // forget the fallback of a surrogate's first half must not lose the second. \bin counts as
    // one unit once its data is passed.
    if (command && Command(keyword->target) == Command::Unicode)
        m_fallbackLeft = 0;
    else if (!(command && Command(keyword->target) == Command::Binary) && ConsumeFallback())
        return;
    if (!keyword->keepsBytes)
        FlushBytes();
    switch (keyword->kind) {
    case RtfKeywords::Kind::Flag:
        Set(*keyword, keyword->value, token);
        break;
    case RtfKeywords::Kind::Toggle:
        Set(*keyword, !token.hasParam || token.param != 0 ? keyword->value : 0, token);
        break;
    case RtfKeywords::Kind::Value:
        Set(*keyword,
            token.hasParam ? std::clamp(token.param, keyword->min, keyword->max) : keyword->value,
            token);
        break;
    case RtfKeywords::Kind::Destination:
        EnterDestination(RtfKeywords::Destination(keyword->target));
        break;
    case RtfKeywords::Kind::Symbol:
        Symbol(static_cast<char16_t>(keyword->value));
        break;
    case RtfKeywords::Kind::Skip:
        EnterSkip();
        break;
    }
}

void Parser::SetChar(CharField field, int value) {
    State &st = St();
    if (st.chr[field] != value) {
        st.chr[field] = value;
        st.format = -1;
    }
}

void Parser::SetChars(const CharProps &props) {
    State &st = St();
    if (!(st.chr == props)) {
        st.chr = props;
        st.format = -1;
    }
}

void Parser::Set(const Keyword &keyword, int value, const Token &token) {
    switch (keyword.scope) {
    case Scope::Character:
        SetChar(CharField(keyword.target), value);
        break;
    case Scope::Paragraph:
        St().para.values[keyword.target] = value;
        break;
    case Scope::Picture:
        m_picture.values[keyword.target] = value;
        break;
    case Scope::Color:
        m_color.values[keyword.target] = value;
        break;
    case Scope::Command:
        RunCommand(Command(keyword.target), keyword.value, token);
        break;
    }
}

void Parser::RunCommand(Command command, int value, const Token &token) {
    State &st = St();
    switch (command) {
    case Command::DocumentCodePage:
        m_docCodePage = value;
        m_cachedFont = -2;
        break;
    case Command::AnsiCodePage:
        if (token.hasParam && token.param > 0)
            m_docCodePage = token.param;
        m_cachedFont = -2;
        break;
    case Command::DefaultFont:
        if (token.hasParam) {
            m_deff = token.param;
            if (m_stack.size() == 1)
                SetChar(CharField::Font, token.param);
        }
        break;
    case Command::UnicodeSkip:
        st.uc = std::clamp(token.hasParam ? token.param : 1, 0, 16);
        break;
    case Command::Unicode: {
        FlushBytes();
        const int code = token.param < 0 ? token.param + 65536 : token.param;
        if (token.hasParam && code >= 0xF020 && code <= 0xF0FF &&
            CurrentCodePage() == RtfCodePage::Symbol)
            AddByte(static_cast<unsigned char>(code - 0xF000)); // Symbol glyph by its slot
        else if (token.hasParam && code > 0 && code <= 0xFFFF)
            AddChar(char16_t(code));
        m_fallbackLeft = st.uc;
        break;
    }
    case Command::Font:
        if (st.dest == Dest::FontTable) {
            if (!m_fontEntryName.isEmpty())
                EndFontEntry();
            m_fontEntryNumber = token.param;
        } else {
            FlushBytes();
            SetChar(CharField::Font, token.hasParam ? token.param : m_deff);
        }
        break;
    case Command::FontCharset:
        if (st.dest == Dest::FontTable) {
            const int codePage = RtfCodePage::FromCharset(token.param);
            if (m_fontEntry.codePage <= 0 || codePage != -1)
                m_fontEntry.codePage = codePage;
        }
        break;
    case Command::FontCodePage:
        if (st.dest == Dest::FontTable && token.hasParam && token.param > 0)
            m_fontEntry.codePage = token.param;
        break;
    case Command::Plain: {
        // A field result's hyperlink is not a character property that \plain resets.
        CharProps plain = DefaultCharProps();
        plain[CharField::Font] = m_deff;
        plain[CharField::Link] = st.chr[CharField::Link];
        SetChars(plain);
        break;
    }
    case Command::ParagraphDefaults:
        st.para = ParaProps();
        break;
    case Command::Raise:
        SetChar(CharField::Valign, (token.hasParam ? token.param : 6) > 0 ? 1 : 0);
        break;
    case Command::Lower:
        SetChar(CharField::Valign, (token.hasParam ? token.param : 6) > 0 ? 2 : 0);
        break;
    case Command::Cell:
        if (st.dest == Dest::Body && !st.chr[CharField::Hidden])
            ++m_pendingCells;
        break;
    case Command::Row:
        if (st.dest == Dest::Body) {
            m_pendingCells = 0;
            EndParagraph();
        }
        break;
    case Command::FootnoteMark:
        // The footnote's reference mark in the text; the note itself is not body text.
        if (st.dest == Dest::Body && !st.chr[CharField::Hidden]) {
            const QString number = QString::number(++m_footnotes);
            AddText(number.constData(), number.size());
        }
        break;
    case Command::Binary: {
        const std::string_view bytes =
            m_tokens.TakeBinary(token.hasParam && token.param > 0 ? token.param : 0);
        if (st.dest == Dest::Pict)
            m_pictureData.append(bytes.data(), qsizetype(bytes.size()));
        ConsumeFallback();
        break;
    }
    }
}

void Parser::EnterDestination(RtfKeywords::Destination destination) {
    State &st = St();
    switch (destination) {
    case RtfKeywords::Destination::FontTable:
        st.dest = Dest::FontTable;
        m_fontEntry = Font();
        m_fontEntryName.clear();
        break;
    case RtfKeywords::Destination::ColorTable:
        st.dest = Dest::ColorTable;
        m_colors.clear();
        m_color.values.fill(-1);
        break;
    case RtfKeywords::Destination::Picture:
        if (st.dest != Dest::Body || st.chr[CharField::Hidden]) {
            EnterSkip();
            return;
        }
        st.dest = Dest::Pict;
        NewPicture();
        break;
    case RtfKeywords::Destination::FieldInstruction:
        if (st.dest != Dest::Body) {
            EnterSkip();
            return;
        }
        st.dest = Dest::FieldInst;
        m_fieldInstruction.clear();
        break;
    case RtfKeywords::Destination::FieldResult: {
        const QString target = HyperlinkTarget(m_fieldInstruction);
        m_fieldInstruction.clear();
        if (!target.isEmpty()) {
            SetChar(CharField::Link, int(m_links.size()));
            m_links.push_back(target);
        }
        break;
    }
    case RtfKeywords::Destination::Transparent:
        break;
    case RtfKeywords::Destination::UnicodeVariants:
        st.upr = true;
        break;
    }
}

void Parser::Symbol(char16_t c) {
    if (c == QChar::ParagraphSeparator) {
        if (St().dest == Dest::Body && !St().chr[CharField::Hidden])
            EndParagraph();
        return;
    }
    AddChar(c);
}

void Parser::ControlSymbol(const Token &token) {
    if (token.symbol == '*') {
        // Only "{\*" marks an ignorable destination; a \* elsewhere (before a formatting word
        // mid-group) means nothing.
        m_ignorableNext = token.atGroupStart;
        return;
    }
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    if (ignorable && m_stack.size() > 1)
        return;
    if (ConsumeFallback())
        return;
    switch (token.symbol) {
    case '\\':
    case '{':
    case '}':
        if (m_expectTrail)
            AddByte(token.symbol); // the trail byte of a double-byte character
        else
            AddChar(token.symbol);
        break;
    case '~':
        AddChar(0x00A0);
        break;
    case '-':
        AddChar(0x00AD);
        break;
    case '_':
        AddChar(0x2011);
        break;
    case '\r':
    case '\n':
        // TextEdit writes a backslash before the line end of each paragraph.
        if (St().dest == Dest::Body && !St().chr[CharField::Hidden]) {
            FlushBytes();
            EndParagraph();
        }
        break;
    case '\t':
        AddChar('\t');
        break;
    default:
        break; // \: \| and unknown symbols
    }
}

void Parser::HexByte(int value) {
    m_ignorableNext = false;
    if (ConsumeFallback() || value < 0)
        return;
    AddByte(static_cast<unsigned char>(value));
}

void Parser::Text(const Token &token) {
    const auto *p = reinterpret_cast<const unsigned char *>(token.text.data());
    const unsigned char *end = p + token.text.size();
    if (St().dest == Dest::Pict) {
        AddPictureHex(p, end);
        return;
    }
    if (token.printable && St().dest == Dest::Body && m_fallbackLeft == 0 && !m_expectTrail &&
        CurrentCodePage() != RtfCodePage::Symbol) {
        m_ignorableNext = false;
        FlushBytes();
        AddBodyLatin1(p, end - p);
        return;
    }
    while (p < end) {
        if (St().dest == Dest::Body && m_fallbackLeft == 0 && !m_expectTrail &&
            IsPrintableAscii(*p) && CurrentCodePage() != RtfCodePage::Symbol) {
            // Plain ASCII text: take the whole run at once.
            const unsigned char *start = p;
            while (p < end && IsPrintableAscii(*p))
                ++p;
            m_ignorableNext = false;
            FlushBytes();
            AddBodyLatin1(start, p - start);
            continue;
        }
        LiteralByte(*p++);
    }
}

void Parser::LiteralByte(unsigned char c) {
    m_ignorableNext = false;
    if (ConsumeFallback())
        return;
    if (c >= 0x80 || m_expectTrail ||
        (c >= 0x20 && St().dest == Dest::Body && CurrentCodePage() == RtfCodePage::Symbol)) {
        // In the Symbol font even plain letters stand for its own glyphs (a is alpha).
        AddByte(c);
        return;
    }
    if (c == '\t') {
        AddChar('\t');
        return;
    }
    if (c < 0x20)
        return;
    const Dest dest = St().dest;
    if (c == ';' && dest == Dest::FontTable) {
        FlushBytes();
        EndFontEntry();
        return;
    }
    if (c == ';' && dest == Dest::ColorTable) {
        EndColorEntry();
        return;
    }
    AddChar(c);
}

int Parser::CurrentCodePage() {
    const State &st = St();
    if (st.dest == Dest::FontTable)
        return m_fontEntry.codePage > 0 ? m_fontEntry.codePage : m_docCodePage;
    const int font = st.chr[CharField::Font];
    if (font != m_cachedFont) {
        m_cachedFont = font;
        const auto found = m_fonts.find(font >= 0 ? font : m_deff);
        m_cachedCodePage = found != m_fonts.end() && found->second.codePage > 0
                               ? found->second.codePage
                               : m_docCodePage;
    }
    return m_cachedCodePage;
}

void Parser::AddByte(unsigned char byte) {
    const int codePage = CurrentCodePage();
    if (!m_pendingBytes.empty() && codePage != m_pendingCodePage)
        FlushBytes();
    m_pendingCodePage = codePage;
    m_pendingBytes.push_back(char(byte));
    if (m_decoderCodePage != codePage) {
        m_decoder = &RtfCodePage::ForCodePage(codePage);
        m_decoderCodePage = codePage;
    }
    if (m_expectTrail)
        m_expectTrail = false;
    else
        m_expectTrail = m_decoder->IsLeadByte(byte);
    if (!m_expectTrail && m_pendingBytes.size() >= 4096)
        FlushBytes();
}

void Parser::FlushBytes() {
    if (m_pendingBytes.empty())
        return;
    m_decoded.clear();
    if (m_decoderCodePage != m_pendingCodePage) {
        m_decoder = &RtfCodePage::ForCodePage(m_pendingCodePage);
        m_decoderCodePage = m_pendingCodePage;
    }
    m_decoder->Decode(reinterpret_cast<const unsigned char *>(m_pendingBytes.data()),
                      m_pendingBytes.size(), m_decoded);
    m_pendingBytes.clear();
    m_expectTrail = false;
    // Font and colour tables end entries at ';', which may come as a byte of their code page.
    AddText(m_decoded.constData(), m_decoded.size());
}

void Parser::AddText(const QChar *text, qsizetype count) {
    if (!m_pendingBytes.empty())
        FlushBytes();
    switch (St().dest) {
    case Dest::Body: {
        qsizetype clean = 0;
        while (clean < count && IsPlainText(text[clean]))
            ++clean;
        if (clean == count) {
            AddBodyText(text, count);
            break;
        }
        QString filtered;
        for (qsizetype i = 0; i < count; ++i) {
            if (IsPlainText(text[i]))
                filtered += text[i];
            else if (text[i] == QChar::ParagraphSeparator)
                filtered += QChar::LineSeparator;
        }
        AddBodyText(filtered.constData(), filtered.size());
        break;
    }
    case Dest::FontTable:
        for (qsizetype i = 0; i < count; ++i) {
            if (text[i] == QLatin1Char(';'))
                EndFontEntry();
            else
                m_fontEntryName += text[i];
        }
        break;
    case Dest::FieldInst:
        m_fieldInstruction.append(text, count);
        break;
    case Dest::ColorTable:
    case Dest::Pict:
        break;
    }
}

bool Parser::BodyTextShows() {
    return !St().chr[CharField::Hidden];
}

int Parser::RunFormat() {
    // Groups mostly change nothing, or come back to what their parent had: the format found
    // for a group's properties stays with them until they change.
    State &st = St();
    if (st.format < 0)
        st.format = FormatIndex(st.chr);
    return st.format;
}

void Parser::AddPendingCells() {
    if (m_pendingCells > 0) {
        const QString tabs(m_pendingCells, QLatin1Char('\t'));
        m_pendingCells = 0;
        m_builder.AppendText(tabs, RunFormat());
    }
}

void Parser::AddBodyText(const QChar *text, qsizetype count) {
    if (count == 0 || !BodyTextShows())
        return;
    AddPendingCells();
    m_builder.AppendText(QStringView(text, count), RunFormat());
}

void Parser::AddBodyLatin1(const unsigned char *text, qsizetype count) {
    if (count == 0 || !BodyTextShows())
        return;
    AddPendingCells();
    m_builder.AppendLatin1(reinterpret_cast<const char *>(text), count, RunFormat());
}

void Parser::AddPictureHex(const unsigned char *text, const unsigned char *end) {
    const qsizetype start = m_pictureData.size();
    m_pictureData.resize(start + (end - text) / 2 + 1);
    char *out = m_pictureData.data() + start;
    int nibble = m_nibble;
    for (; text < end; ++text) {
        const int value = kHexValues[*text];
        if (value < 0)
            continue;
        if (nibble < 0) {
            nibble = value;
        } else {
            *out++ = char(nibble * 16 + value);
            nibble = -1;
        }
    }
    m_pictureData.truncate(out - m_pictureData.constData());
    m_nibble = nibble;
}

void Parser::NewPicture() {
    m_picture = {};
    m_picture[PictureField::Scalex] = 100;
    m_picture[PictureField::Scaley] = 100;
    m_pictureData.clear();
    m_nibble = -1;
}

void Parser::AddPicture() {
    const RtfKeywords::Properties<PictureField> picture = m_picture;
    const QByteArray data = std::move(m_pictureData);
    NewPicture();
    if (!BodyTextShows())
        return;
    std::optional<RtfImages::RtfPicture> decoded = RtfImages::DecodeRtfPicture(picture, data);
    if (!decoded)
        return;
    AddPendingCells();
    m_builder.AppendPicture(std::move(*decoded));
}

void Parser::EndFontEntry() {
    const QString name = m_fontEntryName.trimmed();
    if (!name.isEmpty()) {
        m_fontEntry.name = name;
        if (m_fontEntry.codePage == RtfCodePage::Symbol &&
            name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) != 0)
            m_fontEntry.codePage = RtfCodePage::SymbolPrivate;
        m_fonts[m_fontEntryNumber] = m_fontEntry;
    }
    m_cachedFont = -2;
    m_fontEntry = Font();
    m_fontEntryName.clear();
}

void Parser::EndColorEntry() {
    const int red = m_color[ColorField::Red];
    const int green = m_color[ColorField::Green];
    const int blue = m_color[ColorField::Blue];
    if (red < 0 && green < 0 && blue < 0)
        m_colors.emplace_back(); // "auto"
    else
        m_colors.emplace_back(std::max(red, 0), std::max(green, 0), std::max(blue, 0));
    m_color.values.fill(-1);
}

QTextCharFormat Parser::MakeCharFormat(const CharProps &props) const {
    QTextCharFormat format;
    const int fontNumber = props[CharField::Font];
    const auto font = m_fonts.find(fontNumber >= 0 ? fontNumber : m_deff);
    if (font != m_fonts.end())
        format.setFontFamilies(QStringList{font->second.name});
    const int halfPoints = props[CharField::HalfPoints];
    format.setFontPointSize((halfPoints > 0 ? std::min(halfPoints, 3276) : kDefaultHalfPoints) /
                            2.0);
    if (props[CharField::Bold])
        format.setFontWeight(QFont::Bold);
    if (props[CharField::Italic])
        format.setFontItalic(true);
    if (props[CharField::Underline] != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(props[CharField::Underline]));
    if (props[CharField::Strike])
        format.setFontStrikeOut(true);
    if (props[CharField::Valign] == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props[CharField::Valign] == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (props[CharField::Caps] == 1)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props[CharField::Caps] == 2)
        format.setFontCapitalization(QFont::SmallCaps);
    const auto color = [this](int index) {
        return index > 0 && std::size_t(index) < m_colors.size() && m_colors[index].isValid();
    };
    if (color(props[CharField::Foreground]))
        format.setForeground(m_colors[props[CharField::Foreground]]);
    if (color(props[CharField::Background]))
        format.setBackground(m_colors[props[CharField::Background]]);
    if (props[CharField::Link] >= 0) {
        format.setAnchor(true);
        format.setAnchorHref(m_links[props[CharField::Link]]);
    }
    return format;
}

int Parser::FormatIndex(const CharProps &props) {
    const auto found = m_formatIndex.constFind(props);
    if (found != m_formatIndex.constEnd())
        return *found;
    const int index = m_builder.AddCharFormat(MakeCharFormat(props));
    m_formatIndex.insert(props, index);
    return index;
}

QTextBlockFormat Parser::MakeBlockFormat(const ParaProps &props) {
    QTextBlockFormat format;
    switch (props[ParaField::Align]) {
    case 1:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case 2:
        format.setAlignment(Qt::AlignRight);
        break;
    case 3:
        format.setAlignment(Qt::AlignJustify);
        break;
    default:
        break;
    }
    const auto pixels = [&props](ParaField field) { return props[field] / kTwipsPerPixel; };
    if (props[ParaField::LeftIndent] != 0)
        format.setLeftMargin(pixels(ParaField::LeftIndent));
    if (props[ParaField::RightIndent] != 0)
        format.setRightMargin(pixels(ParaField::RightIndent));
    if (props[ParaField::FirstIndent] != 0)
        format.setTextIndent(pixels(ParaField::FirstIndent));
    if (props[ParaField::SpaceBefore] != 0)
        format.setTopMargin(pixels(ParaField::SpaceBefore));
    if (props[ParaField::SpaceAfter] != 0)
        format.setBottomMargin(pixels(ParaField::SpaceAfter));
    // \sl240\slmult1 is single spacing, the default.
    const int spacing = props[ParaField::LineSpacing];
    const bool multiple = props[ParaField::LineMultiple] != 0;
    if (spacing != 0 && !(multiple && std::abs(spacing) == 240)) {
        if (multiple)
            format.setLineHeight(std::abs(spacing) * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (spacing > 0)
            format.setLineHeight(spacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(-spacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    return format;
}

int Parser::BlockFormatIndex(const ParaProps &props) {
    const auto found = m_blockFormatIndex.constFind(props);
    if (found != m_blockFormatIndex.constEnd())
        return *found;
    const int index = m_builder.AddBlockFormat(MakeBlockFormat(props));
    m_blockFormatIndex.insert(props, index);
    return index;
}

void Parser::EndParagraph() {
    FlushBytes();
    const State &st = St();
    m_builder.EndParagraph(BlockFormatIndex(st.para), RunFormat());
    m_pendingCells = 0;
}

bool IsBlank(const QByteArray &bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

// Smaller files read in a few milliseconds, and often hold little text: starting the second
// thread and handing batches over (a fraction of a millisecond) would eat what it saves.
constexpr std::size_t kTwoThreadsFrom = std::size_t{512} * 1024;

// Tokenizes and parses on a thread of its own while the calling thread, which owns the
// document, puts the batches in: about four fifths of a large read is the document's own work.
void ReadOnTwoThreads(const char *data, std::size_t size, RtfDocumentInserter &inserter) {
    RtfBatchQueue queue;
    const std::jthread reader([&queue, data, size] {
        try {
            Parser(data, size, queue).Run();
            queue.Close();
        } catch (...) {
            queue.Close(std::current_exception());
        }
    });
    queue.Drain(inserter);
}

} // namespace

namespace RtfReader {

bool LooksLikeRtf(const QByteArray &rtf) {
    qsizetype i = rtf.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < rtf.size() && (rtf[i] == ' ' || rtf[i] == '\t' || rtf[i] == '\r' || rtf[i] == '\n'))
        ++i;
    return QByteArrayView(rtf).sliced(i).startsWith("{\\rtf");
}

void Read(const QByteArray &rtf, QTextDocument *document) {
    const bool blank = IsBlank(rtf);
    if (!blank && !LooksLikeRtf(rtf))
        throw NotRtfError();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    if (!blank) {
        // After an optional byte order mark and blanks, LooksLikeRtf() found the first "{".
        const qsizetype start = rtf.indexOf('{');
        const char *const data = rtf.constData() + start;
        const auto size = std::size_t(rtf.size() - start);
        RtfDocumentInserter inserter(document);
        if (size < kTwoThreadsFrom)
            Parser(data, size, inserter).Run();
        else
            ReadOnTwoThreads(data, size, inserter);
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

} // namespace RtfReader
