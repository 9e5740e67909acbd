#include "TestPictures.h"

#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QDirIterator>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    return image;
}

QString Describe(const QTextCharFormat &f, const QFont &base) {
    const auto color = [](const QBrush &brush) {
        return (brush.style() == Qt::NoBrush ? QString() : brush.color().name()).toUtf8();
    };
    return QString::asprintf(
        "[%s %gpt w%d i%d u%d s%d v%d c%d fg%s bg%s a%s]",
        qPrintable(f.fontFamilies().toStringList().value(0, base.family())),
        f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF(),
        f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : base.weight(), f.fontItalic(),
        f.underlineStyle(), f.fontStrikeOut(), f.verticalAlignment(), f.fontCapitalization(),
        color(f.foreground()).constData(), color(f.background()).constData(),
        qPrintable(f.isAnchor() ? f.anchorHref() : QString()));
}

// The whole document as text, formats and picture contents, merging adjacent runs that look
// the same (the writer may split or join runs).
QStringList Describe(const QTextDocument &document) {
    QStringList lines;
    const QFont base = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat f = block.blockFormat();
        QString line = QString::asprintf(
            "{a%d l%g r%g t%g top%g b%g lh%g/%d}",
            int(f.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft), f.leftMargin(),
            f.rightMargin(), f.textIndent(), f.topMargin(), f.bottomMargin(),
            f.lineHeightType() == QTextBlockFormat::SingleHeight ? 0 : f.lineHeight(),
            f.lineHeightType());
        QString last;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                const RtfImages::EncodedPicture picture = RtfImages::Resolve(document, image);
                const QImage pixels =
                    QImage::fromData(picture.bytes).convertToFormat(QImage::Format_ARGB32);
                const QString one = QString::asprintf(
                    "<img %dx%d shown %dx%d %zu>", pixels.width(), pixels.height(),
                    qRound(image.width() > 0 ? image.width() : pixels.width()),
                    qRound(image.height() > 0 ? image.height() : pixels.height()),
                    size_t(qHash(QByteArrayView(pixels.constBits(), pixels.sizeInBytes()))));
                line += one.repeated(fragment.text().count(QChar::ObjectReplacementCharacter));
                last.clear();
                continue;
            }
            const QString style = Describe(format, base);
            if (style != last)
                line += style;
            last = style;
            line += fragment.text();
        }
        lines << line;
    }
    return lines;
}

void Insert(QTextCursor &cursor, const QTextCharFormat &base, const QString &text, int property = 0,
            const QVariant &value = {}) {
    QTextCharFormat format = base;
    if (property != 0)
        format.setProperty(property, value);
    cursor.insertText(text, format);
}

void BuildRichDocument(QTextDocument *document) {
    QTextCursor cursor(document);
    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    centered.setBottomMargin(8);
    cursor.setBlockFormat(centered);
    QTextCharFormat title;
    title.setFontFamilies({"DejaVu Serif"});
    title.setFontPointSize(20);
    title.setFontWeight(QFont::Bold);
    title.setForeground(QColor("#c00000"));
    cursor.insertText("Dear diary", title);

    QTextBlockFormat indented;
    indented.setAlignment(Qt::AlignJustify);
    indented.setLeftMargin(48);
    indented.setRightMargin(24);
    indented.setTextIndent(-24);
    indented.setTopMargin(4);
    indented.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    cursor.insertBlock(indented);
    QTextCharFormat plain;
    plain.setFontFamilies({"Liberation Sans"});
    plain.setFontPointSize(11);
    Insert(cursor, plain, "Plain, ");
    Insert(cursor, plain, "italic, ", QTextFormat::FontItalic, true);
    Insert(cursor, plain, "underlined, ", QTextFormat::TextUnderlineStyle,
           QTextCharFormat::SingleUnderline);
    Insert(cursor, plain, "wavy, ", QTextFormat::TextUnderlineStyle,
           QTextCharFormat::WaveUnderline);
    Insert(cursor, plain, "struck, ", QTextFormat::FontStrikeOut, true);
    Insert(cursor, plain, "sup", QTextFormat::TextVerticalAlignment,
           QTextCharFormat::AlignSuperScript);
    Insert(cursor, plain, "sub", QTextFormat::TextVerticalAlignment,
           QTextCharFormat::AlignSubScript);
    QTextCharFormat marked = plain;
    marked.setFontPointSize(10.5);
    Insert(cursor, marked, " marked ", QTextFormat::BackgroundBrush, QBrush(QColor("#ffff00")));
    Insert(cursor, plain, "Small Caps", QTextFormat::FontCapitalization, QFont::SmallCaps);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setLineHeight(20, QTextBlockFormat::FixedHeight);
    cursor.insertBlock(right);
    Insert(cursor, plain,
           QString::fromUtf8("café € “quotes” — Ωμέγα 中文 😀 {braces} back\\slash "
                             "tab\there\u2028next line\u00A0nbsp"));
    QTextCharFormat link = plain;
    link.setAnchor(true);
    link.setAnchorHref("https://example.org/a?b=1&c=\"2\"");
    link.setForeground(QColor("#0000ff"));
    Insert(cursor, link, " link");
    Insert(cursor, link, " bold link", QTextFormat::FontWeight, QFont::Bold);

    QTextBlockFormat normal;
    cursor.insertBlock(normal, plain);
    Insert(cursor, plain, "png ");
    cursor.insertImage(
        RtfImages::Add(document, EncodedImage(Gradient(16, 8), "PNG"), QSizeF(64, 32)));
    Insert(cursor, plain, " jpeg ");
    cursor.insertImage(RtfImages::Add(document, EncodedImage(Gradient(20, 10), "JPEG")));
    Insert(cursor, plain, " image ");
    const QTextImageFormat pasted = RtfImages::Add(document, Gradient(5, 5));
    cursor.insertImage(pasted);
    cursor.insertImage(pasted); // the same picture twice

    cursor.insertBlock(normal, plain); // an empty paragraph
    QTextCharFormat big = plain;
    big.setFontPointSize(30);
    cursor.insertBlock(normal, big); // an empty paragraph in a large font
    cursor.insertBlock(normal, plain);
    Insert(cursor, plain, "last");
}

} // namespace

