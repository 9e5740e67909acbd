#include "platform/rtf/RtfReader.h"

#include "platform/rtf/RtfCodePage.h"
#include "platform/rtf/RtfImages.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Groups nested deeper than this share the state of the deepest one: real files stay far below
// it, and a hostile file cannot make the state stack grow without bound.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kDefaultHalfPoints = 24;
constexpr double kTwipsPerPixel = 15.0; // 96 pixels per inch

enum class Dest : std::uint8_t { Body, FontTable, ColorTable, Pict, FieldInst };

enum class Valign : std::uint8_t { None, Super, Sub };
enum class Caps : std::uint8_t { None, All, Small };

struct CharProps {
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    int foreground = 0; // colour table index; 0 is "auto"
    int background = 0;
    int link = -1; // index into the hyperlink targets
    std::uint8_t bold = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = QTextCharFormat::NoUnderline;
    std::uint8_t strike = 0;
    Valign valign = Valign::None;
    Caps caps = Caps::None;
    std::uint8_t hidden = 0;
    bool operator==(const CharProps &) const = default;
};

size_t qHash(const CharProps &p, size_t seed = 0) {
    return qHashMulti(seed, p.font, p.halfPoints, p.foreground, p.background, p.link, p.bold,
                      p.italic, p.underline, p.strike, int(p.valign), int(p.caps));
}

enum class Align : std::uint8_t { Left, Center, Right, Justify };

struct ParaProps {
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    std::uint8_t lineMultiple = 0;
    Align align = Align::Left;
    bool operator==(const ParaProps &) const = default;
};

size_t qHash(const ParaProps &p, size_t seed = 0) {
    return qHashMulti(seed, p.leftIndent, p.rightIndent, p.firstIndent, p.spaceBefore, p.spaceAfter,
                      p.lineSpacing, p.lineMultiple, int(p.align));
}

struct State {
    CharProps chr;
    ParaProps para;
    Dest dest = Dest::Body;
    int uc = 1;
    bool upr = false; // children are the two variants of \upr
};

struct Font {
    QString name;
    int codePage = -1; // -1: the document's
};

enum class PictKind : std::uint8_t { Unknown, Png, Jpeg, Emf, Wmf, Dib, Ddb, Other };

struct Picture {
    PictKind kind = PictKind::Unknown;
    int picw = 0;
    int pich = 0;
    int goalw = 0;
    int goalh = 0;
    int scalex = 100;
    int scaley = 100;
    QByteArray data;
    int nibble = -1;
};

enum class Kw : std::uint8_t {
    // header and encoding
    Ansi,
    Mac,
    Pc,
    Pca,
    Ansicpg,
    Deff,
    Uc,
    U,
    Upr,
    Ud,
    // destinations
    Fonttbl,
    Colortbl,
    Pict,
    Fldinst,
    Fldrslt,
    Shppict,
    SkipDest,
    // font table
    F,
    Fcharset,
    Cpg,
    // colour table
    Red,
    Green,
    Blue,
    // character formatting
    Plain,
    B,
    I,
    Ul,
    Uld,
    Uldash,
    Uldashd,
    Uldashdd,
    Ulwave,
    Ulnone,
    Strike,
    Sub,
    Super,
    NoSuperSub,
    Up,
    Dn,
    CapsAll,
    CapsSmall,
    V,
    Fs,
    Cf,
    Cb,
    Highlight,
    // paragraph formatting
    Pard,
    Ql,
    Qc,
    Qr,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Sl,
    Slmult,
    // characters and breaks
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Emdash,
    Endash,
    Emspace,
    Enspace,
    Qmspace,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Zwj,
    Zwnj,
    Ltrmark,
    Rtlmark,
    Bin,
    Chftn,
    // pictures
    Pngblip,
    Jpegblip,
    Emfblip,
    Wmetafile,
    Dibitmap,
    Wbitmap,
    OtherPict,
    Picw,
    Pich,
    Picwgoal,
    Pichgoal,
    Picscalex,
    Picscaley,
};

