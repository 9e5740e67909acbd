#pragma once

#include "app/Form.h"

// The program's working window, where the journal entry is written.
class frmMain : public Form {
    Q_OBJECT
public:
    frmMain();

    void Form_Load() override;

protected:
    void closeEvent(QCloseEvent *event) override;
};
