#include "platform/CommonDialog.h"

#include "platform/QtCommonDialogPresenter.h"
#include "platform/RuntimeError.h"

namespace {

std::unique_ptr<CommonDialogPresenter> &Installed() {
    static std::unique_ptr<CommonDialogPresenter> presenter =
        std::make_unique<QtCommonDialogPresenter>();
    return presenter;
}

} // namespace

CommonDialogPresenter &CommonDialog::Presenter() {
    return *Installed();
}

void CommonDialog::SetPresenter(std::unique_ptr<CommonDialogPresenter> presenter) {
    Installed() = presenter ? std::move(presenter) : std::make_unique<QtCommonDialogPresenter>();
}

void CommonDialog::Finish(bool accepted) const {
    if (!accepted && CancelError)
        throw RuntimeError(ErrorNumber::CancelSelected);
}

void CommonDialog::ShowOpen() {
    Finish(Presenter().ShowOpen(*this));
}

void CommonDialog::ShowSave() {
    Finish(Presenter().ShowSave(*this));
}

void CommonDialog::ShowColor() {
    Finish(Presenter().ShowColor(*this));
}

void CommonDialog::ShowFont() {
    Finish(Presenter().ShowFont(*this));
}

void CommonDialog::ShowHelp() {
    Presenter().ShowHelp(*this);
}
