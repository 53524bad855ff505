// The selection-key window: the key whose tasks the archive list is narrowed to. It has no
// border icons; "Выделить", or Enter released in the field while it holds a text, closes it.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

class TForm7 : public Form
{
public:
    TForm7();

    Label* Label1;   // "Введите ключ выделения"
    Edit* Edit1;     // the selection key
    Button* Button1; // "Выделить"

    void Button1Click();
    // A key released in Edit1.
    void Edit1KeyUp(int key);

protected:
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TForm7* Form7;
