#pragma once

#include "platform/Form.h"

class QLabel;
class QTimer;

// The first window of the run: the product's name over a gradient for two seconds; then it
// unloads itself and says it is over, for the password gate to follow.
class frmSplash : public Form {
    Q_OBJECT
public:
    explicit frmSplash(int shownMilliseconds = 2000);

    void Form_Load() override;

    QLabel *Label1;
    QLabel *Label2;
    QLabel *lblSVer;
    QTimer *tmrTaskTimer;

signals:
    void Over();

protected:
    void paintEvent(QPaintEvent *event) override;
    // The splash stays its two seconds: a close request from the window manager is ignored.
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildControls();
    void tmrTaskTimer_Timer();
    void CloseSplash();

    int mShownMilliseconds;
};
