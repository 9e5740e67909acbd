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

    bool ShowOpen(CommonDialog &dialog) override { return ShowFile(dialog, "open"); }
    bool ShowSave(CommonDialog &dialog) override { return ShowFile(dialog, "save"); }
    bool ShowColor(CommonDialog &dialog) override {
        return Answer(dialog, "color", colors, [&](quint32 color) { dialog.Color = color; });
    }
    bool ShowFont(CommonDialog &dialog) override {
        return Answer(dialog, "font", fonts, [&](const auto &set) { set(dialog); });
    }
    void ShowHelp(CommonDialog &dialog) override { shown.append({dialog, QStringLiteral("help")}); }

private:
    bool ShowFile(CommonDialog &dialog, const char *kind) {
        return Answer(dialog, kind, files, [&](const QString &name) { dialog.FileName = name; });
    }
    template <class T, class Apply>
    bool Answer(CommonDialog &dialog, const char *kind, QList<std::optional<T>> &answers,
                Apply apply) {
        shown.append({dialog, QLatin1String(kind)});
        const std::optional<T> answer = answers.isEmpty() ? std::nullopt : answers.takeFirst();
        if (answer)
            apply(*answer);
        return answer.has_value();
    }
};
