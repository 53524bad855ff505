#include "tests/support/allele_entry.h"

#include "task/gui/Tantigen.h"
#include "task/task_state.h"

void enterAlleles(const std::vector<QString>& alleles, bool dominance)
{
    task = TaskState{};
    antigen->layOutGrids(true);
    for (std::size_t i = 0; i < alleles.size(); ++i)
        antigen->StringGrid1->setCells(1, static_cast<int>(i) + 1, alleles[i]);
    (dominance ? antigen->RadioButton2 : antigen->RadioButton1)->setChecked(true);
}
