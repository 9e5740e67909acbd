#include "platform/rtf/RtfWriter.h"

#include "platform/rtf/RtfCodePage.h"
#include "platform/rtf/RtfImages.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

constexpr double kTwipsPerPixel = 15.0; // 96 pixels per inch

// The Windows-1252 byte of a character above 127, or 0 when it has none. C1 controls go as \uN:
// other programs read \'80 to \'9f as Windows-1252's own characters.
unsigned char Cp1252Byte(char16_t c) {
    if (c < 0xA0)
        return 0;
    const int byte = RtfCodePage::ToWindows1252(c);
    return byte > 0 ? static_cast<unsigned char>(byte) : 0;
}

const char kHex[] = "0123456789abcdef";

struct RunStyle {
    int font = 0;
    int halfPoints = 24;
    int underline = QTextCharFormat::NoUnderline;
    int valign = 0; // 1 super, 2 sub
    int caps = 0;   // 1 all, 2 small
    int foreground = 0;
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    QString href;
    bool operator==(const RunStyle &) const = default;
};

class Writer {
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document)
        , m_defaultFont(document.defaultFont()) {}

    QByteArray Write();

private:
    int StyleOf(int formatIndex, const QTextCharFormat &format);
    int FontIndex(const QString &family);
    int ColorIndex(const QBrush &brush);
    void CollectBlock(const QTextBlock &block);

    void WriteHeader();
    void WriteBlock(const QTextBlock &block);
    void WriteParagraphFormat(const QTextBlock &block);
    void WriteStyle(int style);
    void WriteText(const QString &text);
    void WritePicture(const QTextImageFormat &format);
    void OpenLink(const QString &href);
    void CloseLink();
    void Number(int value) { m_out.append(QByteArray::number(value)); }
    void Word(const char *word, int value) {
        m_out.append(word);
        Number(value);
    }

    const QTextDocument &m_document;
    const QFont m_defaultFont;
    QByteArray m_out;

    std::unordered_map<int, int> m_styleOfFormat;         // document format index -> style
    QHash<QString, RtfImages::EncodedPicture> m_pictures; // by name, resolved once
    qsizetype m_pictureBytes = 0;
    std::vector<RunStyle> m_styles;
    QHash<QString, int> m_fontIndex;
    QStringList m_fonts;
    QHash<QRgb, int> m_colorIndex;
    std::vector<QColor> m_colors;

    int m_currentStyle = -1; // style in force in the output, -1 after \pard or a group
    bool m_linkOpen = false;
    QString m_linkHref;
};

int Writer::FontIndex(const QString &family) {
    const auto found = m_fontIndex.constFind(family);
    if (found != m_fontIndex.constEnd())
        return *found;
    const int index = int(m_fonts.size());
    m_fonts.append(family);
    m_fontIndex.insert(family, index);
    return index;
}

int Writer::ColorIndex(const QBrush &brush) {
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QColor color = brush.color();
    if (!color.isValid())
        return 0;
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    const auto found = m_colorIndex.constFind(rgb);
    if (found != m_colorIndex.constEnd())
        return *found;
    m_colors.push_back(QColor::fromRgb(rgb));
    const int index = int(m_colors.size()); // 0 is "auto"
    m_colorIndex.insert(rgb, index);
    return index;
}

