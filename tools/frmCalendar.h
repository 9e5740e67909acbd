#pragma once

#include "platform/Form.h"

class CommandButton;
class QCalendarWidget;

// A month calendar to look at; nothing chosen in it is used elsewhere in the program.
class frmCalendar : public Form {
    Q_OBJECT
public:
    frmCalendar();

    void Form_Load() override;

    QCalendarWidget *MonthView1;
    CommandButton *cmdCClose;

private:
    void BuildControls();
    void cmdCClose_Click();
};
