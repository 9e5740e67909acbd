#include "ScriptedDialogs.h"

bool ScriptedDialogs::AnswerFile(CommonDialog &dialog, const char *kind) {
    Record(dialog, kind);
    const std::optional<QString> answer = files.isEmpty() ? std::nullopt : files.takeFirst();
    if (!answer)
        return false;
    dialog.FileName = *answer;
    return true;
}

bool ScriptedDialogs::ShowColor(CommonDialog &dialog) {
    Record(dialog, "color");
    const std::optional<quint32> answer = colors.isEmpty() ? std::nullopt : colors.takeFirst();
    if (!answer)
        return false;
    dialog.Color = *answer;
    return true;
}

bool ScriptedDialogs::ShowFont(CommonDialog &dialog) {
    Record(dialog, "font");
    const auto answer = fonts.isEmpty() ? std::nullopt : fonts.takeFirst();
    if (!answer)
        return false;
    (*answer)(dialog);
    return true;
}
