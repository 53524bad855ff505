// The allele window: the user names the alleles (rows 1 to 25 in StringGrid1, 26 to 50 in
// StringGrid2) and chooses the inheritance mode.
#pragma once

#include "platform/cp1251.h"
#include "task/task_state.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <array>
#include <string>

class Tantigen : public Form
{
public:
    Tantigen();

    StringGrid* StringGrid1;
    StringGrid* StringGrid2;
    Label* Label1;
    Memo* Memo1;
    RadioButton* RadioButton1;
    RadioButton* RadioButton2;
    Button* Button1;

    void Button1Click();
    // Runs the allele check over both grids and shows its message on a failure; true when
    // the list passed.
    bool checkAlleleList();
    // The grid of alleles 1 to 25 (grid 0, StringGrid1) or 26 to 50 (grid 1, StringGrid2).
    StringGrid* alleleGrid(int grid) const;
    // The name cell of allele k (1..50).
    QString alleleCell(int k) const;
    // Shapes both grids (2 columns, 26 rows, widths 24 and 260, headers), numbers their
    // rows 1 to 50, makes row 1 current and, when asked, empties the name cells.
    void layOutGrids(bool emptyNames);

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    std::array<EncodedText, maxAlleles> alleleCellTexts() const;
};

extern Tantigen* antigen;
