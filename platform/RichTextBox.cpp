#include "platform/RichTextBox.h"

#include "platform/AnsiCodePage.h"
#include "platform/FileIO.h"
#include "platform/KeyAscii.h"
#include "platform/LongParagraphCaret.h"
#include "platform/PictureHandler.h"
#include "platform/Pictures.h"
#include "platform/SearchIndex.h"
#include "platform/ViewportTextLayout.h"
#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace {

int AlignmentCode(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter)
        return RichTextBox::AlignCenter;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        return RichTextBox::AlignRight;
    return RichTextBox::AlignLeft;
}

Qt::Alignment QtAlignment(int code) {
    switch (code) {
    case RichTextBox::AlignCenter:
        return Qt::AlignHCenter;
    case RichTextBox::AlignRight:
        return Qt::AlignRight | Qt::AlignAbsolute;
    default:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

quint32 ColorValue(const QColor &color) {
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

QString NormaliseLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Text files from elsewhere may be UTF-8 or the single-byte code page; take UTF-8 when the
// bytes are valid UTF-8.
QString DecodePlainText(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? AnsiCodePage::Decode(bytes) : text;
}

// A document that holds its pictures and reads nothing by name: without this, a picture or
// style sheet named in pasted HTML would make it open that file or URL.
class HeldOnlyDocument final : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

// The end of an entry settles after a few screens laid out at most: each lays out what the
// screen before it left estimated.
constexpr int kPassesToTheEnd = 8;

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent)
    , m_pictures(new PictureHandler(this))
    , m_searchIndex(new SearchIndex(this))
    , m_longParagraphCaret(new LongParagraphCaret(this)) {
    setAcceptRichText(true);
    UseDocument(new HeldOnlyDocument(this));
    connect(m_pictures, &PictureHandler::Decoded, viewport(), [this] { viewport()->update(); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &RichTextBox::LayOutView);
}

void RichTextBox::UseDocument(QTextDocument *next) {
    QTextDocument *previous = document();
    const bool owned = previous->parent() == this; // else the text control deletes it
    InstallLayout(next);
    setDocument(next);
    if (owned)
        delete previous;
    m_searchIndex->Follow(next);
}

void RichTextBox::InstallLayout(QTextDocument *document) {
    auto *layout = new ViewportTextLayout(document);
    layout->SetViewHeight(viewport()->height());
    document->setDocumentLayout(layout);
    m_pictures->Attach(document);
}

ViewportTextLayout *RichTextBox::Layout() const {
    return qobject_cast<ViewportTextLayout *>(document()->documentLayout());
}

void RichTextBox::LayOutView() {
    ViewportTextLayout *layout = Layout();
    if (layout == nullptr || m_layingOutView)
        return;
    const QScopedValueRollback guard(m_layingOutView, true);
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() > 0 && bar->value() == bar->maximum();
    const qreal grown = layout->LayOutView(bar->value());
    // Scrolled to the end, the view stays at the end however the last screen turns out.
    for (int pass = 0; atEnd && pass < kPassesToTheEnd && bar->value() != bar->maximum(); ++pass) {
        bar->setValue(bar->maximum());
        layout->LayOutView(bar->value());
    }
    if (!atEnd && grown != 0)
        bar->setValue(bar->value() + qRound(grown));
}

QString RichTextBox::Text() const {
    return toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void RichTextBox::SetText(const QString &text) {
    setPlainText(NormaliseLineBreaks(text));
}

QString RichTextBox::SelText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.remove(QChar::ObjectReplacementCharacter); // pictures are not text
    return text;
}

void RichTextBox::SetSelText(const QString &text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(NormaliseLineBreaks(text));
    setTextCursor(cursor);
}

int RichTextBox::SelStart() const {
    return textCursor().selectionStart();
}

void RichTextBox::SetSelStart(int start) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, document()->characterCount() - 1));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const {
    return textCursor().selectionEnd() - textCursor().selectionStart();
}

void RichTextBox::SetSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + length, 0, document()->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

template <class Read>
auto RichTextBox::Uniform(Read read) const -> std::optional<decltype(read({}))> {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return read(currentCharFormat());
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<decltype(read({}))> first;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start)
                continue;
            if (fragment.position() >= end)
                break;
            const auto value = read(fragment.charFormat());
            if (!first)
                first = value;
            else if (!(*first == value))
                return std::nullopt;
        }
    }
    return first ? first : std::optional<decltype(read({}))>(read(cursor.charFormat()));
}

void RichTextBox::MergeFormat(const QTextCharFormat &format) {
    mergeCurrentCharFormat(format);
}

std::optional<bool> RichTextBox::SelBold() const {
    return Uniform([](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; });
}

void RichTextBox::SetSelBold(bool on) {
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    MergeFormat(format);
}

std::optional<bool> RichTextBox::SelItalic() const {
    return Uniform([](const QTextCharFormat &f) { return f.fontItalic(); });
}

void RichTextBox::SetSelItalic(bool on) {
    QTextCharFormat format;
    format.setFontItalic(on);
    MergeFormat(format);
}

