#pragma once

#include "toolkit/form.h"

class TForm3 : public Form
{
public:
    TForm3();
};

extern TForm3* Form3;
