#pragma once

#include "platform/CommonDialog.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

// A common dialog presenter that answers from a script instead of showing anything. Each shown
// dialog takes the next answer of its kind; with none left it is cancelled. What the program had
// set on the dialog when it showed it is kept in `shown`.
class ScriptedDialogs final : public CommonDialogPresenter {
public:
    struct Shown {
        QString kind; // "open", "save", "color", "font", "help"
        QString title;
        QString filter;
        QString fileName;
        qint32 flags;
        bool cancelError;
        quint32 color;
        QString fontName;
        int helpCommand;
        QString helpFile;
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
    void Record(const CommonDialog &dialog, const char *kind);
};