const std::unordered_map<std::string_view, Kw> &Keywords() {
    static const std::unordered_map<std::string_view, Kw> table = {
        {"ansi", Kw::Ansi},
        {"mac", Kw::Mac},
        {"pc", Kw::Pc},
        {"pca", Kw::Pca},
        {"ansicpg", Kw::Ansicpg},
        {"deff", Kw::Deff},
        {"uc", Kw::Uc},
        {"u", Kw::U},
        {"upr", Kw::Upr},
        {"ud", Kw::Ud},
        {"fonttbl", Kw::Fonttbl},
        {"colortbl", Kw::Colortbl},
        {"pict", Kw::Pict},
        {"fldinst", Kw::Fldinst},
        {"fldrslt", Kw::Fldrslt},
        {"shppict", Kw::Shppict},
        // Row properties of nested tables; some writers put the cells' text inside.
        {"nesttableprops", Kw::Shppict},
        // Parts that are not body text, and alternatives we do not show.
        {"stylesheet", Kw::SkipDest},
        {"info", Kw::SkipDest},
        {"header", Kw::SkipDest},
        {"headerl", Kw::SkipDest},
        {"headerr", Kw::SkipDest},
        {"headerf", Kw::SkipDest},
        {"footer", Kw::SkipDest},
        {"footerl", Kw::SkipDest},
        {"footerr", Kw::SkipDest},
        {"footerf", Kw::SkipDest},
        {"footnote", Kw::SkipDest},
        {"annotation", Kw::SkipDest},
        {"atnid", Kw::SkipDest},
        {"atnauthor", Kw::SkipDest},
        {"atndate", Kw::SkipDest},
        {"atntime", Kw::SkipDest},
        {"atnicn", Kw::SkipDest},
        {"atnref", Kw::SkipDest},
        {"nonshppict", Kw::SkipDest},
        {"objdata", Kw::SkipDest},
        {"objclass", Kw::SkipDest},
        {"objname", Kw::SkipDest},
        {"xe", Kw::SkipDest},
        {"tc", Kw::SkipDest},
        {"txe", Kw::SkipDest},
        {"rxe", Kw::SkipDest},
        {"pn", Kw::SkipDest},
        {"pntxta", Kw::SkipDest},
        {"pntxtb", Kw::SkipDest},
        {"listtable", Kw::SkipDest},
        {"listoverridetable", Kw::SkipDest},
        {"revtbl", Kw::SkipDest},
        {"rsidtbl", Kw::SkipDest},
        {"filetbl", Kw::SkipDest},
        {"template", Kw::SkipDest},
        {"private", Kw::SkipDest},
        {"nonesttables", Kw::SkipDest},
        {"do", Kw::SkipDest},
        {"NeXTGraphic", Kw::SkipDest},
        {"bkmkstart", Kw::SkipDest},
        {"bkmkend", Kw::SkipDest},
        // List definitions, and tables usually marked ignorable, recognised even when a
        // writer forgot the \* (or wrote "{*\name").
        {"list", Kw::SkipDest},
        {"listlevel", Kw::SkipDest},
        {"leveltext", Kw::SkipDest},
        {"levelnumbers", Kw::SkipDest},
        {"listoverride", Kw::SkipDest},
        {"listname", Kw::SkipDest},
        {"listpicture", Kw::SkipDest},
        {"generator", Kw::SkipDest},
        {"xmlnstbl", Kw::SkipDest},
        {"themedata", Kw::SkipDest},
        {"colorschememapping", Kw::SkipDest},
        {"latentstyles", Kw::SkipDest},
        {"datastore", Kw::SkipDest},
        {"mmathPr", Kw::SkipDest},
        {"pgdsctbl", Kw::SkipDest},
        {"wgrffmtfilter", Kw::SkipDest},
        {"ftnsep", Kw::SkipDest},
        {"ftnsepc", Kw::SkipDest},
        {"aftnsep", Kw::SkipDest},
        {"aftnsepc", Kw::SkipDest},
        {"defchp", Kw::SkipDest},
        {"defpap", Kw::SkipDest},
        {"fldtype", Kw::SkipDest},
        {"userprops", Kw::SkipDest},
        {"docvar", Kw::SkipDest},
        {"formfield", Kw::SkipDest},
        {"title", Kw::SkipDest},
        {"subject", Kw::SkipDest},
        {"author", Kw::SkipDest},
        {"operator", Kw::SkipDest},
        {"keywords", Kw::SkipDest},
        {"comment", Kw::SkipDest},
        {"doccomm", Kw::SkipDest},
        {"f", Kw::F},
        {"fcharset", Kw::Fcharset},
        {"cpg", Kw::Cpg},
        {"red", Kw::Red},
        {"green", Kw::Green},
        {"blue", Kw::Blue},
        {"plain", Kw::Plain},
        {"b", Kw::B},
        {"i", Kw::I},
        {"ul", Kw::Ul},
        {"uldb", Kw::Ul},
        {"ulth", Kw::Ul},
        {"ulw", Kw::Ul},
        {"uld", Kw::Uld},
        {"ulthd", Kw::Uld},
        {"uldash", Kw::Uldash},
        {"ulthdash", Kw::Uldash},
        {"ulldash", Kw::Uldash},
        {"ulthldash", Kw::Uldash},
        {"uldashd", Kw::Uldashd},
        {"ulthdashd", Kw::Uldashd},
        {"uldashdd", Kw::Uldashdd},
        {"ulthdashdd", Kw::Uldashdd},
        {"ulwave", Kw::Ulwave},
        {"ulhwave", Kw::Ulwave},
        {"ululdbwave", Kw::Ulwave},
        {"ulnone", Kw::Ulnone},
        {"strike", Kw::Strike},
        {"striked", Kw::Strike},
        {"sub", Kw::Sub},
        {"super", Kw::Super},
        {"nosupersub", Kw::NoSuperSub},
        {"up", Kw::Up},
        {"dn", Kw::Dn},
        {"caps", Kw::CapsAll},
        {"scaps", Kw::CapsSmall},
        {"v", Kw::V},
        {"fs", Kw::Fs},
        {"cf", Kw::Cf},
        {"cb", Kw::Cb},
        {"chcbpat", Kw::Cb},
        {"highlight", Kw::Highlight},
        {"pard", Kw::Pard},
        {"ql", Kw::Ql},
        {"qc", Kw::Qc},
        {"qr", Kw::Qr},
        {"qj", Kw::Qj},
        {"qd", Kw::Qj},
        {"li", Kw::Li},
        {"lin", Kw::Li},
        {"ri", Kw::Ri},
        {"rin", Kw::Ri},
        {"fi", Kw::Fi},
        {"sb", Kw::Sb},
        {"sa", Kw::Sa},
        {"sl", Kw::Sl},
        {"slmult", Kw::Slmult},
        {"par", Kw::Par},
        {"sect", Kw::Par},
        {"page", Kw::Par},
        {"line", Kw::Line},
        {"lbr", Kw::Line},
        {"tab", Kw::Tab},
        {"cell", Kw::Cell},
        {"nestcell", Kw::Cell},
        {"row", Kw::Row},
        {"nestrow", Kw::Row},
        {"emdash", Kw::Emdash},
        {"endash", Kw::Endash},
        {"emspace", Kw::Emspace},
        {"enspace", Kw::Enspace},
        {"qmspace", Kw::Qmspace},
        {"bullet", Kw::Bullet},
        {"lquote", Kw::Lquote},
        {"rquote", Kw::Rquote},
        {"ldblquote", Kw::Ldblquote},
        {"rdblquote", Kw::Rdblquote},
        {"zwj", Kw::Zwj},
        {"zwnj", Kw::Zwnj},
        {"ltrmark", Kw::Ltrmark},
        {"rtlmark", Kw::Rtlmark},
        {"bin", Kw::Bin},
        {"chftn", Kw::Chftn},
        {"pngblip", Kw::Pngblip},
        {"jpegblip", Kw::Jpegblip},
        {"emfblip", Kw::Emfblip},
        {"wmetafile", Kw::Wmetafile},
        {"dibitmap", Kw::Dibitmap},
        {"wbitmap", Kw::Wbitmap},
        {"macpict", Kw::OtherPict},
        {"pmmetafile", Kw::OtherPict},
        {"picw", Kw::Picw},
        {"pich", Kw::Pich},
        {"picwgoal", Kw::Picwgoal},
        {"pichgoal", Kw::Pichgoal},
        {"picscalex", Kw::Picscalex},
        {"picscaley", Kw::Picscaley},
    };
    return table;
}

