#include "app/AppFolder.h"
#include "app/CommandLine.h"
#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "app/StartApplication.h"
#include "app/frmSplash.h"
#include "mainwindow/frmMain.h"
#include "platform/Artwork.h"
#include "platform/CanberraCuePlayer.h"

namespace {

QStringList ArgumentsOf(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// A file given on the command line opens once the gate has let the user in and the main
// window stands.
void OpenWhenTheMainWindowLoads(const QString &file) {
    QObject::connect(
        &Module1::Forms(), &FormRegistry::FormLoaded, &Module1::Forms(), [file](Form *form) {
            if (auto *main = qobject_cast<frmMain *>(form))
                QMetaObject::invokeMethod(
                    main, [main, file] { main->OpenGivenEntry(file); }, Qt::QueuedConnection);
        });
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Help and the version need no display. Qt's own options (-style...) are known only once
    // the application object has taken them out.
    if (const CommandLine early = CommandLine::Read(ArgumentsOf(argc, argv));
        early.endsAtOnce && early.exitCode == 0)
        return early.End();
    const std::unique_ptr<QApplication> app = StartApplication(argc, argv);
    const CommandLine commandLine = CommandLine::Read(QCoreApplication::arguments());
    if (commandLine.endsAtOnce)
        return commandLine.End();
    // The program ends when its last window is unloaded, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillory.Quillory"));
    QApplication::setWindowIcon(Artwork::ApplicationIcon());

    Module1::SetCuePlayer(std::make_unique<CanberraCuePlayer>());
    QObject::connect(&Module1::Forms(), &FormRegistry::LastUnloaded, app.get(),
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    if (!commandLine.file.isEmpty())
        OpenWhenTheMainWindowLoads(commandLine.file);
    if (AppFolder::SetUpForThisRun())
        Module1::Forms().Show<frmSplash>();
    const int exitCode = QApplication::exec();
    Module1::Reset(); // windows and the sound thread go before the application object
    return exitCode;
}
