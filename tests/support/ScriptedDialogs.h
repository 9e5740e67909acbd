#pragma once

#include "platform/CommonDialog.h"

#include <QList>
#include <functional>
#include <optional>

// A common dialog presenter that answers from a script instead of showing anything. Each shown
// dialog takes the next answer of its kind; with none left it is cancelled. The dialog's
// properties as the program had set them when it showed it are kept in `shown`.
class ScriptedDialogs final : public CommonDialogPresenter {
public:
    struct Shown : CommonDialog {
        QString kind; // "open", "save", "color", "font", "help"
    };

    // Answers: a file name, a colour, or a font set by a function; nullopt cancels.
    QList<std::optional<QString>> files;
    QList<std::optional<quint32>> colors;
    QList<std::optional<std::function<void(CommonDialog &)>>> fonts;
    QList<Shown> shown;

    bool ShowOpen(CommonDialog &dialog) override { return AnswerFile(dialog, "open"); }
    bool ShowSave(CommonDialog &dialog) override { return AnswerFile(dialog, "save"); }
    bool ShowColor(CommonDialog &dialog) override;
    bool ShowFont(CommonDialog &dialog) override;
    void ShowHelp(CommonDialog &dialog) override { Record(dialog, "help"); }

private:
    bool AnswerFile(CommonDialog &dialog, const char *kind);
    void Record(const CommonDialog &dialog, const char *kind) {
        shown.append({dialog, QLatin1String(kind)});
    }
};
