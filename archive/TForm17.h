#pragma once

#include "toolkit/form.h"

class TForm17 : public Form
{
public:
    TForm17();
};

extern TForm17* Form17;
