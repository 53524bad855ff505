// The warning window shown before going back to the allele list: it explains what a
// correction means and returns the user's answer to the window that asked.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

class TForm9 : public Form
{
public:
    TForm9();

    // Shows the warning modally; true when the user chose to correct the alleles. A showing
    // closed without an answer leaves the alleles alone.
    bool askToCorrectAlleles();

    Memo* Memo1;
    Button* Button1; // "НАДО корректировать аллели"
    Button* Button2; // "НЕ НАДО корректировать аллели"

    void Button1Click();
    void Button2Click();

protected:
    void FormActivate() override;

private:
    bool allelesToCorrect_ = false;
};

extern TForm9* Form9;
