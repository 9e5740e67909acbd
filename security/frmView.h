#pragma once

#include "platform/Form.h"

class CommandButton;
class PlainTextView;

// The security log viewer: the log's text as it stood when the viewer was first opened in the
// run. A press on the text or Done puts it away.
class frmView : public Form {
    Q_OBJECT
public:
    frmView();

    void Form_Load() override;

    PlainTextView *rtbView;
    CommandButton *cmdVDone;

private:
    void BuildControls();
    void cmdVDone_Click();
    void rtbView_MouseDown();
    void rtbView_MouseUp();
    void rtbView_DblClick();
};
