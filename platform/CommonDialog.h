#pragma once

#include <QString>

class CommonDialog;

// Shows the platform's dialogs for a CommonDialog. Each Show... returns false when the user
// cancelled; on acceptance it writes the chosen values back into the dialog's properties.
class CommonDialogPresenter {
public:
    virtual ~CommonDialogPresenter() = default;
    virtual bool ShowOpen(CommonDialog &dialog) = 0;
    virtual bool ShowSave(CommonDialog &dialog) = 0;
    virtual bool ShowColor(CommonDialog &dialog) = 0;
    virtual bool ShowFont(CommonDialog &dialog) = 0;
    // Opens the help viewer on HelpFile with HelpCommand and returns at once.
    virtual void ShowHelp(CommonDialog &dialog) = 0;
};

// The common dialog object: one set of properties shared by the file, picture, font, colour and
// help dialogs, keeping their values from one use to the next. With CancelError set, a cancelled
// dialog throws RuntimeError 32755.
class CommonDialog {
public:
    bool CancelError = false;
    QString DialogTitle;
    QString Filter; // "description|pattern|description|pattern"
    int FilterIndex = 1;
    QString FileName;
    qint32 Flags = 0;
    quint32 Color = 0; // 0x00BBGGRR
    QString FontName;
    double FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    QString HelpFile;
    int HelpCommand = 0;

    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowFont();
    void ShowHelp();

private:
    void Finish(bool accepted) const;
};
