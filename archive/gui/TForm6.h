// The task-name window: one edit field, no buttons; the user types the name of the task to
// save and closes the window with its close box.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

class TForm6 : public Form
{
public:
    TForm6();

    Edit* Edit1; // the task name

protected:
    void FormActivate() override;
};

extern TForm6* Form6;
