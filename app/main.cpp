#include "app/FormRegistry.h"
#include "app/Module1.h"
#include "app/StartApplication.h"
#include "app/frmSplash.h"
#include "platform/CanberraCuePlayer.h"

int main(int argc, char *argv[]) {
    const std::unique_ptr<QApplication> app = StartApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The program ends when its last window is unloaded, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    Module1::SetCuePlayer(std::make_unique<CanberraCuePlayer>());
    QObject::connect(&Module1::Forms(), &FormRegistry::LastUnloaded, app.get(),
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    Module1::Forms().Show<frmSplash>();
    const int exitCode = QApplication::exec();
    Module1::Reset(); // windows and the sound thread go before the application object
    return exitCode;
}
