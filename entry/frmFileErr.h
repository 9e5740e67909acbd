#pragma once

#include "platform/MessageWindow.h"

// Reports an entry file that could not be opened or saved, in plain words.
class frmFileErr : public MessageWindow {
    Q_OBJECT
public:
    frmFileErr();

    // Reads the number of the error being handled (Module1::Err()) once, at creation.
    void Form_Load() override;

    // The message for one of the seven file errors, or an empty text for any other number.
    static QString MessageFor(int errorNumber);

    QLabel *lblFETitle;
    QLabel *lblFE1;
    QLabel *lblFE3;
    QLabel *lblFE4;
    QLabel *lblFE5;
    QLabel *lblFE6;
    QLabel *lblFE7;
    QLabel *lblFE8;
    QLabel *lblFE9;
    ChoiceLabel *lblFEOK;
    QLabel *imgFE;

protected:
    void Form_MouseMove() override;

private:
    void lblFEOK_MouseMove();
    void lblFEOK_Click();
};
