// The RTF reader on small hand-made documents: code pages, Unicode escapes, formatting,
// destinations, pictures, and damaged input.
#include "TestPictures.h"

#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfReader.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// One row of the text table: the whole file and its paragraphs joined with '|'.
void Row(const char *name, const QByteArray &rtf, const char *text) {
    QTest::newRow(name) << rtf << QString::fromUtf8(text);
}
void Body(const char *name, const QByteArray &body, const char *text) {
    Row(name, Rtf("\\ansi", body), text);
}

// The character format at the first occurrence of `text`.
QTextCharFormat FormatOf(const QTextDocument &document, const QString &text) {
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(document.find(text).selectionStart() + 1);
    return cursor.charFormat();
}

// What sets a character apart from plain 12-point Arial.
QString Traits(const QTextCharFormat &f) {
    QStringList traits;
    if (f.fontWeight() != QFont::Normal)
        traits << QStringLiteral("w%1").arg(f.fontWeight());
    if (f.fontItalic())
        traits << QStringLiteral("italic");
    if (f.underlineStyle() != QTextCharFormat::NoUnderline) // 1 single, 2 dash, 6 wave
        traits << QStringLiteral("ul%1").arg(f.underlineStyle());
    if (f.fontStrikeOut())
        traits << QStringLiteral("strike");
    if (f.verticalAlignment() != QTextCharFormat::AlignNormal) // 1 super, 2 sub
        traits << QStringLiteral("v%1").arg(f.verticalAlignment());
    if (f.fontCapitalization() != QFont::MixedCase) // 1 all, 3 small caps
        traits << QStringLiteral("caps%1").arg(f.fontCapitalization());
    if (f.fontPointSize() != 12)
        traits << QStringLiteral("%1pt").arg(f.fontPointSize());
    if (f.foreground().style() != Qt::NoBrush)
        traits << QStringLiteral("fg") + f.foreground().color().name();
    if (f.background().style() != Qt::NoBrush)
        traits << QStringLiteral("bg") + f.background().color().name();
    if (f.fontFamilies().toStringList() != QStringList{QStringLiteral("Arial")})
        traits << f.fontFamilies().toStringList();
    return traits.join(QLatin1Char(' '));
}

QByteArray Resource(const QTextDocument &document, const QTextImageFormat &picture) {
    return document.resource(QTextDocument::ImageResource, QUrl(picture.name())).toByteArray();
}

// The address space this process has mapped, in bytes.
rlim_t VirtualMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return rlim_t(line.mid(7).trimmed().split(' ').front().toULongLong()) << 10;
    return 0;
}

} // namespace

