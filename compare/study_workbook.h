// The texts of a comparison of populations over their shared systems, as velimor-calc, the
// window and the workbook show them, and the workbook: a sheet per system (its single-system
// tables one under another, then its populations' identification figures) and the combined
// sheets. Entry points: studyTables, writeStudyWorkbook.
#pragma once

#include "compare/population_study.h"
#include "export/workbook_file.h"

#include <string>
#include <vector>

struct StudySystemTables
{
    std::string system; // UTF-8
    std::string sheet;  // the name of its sheet in the workbook, UTF-8
    ComparisonTables comparison;
    TextTable forensic; // per population: MP, PD, PE trio, PE duo
};

struct StudyTables
{
    std::vector<StudySystemTables> systems;
    TextTable neiDistance; // the combined matrix, a name column first
    TextTable homogeneity; // G, degrees of freedom and p summed over the systems
    TextTable trees;       // the Newick texts of the UPGMA and neighbor-joining trees
    TextTable forensic;    // per population: combined exclusion (trio, duo), match probability
};

// Distances and figures with 5 decimals, G with 3, p with 4.
StudyTables studyTables(const PopulationStudy& study);

// Writes the workbook to path (UTF-8), complete or not at all.
WorkbookFileResult writeStudyWorkbook(const StudyTables& tables, const std::string& path);
