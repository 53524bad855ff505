#pragma once

#include "toolkit/form.h"

class TForm6 : public Form
{
public:
    TForm6();
};

extern TForm6* Form6;
