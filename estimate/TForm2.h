#pragma once

#include "toolkit/form.h"

class TForm2 : public Form
{
public:
    TForm2();
};

extern TForm2* Form2;
