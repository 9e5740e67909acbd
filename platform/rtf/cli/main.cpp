// quillory-rtftext FILE [--rtf OUT]
// Reads FILE with the journal's RTF reader and prints its text as UTF-8, one line per
// paragraph (line breaks inside a paragraph also start a new line, pictures are left out).
// With --rtf OUT the document is also written back to OUT with the RTF writer; OUT is replaced
// only by a complete new file.
// --help and --version print what they say. Exit status: 0 done, 1 the file could not be read
// or is not RTF, 2 wrong arguments.
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QByteArray PlainText(const QTextDocument &document) {
    // In UTF-8, paragraph and line separators are E2 80 A9 and E2 80 A8, pictures EF BF BC:
    // the text moves up over the pictures, separators become line feeds.
    QByteArray text = document.toRawText().toUtf8();
    char *const begin = text.data();
    const qsizetype size = text.size();
    qsizetype kept = 0;
    qsizetype from = 0;
    const auto next = [begin, size](qsizetype at, char byte) {
        const void *found = std::memchr(begin + at, byte, std::size_t(size - at));
        return found ? static_cast<const char *>(found) - begin : size;
    };
    qsizetype e2 = next(0, '\xE2');
    qsizetype ef = next(0, '\xEF');
    while (from < size) {
        const qsizetype at = std::min(e2, ef);
        std::memmove(begin + kept, begin + from, std::size_t(at - from));
        kept += at - from;
        if (at == size)
            break;
        const char *c = begin + at;
        const bool separator =
            at == e2 && size - at >= 3 && c[1] == '\x80' && (c[2] == '\xA8' || c[2] == '\xA9');
        const bool picture = at == ef && size - at >= 3 && c[1] == '\xBF' && c[2] == '\xBC';
        if (separator)
            begin[kept++] = '\n';
        else if (!picture)
            begin[kept++] = *c;
        from = at + (separator || picture ? 3 : 1);
        if (e2 < from)
            e2 = next(from, '\xE2');
        if (ef < from)
            ef = next(from, '\xEF');
    }
    text.truncate(kept);
    text += '\n';
    return text;
}

const char *const kUsage = "usage: quillory-rtftext FILE [--rtf OUT]\n";

const char *const kHelp = R"(
Prints the text of the RTF file FILE as UTF-8, one line per paragraph, as
Quillory's own RTF reader reads it (pictures are left out).

  --rtf OUT      Also write the document back out as RTF to OUT, replacing OUT
                 only with a complete new file.
  -h, --help     Show this help and exit.
  -v, --version  Show the version and exit.

Exit status: 0 done, 1 FILE could not be read or is not RTF (or OUT could not
be written), 2 wrong arguments.
)";

int Fail(const QString &message) {
    std::fprintf(stderr, "quillory-rtftext: %s\n", qPrintable(message));
    return 1;
}

// Writing RTF names the default font, which only a GUI application knows; printing the text
// needs no fonts, and a GUI application takes longer to start and end than a small file takes
// to read. Pictures are decoded off screen either way: no display is needed.
std::unique_ptr<QCoreApplication> MakeApplication(int &argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--rtf") == 0) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char *argv[]) {
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (args.contains(QLatin1String("--version")) || args.contains(QLatin1String("-v"))) {
        std::printf("quillory-rtftext 1.0\n");
        return 0;
    }
    QString input;
    QString rtfOut;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rtf") && i + 1 < args.size())
            rtfOut = args[++i];
        else if (input.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
            input = args[i];
        else
            input.clear(), i = int(args.size());
    }
    if (input.isEmpty()) {
        std::fprintf(stderr, "%sTry 'quillory-rtftext --help' for more.\n", kUsage);
        return 2;
    }
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("%1: %2").arg(input, file.errorString()));
    const QByteArray bytes = file.readAll();
    QTextDocument document;
    try {
        RtfReader::Read(bytes, &document);
    } catch (const RtfReader::NotRtfError &) {
        return Fail(QStringLiteral("%1: not an RTF file").arg(input));
    }
    if (!rtfOut.isEmpty()) {
        try {
            FileIO::WriteAtomically(rtfOut, RtfWriter::Write(document));
        } catch (const RuntimeError &error) {
            return Fail(QStringLiteral("%1: %2").arg(rtfOut, error.detail()));
        }
    }
    const QByteArray text = PlainText(document);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return 0;
}