class tst_RtfWriter : public QObject {
    Q_OBJECT

private slots:
    void bytesOfASmallDocument() {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat format;
        format.setFontFamilies({"Arial"});
        format.setFontPointSize(11);
        cursor.insertText(QString::fromUtf8("é€Ω😀{}\\\t"), format);
        format.setFontWeight(QFont::Bold);
        cursor.insertText("b", format);
        const QByteArray rtf = RtfWriter::Write(document);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"));
        QVERIFY(rtf.endsWith("}\n"));
        QVERIFY2(
            rtf.contains(
                "\\plain\\f1\\fs22 \\'e9\\'80\\u937\\'3f\\u-10179\\'3f\\u-8704\\'3f\\{\\}\\\\\\tab "
                "\\plain\\f1\\fs22\\b b\\par\n"),
            rtf.constData());
        QVERIFY(rtf.contains("{\\f1\\fnil\\fcharset0 Arial;}"));
        for (char c : rtf)
            QVERIFY2(uchar(c) < 0x80, "only ASCII");
        // The same document always gives the same bytes; which colour and font goes with which
        // run is the round trips' to check.
        QCOMPARE(RtfWriter::Write(document), rtf);
    }

    void picturesAndMetafilesAreWrittenAsTheirOwnBytes() {
        QTextDocument document;
        QTextCursor cursor(&document);
        const QByteArray png = EncodedImage(Gradient(16, 8), "PNG");
        const QByteArray jpeg = EncodedImage(Gradient(20, 10), "JPEG");
        cursor.insertImage(RtfImages::Add(&document, png, QSizeF(64, 32)));
        cursor.insertImage(RtfImages::Add(&document, jpeg));
        QTextImageFormat dataUrl;
        dataUrl.setName("data:image/png;base64," + QString::fromLatin1(png.toBase64()));
        cursor.insertImage(dataUrl);
        // A picture the document does not hold is not written, though its name is a file's.
        QTemporaryDir folder;
        QFile named(folder.filePath("private.png"));
        QVERIFY(named.open(QIODevice::WriteOnly) && named.write(png) == png.size());
        named.close();
        QTextImageFormat byName;
        byName.setName(named.fileName());
        cursor.insertImage(byName);
        const QByteArray rtf = RtfWriter::Write(document);
        QVERIFY(rtf.contains("{\\pict\\pngblip\\picw16\\pich8\\picwgoal960\\pichgoal480\n"));
        QVERIFY(rtf.contains("{\\pict\\jpegblip\\picw20\\pich10\\picwgoal300\\pichgoal150\n"));
        QVERIFY(rtf.contains("{\\pict\\pngblip\\picw16\\pich8\\picwgoal240\\pichgoal120\n"));
        QByteArray hex = rtf;
        hex.replace("\n", "");
        QCOMPARE(hex.count(png.toHex()), 2);
        QCOMPARE(hex.count(jpeg.toHex()), 1);

        const QByteArray wmf =
            QByteArray::fromHex("0100090000031d0000000000070000000000050000000b02000000000500"
                                "00000c0264006400070000001b045a005a000a000a00030000000000");
        RtfReader::Read("{\\rtf1 a{\\pict\\wmetafile8\\picw2646\\pich2646\\picwgoal1500"
                        "\\pichgoal1500 " +
                            wmf.toHex() + "}b\\par}",
                        &document);
        QByteArray written = RtfWriter::Write(document);
        QVERIFY(written.contains("{\\pict\\wmetafile8\\picw2646\\pich2646\\picwgoal1500"
                                 "\\pichgoal1500\n"));
        QVERIFY(written.replace("\n", "").contains(wmf.toHex()));
    }

    void writeThenReadGivesTheSameDocument() {
        QTextDocument document;
        BuildRichDocument(&document);
        QTextDocument copy;
        RtfReader::Read(RtfWriter::Write(document), &copy);
        QCOMPARE(Describe(copy), Describe(document));
        // Empty paragraphs keep the size of their (invisible) text.
        QCOMPARE(copy.findBlockByNumber(5).charFormat().fontPointSize(), 30.0);
    }

    void corpusFilesSurviveWritingBack() {
        const QString corpus = qEnvironmentVariable("QUILLORY_CORPUS");
        QVERIFY2(!corpus.isEmpty(), "QUILLORY_CORPUS is not set");
        int files = 0;
        QDirIterator it(corpus + QStringLiteral("/rtf"), {QStringLiteral("*.rtf")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTextDocument original;
            try {
                RtfReader::Read(file.readAll(), &original);
            } catch (const RtfReader::NotRtfError &) {
                continue; // not RTF; the corpus test checks these
            }
            ++files;
            const QByteArray first = RtfWriter::Write(original);
            QTextDocument again;
            RtfReader::Read(first, &again);
            if (Describe(again) != Describe(original))
                qInfo() << path;
            QCOMPARE(Describe(again), Describe(original));
            QVERIFY2(RtfWriter::Write(again) == first, qPrintable(path));
        }
        QVERIFY(files >= 370);
    }
};

QTEST_MAIN(tst_RtfWriter)
#include "tst_RtfWriter.moc"
