#include "app/StartApplication.h"

#include <QByteArray>
#include <QList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

// A message handler is a plain function, so what it holds lives here, for the moment the
// application object is being made.
struct StartState {
    QtMessageHandler previous = nullptr;
    QList<HeldMessage> held;
};

StartState &State() {
    static StartState state;
    return state;
}

// The platform's fatal message while the application object is made means it could not reach
// a display: Qt would abort next.
void HoldOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (type == QtFatalMsg) {
        std::fputs("Quillory needs a graphical desktop: no display found\n", stderr);
        std::fflush(stderr);
        std::_Exit(1); // Qt is half set up: nothing of it may run on the way out
    }
    State().held.append(
        {type, context.file, context.line, context.function, context.category, text});
}

} // namespace

std::unique_ptr<QApplication> StartApplication(int &argc, char **argv) {
    State().previous = qInstallMessageHandler(HoldOrEnd);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(State().previous);
    for (const HeldMessage &message : std::exchange(State().held, {})) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        State().previous(message.type, context, message.text);
    }
    return app;
}