int Writer::StyleOf(int formatIndex, const QTextCharFormat &format) {
    if (formatIndex >= 0) {
        const auto found = m_styleOfFormat.find(formatIndex);
        if (found != m_styleOfFormat.end())
            return found->second;
    }
    RunStyle style;
    QString family;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        family = families.first();
    if (family.isEmpty())
        family = m_defaultFont.family();
    style.font = FontIndex(family);
    double points = 0;
    if (format.hasProperty(QTextFormat::FontPointSize))
        points = format.fontPointSize();
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    else
        points = m_defaultFont.pointSizeF() > 0 ? m_defaultFont.pointSizeF()
                                                : m_defaultFont.pixelSize() * 0.75;
    if (points <= 0)
        points = 12;
    style.halfPoints = std::clamp(int(std::lround(points * 2)), 1, 3276);
    style.bold = format.hasProperty(QTextFormat::FontWeight)
                     ? format.fontWeight() >= QFont::DemiBold
                     : m_defaultFont.weight() >= QFont::DemiBold;
    style.italic =
        format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : m_defaultFont.italic();
    style.underline = format.underlineStyle();
    if (style.underline == QTextCharFormat::SpellCheckUnderline)
        style.underline = QTextCharFormat::NoUnderline;
    if (style.underline == QTextCharFormat::NoUnderline &&
        !format.hasProperty(QTextFormat::TextUnderlineStyle) && m_defaultFont.underline())
        style.underline = QTextCharFormat::SingleUnderline;
    style.strike = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut()
                                                                  : m_defaultFont.strikeOut();
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        style.valign = 1;
        break;
    case QTextCharFormat::AlignSubScript:
        style.valign = 2;
        break;
    default:
        break;
    }
    switch (format.fontCapitalization()) {
    case QFont::AllUppercase:
        style.caps = 1;
        break;
    case QFont::SmallCaps:
        style.caps = 2;
        break;
    default:
        break;
    }
    style.foreground = ColorIndex(format.foreground());
    style.background = ColorIndex(format.background());
    if (format.isAnchor())
        style.href = format.anchorHref();
    int index = -1;
    for (std::size_t i = 0; i < m_styles.size(); ++i) {
        if (m_styles[i] == style) {
            index = int(i);
            break;
        }
    }
    if (index < 0) {
        index = int(m_styles.size());
        m_styles.push_back(style);
    }
    if (formatIndex >= 0)
        m_styleOfFormat.emplace(formatIndex, index);
    return index;
}

void Writer::CollectBlock(const QTextBlock &block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        if (!fragment.charFormat().isImageFormat()) {
            StyleOf(fragment.charFormatIndex(), fragment.charFormat());
            continue;
        }
        const QTextImageFormat image = fragment.charFormat().toImageFormat();
        auto picture = m_pictures.constFind(image.name());
        if (picture == m_pictures.constEnd())
            picture = m_pictures.insert(image.name(), RtfImages::Resolve(m_document, image));
        m_pictureBytes += picture->bytes.size() * fragment.length();
    }
    if (block.length() <= 1)
        StyleOf(-1, block.charFormat());
}

void Writer::WriteHeader() {
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        m_out.append("{\\f");
        Number(i);
        m_out.append("\\fnil\\fcharset0 ");
        WriteText(m_fonts[i]);
        m_out.append(";}");
    }
    m_out.append("}\n{\\colortbl;");
    for (const QColor &color : m_colors) {
        Word("\\red", color.red());
        Word("\\green", color.green());
        Word("\\blue", color.blue());
        m_out.append(';');
    }
    m_out.append("}\n{\\*\\generator Quillory;}\n");
}

void Writer::WriteParagraphFormat(const QTextBlock &block) {
    const QTextBlockFormat format = block.blockFormat();
    m_out.append("\\pard");
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        m_out.append("\\qc");
    else if (align & Qt::AlignJustify)
        m_out.append("\\qj");
    else if ((align & Qt::AlignRight) || (align & Qt::AlignTrailing))
        m_out.append("\\qr");
    double left = format.leftMargin();
    if (format.indent() > 0)
        left += format.indent() * m_document.indentWidth();
    if (block.textList() != nullptr)
        left += block.textList()->format().indent() * m_document.indentWidth();
    auto twips = [](double pixels) { return int(std::lround(pixels * kTwipsPerPixel)); };
    if (twips(left) != 0)
        Word("\\li", twips(left));
    if (twips(format.rightMargin()) != 0)
        Word("\\ri", twips(format.rightMargin()));
    if (twips(format.textIndent()) != 0)
        Word("\\fi", twips(format.textIndent()));
    if (twips(format.topMargin()) != 0)
        Word("\\sb", twips(format.topMargin()));
    if (twips(format.bottomMargin()) != 0)
        Word("\\sa", twips(format.bottomMargin()));
    const double height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (height > 0 && std::lround(height * 240 / 100) != 240) {
            Word("\\sl", int(std::lround(height * 240 / 100)));
            m_out.append("\\slmult1");
        }
        break;
    case QTextBlockFormat::MinimumHeight:
    case QTextBlockFormat::LineDistanceHeight:
        if (twips(height) > 0) {
            Word("\\sl", twips(height));
            m_out.append("\\slmult0");
        }
        break;
    case QTextBlockFormat::FixedHeight:
        if (twips(height) > 0) {
            Word("\\sl", -twips(height));
            m_out.append("\\slmult0");
        }
        break;
    default:
        break;
    }
    m_currentStyle = -1;
}

