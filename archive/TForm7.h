#pragma once

#include "toolkit/form.h"

class TForm7 : public Form
{
public:
    TForm7();
};

extern TForm7* Form7;
