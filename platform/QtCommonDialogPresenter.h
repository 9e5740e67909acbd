#pragma once

#include "platform/CommonDialog.h"

// The real dialogs: Qt's file, colour and font dialogs, and the program's help viewer.
class QtCommonDialogPresenter final : public CommonDialogPresenter {
public:
    bool ShowOpen(CommonDialog &dialog) override;
    bool ShowSave(CommonDialog &dialog) override;
    bool ShowColor(CommonDialog &dialog) override;
    bool ShowFont(CommonDialog &dialog) override;
    void ShowHelp(CommonDialog &dialog) override;
};

// "desc|pattern|desc|pattern" -> Qt's name filters ("desc (pattern)").
QStringList NameFiltersOf(const QString &filter);
