// The main window: the help text, three pictures and the five buttons that lead to the
// rest of the program.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

class TForm1 : public Form
{
public:
    TForm1();

    Memo* Memo1;
    Button* Button2; // "Новая задача"
    Button* Button1; // "Архив задач"
    Button* Button3; // backup
    Button* Button4; // restore
    Button* Button5; // "Проверка родства"
    Image* Image3;
    Image* Image4;
    Image* Image2;
    Label* Label1; // caption under Image3
    Label* Label2; // caption under Image4

    void Button2Click();
    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

    // Runs once, when the event loop first shows the window.
    void FormActivate() override;

protected:
    // Closing the main window ends the program: counts not saved are asked about first.
    bool FormCloseQuery() override;
};

extern TForm1* Form1;
