#pragma once

#include "platform/ClickTracker.h"
#include "platform/Form.h"

class QLabel;

// The hidden card about the program's author, without title bar or caption. Only a click on
// its background puts it away, which the main window's code box follows.
class frmEgg : public Form {
    Q_OBJECT
public:
    frmEgg();

    void Form_Load() override;

    QLabel *lblEMsg1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
        *Label10;
    QLabel *imgEgg;

signals:
    // A click on the background, just before the card hides.
    void PutAway();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildControls();
    bool TakesClicks() const override { return true; }
    void Form_Click() override;

    ClickTracker m_click;
};
