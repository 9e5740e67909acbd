// The RTF reader on small hand-made documents: code pages, Unicode escapes, formatting,
// destinations, pictures, and damaged input.
#include "platform/RuntimeError.h"
#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace {

QByteArray Rtf(const QByteArray &header, const QByteArray &body) {
    return "{\\rtf1" + header + "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}" +
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n" + body + "}";
}

// The document's paragraphs, joined with '|'.
QString Paragraphs(const QTextDocument &document) {
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join(QLatin1Char('|'));
}

QString ReadText(const QByteArray &rtf) {
    QTextDocument document;
    RtfReader::Read(rtf, &document);
    return Paragraphs(document);
}

// The character format at the first occurrence of `text`.
QTextCharFormat FormatOf(const QTextDocument &document, const QString &text) {
    const QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QByteArray PngBytes(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Picture {
    QTextImageFormat format;
    QVariant resource;
};

QList<Picture> Pictures(const QTextDocument &document) {
    QList<Picture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
                pictures.append(
                    {format, document.resource(QTextDocument::ImageResource, QUrl(format.name()))});
            }
    return pictures;
}

} // namespace

class tst_RtfReader : public QObject {
    Q_OBJECT

private slots:
    void codePages_data() {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("1250") << QByteArray("\\ansi\\ansicpg1250") << QByteArray("\\'c8l\\'e1nek")
                              << QString::fromUtf8("Článek");
        QTest::newRow("1251 by font charset over 1252")
            << QByteArray("\\ansi\\ansicpg1252")
            << QByteArray(
                   "{\\fonttbl{\\f2\\fcharset204 Arial;}}\\f2 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2")
            << QString::fromUtf8("Привет");
        QTest::newRow("charset 0 is 1252 in a 1251 file")
            << QByteArray("\\ansi\\ansicpg1251")
            << QByteArray("{\\fonttbl{\\f2\\fcharset0 Arial;}}\\f2 \\'a8 \\f0 \\'a8")
            << QString::fromUtf8("¨ Ё");
        QTest::newRow("1253") << QByteArray("\\ansicpg1253") << QByteArray("\\'e1\\'e2\\'e3")
                              << QString::fromUtf8("αβγ");
        QTest::newRow("1254") << QByteArray("\\ansicpg1254") << QByteArray("\\'fe\\'f0")
                              << QString::fromUtf8("şğ");
        QTest::newRow("1255") << QByteArray("\\ansicpg1255") << QByteArray("\\'f9\\'ec")
                              << QString::fromUtf8("של");
        QTest::newRow("1256") << QByteArray("\\ansicpg1256") << QByteArray("\\'d3\\'e1")
                              << QString::fromUtf8("سل");
        QTest::newRow("1257") << QByteArray("\\ansicpg1257") << QByteArray("\\'e0\\'f0")
                              << QString::fromUtf8("ąš");
        QTest::newRow("1258") << QByteArray("\\ansicpg1258") << QByteArray("\\'f0\\'e2")
                              << QString::fromUtf8("đâ");
        QTest::newRow("874") << QByteArray("\\ansicpg874") << QByteArray("\\'a1\\'d2")
                             << QString::fromUtf8("กา");
        QTest::newRow("932 pairs, trail is a backslash")
            << QByteArray("\\ansicpg932") << QByteArray("\\'82\\'b1 \\'95\\'5c \\'83\\\\")
            << QString::fromUtf8("こ 表 ソ");
        QTest::newRow("932 lead byte pairs with a literal character")
            << QByteArray("\\ansicpg932") << QByteArray("\\'83t\\'83g")
            << QString::fromUtf8("フト");
        QTest::newRow("936") << QByteArray("\\ansicpg936") << QByteArray("\\'d6\\'d0\\'ce\\'c4")
                             << QString::fromUtf8("中文");
        QTest::newRow("949") << QByteArray("\\ansicpg949") << QByteArray("\\'c7\\'d1\\'b1\\'db")
                             << QString::fromUtf8("한글");
        QTest::newRow("950") << QByteArray("\\ansicpg950") << QByteArray("\\'a4\\'a4\\'a4\\'e5")
                             << QString::fromUtf8("中文");
        QTest::newRow("mac roman")
            << QByteArray("\\mac") << QByteArray("caf\\'8e \\'a5") << QString::fromUtf8("café •");
        QTest::newRow("pc 437") << QByteArray("\\pc") << QByteArray("\\'82\\'c9\\'cd\\'bb")
                                << QString::fromUtf8("é╔═╗");
        QTest::newRow("Symbol font bytes and letters")
            << QByteArray("\\ansi") << QByteArray("{\\f1 \\'b7 ab\\'d6}")
            << QString::fromUtf8("• αβ√");
        QTest::newRow("unpaired lead byte")
            << QByteArray("\\ansicpg932") << QByteArray("a\\'82") << QString::fromUtf8("a\uFFFD");
    }

