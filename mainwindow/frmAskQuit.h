#pragma once

#include "platform/MessageWindow.h"

// The quit confirmation: Yes ends the program by unloading every window, No puts it away.
class frmAskQuit : public MessageWindow {
    Q_OBJECT
public:
    frmAskQuit();

    void Form_Load() override;

    QLabel *lblAQTitle;
    QLabel *lblAQ1;
    QLabel *lblAQ2;
    QLabel *lblAQ3;
    QLabel *lblAQ4;
    QLabel *lblAQ5;
    QLabel *lblAQ6;
    QLabel *lblAQ7;
    QLabel *lblAQ8;
    ChoiceLabel *lblAQYes;
    ChoiceLabel *lblAQNo;
    QLabel *imgAQuit;

protected:
    void Form_MouseMove() override;

private:
    void lblAQYes_MouseMove();
    void lblAQNo_MouseMove();
    void lblAQYes_Click();
    void lblAQNo_Click();
};
