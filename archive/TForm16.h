#pragma once

#include "toolkit/form.h"

class TForm16 : public Form
{
public:
    TForm16();
};

extern TForm16* Form16;
