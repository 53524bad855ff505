#pragma once

#include "toolkit/form.h"

class Tarhiv : public Form
{
public:
    Tarhiv();
};

extern Tarhiv* arhiv;
