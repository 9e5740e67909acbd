#pragma once

#include <QTextEdit>
#include <QTextFormat>
#include <optional>

class LongParagraphCaret;
class PictureHandler;
class SearchIndex;
class ViewportTextLayout;

// The rich text box: a rich text editor with the property set the editing commands rely on.
// Positions count characters of the text with one character per paragraph break and are not
// limited to 16 bits. Attributes of a selection that mixes values read as std::nullopt; with
// nothing selected they are those of the insertion point, which text typed next takes.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    enum FileType { RichText = 0, PlainText = 1 };
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    explicit RichTextBox(QWidget *parent = nullptr);

    // The whole text; paragraphs separated by CR LF.
    QString Text() const;
    void SetText(const QString &text);

    QString SelText() const;
    // Replaces the selection (or inserts at the caret); CR LF, CR or LF make one line break.
    void SetSelText(const QString &text);
    int SelStart() const;
    void SetSelStart(int start); // moves the caret there, selecting nothing
    int SelLength() const;
    void SetSelLength(int length);

    std::optional<bool> SelBold() const;
    void SetSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void SetSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void SetSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void SetSelStrikeThru(bool on);
    std::optional<int> SelAlignment() const;
    void SetSelAlignment(int alignment);
    std::optional<quint32> SelColor() const; // 0x00BBGGRR
    void SetSelColor(quint32 color);
    std::optional<QString> SelFontName() const;
    void SetSelFontName(const QString &name);
    std::optional<float> SelFontSize() const;
    void SetSelFontSize(float points);

    // The control's base font, which text without a font of its own shows in.
    void SetBaseFontName(const QString &name);

    // Looks for `text` ignoring case, inside words too. With a start position it searches from
    // there to the end; without one it searches the selection when there is one, else the
    // whole text. Selects the match and returns its position, or -1 (selection unchanged).
    int Find(const QString &text, int start = -1);

    // Replaces the whole content with the file's; throws RuntimeError. The box then holds that
    // one document: the earlier one is gone.
    void LoadFile(const QString &path, FileType type = RichText);
    // Writes the whole content, replacing the file only once the new one is complete; throws
    // RuntimeError.
    void SaveFile(const QString &path, FileType type = RichText) const;

signals:
    // Raised for each key press that delivers a character; a handler may set the code to 0
    // to swallow the key.
    void KeyPress(qint16 &keyAscii);
    // Raised when any mouse button is pressed over the text.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // A picture pasted or dropped into the box was refused; `reason` tells the user why.
    void PictureRefused(const QString &reason);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Pictures a screen above and two below the ones shown are decoded ahead.
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Characters composed by an input method (dead keys, compose, IBus) are key presses too.
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // Pasting, dropping and the middle click bring pictures as pictures, as a rich edit control
    // does, and formatted text; never anything a file name or URL in the content points to.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    template <class Read> auto Uniform(Read read) const -> std::optional<decltype(read({}))>;
    void MergeFormat(const QTextCharFormat &format);
    void UseDocument(QTextDocument *document);
    // Only what is looked at is laid out, whatever the entry's length.
    void InstallLayout(QTextDocument *document);
    ViewportTextLayout *Layout() const;
    // Lays out the paragraphs the view shows as it scrolls; scrolled up onto a paragraph whose
    // height was estimated, it keeps what was on the screen where it was.
    void LayOutView();
    void InsertPicture(const QByteArray &encoded);
    void InsertPastedImage(const QMimeData &source);
    void InsertHtml(const QString &html);
    // The picture as pasted HTML may bring it, or nothing.
    std::optional<QTextImageFormat> PastedPicture(const QTextDocument &pasted,
                                                  const QTextImageFormat &picture);
    void InsertText(const QString &text);

    PictureHandler *m_pictures;
    // Find looks in a case-folded copy of the text that follows the edits.
    SearchIndex *m_searchIndex;
    LongParagraphCaret *m_longParagraphCaret;
    bool m_layingOutView = false;
};