void Writer::WriteStyle(int index) {
    if (index == m_currentStyle)
        return;
    const RunStyle &style = m_styles[index];
    m_out.append("\\plain");
    Word("\\f", style.font);
    Word("\\fs", style.halfPoints);
    if (style.bold)
        m_out.append("\\b");
    if (style.italic)
        m_out.append("\\i");
    switch (style.underline) {
    case QTextCharFormat::NoUnderline:
        break;
    case QTextCharFormat::DashUnderline:
        m_out.append("\\uldash");
        break;
    case QTextCharFormat::DotLine:
        m_out.append("\\uld");
        break;
    case QTextCharFormat::DashDotLine:
        m_out.append("\\uldashd");
        break;
    case QTextCharFormat::DashDotDotLine:
        m_out.append("\\uldashdd");
        break;
    case QTextCharFormat::WaveUnderline:
        m_out.append("\\ulwave");
        break;
    default:
        m_out.append("\\ul");
        break;
    }
    if (style.strike)
        m_out.append("\\strike");
    if (style.valign == 1)
        m_out.append("\\super");
    else if (style.valign == 2)
        m_out.append("\\sub");
    if (style.caps == 1)
        m_out.append("\\caps");
    else if (style.caps == 2)
        m_out.append("\\scaps");
    if (style.foreground > 0)
        Word("\\cf", style.foreground);
    if (style.background > 0)
        Word("\\highlight", style.background);
    m_out.append(' ');
    m_currentStyle = index;
}

void Writer::WriteText(const QString &text) {
    const QChar *chars = text.constData();
    const qsizetype count = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = chars[i].unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == '\\' || c == '{' || c == '}')
                m_out.append('\\');
            m_out.append(char(c));
            continue;
        }
        switch (c) {
        case '\t':
            m_out.append("\\tab ");
            continue;
        case '\n':
        case '\r':
        case 0x2028:
        case 0x2029:
            m_out.append("\\line ");
            continue;
        case 0x00A0:
            m_out.append("\\~");
            continue;
        case 0x00AD:
            m_out.append("\\-");
            continue;
        case 0x2011:
            m_out.append("\\_");
            continue;
        case 0xFFFC:
            continue; // an object without an image format: nothing to keep
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F)
            continue;
        if (const unsigned char byte = Cp1252Byte(c)) {
            const char escape[4] = {'\\', '\'', kHex[byte >> 4], kHex[byte & 15]};
            m_out.append(escape, 4);
            continue;
        }
        // The fallback '?' is written as \'3f, as word processors do: after a literal fallback
        // character pandoc skips the character that follows as well.
        Word("\\u", int(static_cast<qint16>(c)));
        m_out.append("\\'3f");
    }
}

