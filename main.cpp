// The program: the command line, the application object, the platform's sound player, the
// folder of the user's files, the road from window to window, then the splash; the run ends
// when its last window is unloaded.
#include "app/CommandLine.h"
#include "app/FormRegistry.h"
#include "app/Run.h"
#include "app/StartApplication.h"
#include "app/frmSplash.h"
#include "mainwindow/Journey.h"
#include "platform/Artwork.h"
#include "platform/CanberraCuePlayer.h"
#include "platform/Services.h"
#include "security/AppFolder.h"

namespace {

QStringList ArgumentsOf(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
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

    Services::Current().cues = std::make_unique<CanberraCuePlayer>();
    FormRegistry &forms = Module1::Forms();
    QObject::connect(&forms, &FormRegistry::LastUnloaded, app.get(),
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    LayTheRoad(forms, commandLine.file);
    if (AppFolder::SetUpForThisRun())
        forms.Show<frmSplash>();
    const int exitCode = QApplication::exec();
    Module1::Reset(); // windows and the sound thread go before the application object
    return exitCode;
}
