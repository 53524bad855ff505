// The check of a table of counts against a task's phenotypes, all or nothing. The first filled
// row names the phenotypes, a column each from the second on, by the tests they show separated
// by blanks, in any order ("-" for none); the columns may stand in any order, and a phenotype
// without a column has no count. Every later filled row is a population: its name in the first
// column, then its counts, each a whole number from 0 to 19999999 by the rule of
// task/count_entry.h, an empty cell no count. Each population becomes the task
// "population (system)". Entry point: checkCountTable.
#pragma once

#include "archive/task_archive.h"
#include "import/cell_table.h"
#include "task/task_state.h"

#include <cstddef>
#include <set>
#include <vector>

struct CountTableContext
{
    const TaskState& task;              // alleles checked, phenotypes generated
    Cp1251Text system;                  // the system's name, trimmed
    std::set<Cp1251Text> archivedNames; // the name keys of the archive's live tasks
    std::size_t nameWidth = 40;         // the width of SPISOK's NAME
};

struct ImportedPopulation
{
    int row = 0;
    Cp1251Text population;              // trimmed
    Cp1251Text taskName;                // "population (system)"
    std::vector<PhenotypeCount> counts; // ascending phenotype number, empty cells left out
};

struct CountTableCheck
{
    std::optional<TableProblem> problem;         // the first, reading the header, then row by row
    std::vector<ImportedPopulation> populations; // in the table's order; none on a problem
};

// Refuses, naming the row and column: a system name that is empty or longer than a label; a
// header cell that is no phenotype of the task or repeats one; a name that is empty, repeats an
// earlier row's (by its task name's key), makes a task name longer than NAME or one a live task
// of the archive bears; a row with no count; a count the rule refuses; a value in a column whose
// header names no phenotype; a character Windows-1251 lacks; a table with no population.
CountTableCheck checkCountTable(const CellTable& table, const CountTableContext& context);
