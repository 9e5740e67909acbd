#pragma once

#include "platform/MessageWindow.h"

// Reports an entry file that could not be opened or saved, in plain words.
class frmFileErr : public MessageWindow {
    Q_OBJECT
public:
    // Tells the error `errorNumber` for as long as the window stays loaded.
    explicit frmFileErr(int errorNumber);

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
    int mErrorNumber;
    void lblFEOK_MouseMove();
    void lblFEOK_Click();
};