std::optional<bool> RichTextBox::SelUnderline() const {
    return Uniform([](const QTextCharFormat &f) { return f.fontUnderline(); });
}

void RichTextBox::SetSelUnderline(bool on) {
    QTextCharFormat format;
    format.setFontUnderline(on);
    MergeFormat(format);
}

std::optional<bool> RichTextBox::SelStrikeThru() const {
    return Uniform([](const QTextCharFormat &f) { return f.fontStrikeOut(); });
}

void RichTextBox::SetSelStrikeThru(bool on) {
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    MergeFormat(format);
}

std::optional<int> RichTextBox::SelAlignment() const {
    const QTextCursor cursor = textCursor();
    QTextBlock block = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    const int first = AlignmentCode(block.blockFormat().alignment());
    for (; block.isValid(); block = block.next()) {
        if (AlignmentCode(block.blockFormat().alignment()) != first)
            return std::nullopt;
        if (block == last)
            break;
    }
    return first;
}

void RichTextBox::SetSelAlignment(int alignment) {
    setAlignment(QtAlignment(alignment));
}

std::optional<quint32> RichTextBox::SelColor() const {
    return Uniform([](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::ForegroundBrush) ? ColorValue(f.foreground().color())
                                                           : quint32(0);
    });
}

void RichTextBox::SetSelColor(quint32 color) {
    QTextCharFormat format;
    format.setForeground(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
    MergeFormat(format);
}

std::optional<QString> RichTextBox::SelFontName() const {
    const QString base = document()->defaultFont().family();
    return Uniform([&base](const QTextCharFormat &f) {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() ? base : families.constFirst();
    });
}

void RichTextBox::SetSelFontName(const QString &name) {
    QTextCharFormat format;
    format.setFontFamilies({name});
    MergeFormat(format);
}

std::optional<float> RichTextBox::SelFontSize() const {
    const float base = document()->defaultFont().pointSizeF();
    return Uniform([base](const QTextCharFormat &f) {
        return f.fontPointSize() > 0 ? static_cast<float>(f.fontPointSize()) : base;
    });
}

void RichTextBox::SetSelFontSize(float points) {
    if (points <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    MergeFormat(format);
}

void RichTextBox::SetBaseFontName(const QString &name) {
    QFont base = font();
    base.setFamily(name);
    setFont(base);
}

int RichTextBox::Find(const QString &text, int start) {
    if (text.isEmpty())
        return -1;
    const QTextCursor selection = textCursor();
    int from = 0;
    int to = document()->characterCount() - 1;
    if (start >= 0) {
        from = start;
    } else if (selection.hasSelection()) {
        from = selection.selectionStart();
        to = selection.selectionEnd();
    }
    if (from > to)
        return -1;
    const qsizetype at = m_searchIndex->Find(text, from, to);
    if (at < 0)
        return -1;
    QTextCursor match(document());
    match.setPosition(static_cast<int>(at));
    match.setPosition(static_cast<int>(at + text.size()), QTextCursor::KeepAnchor);
    setTextCursor(match);
    return static_cast<int>(at);
}

void RichTextBox::LoadFile(const QString &path, FileType type) {
    QByteArray bytes = FileIO::ReadAll(path);
    // A file that is not RTF at all opens as its text, as a rich edit control loads it.
    if (type == PlainText || !RtfReader::LooksLikeRtf(bytes)) {
        setPlainText(DecodePlainText(bytes));
        return;
    }
    // Read into a document of its own and hand it over whole: the window then lays the text
    // out once, instead of after every paragraph the reader adds.
    auto loaded = std::make_unique<HeldOnlyDocument>(this);
    loaded->setDefaultFont(document()->defaultFont());
    RtfReader::Read(bytes, loaded.get());
    bytes.clear(); // the file can be far larger than the entry: let it go before the swap
    UseDocument(loaded.release());
}

void RichTextBox::SaveFile(const QString &path, FileType type) const {
    FileIO::WriteAtomically(path, type == PlainText ? toPlainText().toUtf8()
                                                    : RtfWriter::Write(*document()));
}

void RichTextBox::keyPressEvent(QKeyEvent *event) {
    if (m_longParagraphCaret->Move(event))
        return;
    const int code = KeyAsciiOf(event);
    if (code >= 0) {
        auto keyAscii = static_cast<qint16>(code);
        emit KeyPress(keyAscii);
        if (keyAscii == 0) {
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event) {
    const QString committed = event->commitString();
    QString kept;
    for (const QChar c : committed) {
        auto keyAscii = static_cast<qint16>(c.unicode());
        emit KeyPress(keyAscii);
        if (keyAscii != 0)
            kept.append(QChar(static_cast<char16_t>(keyAscii)));
    }
    if (kept == committed) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QTextEdit::inputMethodEvent(&filtered);
}

// An input method places its window beside the caret.
QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle)
        if (const std::optional<QRect> caret = m_longParagraphCaret->CaretInBox())
            return *caret;
    return QTextEdit::inputMethodQuery(query);
}

void RichTextBox::mousePressEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
    QTextEdit::mousePressEvent(event);
}

void RichTextBox::paintEvent(QPaintEvent *event) {
    QTextEdit::paintEvent(event);
    if (const ViewportTextLayout *layout = Layout()) {
        const int top = verticalScrollBar()->value();
        const int height = viewport()->height();
        m_pictures->Prefetch(document(), layout->PositionNear(top - height),
                             layout->PositionNear(top + 3 * height));
    }
}

void RichTextBox::resizeEvent(QResizeEvent *event) {
    QTextEdit::resizeEvent(event);
    if (ViewportTextLayout *layout = Layout())
        layout->SetViewHeight(viewport()->height());
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const {
    return source != nullptr && (source->hasFormat(Pictures::kFileBytesMime) ||
                                 source->hasImage() || source->hasHtml() || source->hasText());
}

void RichTextBox::insertFromMimeData(const QMimeData *source) {
    // A middle click while no program on the screen owns a selection brings data without a
    // single format; Qt's own paste crashes on that.
    if (source == nullptr || source->formats().isEmpty())
        return;
    if (source->hasFormat(Pictures::kFileBytesMime))
        InsertPicture(source->data(Pictures::kFileBytesMime));
    else if (source->hasImage())
        InsertPastedImage(*source);
    else if (source->hasHtml() && acceptRichText())
        InsertHtml(source->html());
    else if (source->hasText())
        InsertText(source->text());
    ensureCursorVisible();
}

void RichTextBox::InsertPicture(const QByteArray &encoded) {
    const QSize pixels = Pictures::PixelSize(encoded);
    if (!pixels.isValid())
        return;
    if (Pictures::TooLarge(pixels)) {
        emit PictureRefused(Pictures::TooLargeText(pixels));
        return;
    }
    QTextCursor cursor = textCursor();
    const qreal width = PictureHandler::AvailableWidth(*document(), cursor.position());
    cursor.insertImage(RtfImages::Add(document(), Pictures::Storable(encoded),
                                      Pictures::Fitted(QSizeF(pixels), width)));
    setTextCursor(cursor);
}

void RichTextBox::InsertPastedImage(const QMimeData &source) {
    // The picture file a program offers, PNG or JPEG first, spares decoding and encoding it
    // and shows its size before anything is decoded.
    QStringList types = source.formats().filter(QStringLiteral("image/"));
    std::stable_partition(types.begin(), types.end(), [](const QString &type) {
        return type == QLatin1String("image/png") || type == QLatin1String("image/jpeg");
    });
    for (const QString &type : std::as_const(types)) {
        const QByteArray bytes = source.data(type);
        if (Pictures::PixelSize(bytes).isValid()) {
            InsertPicture(bytes);
            return;
        }
    }
    const auto image = qvariant_cast<QImage>(source.imageData());
    if (image.isNull())
        return;
    if (Pictures::TooLarge(image.size())) {
        emit PictureRefused(Pictures::TooLargeText(image.size()));
        return;
    }
    InsertPicture(Pictures::EncodePng(image));
}

std::optional<QTextImageFormat> RichTextBox::PastedPicture(const QTextDocument &pasted,
                                                           const QTextImageFormat &picture) {
    const QString name = picture.name();
    const bool carried = name.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
    if (!carried && RtfImages::Held(*document(), name).isValid())
        return picture; // copied inside this entry
    const QByteArray bytes = carried ? RtfImages::Held(pasted, name).toByteArray() : QByteArray();
    const QSize pixels = Pictures::PixelSize(bytes);
    if (!pixels.isValid())
        return std::nullopt;
    if (Pictures::TooLarge(pixels)) {
        emit PictureRefused(Pictures::TooLargeText(pixels));
        return std::nullopt;
    }
    const QSizeF given(picture.width(), picture.height());
    return RtfImages::Add(document(), Pictures::Storable(bytes),
                          given.isEmpty() ? QSizeF(pixels) : given);
}

void RichTextBox::InsertHtml(const QString &html) {
    // Parsed against this box's document, which reads nothing by name; then each picture comes
    // in only if the content carries it (a data: URL) or this entry holds it already.
    HeldOnlyDocument pasted;
    QTextCursor(&pasted).insertFragment(QTextDocumentFragment::fromHtml(html, document()));
    std::vector<std::pair<int, std::optional<QTextImageFormat>>> pictures;
    for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const auto picture = PastedPicture(pasted, fragment.charFormat().toImageFormat());
            for (int i = 0; i < fragment.length(); ++i)
                pictures.emplace_back(fragment.position() + i, picture);
        }
    }
    std::reverse(pictures.begin(), pictures.end()); // from the end, so positions hold
    for (const auto &[position, picture] : pictures) {
        QTextCursor at(&pasted);
        at.setPosition(position);
        at.setPosition(position + 1, QTextCursor::KeepAnchor);
        if (picture)
            at.insertImage(*picture);
        else
            at.removeSelectedText();
    }
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    setTextCursor(cursor);
}

void RichTextBox::InsertText(const QString &text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}
