// The warning window shown before going back to the allele list: it explains what a
// correction means and takes the answer into allelesToCorrect of the task record.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

class TForm9 : public Form
{
public:
    TForm9();

    Memo* Memo1;
    Button* Button1; // "НАДО корректировать аллели"
    Button* Button2; // "НЕ НАДО корректировать аллели"

    void Button1Click();
    void Button2Click();

protected:
    // A showing without an answer leaves the alleles alone.
    void FormActivate() override;
};

extern TForm9* Form9;
