#include "platform/CommonDialog.h"

#include "platform/RuntimeError.h"
#include "platform/Services.h"

namespace {

CommonDialogPresenter &Presenter() {
    return *Services::Current().dialogs;
}

} // namespace

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