bool IsAlpha(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool IsPlainText(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x20 && u != 0x7F && u != 0xFFFC && u != 0x2029) || u == '\t';
}

// Hex digits to their value; -1 for bytes that are not hex digits.
constexpr std::array<signed char, 256> kHexValues = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int c = '0'; c <= '9'; ++c)
        values[c] = static_cast<signed char>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) {
        values[c] = static_cast<signed char>(c - 'a' + 10);
        values[c - 'a' + 'A'] = static_cast<signed char>(c - 'a' + 10);
    }
    return values;
}();

int HexValue(unsigned char c) {
    return kHexValues[c];
}

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

class Parser {
public:
    Parser(QTextDocument *document, QTextCursor &cursor)
        : m_document(document)
        , m_cursor(cursor) {}

    void Run(const char *data, std::size_t size);

private:
    State &St() { return m_stack.back(); }

    // tokens
    void OpenGroup();
    void CloseGroup();
    void ControlSequence();
    void ControlWord(std::string_view word, bool hasParam, int param);
    void ControlSymbol(unsigned char symbol);
    void LiteralByte(unsigned char c);
    void SkipGroupContent();
    void EnterSkip();
    bool RootEndsHere() const;

    // text
    bool ConsumeFallback();
    int CurrentCodePage();
    void AddByte(unsigned char byte);
    void FlushBytes();
    void AddText(const QChar *text, qsizetype count);
    void AddChar(char16_t c) {
        const QChar ch(c);
        AddText(&ch, 1);
    }
    void AddBodyText(const QChar *text, qsizetype count);
    void AddPictureHex();
    void AddPicture();

    // structure
    void EndParagraph();
    void EndFontEntry();
    void EndColorEntry();
    int FormatIndex(const CharProps &props);
    QTextCharFormat MakeCharFormat(const CharProps &props) const;
    QTextBlockFormat MakeBlockFormat(const ParaProps &props) const;

    QTextDocument *m_document;
    QTextCursor &m_cursor;

    const unsigned char *m_p = nullptr;
    const unsigned char *m_end = nullptr;
    bool m_finished = false;

    std::vector<State> m_stack;
    std::size_t m_overflowDepth = 0; // groups beyond kMaxDepth
    std::size_t m_skipDepth = 0;     // > 0 while a skipped destination is being passed over
    bool m_ignorableNext = false;    // after {\*
    const unsigned char *m_groupOpenAt = nullptr; // just after the last '{'
    int m_fallbackLeft = 0;                       // \uc units still to drop after \uN

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

    // tables
    Font m_fontEntry;
    int m_fontEntryNumber = 0;
    QString m_fontEntryName;
    std::vector<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    QString m_fieldInstruction;
    std::vector<QString> m_links;
    Picture m_picture;
    int m_footnotes = 0;

    // the paragraph being read
    struct Segment {
        qsizetype start;
        int format; // index into m_charFormats, or -1 - image index
    };
    QString m_paraText;
    std::vector<Segment> m_runs;
    CharProps m_runProps;
    bool m_runOpen = false;
    int m_pendingCells = 0;
    bool m_firstParagraph = true;

    QHash<CharProps, int> m_formatIndex;
    std::vector<QTextCharFormat> m_charFormats;
    QHash<ParaProps, QTextBlockFormat> m_blockFormats;
    std::vector<QTextImageFormat> m_images;
};

void Parser::Run(const char *data, std::size_t size) {
    m_p = reinterpret_cast<const unsigned char *>(data);
    m_end = m_p + size;
    // The caller checked that the file starts with "{\rtf" after blanks.
    while (m_p < m_end && *m_p != '{')
        ++m_p;
    while (m_p < m_end && !m_finished) {
        if (m_skipDepth > 0) {
            SkipGroupContent();
            continue;
        }
        const unsigned char c = *m_p;
        switch (c) {
        case '{':
            ++m_p;
            OpenGroup();
            break;
        case '}':
            ++m_p;
            CloseGroup();
            break;
        case '\\':
            ControlSequence();
            break;
        case '\r':
        case '\n':
            ++m_p;
            break;
        default: {
            const Dest dest = St().dest;
            if (dest == Dest::Body && m_fallbackLeft == 0 && !m_expectTrail && c >= 0x20 &&
                c < 0x7F && CurrentCodePage() != RtfCodePage::Symbol) {
                // Plain ASCII text: take the whole run at once.
                const unsigned char *start = m_p;
                while (m_p < m_end && *m_p >= 0x20 && *m_p < 0x7F && *m_p != '\\' && *m_p != '{' &&
                       *m_p != '}')
                    ++m_p;
                m_ignorableNext = false;
                FlushBytes();
                const qsizetype count = m_p - start;
                QChar buffer[256];
                for (qsizetype done = 0; done < count;) {
                    const qsizetype chunk = std::min<qsizetype>(256, count - done);
                    for (qsizetype k = 0; k < chunk; ++k)
                        buffer[k] = QChar(start[done + k]);
                    AddBodyText(buffer, chunk);
                    done += chunk;
                }
            } else if (dest == Dest::Pict) {
                AddPictureHex();
            } else {
                ++m_p;
                LiteralByte(c);
            }
            break;
        }
        }
    }
    // End of input, or the root group closed: groups still open are closed silently.
    FlushBytes();
    if (!m_stack.empty() && m_stack.back().dest == Dest::Pict)
        AddPicture();
    if (!m_paraText.isEmpty())
        EndParagraph();
}

