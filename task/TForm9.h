#pragma once

#include "toolkit/form.h"

class TForm9 : public Form
{
public:
    TForm9();
};

extern TForm9* Form9;
