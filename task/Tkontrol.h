// The control window: the alleles, tests and phenotypes of the task, the counts, the
// criterion, and the buttons of the later steps.
#pragma once

#include "toolkit/form.h"
#include "toolkit/string_grid.h"

class Tkontrol : public Form
{
public:
    Tkontrol();

    StringGrid* StringGrid3; // phenotypes; column 2 holds the counts

    // Empties columns 1, 4, 2 and 3 of every data row of the phenotype grid.
    void clearPhenotypeRows();
};

extern Tkontrol* kontrol;
