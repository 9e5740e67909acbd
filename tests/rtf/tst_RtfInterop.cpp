// RTF written by Quillory, read back by pandoc and LibreOffice. Both programs are required (the
// project's setup installs pandoc and libreoffice-writer-nogui).
#include "TestPictures.h"

#include "platform/rtf/RtfImages.h"
#include "platform/rtf/RtfWriter.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <csignal>
#include <unistd.h>

namespace {

struct Result {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
};

// Runs a program in its own process group, so that a converter that hangs is killed with every
// helper it started (LibreOffice's launcher leaves its worker process behind otherwise).
Result Run(const QString &program, const QStringList &args, const QString &folder, int timeoutMs) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(program, args);
    Result result;
    if (!process.waitForStarted(10000))
        return result;
    const qint64 group = process.processId();
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        ::kill(-pid_t(group), SIGKILL);
        process.waitForFinished(5000);
    }
    ::kill(-pid_t(group), SIGKILL); // anything the converter left running
    result.exitCode = process.exitCode();
    result.output = process.readAll();
    return result;
}

QString Squeezed(QString text) {
    text.remove(QChar(0xFEFF));
    return text.simplified();
}

QString ReadUtf8(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The entry every converter reads: one line of each kind of formatting, words that are not
// ASCII (one outside Windows-1252 followed by a character other than a space), a hyperlink and
// two pictures: a bitmap kept as PNG and a photo kept as its JPEG file.
QByteArray EntryRtf() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centered);
    QTextCharFormat title;
    title.setFontFamilies({"DejaVu Serif"});
    title.setFontPointSize(20);
    title.setFontWeight(QFont::Bold);
    title.setForeground(QColor("#c00000"));
    cursor.insertText("Dear diary", title);
    cursor.insertBlock(QTextBlockFormat());
    QTextCharFormat plain;
    plain.setFontFamilies({"DejaVu Sans"});
    plain.setFontPointSize(12);
    const auto insert = [&](const char *word, int property, const QVariant &value) {
        QTextCharFormat f = plain;
        f.setProperty(property, value);
        cursor.insertText(word, f);
        cursor.insertText(" ", plain);
    };
    cursor.insertText("plain ", plain);
    insert("slanted", QTextFormat::FontItalic, true);
    insert("lined", QTextFormat::TextUnderlineStyle, QTextCharFormat::SingleUnderline);
    insert("struck", QTextFormat::FontStrikeOut, true);
    insert("raised", QTextFormat::TextVerticalAlignment, QTextCharFormat::AlignSuperScript);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(
        QString::fromUtf8("café naïve Ωμέγα “quotes” — 中文 {braces} 日本語. back\\slash "), plain);
    plain.setAnchor(true);
    insert("website", QTextFormat::AnchorHref, QStringLiteral("https://example.org/page"));
    plain.setAnchor(false);
    cursor.insertBlock(QTextBlockFormat());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(QColor("#3366cc"));
    cursor.insertImage(RtfImages::Add(&document, image, QSizeF(80, 40)));
    const QByteArray jpeg = EncodedImage(QImage(400, 300, QImage::Format_RGB32), "JPEG");
    cursor.insertImage(RtfImages::Add(&document, jpeg, QSizeF(200, 150)));
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText("The end.", plain);
    return RtfWriter::Write(document);
}

} // namespace

class tst_RtfInterop : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_entry;

private slots:
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable("pandoc").isEmpty(), "pandoc is not installed");
        QVERIFY2(!QStandardPaths::findExecutable("soffice").isEmpty(),
                 "LibreOffice (soffice) is not installed");
        QVERIFY(m_folder.isValid());
        m_entry = m_folder.filePath("entry.rtf");
        QFile file(m_entry);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(EntryRtf());
    }

    // The text itself is LibreOffice's to check; pandoc's HTML shows the formatting it reads.
    void pandocReadsTheFormatting() {
        const Result html =
            Run("pandoc", {"-f", "rtf", "-t", "html", m_entry}, m_folder.path(), 60000);
        QVERIFY2(html.finished && html.exitCode == 0, html.output.constData());
        const QString markup = QString::fromUtf8(html.output);
        QVERIFY2(markup.contains("<strong>Dear diary</strong>"), qPrintable(markup));
        QVERIFY(markup.contains("<em>slanted</em>"));
        QVERIFY(markup.contains("<u>lined</u>"));
        QVERIFY(markup.contains("<del>struck</del>"));
        QVERIFY(markup.contains("<sup>raised</sup>"));
        QCOMPARE(markup.count("<img"), 2);
    }

    void libreOfficeReadsTheTextAndFormatting() {
        // Its own profile in the temporary folder: no clash with another instance, no files
        // written outside.
        const QString profile =
            QStringLiteral("-env:UserInstallation=file://%1/profile").arg(m_folder.path());
        const QString out = m_folder.filePath("lo");
        const Result text = Run("soffice",
                                {profile, "--headless", "--convert-to", "txt:Text (encoded):UTF8",
                                 "--outdir", out, m_entry},
                                m_folder.path(), 180000);
        QVERIFY2(text.finished, "LibreOffice did not finish");
        QCOMPARE(
            Squeezed(ReadUtf8(out + "/entry.txt")),
            QString::fromUtf8("Dear diary plain slanted lined struck raised café naïve Ωμέγα "
                              "“quotes” — 中文 {braces} 日本語. back\\slash website The end."));

        const Result html = Run(
            "soffice", {profile, "--headless", "--convert-to", "html", "--outdir", out, m_entry},
            m_folder.path(), 180000);
        QVERIFY2(html.finished, "LibreOffice did not finish");
        // LibreOffice wraps its HTML lines, inside tags too.
        const QString markup = ReadUtf8(out + "/entry.html").simplified().replace(" >", ">");
        QVERIFY2(markup.contains("<b>Dear diary</b>"), qPrintable(markup));
        QVERIFY(markup.contains("<i>slanted</i>"));
        QVERIFY(markup.contains("<u>lined</u>"));
        QVERIFY(markup.contains(QRegularExpression("<(strike|s|del)>(<[^>]*>)*struck")));
        QVERIFY(markup.contains(QRegularExpression("<sup>(<[^>]*>)*raised")));
        QVERIFY(markup.contains("DejaVu Serif"));
        QVERIFY(markup.contains("#c00000", Qt::CaseInsensitive));
        QVERIFY(markup.contains("font-size: 20pt"));
        QVERIFY(markup.contains(QRegularExpression("<p align=\"center\"[^>]*>(<[^>]*>|\\s)*"
                                                   "Dear diary")));
        QVERIFY(markup.contains("href=\"https://example.org/page\""));
        QCOMPARE(markup.count("<img"), 2);
    }
};

QTEST_MAIN(tst_RtfInterop)
#include "tst_RtfInterop.moc"