void Parser::OpenGroup() {
    m_fallbackLeft = 0;
    FlushBytes();
    m_ignorableNext = false;
    m_groupOpenAt = m_p;
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
        const unsigned char *q = m_p;
        while (q < m_end && (*q == ' ' || *q == '\r' || *q == '\n'))
            ++q;
        const std::string_view rest(reinterpret_cast<const char *>(q),
                                    std::min<std::size_t>(6, m_end - q));
        if (rest.substr(0, 5) != "\\*\\ud" || (rest.size() == 6 && IsAlpha(rest[5])))
            EnterSkip();
    }
}

bool Parser::RootEndsHere() const {
    // Some writers put a stray '}' mid-file; only a closing brace followed by nothing but
    // blanks, NULs and more closing braces ends the document.
    const unsigned char *q = m_p;
    while (q < m_end &&
           (*q == ' ' || *q == '\r' || *q == '\n' || *q == '\t' || *q == '\0' || *q == '}'))
        ++q;
    // More RTF after it means the brace was a stray one; other bytes are trailing garbage.
    return q == m_end || (*q != '{' && *q != '\\');
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
    const State closing = St();
    m_stack.pop_back();
    const Dest parent = St().dest;
    switch (closing.dest) {
    case Dest::Pict:
        if (parent != Dest::Pict)
            AddPicture();
        break;
    case Dest::FontTable:
        EndFontEntry();
        break;
    case Dest::ColorTable:
        break;
    case Dest::FieldInst:
        break;
    case Dest::Body:
        break;
    }
}

void Parser::EnterSkip() {
    // Skips the rest of the group just opened; its state is dropped now, its closing brace is
    // consumed by SkipGroupContent().
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
    } else {
        if (m_stack.size() <= 1)
            return; // never the root
        m_stack.pop_back();
    }
    m_skipDepth = 1;
    m_ignorableNext = false;
}

void Parser::SkipGroupContent() {
    while (m_p < m_end) {
        const unsigned char c = *m_p++;
        if (c == '{') {
            ++m_skipDepth;
        } else if (c == '}') {
            if (--m_skipDepth == 0)
                return;
        } else if (c == '\\' && m_p < m_end) {
            if (m_end - m_p >= 3 && std::memcmp(m_p, "bin", 3) == 0 &&
                (m_p + 3 == m_end || !IsAlpha(m_p[3]))) {
                // \binN: N raw bytes that may contain braces.
                m_p += 3;
                long long count = 0;
                bool negative = false;
                if (m_p < m_end && *m_p == '-') {
                    negative = true;
                    ++m_p;
                }
                while (m_p < m_end && IsDigit(*m_p)) {
                    count = std::min<long long>(count * 10 + (*m_p - '0'), 1LL << 40);
                    ++m_p;
                }
                if (m_p < m_end && *m_p == ' ')
                    ++m_p;
                if (!negative)
                    m_p += std::min<long long>(count, m_end - m_p);
            } else {
                ++m_p; // the escaped character or the first letter of a word
            }
        }
    }
}

void Parser::ControlSequence() {
    ++m_p; // the backslash
    if (m_p >= m_end)
        return;
    if (!IsAlpha(*m_p)) {
        const unsigned char symbol = *m_p++;
        ControlSymbol(symbol);
        return;
    }
    char word[33];
    std::size_t length = 0;
    while (m_p < m_end && IsAlpha(*m_p)) {
        if (length < sizeof(word) - 1)
            word[length++] = char(*m_p);
        ++m_p;
    }
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && IsDigit(m_p[1])) {
        negative = true;
        ++m_p;
    }
    while (m_p < m_end && IsDigit(*m_p)) {
        hasParam = true;
        value = std::min<long long>(value * 10 + (*m_p - '0'), 1LL << 40);
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
    if (negative)
        value = -value;
    const int param = int(std::clamp<long long>(value, -2147483647LL, 2147483647LL));
    ControlWord(std::string_view(word, length), hasParam, param);
}

bool Parser::ConsumeFallback() {
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return true;
    }
    return false;
}