    void codePages() {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QCOMPARE(ReadText("{\\rtf1" + header + "{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}" +
                          body + "}"),
                 text);
    }

    void unicodeEscapes_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("default uc1") << QByteArray("A\\u8364?B") << QString::fromUtf8("A€B");
        QTest::newRow("uc0") << QByteArray("\\uc0 A\\u8364 B") << QString::fromUtf8("A€B");
        QTest::newRow("uc2 with hex fallback")
            << QByteArray("\\uc2 A\\u8364\\'80\\'80B") << QString::fromUtf8("A€B");
        QTest::newRow("uc is scoped to its group")
            << QByteArray("{\\uc0 \\u8364 x}\\u8364?y") << QString::fromUtf8("€x€y");
        QTest::newRow("control word as fallback")
            << QByteArray("I\\u8212\\endash J") << QString::fromUtf8("I—J");
        QTest::newRow("negative and surrogates")
            << QByteArray("\\u-3913?\\u-10179?\\u-8704?") << QString::fromUtf8("\uF0B7😀");
        QTest::newRow("space after the number is the delimiter")
            << QByteArray("O\\u233 PQ") << QString::fromUtf8("OéQ");
        QTest::newRow("lone surrogate")
            << QByteArray("a\\u-10179?b") << QString::fromUtf8("a\uFFFDb");
        QTest::newRow("fallback ends at the group's end")
            << QByteArray("{\\uc3 \\u233}x") << QString::fromUtf8("éx");
        QTest::newRow("special characters")
            << QByteArray("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\_")
            << QString::fromUtf8("—–•‘’“”\u00A0\u2011");
    }

    void unicodeEscapes() {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QCOMPARE(ReadText(Rtf("\\ansi", body)), text);
    }

    void paragraphsAndBreaks_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("last paragraph mark ends the text")
            << QByteArray("a\\par b\\par") << QString("a|b");
        QTest::newRow("text after the last mark") << QByteArray("a\\par b") << QString("a|b");
        QTest::newRow("empty paragraphs") << QByteArray("a\\par\\par b\\par") << QString("a||b");
        QTest::newRow("line and tab")
            << QByteArray("a\\line b\\tab c") << QString::fromUtf8("a\u2028b\tc");
        QTest::newRow("line ends in the source are nothing")
            << QByteArray("on\r\ne\rtw\no") << QString("onetwo");
        QTest::newRow("TextEdit backslash-newline")
            << QByteArray("one\\\ntwo\\\r\n") << QString("one|two");
        QTest::newRow("table cells and rows")
            << QByteArray("\\trowd\\cellx1000\\cellx2000\\intbl A\\cell B\\cell\\row"
                          "\\trowd\\cellx1000\\cellx2000\\intbl \\cell D\\cell\\row after\\par")
            << QString("A\tB|\tD|after");
    }

    void paragraphsAndBreaks() {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QCOMPARE(ReadText(Rtf("\\ansi", body)), text);
    }

    // Parts of the file that are not the entry's text.
    void destinationsThatAreNotText() {
        const QByteArray body =
            "{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}"
            "{\\header H}{\\footer F}{\\*\\unknown U}{\\*\\generator G;}"
            "a{\\footnote N}b{\\*\\atnid X}{\\annotation C}{\\v hidden}c"
            "{\\*\\pn\\pnlvlblt{\\pntxtb P}}{\\nonshppict{\\pict\\wmetafile8 00}}"
            "{\\*\\bkmkstart mark}{\\xe index}d{\\unknownword e}{\\*\\panose 0102}\\par";
        QCOMPARE(ReadText(Rtf("\\ansi", body)), QString("abcde"));
    }

    void mixedUpperAndUnicodeFontTable() {
        // Word for Mac: {\upr{ANSI variant}{\*\ud{Unicode variant}}}.
        const QByteArray rtf = "{\\rtf1\\ansi{\\upr{\\fonttbl{\\f0 Ansi Name;}}{\\*\\ud{\\fonttbl"
                               "{\\f0 Unicode \\u8364?Name;}}}}\\f0 x{\\upr{a}{\\*\\ud{b}}}\\par}";
        QTextDocument document;
        RtfReader::Read(rtf, &document);
        QCOMPARE(Paragraphs(document), QString("xb"));
        QCOMPARE(FormatOf(document, "x").fontFamilies().toStringList(),
                 QStringList{QString::fromUtf8("Unicode €Name")});
    }

    void fieldsShowTheirResultAndKeepHyperlinks() {
        const QByteArray body =
            "see {\\field{\\*\\fldinst{\\b HYPERLINK} \"http://x.org/a\\\\\\\\b\" \\\\o \"tip\"}"
            "{\\fldrslt{\\ul\\plain here}}} and {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}"
            " {\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt up}}\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        QCOMPARE(Paragraphs(document), QString("see here and 3 up"));
        QCOMPARE(FormatOf(document, "here").anchorHref(), QString("http://x.org/a\\b"));
        QVERIFY(FormatOf(document, "here").isAnchor());
        QVERIFY(!FormatOf(document, "and").isAnchor());
        QCOMPARE(FormatOf(document, "up").anchorHref(), QString("#top"));
    }

    void characterFormatting() {
        const QByteArray body =
            "{\\b b}{\\i i}{\\ul u}{\\uldb d}{\\ulwave w}{\\uldash h}{\\strike s}{\\super p}"
            "{\\sub q}{\\caps c}{\\scaps m}{\\fs40 big}{\\fs fsdefault}{\\cf1 red}"
            "{\\highlight2 hl}{\\cb1 cb}{\\f1 \\'b7}{\\b\\i\\plain plain}{\\b x\\b0 y}{\\ul "
            "k\\ulnone l}"
            "{\\fs0 zero}\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi\\deff0", body), &document);
        QCOMPARE(FormatOf(document, "b").fontWeight(), int(QFont::Bold));
        QVERIFY(FormatOf(document, "i").fontItalic());
        QCOMPARE(FormatOf(document, "u").underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(FormatOf(document, "d").underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(FormatOf(document, "w").underlineStyle(), QTextCharFormat::WaveUnderline);
        QCOMPARE(FormatOf(document, "h").underlineStyle(), QTextCharFormat::DashUnderline);
        QVERIFY(FormatOf(document, "s").fontStrikeOut());
        QCOMPARE(FormatOf(document, "p").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(FormatOf(document, "q").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(FormatOf(document, "c").fontCapitalization(), QFont::AllUppercase);
        QCOMPARE(FormatOf(document, "m").fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(FormatOf(document, "big").fontPointSize(), 20.0);
        QCOMPARE(FormatOf(document, "fsdefault").fontPointSize(), 12.0);
        QCOMPARE(FormatOf(document, "zero").fontPointSize(), 12.0);
        QCOMPARE(FormatOf(document, "red").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(FormatOf(document, "hl").background().color(), QColor(0, 0, 255));
        QCOMPARE(FormatOf(document, "cb").background().color(), QColor(255, 0, 0));
        QCOMPARE(FormatOf(document, "\u2022").fontFamilies().toStringList(), QStringList{"Symbol"});
        QCOMPARE(FormatOf(document, "big").fontFamilies().toStringList(), QStringList{"Arial"});
        const QTextCharFormat plain = FormatOf(document, "plain");
        QVERIFY(!plain.fontItalic());
        QCOMPARE(plain.fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatOf(document, "y").fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatOf(document, "l").underlineStyle(), QTextCharFormat::NoUnderline);
        // Formatting ends with its group.
        QVERIFY(!FormatOf(document, "hl").foreground().color().isValid() ||
                FormatOf(document, "hl").foreground().style() == Qt::NoBrush);
    }

    void paragraphFormatting() {
        const QByteArray body = "\\pard\\qc c\\par\\pard\\qr r\\par\\pard\\qj j\\par"
                                "\\pard\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 i\\par"
                                "\\pard\\sl-300\\slmult0 x\\par{\\pard\\qc g\\par}after\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        QTextBlock block = document.begin();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        block = block.next();
        const QTextBlockFormat indented = block.blockFormat();
        QCOMPARE(indented.leftMargin(), 48.0); // 720 twips at 96 per inch
        QCOMPARE(indented.rightMargin(), 24.0);
        QCOMPARE(indented.textIndent(), -24.0);
        QCOMPARE(indented.topMargin(), 8.0);
        QCOMPARE(indented.bottomMargin(), 16.0);
        QCOMPARE(indented.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(indented.lineHeight(), 150.0);
        block = block.next();
        QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(block.blockFormat().lineHeight(), 20.0);
        block = block.next();
        QCOMPARE(block.text(), QString("g"));
        block = block.next();
        QCOMPARE(block.text(), QString("after"));
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void listsKeepTheirWrittenBullets() {
        // WordPad: the bullet is in the Symbol font; Word: \listtext plus an ignorable \pn.
        const QByteArray body = "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}one\\par"
                                "{\\listtext 2.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}two\\par";
        QCOMPARE(ReadText(Rtf("\\ansi", body)), QString::fromUtf8("•\tone|2.\ttwo"));
    }

    void pictures() {
        const QByteArray png = PngBytes(8, 4, Qt::red);
        const QByteArray body =
            "a{\\*\\shppict{\\pict\\pngblip\\picw8\\pich4\\picwgoal1500\\pichgoal750 " +
            png.toHex() +
            "}}{\\nonshppict{\\pict\\wmetafile8 0100090000}}b"
            "{\\pict\\pngblip\\picscalex50\\picscaley200\\bin" +
            QByteArray::number(png.size()) + " " + png + "}c{\\pict\\macpict 0011}d\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        QCOMPARE(document.toPlainText(), QString::fromUtf8("a\uFFFCb\uFFFCcd"));
        const QList<Picture> pictures = Pictures(document);
        QCOMPARE(pictures.size(), 2);
        QCOMPARE(pictures[0].resource.toByteArray(), png);
        QCOMPARE(pictures[0].format.width(), 100.0); // 1500 twips
        QCOMPARE(pictures[0].format.height(), 50.0);
        QCOMPARE(pictures[1].resource.toByteArray(), png);
        QCOMPARE(pictures[1].format.width(), 4.0); // 8 pixels at 50 %
        QCOMPARE(pictures[1].format.height(), 8.0);
        QVERIFY(pictures[0].format.name() != pictures[1].format.name());
    }

    void bitmapAndMetafilePictures() {
        // A 2x1 24-bit DIB: a BMP file without its 14-byte file header.
        QImage source(2, 1, QImage::Format_RGB888);
        source.setPixelColor(0, 0, Qt::red);
        source.setPixelColor(1, 0, Qt::blue);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(source.save(&buffer, "BMP"));
        const QByteArray dib = bmp.mid(14);
        const QByteArray wmf =
            QByteArray::fromHex("0100090000031d0000000000070000000000050000000b02000000000500"
                                "00000c0264006400070000001b045a005a000a000a00030000000000");
        const QByteArray body = "{\\pict\\dibitmap0\\picw2\\pich1 " + dib.toHex() +
                                "}{\\pict\\wmetafile8\\picw2646\\pich2646\\picwgoal1500"
                                "\\pichgoal1500 " +
                                wmf.toHex() + "}\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        const QList<Picture> pictures = Pictures(document);
        QCOMPARE(pictures.size(), 2);
        const QImage bitmap = QImage::fromData(pictures[0].resource.toByteArray());
        QCOMPARE(bitmap.size(), QSize(2, 1));
        QCOMPARE(bitmap.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(bitmap.pixelColor(1, 0), QColor(0, 0, 255));
        // The metafile shows as a placeholder and keeps its bytes for saving.
        QVERIFY(!QImage::fromData(pictures[1].resource.toByteArray()).isNull());
        QCOMPARE(pictures[1].format.width(), 100.0);
        QCOMPARE(pictures[1].format.property(RtfImages::SourceData).toByteArray(), wmf);
        QCOMPARE(pictures[1].format.property(RtfImages::SourceKind).toString(),
                 QString("wmetafile8"));
    }

    void binaryDataMayHoldBraces() {
        QCOMPARE(ReadText(Rtf("\\ansi", "a{\\*\\blob\\bin5 }{\\\\x}b\\par")), QString("ab"));
        QCOMPARE(ReadText(Rtf("\\ansi", "a{\\pict\\pngblip\\bin4 {}}}}b\\par")), QString("ab"));
        // \bin in body text: the bytes are not text.
        QCOMPARE(ReadText(Rtf("\\ansi", "a\\bin3 {}xb\\par")), QString("ab"));
    }

    void notRtfIsRefusedWithErrorNumber() {
        QTextDocument document;
        document.setPlainText("kept");
        for (const QByteArray &bytes :
             {QByteArray("hello"), QByteArray("{}"), QByteArray("{\\foobar}"),
              QByteArray("/{\\rtf1 x}"), QByteArray("\x89PNG\r\n")}) {
            try {
                RtfReader::Read(bytes, &document);
                QFAIL(bytes.constData());
            } catch (const RuntimeError &error) {
                QCOMPARE(error.number(), ErrorNumber::InvalidFileFormat);
            }
        }
        QCOMPARE(document.toPlainText(), QString("kept"));
        // A blank file is an empty entry; a BOM and blank lines before {\rtf are allowed.
        RtfReader::Read(QByteArray("\r\n"), &document);
        QCOMPARE(document.toPlainText(), QString());
        QCOMPARE(ReadText("\xEF\xBB\xBF\r\n {\\rtf1 x\\par}"), QString("x"));
    }

    void damagedInputGivesWhatCanBeRead_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut in a word")
            << QByteArray("{\\rtf1 {\\b Hello} wor") << QString("Hello wor");
        QTest::newRow("cut in a control word") << QByteArray("{\\rtf1 a\\pa") << QString("a");
        QTest::newRow("cut in hex") << QByteArray("{\\rtf1 caf\\'e") << QString("caf");
        QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 x\\") << QString("x");
        QTest::newRow("bin longer than the file")
            << QByteArray("{\\rtf1 x\\bin999999 abc") << QString("x");
        QTest::newRow("skipped bin longer than the file")
            << QByteArray("{\\rtf1 x{\\*\\d\\bin999999999999999 abc") << QString("x");
        QTest::newRow("stray closing brace mid-file")
            << QByteArray("{\\rtf1 a}\\par b\\par}") << QString("a|b");
        QTest::newRow("garbage and NUL after the root")
            << QByteArray("{\\rtf1 a\\par}\r\n\0junk-", 19) << QString("a");
        QTest::newRow("absurd numbers")
            << QByteArray("{\\rtf1 \\fs99999999999999999 \\li-99999999999\\f-5\\cf99999 "
                          "\\uc99999 \\u99999999 a{\\pict\\pngblip\\picwgoal2147483647 00}\\par}")
            << QString("");
        QTest::newRow("invalid hex")
            << QByteArray("{\\rtf1 x\\u345\\'3?x\\par}") << QString::fromUtf8("xřx");
    }

    void damagedInputGivesWhatCanBeRead() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(ReadText(rtf), text);
    }

    void deepNestingNeedsNoDeepStack() {
        // 200 000 open groups, each changing the formatting; then closed and unclosed.
        QByteArray closed = "{\\rtf1 ";
        closed += QByteArray("{\\b ").repeated(200000) + "deep" + QByteArray("}").repeated(200000);
        closed += " after\\par}";
        QCOMPARE(ReadText(closed), QString("deep after"));
        QByteArray unclosed = "{\\rtf1 " + QByteArray("{\\i ").repeated(200000) + "open";
        QCOMPARE(ReadText(unclosed), QString("open"));
        QByteArray skipped =
            "{\\rtf1 {\\*\\x " + QByteArray("{").repeated(200000) + "}" + " shown\\par}";
        QCOMPARE(ReadText(skipped), QString());
    }

    void readingReplacesTheWholeDocument() {
        QTextDocument document;
        document.setHtml("<b>old</b><img src='data:image/png;base64,AAAA'>");
        RtfReader::Read("{\\rtf1 new\\par}", &document);
        QCOMPARE(Paragraphs(document), QString("new"));
        QVERIFY(!document.isModified());
        QVERIFY(!document.isUndoAvailable());
    }
};

QTEST_MAIN(tst_RtfReader)
#include "tst_RtfReader.moc"
