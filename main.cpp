// The program: the application object, the platform's sound player, the road from window to
// window, then the splash; the run ends when its last window is unloaded.
#include "app/FormRegistry.h"
#include "app/Run.h"
#include "app/StartApplication.h"
#include "app/frmSplash.h"
#include "mainwindow/Journey.h"
#include "platform/CanberraCuePlayer.h"
#include "platform/Services.h"

int main(int argc, char *argv[]) {
    const std::unique_ptr<QApplication> app = StartApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The program ends when its last window is unloaded, not when the last one is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    Services::Current().cues = std::make_unique<CanberraCuePlayer>();
    FormRegistry &forms = Module1::Forms();
    QObject::connect(&forms, &FormRegistry::LastUnloaded, app.get(),
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    LayTheRoad(forms);
    forms.Show<frmSplash>();
    const int exitCode = QApplication::exec();
    Module1::Reset(); // windows and the sound thread go before the application object
    return exitCode;
}