void Writer::WritePicture(const QTextImageFormat &format) {
    QByteArray bytes;
    QByteArray kind;
    QSize extent;
    QSizeF natural;
    const QVariant source = format.property(RtfImages::SourceData);
    if (source.isValid() && !source.toByteArray().isEmpty()) {
        bytes = source.toByteArray();
        kind = format.property(RtfImages::SourceKind).toString().toLatin1();
        if (kind != "emfblip")
            kind = "wmetafile8";
        extent = format.property(RtfImages::SourceExtent).toSize();
        natural = QSizeF(extent.width() * 96.0 / 2540.0, extent.height() * 96.0 / 2540.0);
    } else {
        const RtfImages::EncodedPicture picture = m_pictures.value(format.name());
        if (picture.bytes.isEmpty())
            return;
        bytes = picture.bytes;
        kind = picture.jpeg ? "jpegblip" : "pngblip";
        extent = picture.pixels;
        natural = QSizeF(picture.pixels);
    }
    double width = format.width();
    double height = format.height();
    if (width <= 0 && height <= 0) {
        width = natural.width();
        height = natural.height();
    } else if (width <= 0) {
        width = natural.height() > 0 ? height * natural.width() / natural.height() : height;
    } else if (height <= 0) {
        height = natural.width() > 0 ? width * natural.height() / natural.width() : width;
    }
    m_out.append("{\\pict\\");
    m_out.append(kind);
    Word("\\picw", extent.width());
    Word("\\pich", extent.height());
    Word("\\picwgoal", int(std::lround(width * kTwipsPerPixel)));
    Word("\\pichgoal", int(std::lround(height * kTwipsPerPixel)));
    m_out.append('\n');
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype start = m_out.size();
    m_out.resize(start + bytes.size() * 2 + bytes.size() / 64 + 1);
    char *out = m_out.data() + start;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        *out++ = kHex[data[i] >> 4];
        *out++ = kHex[data[i] & 15];
        if (i % 64 == 63)
            *out++ = '\n';
    }
    m_out.resize(out - m_out.constData());
    m_out.append("}");
    m_currentStyle = -1;
}

void Writer::OpenLink(const QString &href) {
    m_out.append(R"({\field{\*\fldinst{HYPERLINK ")");
    QString escaped = href;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    WriteText(escaped);
    m_out.append("\"}}{\\fldrslt{");
    m_linkOpen = true;
    m_linkHref = href;
    m_currentStyle = -1;
}

void Writer::CloseLink() {
    if (!m_linkOpen)
        return;
    m_out.append("}}}");
    m_linkOpen = false;
    m_currentStyle = -1;
}

void Writer::WriteBlock(const QTextBlock &block) {
    WriteParagraphFormat(block);
    if (const QTextList *list = block.textList()) {
        QString marker = list->itemText(block);
        if (marker.isEmpty()) {
            switch (list->format().style()) {
            case QTextListFormat::ListCircle:
                marker = QString(QChar(0x25E6));
                break;
            case QTextListFormat::ListSquare:
                marker = QString(QChar(0x25AA));
                break;
            default:
                marker = QString(QChar(0x2022));
                break;
            }
        }
        const QTextFragment first = block.begin().fragment();
        WriteStyle(StyleOf(first.isValid() ? first.charFormatIndex() : -1,
                           first.isValid() ? first.charFormat() : block.charFormat()));
        WriteText(marker);
        m_out.append("\\tab ");
    }
    bool empty = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        empty = false;
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            const QString text = fragment.text();
            for (QChar c : text)
                if (c == QChar::ObjectReplacementCharacter)
                    WritePicture(image);
            continue;
        }
        const int style = StyleOf(fragment.charFormatIndex(), format);
        const QString &href = m_styles[style].href;
        if (m_linkOpen && href != m_linkHref)
            CloseLink();
        if (!m_linkOpen && !href.isEmpty())
            OpenLink(href);
        if (m_styles[style].valign != 0) {
            // LibreOffice misplaces superscript and subscript text that is not in a group.
            m_out.append('{');
            m_currentStyle = -1;
            WriteStyle(style);
            WriteText(fragment.text());
            m_out.append('}');
            m_currentStyle = -1;
            continue;
        }
        WriteStyle(style);
        WriteText(fragment.text());
    }
    CloseLink();
    if (empty)
        WriteStyle(StyleOf(-1, block.charFormat()));
    m_out.append("\\par\n");
}

QByteArray Writer::Write() {
    FontIndex(m_defaultFont.family());
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        CollectBlock(block);
    // Pictures, in hex, are most of an entry with photos: room for all of it at once.
    m_out.reserve(qsizetype(m_document.characterCount()) * 2 + m_pictureBytes * 2 +
                  m_pictureBytes / 64 + 4096);
    WriteHeader();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        WriteBlock(block);
    m_out.append("}\n");
    return m_out;
}

} // namespace

namespace RtfWriter {

QByteArray Write(const QTextDocument &document) {
    Writer writer(document);
    return writer.Write();
}

} // namespace RtfWriter
