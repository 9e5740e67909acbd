#include "platform/Services.h"

#include "platform/QtCommonDialogPresenter.h"

Services Services::System() {
    return {std::make_unique<SilentCuePlayer>(), std::make_unique<QtMessageBoxPresenter>(),
            std::make_unique<QtCommonDialogPresenter>(), std::make_unique<SystemDriveService>(),
            &QDateTime::currentDateTime};
}

Services &Services::Current() {
    static Services current = System();
    return current;
}
