// The texts the results workbook is made of, as the windows show them: one plain table per
// source grid and the three goodness-of-fit captions, exactly as shown (number texts keep
// their padding).
#pragma once

#include "platform/cp1251_text.h"

#include <array>
#include <vector>

// The data rows of one grid. row(i) is grid row i (1 = the first row below the header row)
// and its cells are numbered as the grid's columns, column 0 being the number column.
class TextGrid
{
public:
    TextGrid() = default;
    explicit TextGrid(std::vector<std::vector<Cp1251Text>> rows) : rows_(std::move(rows)) {}

    // The number of data rows: the grid's row count without its header row.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // The text of column col of data row row (1-based); empty outside the grid.
    const Cp1251Text& cell(int col, int row) const;
    void addRow(std::vector<Cp1251Text> cells) { rows_.push_back(std::move(cells)); }

private:
    std::vector<std::vector<Cp1251Text>> rows_;
};

struct ResultTexts
{
    TextGrid alleles;       // allele report grid: "Аллели" and the three frequencies
    TextGrid genotypes;     // genotype report grid, summary rows included
    TextGrid tests;         // test report grid
    TextGrid phenotypeList; // the control window's phenotype list: names and genotype classes
    TextGrid phenotypes;    // phenotype report grid, its sum row included
    std::array<Cp1251Text, 3> fitSummaries; // the МП, МНК and МННК lines of the phenotype report
};