void Parser::ControlSymbol(unsigned char symbol) {
    if (symbol == '*') {
        // Only "{\*" marks an ignorable destination; a \* elsewhere (before a formatting word
        // mid-group) means nothing.
        const unsigned char *q = m_p - 2;
        while (q > m_groupOpenAt && (q[-1] == ' ' || q[-1] == '\r' || q[-1] == '\n'))
            --q;
        m_ignorableNext = q == m_groupOpenAt;
        return;
    }
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    if (symbol == '\'') {
        int value = -1;
        if (m_end - m_p >= 2) {
            const int high = HexValue(m_p[0]);
            const int low = HexValue(m_p[1]);
            if (high >= 0 && low >= 0)
                value = high * 16 + low;
            m_p += 2;
        } else {
            m_p = m_end;
        }
        if (ConsumeFallback() || value < 0)
            return;
        AddByte(static_cast<unsigned char>(value));
        return;
    }
    if (ignorable && m_stack.size() > 1)
        return;
    if (ConsumeFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        if (m_expectTrail)
            AddByte(symbol); // the trail byte of a double-byte character
        else
            AddChar(symbol);
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
        if (St().dest == Dest::Body && !St().chr.hidden) {
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

void Parser::ControlWord(std::string_view word, bool hasParam, int param) {
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    const auto &keywords = Keywords();
    const auto found = keywords.find(word);
    if (found == keywords.end()) {
        if (ignorable)
            EnterSkip();
        else
            ConsumeFallback();
        return;
    }
    const Kw kw = found->second;
    if (ignorable && kw != Kw::Shppict && kw != Kw::Ud && kw != Kw::Fldinst && kw != Kw::Upr) {
        EnterSkip();
        return;
    }
    // A \u while fallback units are still expected starts a new character: writers that
    // forget the fallback of a surrogate's first half must not lose the second.
    if (kw == Kw::U)
        m_fallbackLeft = 0;
    else if (kw != Kw::Bin && ConsumeFallback())
        return;
    if (kw != Kw::U && kw != Kw::Bin && kw != Kw::F && kw != Kw::Fcharset && kw != Kw::Cpg)
        FlushBytes();
    State &st = St();
    CharProps &chr = st.chr;
    ParaProps &para = st.para;
    const bool on = !hasParam || param != 0;
    switch (kw) {
    case Kw::Ansi:
        m_docCodePage = RtfCodePage::Windows1252;
        m_cachedFont = -2;
        break;
    case Kw::Mac:
        m_docCodePage = RtfCodePage::MacRoman;
        m_cachedFont = -2;
        break;
    case Kw::Pc:
        m_docCodePage = RtfCodePage::PcDefault;
        m_cachedFont = -2;
        break;
    case Kw::Pca:
        m_docCodePage = 850;
        m_cachedFont = -2;
        break;
    case Kw::Ansicpg:
        if (hasParam && param > 0)
            m_docCodePage = param;
        m_cachedFont = -2;
        break;
    case Kw::Deff:
        if (hasParam) {
            m_deff = param;
            if (m_stack.size() == 1)
                chr.font = param;
        }
        break;
    case Kw::Uc:
        st.uc = std::clamp(hasParam ? param : 1, 0, 16);
        break;
    case Kw::U: {
        FlushBytes();
        const int code = param < 0 ? param + 65536 : param;
        if (hasParam && code >= 0xF020 && code <= 0xF0FF &&
            CurrentCodePage() == RtfCodePage::Symbol)
            AddByte(static_cast<unsigned char>(code - 0xF000)); // Symbol glyph by its slot
        else if (hasParam && code > 0 && code <= 0xFFFF)
            AddChar(char16_t(code));
        m_fallbackLeft = st.uc;
        break;
    }
    case Kw::Upr:
        st.upr = true;
        break;
    case Kw::Ud:
    case Kw::Shppict:
        break;
    case Kw::Fonttbl:
        st.dest = Dest::FontTable;
        m_fontEntry = Font();
        m_fontEntryName.clear();
        break;
    case Kw::Colortbl:
        st.dest = Dest::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        break;
    case Kw::Pict:
        if (st.dest != Dest::Body || chr.hidden) {
            EnterSkip();
            return;
        }
        st.dest = Dest::Pict;
        m_picture = Picture();
        break;
    case Kw::Fldinst:
        if (st.dest != Dest::Body) {
            EnterSkip();
            return;
        }
        st.dest = Dest::FieldInst;
        m_fieldInstruction.clear();
        break;
    case Kw::Fldrslt: {
        const QString target = HyperlinkTarget(m_fieldInstruction);
        m_fieldInstruction.clear();
        if (!target.isEmpty()) {
            chr.link = int(m_links.size());
            m_links.push_back(target);
        }
        break;
    }
    case Kw::SkipDest:
        EnterSkip();
        return;
    case Kw::F:
        if (st.dest == Dest::FontTable) {
            if (!m_fontEntryName.isEmpty())
                EndFontEntry();
            m_fontEntryNumber = param;
        } else {
            FlushBytes();
            chr.font = hasParam ? param : m_deff;
        }
        break;
    case Kw::Fcharset:
        if (st.dest == Dest::FontTable) {
            const int codePage = RtfCodePage::FromCharset(param);
            if (m_fontEntry.codePage <= 0 || codePage != -1)
                m_fontEntry.codePage = codePage;
        }
        break;
    case Kw::Cpg:
        if (st.dest == Dest::FontTable && hasParam && param > 0)
            m_fontEntry.codePage = param;
        break;
    case Kw::Red:
        m_red = std::clamp(param, 0, 255);
        break;
    case Kw::Green:
        m_green = std::clamp(param, 0, 255);
        break;
    case Kw::Blue:
        m_blue = std::clamp(param, 0, 255);
        break;
    case Kw::Plain: {
        // A field result's hyperlink is not a character property that \plain resets.
        const int link = chr.link;
        chr = CharProps();
        chr.font = m_deff;
        chr.link = link;
        break;
    }
    case Kw::B:
        chr.bold = on;
        break;
    case Kw::I:
        chr.italic = on;
        break;
    case Kw::Ul:
        chr.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::Uld:
        chr.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::Uldash:
        chr.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::Uldashd:
        chr.underline = on ? QTextCharFormat::DashDotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::Uldashdd:
        chr.underline = on ? QTextCharFormat::DashDotDotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::Ulwave:
        chr.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::Ulnone:
        chr.underline = QTextCharFormat::NoUnderline;
        break;
    case Kw::Strike:
        chr.strike = on;
        break;
    case Kw::Sub:
        chr.valign = on ? Valign::Sub : Valign::None;
        break;
    case Kw::Super:
        chr.valign = on ? Valign::Super : Valign::None;
        break;
    case Kw::NoSuperSub:
        chr.valign = Valign::None;
        break;
    case Kw::Up:
        chr.valign = (hasParam ? param : 6) > 0 ? Valign::Super : Valign::None;
        break;
    case Kw::Dn:
        chr.valign = (hasParam ? param : 6) > 0 ? Valign::Sub : Valign::None;
        break;
    case Kw::CapsAll:
        chr.caps = on ? Caps::All : Caps::None;
        break;
    case Kw::CapsSmall:
        chr.caps = on ? Caps::Small : Caps::None;
        break;
    case Kw::V:
        chr.hidden = on;
        break;
    case Kw::Fs:
        chr.halfPoints = hasParam ? param : kDefaultHalfPoints;
        break;
    case Kw::Cf:
        chr.foreground = std::max(param, 0);
        break;
    case Kw::Cb:
    case Kw::Highlight:
        chr.background = std::max(param, 0);
        break;
    case Kw::Pard:
        para = ParaProps();
        break;
    case Kw::Ql:
        para.align = Align::Left;
        break;
    case Kw::Qc:
        para.align = Align::Center;
        break;
    case Kw::Qr:
        para.align = Align::Right;
        break;
    case Kw::Qj:
        para.align = Align::Justify;
        break;
    case Kw::Li:
        para.leftIndent = std::clamp(param, -31680, 31680);
        break;
    case Kw::Ri:
        para.rightIndent = std::clamp(param, -31680, 31680);
        break;
    case Kw::Fi:
        para.firstIndent = std::clamp(param, -31680, 31680);
        break;
    case Kw::Sb:
        para.spaceBefore = std::clamp(param, 0, 31680);
        break;
    case Kw::Sa:
        para.spaceAfter = std::clamp(param, 0, 31680);
        break;
    case Kw::Sl:
        para.lineSpacing = std::clamp(param, -31680, 31680);
        break;
    case Kw::Slmult:
        para.lineMultiple = on;
        break;
    case Kw::Par:
        if (st.dest == Dest::Body && !chr.hidden)
            EndParagraph();
        break;
    case Kw::Line:
        AddChar(0x2028);
        break;
    case Kw::Tab:
        AddChar('\t');
        break;
    case Kw::Cell:
        if (st.dest == Dest::Body && !chr.hidden)
            ++m_pendingCells;
        break;
    case Kw::Row:
        if (st.dest == Dest::Body) {
            m_pendingCells = 0;
            EndParagraph();
        }
        break;
    case Kw::Emdash:
        AddChar(0x2014);
        break;
    case Kw::Endash:
        AddChar(0x2013);
        break;
    case Kw::Emspace:
        AddChar(0x2003);
        break;
    case Kw::Enspace:
        AddChar(0x2002);
        break;
    case Kw::Qmspace:
        AddChar(0x2005);
        break;
    case Kw::Bullet:
        AddChar(0x2022);
        break;
    case Kw::Lquote:
        AddChar(0x2018);
        break;
    case Kw::Rquote:
        AddChar(0x2019);
        break;
    case Kw::Ldblquote:
        AddChar(0x201C);
        break;
    case Kw::Rdblquote:
        AddChar(0x201D);
        break;
    case Kw::Zwj:
        AddChar(0x200D);
        break;
    case Kw::Zwnj:
        AddChar(0x200C);
        break;
    case Kw::Ltrmark:
        AddChar(0x200E);
        break;
    case Kw::Rtlmark:
        AddChar(0x200F);
        break;
    case Kw::Chftn:
        // The footnote's reference mark in the text; the note itself is not body text.
        if (st.dest == Dest::Body && !chr.hidden) {
            const QString number = QString::number(++m_footnotes);
            AddText(number.constData(), number.size());
        }
        break;
    case Kw::Bin: {
        const long long count = hasParam && param > 0 ? param : 0;
        const long long available = std::min<long long>(count, m_end - m_p);
        if (st.dest == Dest::Pict)
            m_picture.data.append(reinterpret_cast<const char *>(m_p), qsizetype(available));
        m_p += available;
        ConsumeFallback();
        break;
    }
    case Kw::Pngblip:
        m_picture.kind = PictKind::Png;
        break;
    case Kw::Jpegblip:
        m_picture.kind = PictKind::Jpeg;
        break;
    case Kw::Emfblip:
        m_picture.kind = PictKind::Emf;
        break;
    case Kw::Wmetafile:
        m_picture.kind = PictKind::Wmf;
        break;
    case Kw::Dibitmap:
        m_picture.kind = PictKind::Dib;
        break;
    case Kw::Wbitmap:
        m_picture.kind = PictKind::Ddb;
        break;
    case Kw::OtherPict:
        m_picture.kind = PictKind::Other;
        break;
    case Kw::Picw:
        m_picture.picw = param;
        break;
    case Kw::Pich:
        m_picture.pich = param;
        break;
    case Kw::Picwgoal:
        m_picture.goalw = param;
        break;
    case Kw::Pichgoal:
        m_picture.goalh = param;
        break;
    case Kw::Picscalex:
        m_picture.scalex = hasParam ? param : 100;
        break;
    case Kw::Picscaley:
        m_picture.scaley = hasParam ? param : 100;
        break;
    }
}

int Parser::CurrentCodePage() {
    const State &st = St();
    if (st.dest == Dest::FontTable)
        return m_fontEntry.codePage > 0 ? m_fontEntry.codePage : m_docCodePage;
    if (st.chr.font != m_cachedFont) {
        m_cachedFont = st.chr.font;
        const auto found = m_fonts.find(st.chr.font >= 0 ? st.chr.font : m_deff);
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
        // Control characters (from \'hh or \uN) are not text; a lone U+FFFC would pose as a
        // picture, a U+2029 as a paragraph end.
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

void Parser::AddBodyText(const QChar *text, qsizetype count) {
    const CharProps &props = St().chr;
    if (props.hidden || count == 0)
        return;
    if (m_pendingCells > 0) {
        const int cells = m_pendingCells;
        m_pendingCells = 0;
        const QString tabs(cells, QLatin1Char('\t'));
        AddBodyText(tabs.constData(), tabs.size());
    }
    if (!m_runOpen || !(props == m_runProps)) {
        m_runProps = props;
        m_runOpen = true;
        m_runs.push_back(Segment{m_paraText.size(), FormatIndex(props)});
    }
    m_paraText.append(text, count);
}

void Parser::AddPictureHex() {
    // Pictures are most of a large entry's bytes: decoded in one pass up to the next control
    // word or group, into room made a chunk at a time.
    QByteArray &data = m_picture.data;
    int nibble = m_picture.nibble;
    bool stopped = false;
    while (m_p < m_end && !stopped) {
        const unsigned char *chunkEnd = m_p + std::min<std::ptrdiff_t>(m_end - m_p, 1 << 16);
        const qsizetype start = data.size();
        data.resize(start + (chunkEnd - m_p) / 2 + 1);
        char *out = data.data() + start;
        for (; m_p < chunkEnd; ++m_p) {
            const unsigned char c = *m_p;
            const int value = kHexValues[c];
            if (value >= 0) {
                if (nibble < 0) {
                    nibble = value;
                } else {
                    *out++ = char(nibble * 16 + value);
                    nibble = -1;
                }
            } else if (c == '\\' || c == '{' || c == '}') {
                stopped = true;
                break;
            }
        }
        data.resize(out - data.constData());
    }
    m_picture.nibble = nibble;
}

QByteArray DibToBmp(const QByteArray &dib) {
    if (dib.size() < 16)
        return {};
    const auto *d = reinterpret_cast<const unsigned char *>(dib.constData());
    auto u32 = [d](int at) {
        return quint32(d[at] | d[at + 1] << 8 | d[at + 2] << 16) | quint32(d[at + 3]) << 24;
    };
    auto u16 = [d](int at) { return quint32(d[at] | d[at + 1] << 8); };
    const quint32 headerSize = u32(0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 bitCount = headerSize == 12 ? u16(10) : u16(14);
    quint32 colors = 0;
    quint32 masks = 0;
    if (headerSize >= 40) {
        colors = u32(32);
        if (u32(16) == 3 && headerSize == 40)
            masks = 12;
    }
    if (colors == 0 && bitCount <= 8)
        colors = 1u << bitCount;
    const quint32 entry = headerSize == 12 ? 3 : 4;
    const quint32 offset = 14 + headerSize + masks + std::min<quint32>(colors, 65536) * entry;
    QByteArray bmp("BM");
    const quint32 total = quint32(dib.size()) + 14;
    for (quint32 v : {total, 0u, offset})
        for (int k = 0; k < 4; ++k)
            bmp.append(char((v >> (8 * k)) & 0xFF));
    bmp.append(dib);
    return bmp;
}

bool LooksLikeMetafile(PictKind kind, const QByteArray &data) {
    if (kind == PictKind::Emf)
        return data.size() >= 88 && data.mid(40, 4) == QByteArray(" EMF");
    if (data.size() < 18)
        return false;
    const auto *d = reinterpret_cast<const unsigned char *>(data.constData());
    const bool placeable = d[0] == 0xD7 && d[1] == 0xCD && d[2] == 0xC6 && d[3] == 0x9A;
    const bool memory = (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0;
    return placeable || memory;
}

QByteArray PlaceholderPng(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&image);
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, size.height() - 1, size.width() - 1, 0);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void Parser::AddPicture() {
    Picture picture = std::move(m_picture);
    m_picture = Picture();
    if (St().chr.hidden)
        return;
    QByteArray bytes;
    QSize pixels;
    bool metafile = false;
    switch (picture.kind) {
    case PictKind::Png:
    case PictKind::Jpeg:
    case PictKind::Dib: {
        bytes = picture.kind == PictKind::Dib ? DibToBmp(picture.data) : picture.data;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        pixels = reader.size();
        if (!pixels.isValid() || pixels.isEmpty() || pixels.width() > 30000 ||
            pixels.height() > 30000)
            return;
        if (picture.kind == PictKind::Dib) {
            const QImage image = reader.read();
            if (image.isNull())
                return;
            bytes.clear();
            QBuffer out(&bytes);
            out.open(QIODevice::WriteOnly);
            image.save(&out, "PNG");
        }
        break;
    }
    case PictKind::Wmf:
    case PictKind::Emf:
        if (!LooksLikeMetafile(picture.kind, picture.data))
            return;
        metafile = true;
        break;
    default:
        return; // formats we cannot show or keep
    }
    // The displayed size: the goal size in twips, else the picture's own size, then the scale.
    double width = 0;
    double height = 0;
    if (picture.goalw > 0 && picture.goalh > 0) {
        width = picture.goalw / kTwipsPerPixel;
        height = picture.goalh / kTwipsPerPixel;
    } else if (metafile && picture.picw > 0 && picture.pich > 0) {
        width = picture.picw * 96.0 / 2540.0; // hundredths of a millimetre
        height = picture.pich * 96.0 / 2540.0;
    } else if (pixels.isValid()) {
        width = pixels.width();
        height = pixels.height();
    } else {
        width = height = 96;
    }
    if (picture.scalex > 0)
        width = width * picture.scalex / 100.0;
    if (picture.scaley > 0)
        height = height * picture.scaley / 100.0;
    // On the twip grid, so that writing the size back and reading it again gives the same.
    width = std::round(std::clamp(width, 1.0, 10000.0) * kTwipsPerPixel) / kTwipsPerPixel;
    height = std::round(std::clamp(height, 1.0, 10000.0) * kTwipsPerPixel) / kTwipsPerPixel;
    if (metafile) {
        const QSize shown(qRound(std::min(width, 2000.0)), qRound(std::min(height, 2000.0)));
        bytes = PlaceholderPng(shown);
    }
    QTextImageFormat format = RtfImages::Add(m_document, bytes, QSizeF(width, height));
    if (metafile) {
        format.setProperty(RtfImages::SourceData, picture.data);
        format.setProperty(RtfImages::SourceKind, picture.kind == PictKind::Emf
                                                      ? QStringLiteral("emfblip")
                                                      : QStringLiteral("wmetafile8"));
        format.setProperty(RtfImages::SourceExtent, QSize(picture.picw, picture.pich));
    }
    if (m_pendingCells > 0) {
        const int cells = m_pendingCells;
        m_pendingCells = 0;
        const QString tabs(cells, QLatin1Char('\t'));
        AddBodyText(tabs.constData(), tabs.size());
    }
    m_images.push_back(format);
    m_runs.push_back(Segment{m_paraText.size(), -int(m_images.size())});
    m_paraText.append(QChar::ObjectReplacementCharacter);
    m_runOpen = false;
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
    if (m_red < 0 && m_green < 0 && m_blue < 0)
        m_colors.emplace_back(); // "auto"
    else
        m_colors.emplace_back(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0));
    m_red = m_green = m_blue = -1;
}

QTextCharFormat Parser::MakeCharFormat(const CharProps &props) const {
    QTextCharFormat format;
    const auto font = m_fonts.find(props.font >= 0 ? props.font : m_deff);
    if (font != m_fonts.end())
        format.setFontFamilies(QStringList{font->second.name});
    const int halfPoints =
        props.halfPoints > 0 ? std::min(props.halfPoints, 3276) : kDefaultHalfPoints;
    format.setFontPointSize(halfPoints / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    if (props.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(props.underline));
    if (props.strike)
        format.setFontStrikeOut(true);
    if (props.valign == Valign::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.valign == Valign::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (props.caps == Caps::All)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.caps == Caps::Small)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.foreground > 0 && std::size_t(props.foreground) < m_colors.size() &&
        m_colors[props.foreground].isValid())
        format.setForeground(m_colors[props.foreground]);
    if (props.background > 0 && std::size_t(props.background) < m_colors.size() &&
        m_colors[props.background].isValid())
        format.setBackground(m_colors[props.background]);
    if (props.link >= 0) {
        format.setAnchor(true);
        format.setAnchorHref(m_links[props.link]);
    }
    return format;
}

int Parser::FormatIndex(const CharProps &props) {
    const auto found = m_formatIndex.constFind(props);
    if (found != m_formatIndex.constEnd())
        return *found;
    const int index = int(m_charFormats.size());
    m_charFormats.push_back(MakeCharFormat(props));
    m_formatIndex.insert(props, index);
    return index;
}

QTextBlockFormat Parser::MakeBlockFormat(const ParaProps &props) const {
    QTextBlockFormat format;
    switch (props.align) {
    case Align::Left:
        break;
    case Align::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case Align::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    if (props.leftIndent != 0)
        format.setLeftMargin(props.leftIndent / kTwipsPerPixel);
    if (props.rightIndent != 0)
        format.setRightMargin(props.rightIndent / kTwipsPerPixel);
    if (props.firstIndent != 0)
        format.setTextIndent(props.firstIndent / kTwipsPerPixel);
    if (props.spaceBefore != 0)
        format.setTopMargin(props.spaceBefore / kTwipsPerPixel);
    if (props.spaceAfter != 0)
        format.setBottomMargin(props.spaceAfter / kTwipsPerPixel);
    // \sl240\slmult1 is single spacing, the default.
    if (props.lineSpacing != 0 && !(props.lineMultiple && std::abs(props.lineSpacing) == 240)) {
        if (props.lineMultiple)
            format.setLineHeight(std::abs(props.lineSpacing) * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (props.lineSpacing > 0)
            format.setLineHeight(props.lineSpacing / kTwipsPerPixel,
                                 QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(-props.lineSpacing / kTwipsPerPixel,
                                 QTextBlockFormat::FixedHeight);
    }
    return format;
}

void Parser::EndParagraph() {
    FlushBytes();
    // \u pairs that do not make a surrogate pair would be invalid UTF-16 in the document.
    QChar *text = m_paraText.data();
    const qsizetype length = m_paraText.size();
    for (qsizetype i = 0; i < length; ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < length && text[i + 1].isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
    const State &st = St();
    auto blockFormat = m_blockFormats.constFind(st.para);
    if (blockFormat == m_blockFormats.constEnd())
        blockFormat = m_blockFormats.insert(st.para, MakeBlockFormat(st.para));
    const QTextCharFormat &markFormat = m_charFormats[FormatIndex(st.chr)];
    if (m_firstParagraph) {
        m_cursor.setBlockFormat(*blockFormat);
        m_cursor.setBlockCharFormat(markFormat);
        m_firstParagraph = false;
    } else {
        m_cursor.insertBlock(*blockFormat, markFormat);
    }
    for (std::size_t r = 0; r < m_runs.size(); ++r) {
        const Segment &run = m_runs[r];
        const qsizetype end = r + 1 < m_runs.size() ? m_runs[r + 1].start : m_paraText.size();
        if (run.format < 0)
            m_cursor.insertImage(m_images[-run.format - 1]);
        else if (end > run.start)
            m_cursor.insertText(m_paraText.mid(run.start, end - run.start),
                                m_charFormats[run.format]);
    }
    m_paraText.clear();
    m_runs.clear();
    m_images.clear();
    m_runOpen = false;
    m_pendingCells = 0;
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
    const bool blank = rtf.trimmed().isEmpty();
    if (!blank && !LooksLikeRtf(rtf))
        throw NotRtfError();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    if (!blank) {
        Parser parser(document, cursor);
        parser.Run(rtf.constData(), std::size_t(rtf.size()));
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

} // namespace RtfReader
