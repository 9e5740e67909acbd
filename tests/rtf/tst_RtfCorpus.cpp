#include "platform/rtf/RtfReader.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <optional>

namespace {

QString Corpus() {
    return qEnvironmentVariable("QUILLORY_CORPUS");
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Layout differs between extractors (table cells on lines or tab-separated, blank lines), and so
// do the glyphs chosen for list bullets; what must agree is the sequence of visible characters.
QString Normalised(QString text) {
    static const QRegularExpression bullets(QStringLiteral(
        "[\\x{2022}\\x{25CF}\\x{25E6}\\x{25AA}\\x{25A0}\\x{00B7}\\x{F0B7}\\x{F0A7}\\x{F0FC}"
        "\\x{F06E}\\x{F0D8}\\x{2013}\\x{2212}\\x{F02D}\\-]"));
    static const QRegularExpression invisible(
        QStringLiteral("[\\s\\x{00A0}\\x{2028}\\x{2029}\\x{FEFF}\\x{00AD}\\x{FFFC}\\x{200B}]+"),
        QRegularExpression::UseUnicodePropertiesOption);
    text.replace(bullets, QStringLiteral("\u2022"));
    text.remove(invisible);
    return text;
}

// Where we deliberately differ from the oracle, by reason.
const QSet<QString> &KnownDifferences() {
    static const QSet<QString> known = {
        // Hidden text (\v): LibreOffice's text export keeps it, the reader leaves it out.
        "RtfPipe/Issue50-1", "RtfPipe/Issue51", "RtfPipe/rtf2xml-inline_mix",
        "RtfPipe/rtf2xml-old3_from_web", "pandoc/formatting", "rtf.js/sample",
        // The Symbol font: we map its bytes and letters to the Unicode characters they show (a is
        // alpha; rtf2xml-symbol is checked below against the file); LibreOffice keeps private-use
        // codes U+F0xx. A plain space in a dingbat font stays a space.
        "RtfPipe/Test01", "osxcart/RtfInterpreterTest_2", "osxcart/RtfInterpreterTest_20",
        "RtfPipe/rtf2xml-symbol", "RtfPipe/rtf2xml-ted_mixed_faces",
        "RtfPipe/rtf2xml-zapf_dingbats",
        // Lists: LibreOffice draws bullets and numbers from the list definitions; we keep the
        // \listtext / \pntext the writer put in the file (and nothing when it put none). In
        // testRTFListLibreOffice the bullet is byte 0x96 in an OpenSymbol font declared Shift-JIS.
        "RtfPipe/phprtflite-lists", "RtfPipe/rtf2xml-complex_list_diff_styles",
        "RtfPipe/rtf2xml-outline_list", "pandoc/list_complex", "pandoc/list_legacy",
        "pandoc/list_multiparagraph", "pandoc/list_simple", "pandoc/writer", "striprtf/issue_63",
        "tika/testRTFListLibreOffice",
        // Fields: LibreOffice recomputes some results (endnote marks i, ii; a SYMBOL field with an
        // empty stored result; a drop-down form field); we show the result stored in the file.
        "RtfPipe/Issue46", "RtfPipe/rtf2xml-fields_simple_format_switch",
        "RtfPipe/phprtflite-formfields", "RtfPipe/phprtflite-footnotes",
        // Damaged or unusual input where we keep more (or other) text than LibreOffice.
        "RTFDE/surrogate_pairs",              // an extra '?' after a surrogate half is text
        "RTFDE/windows_950",                  // invalid Big5 pair shown as U+FFFD
        "tika/testRTFHyperlinkAndStyles",     // cp1252 quote decoded (LibreOffice: U+FFFD)
        "osxcart/p065_vhcenter",              // text of a positioned frame is body text here
        "osxcart/rtfdtest-TXT",               // TextEdit attachment name not shown
        "pandoc/table_simple",                // all cells of a row with fewer cell definitions
        "pandoc/table_nested_malformed_itap", // all table text kept (LibreOffice shows none)
        "tika/testRTFInvalidUnicode",         // lone surrogate halves: U+FFFD (LibreOffice: ?)
        "pandoc/image"};                      // a picture only (pandoc writes [image])
    return known;
}

// The hand-written oracle of rtf/synthetic/MANIFEST.tsv, normalised.
const QHash<QString, QString> &SyntheticTexts() {
    static const QHash<QString, QString> texts = {
        {"deep-nesting-1000", "deep"},
        {"deep-nesting-unclosed-50000", "open"},
        {"truncated-mid-text", "Helloboldwor"},
        {"truncated-mid-controlword", "Textbeforemore"},
        {"truncated-mid-hex", "caf"},
        {"empty", ""},
        {"header-only", ""},
        {"leading-garbage", "textafterleadingwhitespace"},
        {"unknown-destinations", "visible1visible2"},
        {"line-endings-cr-only", "onetwothree"},
        {"uc-variants", QString::fromUtf8("A€BC€DE€FG€HI—JK\uF0B7LM😀NOé")},
        {"shift-jis", QString::fromUtf8("こんにちは表ソフト元")},
        {"raw-8bit-cp1252", QString::fromUtf8("cafénaïve“quoted”")},
        {"pc-charset", QString::fromUtf8("café╔═╗")},
        {"no-ansi-keyword", QString::fromUtf8("café")},
        {"formatting-toggles",
         "centeredrightjustifiedindentedboldnotbolditalicunderlinexydblwordwavestrikedstrike"
         "subsupupcapssmallcapsredblueonredbgblueshadebigzeroplain"},
        {"pict-png-hex", "beforeafter"},
        {"pict-jpeg-hex-upper", "beforeafter"},
        {"pict-png-bin", "beforeafter"},
        {"pict-wmf", "beforeafter"},
        {"pict-unknown-format", "beforeafter"},
        {"tables-nested-and-merged", "A1B1mergedvtopB3B4outer1in1in2aftertable"}};
    return texts;
}

std::optional<QString> Oracle(const QString &source, const QString &stem) {
    if (source == QLatin1String("synthetic")) {
        const auto text = SyntheticTexts().constFind(stem);
        return text != SyntheticTexts().constEnd() ? std::optional(Normalised(*text))
                                                   : std::nullopt;
    }
    const QString base = Corpus() + QStringLiteral("/expected/%1/%2").arg(source, stem);
    for (const char *extractor : {".lo.txt", ".pandoc.txt"})
        if (QFile::exists(base + QLatin1String(extractor)))
            return Normalised(QString::fromUtf8(ReadBytes(base + QLatin1String(extractor))));
    return std::nullopt;
}

} // namespace

class tst_RtfCorpus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(!Corpus().isEmpty(), "QUILLORY_CORPUS is not set");
        QVERIFY2(QFile::exists(Corpus() + QStringLiteral("/rtf/synthetic/MANIFEST.tsv")),
                 qPrintable(QStringLiteral("no corpus at %1").arg(Corpus())));
    }

    void everyFileReadsAsItsOracleSays() {
        QStringList mismatches;
        QStringList fixedExceptions;
        int compared = 0;
        QStringList rejected;
        QDirIterator files(Corpus() + QStringLiteral("/rtf"), {QStringLiteral("*.rtf")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QFileInfo info(path);
            const QString source = info.dir().dirName();
            const QString stem = info.completeBaseName();
            const QString key = source + QLatin1Char('/') + stem;
            const QByteArray bytes = ReadBytes(path);
            QTextDocument document;
            try {
                RtfReader::Read(bytes, &document);
            } catch (const RtfReader::NotRtfError &) {
                // Only files that are not RTF at all may be refused.
                QVERIFY2(!RtfReader::LooksLikeRtf(bytes), qPrintable(key));
                rejected << key;
                continue;
            }
            QVERIFY2(RtfReader::LooksLikeRtf(bytes) || bytes.trimmed().isEmpty(),
                     qPrintable(key + QStringLiteral(" was read but is not RTF")));
            const std::optional<QString> expected = Oracle(source, stem);
            if (!expected)
                continue;
            ++compared;
            const bool same = Normalised(document.toPlainText()) == *expected;
            const bool known = KnownDifferences().contains(key);
            if (!same && !known)
                mismatches << key;
            if (same && known)
                fixedExceptions << key;
        }
        qInfo("%d files compared with their oracle text; %lld listed differences", compared,
              static_cast<long long>(KnownDifferences().size()));
        if (!fixedExceptions.isEmpty())
            qInfo("Listed differences that now match the oracle: %s",
                  qPrintable(fixedExceptions.join(QStringLiteral(", "))));
        QVERIFY2(mismatches.isEmpty(),
                 qPrintable(QStringLiteral("text differs: ") + mismatches.join(", ")));
        // The corpus holds 386 files; a glob that finds nothing must not pass.
        QVERIFY2(compared >= 350, qPrintable(QString::number(compared)));
        // The files that are not RTF: "{}", "{\foobar}", "foobar", "\foobar", "/{\rtf1", a blank
        // line, and pandoc's body-only table fragment.
        rejected.sort();
        QCOMPARE(rejected.join(QLatin1Char(' ')),
                 QStringLiteral("RtfPipe/RtfParserTest_fail_0 RtfPipe/RtfParserTest_fail_5 "
                                "RtfPipe/RtfParserTest_fail_6 osxcart/RtfInterpreterTest_fail_0 "
                                "osxcart/RtfInterpreterTest_fail_3 osxcart/RtfParserTest_fail_0 "
                                "osxcart/RtfParserTest_fail_5 osxcart/RtfParserTest_fail_6 "
                                "pandoc/tables"));
    }

    // The Symbol font test file lists each glyph with its Unicode name and code point:
    // "<glyph>:<letter>:<NAME>:<hex>". The glyphs must be those code points, apart from a few
    // lines where the file's table departs from Adobe's Symbol encoding (V, f, j, z, and the
    // bracket pieces).
    void symbolFontGlyphsAreTheirUnicodeCharacters() {
        QTextDocument document;
        RtfReader::Read(ReadBytes(Corpus() + QStringLiteral("/rtf/RtfPipe/rtf2xml-symbol.rtf")),
                        &document);
        static const QRegularExpression line(
            QStringLiteral("^(.):(.):([A-Z0-9 \\-]+):([0-9A-F]{4})$"));
        int checked = 0;
        QStringList differ;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const auto match = line.match(block.text().trimmed());
            if (!match.hasMatch() || match.captured(1) == match.captured(2))
                continue; // plain ASCII, which the file numbers inconsistently
            ++checked;
            if (match.captured(1).at(0).unicode() != match.captured(4).toUShort(nullptr, 16))
                differ << match.captured(2);
        }
        QVERIFY2(checked >= 60, qPrintable(QString::number(checked)));
        qInfo("Symbol glyphs the file numbers otherwise: %s",
              qPrintable(differ.join(QLatin1Char(' '))));
        QVERIFY2(differ.size() <= 10, qPrintable(differ.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(tst_RtfCorpus)
#include "tst_RtfCorpus.moc"
