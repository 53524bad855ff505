// The layouts of the grids that show a task and its results: the report windows' allele,
// genotype, test and phenotype grids and the control window's allele, test and phenotype
// lists, which velimor-calc writes as its sections too. A layout is its column headers and
// the captions of the summary rows under the numbered data rows; the windows add widths.
#pragma once

#include "platform/cp1251_text.h"

#include <string>
#include <vector>

// Rows of cell texts, header row first: a grid as the window shows it.
using ShownTable = std::vector<std::vector<Cp1251Text>>;

struct GridLayout
{
    std::vector<std::string> headers;   // UTF-8, column 0 (the row number) first
    std::vector<std::string> summaries; // UTF-8 captions in column 1 of the rows after the data
};

// Form2 StringGrid1: allele names, their frequencies by МП, МНК and МННК in columns 2 to 4;
// "Сумма" adds up each frequency column.
const GridLayout& alleleReportLayout();
// Form2 StringGrid2: genotype names and their frequencies as above; "Сумма" adds up each
// column, "Гомозиготы" and "Гетерозиготы" give the share of each kind of genotype.
const GridLayout& genotypeReportLayout();
// Form2 StringGrid3: per test the observed count of the phenotypes it shows ("Факт"), the
// expected counts by the three criteria, then the same as frequencies; no summary rows.
const GridLayout& testReportLayout();
// Form3 StringGrid1: per phenotype the columns of the test grid; "Сумма" adds up each count
// and frequency column.
const GridLayout& phenotypeReportLayout();
// kontrol StringGrid1: the alleles and the frequencies by the chosen criterion.
const GridLayout& controlAlleleLayout();
// kontrol StringGrid2: the tests.
const GridLayout& controlTestLayout();
// kontrol StringGrid3: the phenotypes, their typed counts ("Факт"), the expected counts by
// the chosen criterion ("Расчет") and the genotypes of each class.
const GridLayout& controlPhenotypeLayout();

// The grid of the layout before results are written in: the header row, then one data row a
// name (the row number in column 0, the name in column 1), then the summary rows (the caption
// in column 1); every other cell empty.
ShownTable numberedRows(const GridLayout& layout, const std::vector<Cp1251Text>& names);
