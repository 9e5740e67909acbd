#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

const char *const kHelp = R"(Usage: quillory [FILE]
A private journal: rich-text entries behind two passwords.

After the splash and the password check, FILE (an RTF entry) is opened in the
entry as File > Open would open it.

Options:
  -h, --help     Show this help and exit.
  -v, --version  Show the version and exit.

Qt's own options (-platform, -style, ...) are taken too.
)";

} // namespace

CommandLine CommandLine::Read(const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});

    CommandLine request;
    const bool understood = parser.parse(arguments);
    const QStringList files = parser.positionalArguments();
    if (understood && parser.isSet(help)) {
        request = {{}, true, 0, QString::fromUtf8(kHelp)};
    } else if (understood && parser.isSet(version)) {
        request = {{},
                   true,
                   0,
                   QCoreApplication::applicationName() + QLatin1Char(' ') +
                       QCoreApplication::applicationVersion() + QLatin1Char('\n')};
    } else if (!understood || files.size() > 1) {
        const QString error = understood
                                  ? QStringLiteral("one file at most, not %1").arg(files.size())
                                  : parser.errorText();
        request = {{},
                   true,
                   2,
                   QStringLiteral("quillory: %1\nTry 'quillory --help' for more.\n").arg(error)};
    } else if (!files.isEmpty()) {
        request.file = QFileInfo(files.constFirst()).absoluteFilePath();
    }
    return request;
}

int CommandLine::End() const {
    const QByteArray bytes = text.toLocal8Bit();
    std::fputs(bytes.constData(), exitCode == 0 ? stdout : stderr);
    return exitCode;
}
