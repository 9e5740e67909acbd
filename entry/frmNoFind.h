#pragma once

#include "platform/MessageWindow.h"

// Tells the user that a search found nothing.
class frmNoFind : public MessageWindow {
    Q_OBJECT
public:
    frmNoFind();

    void Form_Load() override;

    QLabel *lblNFTitle;
    QLabel *lblNF1;
    QLabel *lblNF2;
    QLabel *lblNF3;
    QLabel *lblNF4;
    QLabel *lblNF5;
    QLabel *lblNF6;
    QLabel *lblNF7;
    QLabel *lblNF8;
    ChoiceLabel *lblNFOK;
    QLabel *imgNF;

protected:
    void Form_MouseMove() override;

private:
    void lblNFOK_MouseMove();
    void lblNFOK_Click();
};
