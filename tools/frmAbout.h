#pragma once

// tools/: the small windows beside the entry: the About panel (which arms the hidden card by a
// signal), the hidden card itself, the calendar, the format tool and the help routine. They build
// on app/ and platform/ and know no window above them.
#include "app/Gradient.h"
#include "platform/ClickTracker.h"
#include "platform/Form.h"

class ClickableLabel;

// The About panel's background: the splash's gradient, lighter and all blue.
inline constexpr GradientShape kAboutGradient{3.01, 220.0, 1000};

// A panel without title bar: credits over a painted background, put away by a click anywhere.
// A click on its last line also arms the hidden card.
class frmAbout : public Form {
    Q_OBJECT
public:
    frmAbout();

    ClickableLabel *lblAMsg;
    ClickableLabel *lblAMsg1;
    ClickableLabel *lblAMsg2;

signals:
    // The first step towards the hidden card was taken.
    void CardArmed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildControls();
    bool TakesClicks() const override { return true; }
    void Form_Click() override;
    void lblAMsg_Click();
    void lblAMsg1_Click();
    void lblAMsg2_Click();

    ClickTracker m_click;
};

// The credits: each part followed by a run of spaces, so the wrapping label sets each on a line
// of its own.
QString AboutCredits();