class tst_RtfReader : public QObject {
    Q_OBJECT

private slots:
    void readsTheText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        // Code pages: \ansicpg, a font's charset over it, double-byte pages, Symbol (the corpus
        // holds files in 1250, 936, 950 and the Mac's).
        Row("1251 by font charset over 1252",
            Rtf("\\ansi\\ansicpg1252",
                "{\\fonttbl{\\f2\\fcharset204 Arial;}}\\f2 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"),
            "Привет");
        Row("charset 0 is 1252 in a 1251 file",
            Rtf("\\ansi\\ansicpg1251", "{\\fonttbl{\\f2\\fcharset0 Arial;}}\\f2 \\'a8 \\f0 \\'a8"),
            "¨ Ё");
        Row("1253", Rtf("\\ansicpg1253", "\\'e1\\'e2\\'e3"), "αβγ");
        Row("1254", Rtf("\\ansicpg1254", "\\'fe\\'f0"), "şğ");
        Row("1255", Rtf("\\ansicpg1255", "\\'f9\\'ec"), "של");
        Row("1256", Rtf("\\ansicpg1256", "\\'d3\\'e1"), "سل");
        Row("1257", Rtf("\\ansicpg1257", "\\'e0\\'f0"), "ąš");
        Row("1258", Rtf("\\ansicpg1258", "\\'f0\\'e2"), "đâ");
        Row("874", Rtf("\\ansicpg874", "\\'a1\\'d2"), "กา");
        Row("932 lead with a literal trail", Rtf("\\ansicpg932", "\\'83t\\'83g"), "フト");
        Row("949", Rtf("\\ansicpg949", "\\'c7\\'d1\\'b1\\'db"), "한글");
        Body("Symbol font bytes and letters", "{\\f1 \\'b7 ab\\'d6}", "• αβ√");
        Row("unpaired lead byte", Rtf("\\ansicpg932", "a\\'82"), "a\uFFFD");
        // Unicode escapes and their fallbacks (the corpus's uc-variants file holds the usual
        // ones).
        Body("uc is scoped to its group", "{\\uc0 \\u8364 x}\\u8364?y", "€x€y");
        Body("lone surrogate", "a\\u-10179?b", "a\uFFFDb");
        Body("surrogate half without its fallback", "\\u-10179\\u-8704?x", "😀x");
        Body("the document's frame marks are not text", "a\\u-560?b\\par", "ab");
        Body("fallback ends with the group", "{\\uc3 \\u233}x", "éx");
        Body("special characters",
             "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\_",
             "—–•‘’“”\u00A0\u2011");
        Body("last paragraph mark ends the text", "a\\par b\\par", "a|b");
        Body("text after the last mark", "a\\par b", "a|b");
        Body("empty paragraphs", "a\\par\\par b\\par", "a||b");
        Body("line and tab", "a\\line b\\tab c", "a\u2028b\tc");
        Body("source line ends are nothing", "on\r\ne\rtw\no", "onetwo");
        Body("TextEdit backslash-newline", "one\\\ntwo\\\r\n", "one|two");
        Body("table cells and rows",
             "\\trowd\\cellx1000\\cellx2000\\intbl A\\cell B\\cell\\row"
             "\\trowd\\cellx1000\\cellx2000\\intbl \\cell D\\cell\\row after\\par",
             "A\tB|\tD|after");
        Body("lists keep their written bullets",
             "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}one\\par"
             "{\\listtext 2.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}two\\par",
             "•\tone|2.\ttwo");
        Body("destinations that are not text",
             "{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}"
             "{\\header H}{\\footer F}{\\*\\unknown U}{\\*\\generator G;}"
             "a{\\footnote N}b{\\*\\atnid X}{\\annotation C}{\\v hidden}c"
             "{\\*\\pn\\pnlvlblt{\\pntxtb P}}{\\nonshppict{\\pict\\wmetafile8 00}}"
             "{\\*\\bkmkstart mark}{\\xe index}d{\\unknownword e}{\\*\\panose 0102}\\par",
             "abcde");
        Body("bin in a skipped group holds braces", "a{\\*\\blob\\bin5 }{\\\\x}b\\par", "ab");
        Body("bin in a picture holds braces", "a{\\pict\\pngblip\\bin4 {}}}}b\\par", "ab");
        Body("bin in body text is not text", "a\\bin3 {}xb\\par", "ab");
        // Word for Mac: {\upr{ANSI variant}{\*\ud{Unicode variant}}}.
        Row("upr takes the Unicode variant", "{\\rtf1\\ansi x{\\upr{a}{\\*\\ud{b}}}\\par}", "xb");
        Row("BOM and blank lines before the file", "\xEF\xBB\xBF\r\n {\\rtf1 x\\par}", "x");
        // Damaged input gives what can be read (the corpus holds files cut in text, words, hex).
        Row("cut after a backslash", "{\\rtf1 x\\", "x");
        Row("bin longer than the file", "{\\rtf1 x\\bin999999 abc", "x");
        Row("skipped bin longer than the file", "{\\rtf1 x{\\*\\d\\bin999999999999999 abc", "x");
        Row("stray closing brace mid-file", "{\\rtf1 a}\\par b\\par}", "a|b");
        Row("garbage and NUL after the root", QByteArray("{\\rtf1 a\\par}\r\n\0junk-", 19), "a");
        Row("absurd numbers",
            "{\\rtf1 \\fs99999999999999999 \\li-99999999999\\f-5\\cf99999 "
            "\\uc99999 \\u99999999 a{\\pict\\pngblip\\picwgoal2147483647 00}\\par}",
            "");
        Row("invalid hex", "{\\rtf1 x\\u345\\'3?x\\par}", "xřx");
        // 200 000 open groups, each changing the formatting: no deep stack needed.
        Row("deep, closed",
            "{\\rtf1 " + QByteArray("{\\b ").repeated(200000) + "deep" +
                QByteArray("}").repeated(200000) + " after\\par}",
            "deep after");
        Row("deep, unclosed", "{\\rtf1 " + QByteArray("{\\i ").repeated(200000) + "open", "open");
        Row("deep, skipped",
            "{\\rtf1 {\\*\\x " + QByteArray("{").repeated(200000) + "} shown\\par}", "");
    }

    void readsTheText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        RtfReader::Read(rtf, &document);
        QCOMPARE(Paragraphs(document), text);
    }

    void characterFormatting() {
        const QByteArray body =
            "{\\b b{\\*\\x}}{\\i i}{\\ul u}{\\uldb d}{\\ulwave w}{\\uldash h}{\\strike s}{\\super "
            "p}"
            "{\\sub q}{\\caps c}{\\scaps m}{\\fs40 big}{\\fs fsdefault}{\\cf1 red}"
            "{\\highlight2 hl}{\\cb1 cb}{\\f1 \\'b7}{\\b\\i\\plain plain}{\\b x\\b0 y}"
            "{\\ul k\\ulnone v}{\\fs0 zero}\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi\\deff0", body), &document);
        const QString expected = QString::fromUtf8(
            "b:w700 i:italic u:ul1 d:ul1 w:ul6 h:ul2 s:strike p:v1 q:v2 c:caps1 m:caps3 big:20pt "
            "fsdefault: zero: red:fg#ff0000 hl:bg#0000ff cb:bg#ff0000 •:Symbol plain: x:w700 y: "
            "k:ul1 v:");
        QStringList seen;
        for (const QString &item : expected.split(QLatin1Char(' '))) {
            const QString text = item.section(QLatin1Char(':'), 0, 0);
            seen << text + QLatin1Char(':') + Traits(FormatOf(document, text));
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), expected);

        // Word for Mac's font table in both variants: the Unicode one is used.
        RtfReader::Read("{\\rtf1\\ansi{\\upr{\\fonttbl{\\f0 Ansi Name;}}{\\*\\ud{\\fonttbl"
                        "{\\f0 Unicode \\u8364?Name;}}}}\\f0 x\\par}",
                        &document);
        QCOMPARE(FormatOf(document, "x").fontFamilies().toStringList(),
                 QStringList{QString::fromUtf8("Unicode €Name")});
    }

    void paragraphFormatting() {
        const QByteArray body = "\\pard\\qc c\\par\\pard\\qr r\\par\\pard\\qj j\\par"
                                "\\pard\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1 i\\par"
                                "\\pard\\sl-300\\slmult0 x\\par{\\pard\\qc g\\par}after\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        // Text, alignment, margins left/right/first line/top/bottom in pixels at 96 per inch
        // (720 twips are 48), line height and its type (1 proportional, 2 fixed).
        QStringList blocks;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextBlockFormat f = block.blockFormat();
            blocks << block.text() +
                          QString::asprintf(" a%d %g/%g/%g/%g/%g lh%g:%d",
                                            int(f.alignment() & Qt::AlignHorizontal_Mask),
                                            f.leftMargin(), f.rightMargin(), f.textIndent(),
                                            f.topMargin(), f.bottomMargin(), f.lineHeight(),
                                            f.lineHeightType());
        }
        QCOMPARE(blocks, (QStringList{"c a4 0/0/0/0/0 lh0:0", "r a2 0/0/0/0/0 lh0:0",
                                      "j a8 0/0/0/0/0 lh0:0", "i a1 48/24/-24/8/16 lh150:1",
                                      "x a1 0/0/0/0/0 lh20:2", "g a4 0/0/0/0/0 lh0:0",
                                      "after a1 0/0/0/0/0 lh20:2"}));

        // A long entry goes into the document many paragraphs at a time: formats hold across.
        QByteArray many;
        for (int i = 0; i < 5000; ++i)
            many += "\\pard" + QByteArray(i % 3 ? "" : "\\qc") + " paragraph {\\b " +
                    QByteArray::number(i) + "} ends\\par";
        RtfReader::Read(Rtf("\\ansi", many), &document);
        QCOMPARE(document.blockCount(), 5000);
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            QStringList runs; // bold ones marked *
            for (auto it = block.begin(); !it.atEnd(); ++it)
                runs << it.fragment().text() +
                            (it.fragment().charFormat().fontWeight() > QFont::Normal ? "*" : "");
            const int number = block.blockNumber();
            QCOMPARE(runs, (QStringList{"paragraph ", QString::number(number) + "*", " ends"}));
            QCOMPARE(block.blockFormat().alignment() == Qt::AlignHCenter, number % 3 == 0);
        }
    }

    void fieldsShowTheirResultAndKeepHyperlinks() {
        const QByteArray body =
            "see {\\field{\\*\\fldinst{\\b HYPERLINK} \"http://x.org/a\\\\\\\\b\" \\\\o \"tip\"}"
            "{\\fldrslt{\\ul\\plain here}}} and {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}"
            " {\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt up}}\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        QCOMPARE(Paragraphs(document), QString("see here and 3 up"));
        QVERIFY(FormatOf(document, "here").isAnchor());
        QCOMPARE(FormatOf(document, "here").anchorHref(), QString("http://x.org/a\\b"));
        QVERIFY(!FormatOf(document, "and").isAnchor());
        QCOMPARE(FormatOf(document, "up").anchorHref(), QString("#top"));
    }

    void pictures() {
        const QByteArray png = EncodedImage(QImage(8, 4, QImage::Format_RGB32), "PNG");
        // A 2x1 24-bit DIB: a BMP file without its 14-byte file header.
        QImage source(2, 1, QImage::Format_RGB888);
        source.setPixelColor(0, 0, Qt::red);
        source.setPixelColor(1, 0, Qt::blue);
        const QByteArray dib = EncodedImage(source, "BMP").mid(14);
        const QByteArray wmf =
            QByteArray::fromHex("0100090000031d0000000000070000000000050000000b02000000000500"
                                "00000c0264006400070000001b045a005a000a000a00030000000000");
        // \shppict is preferred over \nonshppict; hex and \bin data; an unknown kind dropped.
        const QByteArray body =
            "a{\\*\\shppict{\\pict\\pngblip\\picw8\\pich4\\picwgoal1500\\pichgoal750 " +
            png.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8 0100090000}}b" +
            "{\\pict\\pngblip\\picscalex50\\picscaley200\\bin" + QByteArray::number(png.size()) +
            " " + png + "}c{\\pict\\macpict 0011}d{\\pict\\dibitmap0\\picw2\\pich1 " + dib.toHex() +
            "}{\\pict\\wmetafile8\\picw2646\\pich2646\\picwgoal1500\\pichgoal1500 " + wmf.toHex() +
            "}\\par";
        QTextDocument document;
        RtfReader::Read(Rtf("\\ansi", body), &document);
        QCOMPARE(document.toPlainText(), QString::fromUtf8("a\uFFFCb\uFFFCcd\uFFFC\uFFFC"));
        const QList<QTextImageFormat> pictures = Pictures(document);
        QCOMPARE(pictures.size(), 4);
        QCOMPARE(Resource(document, pictures[0]), png);
        QCOMPARE(QSizeF(pictures[0].width(), pictures[0].height()), QSizeF(100, 50)); // twips
        QCOMPARE(Resource(document, pictures[1]), png);
        QCOMPARE(QSizeF(pictures[1].width(), pictures[1].height()), QSizeF(4, 8)); // scaled
        QVERIFY(pictures[0].name() != pictures[1].name());
        const QImage bitmap = QImage::fromData(Resource(document, pictures[2]));
        QCOMPARE(bitmap.size(), QSize(2, 1));
        QCOMPARE(bitmap.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(bitmap.pixelColor(1, 0), QColor(0, 0, 255));
        // The metafile shows as a placeholder and keeps its bytes for saving.
        QVERIFY(!QImage::fromData(Resource(document, pictures[3])).isNull());
        QCOMPARE(pictures[3].width(), 100.0);
        QCOMPARE(pictures[3].property(RtfImages::SourceData).toByteArray(), wmf);
        QCOMPARE(pictures[3].property(RtfImages::SourceKind).toString(), QString("wmetafile8"));
    }

    void notRtfIsRefusedAndReadingReplacesTheDocument() {
        QTextDocument document;
        document.setHtml("<b>kept</b><img src='data:image/png;base64,AAAA'>");
        for (const QByteArray &bytes :
             {QByteArray("hello"), QByteArray("{}"), QByteArray("{\\foobar}"),
              QByteArray("/{\\rtf1 x}"), QByteArray("\x89PNG\r\n")}) {
            QVERIFY_THROWS_EXCEPTION(RtfReader::NotRtfError, RtfReader::Read(bytes, &document));
        }
        QCOMPARE(document.toPlainText(), QString::fromUtf8("kept\uFFFC"));
        RtfReader::Read("{\\rtf1 new\\par}", &document);
        QCOMPARE(Paragraphs(document), QString("new"));
        QVERIFY(!document.isModified());
        QVERIFY(!document.isUndoAvailable());
        RtfReader::Read(QByteArray("\r\n"), &document);
        QCOMPARE(document.toPlainText(), QString());
    }

    // Memory running out while a large entry is read must fail the read, never leave a
    // document that looks complete but is cut short (and could then be saved over the file).
    void runningOutOfMemoryFailsTheRead() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("The address sanitizer reserves more address space than the limit leaves.");
#endif
        const QByteArray rtf = "{\\rtf1 " + QByteArray(20 << 20, 'w') + "\\par}";
        const pid_t child = fork();
        if (child == 0) {
            const rlimit room{VirtualMemory() + (24 << 20), RLIM_INFINITY};
            setrlimit(RLIMIT_AS, &room);
            QTextDocument document;
            try {
                RtfReader::Read(rtf, &document);
            } catch (const std::bad_alloc &) {
                _exit(0);
            }
            _exit(1);
        }
        // A child forked from a process with threads could hang on a lock; it gets a minute.
        int status = 0;
        pid_t reaped = 0;
        const auto reap = qScopeGuard([&] {
            if (reaped != child) {
                kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
            }
        });
        QDeadlineTimer minute(60'000);
        while ((reaped = waitpid(child, &status, WNOHANG)) == 0 && !minute.hasExpired())
            QThread::msleep(10);
        QCOMPARE(reaped, child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_MAIN(tst_RtfReader)
#include "tst_RtfReader.moc"
