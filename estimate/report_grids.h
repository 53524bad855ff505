// The layouts of the tables that show a task and its results: the allele, genotype, test and
// phenotype reports and the lists of alleles, tests and phenotypes beside the counts, which
// the windows show as grids and velimor-calc writes as its sections. A layout is its column
// headers and the captions of the summary rows under the numbered data rows; the windows add
// widths.
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

// The allele report: allele names, their frequencies by МП, МНК and МННК in columns 2 to 4;
// "Сумма" adds up each frequency column.
const GridLayout& alleleReportLayout();
// The genotype report: genotype names and their frequencies as above; "Сумма" adds up each
// column, "Гомозиготы" and "Гетерозиготы" give the share of each kind of genotype.
const GridLayout& genotypeReportLayout();
// The test report: per test the observed count of the phenotypes it shows ("Факт"), the
// expected counts by the three criteria, then the same as frequencies; no summary rows.
const GridLayout& testReportLayout();
// The phenotype report: per phenotype the columns of the test report; "Сумма" adds up each count
// and frequency column.
const GridLayout& phenotypeReportLayout();
// The alleles and their frequencies by the chosen criterion.
const GridLayout& chosenAlleleLayout();
// The tests.
const GridLayout& testListLayout();
// The phenotypes, their typed counts ("Факт"), the expected counts by the chosen criterion
// ("Расчет") and the genotypes of each class.
const GridLayout& phenotypeListLayout();

// The grid of the layout before results are written in: the header row, then one data row a
// name (the row number in column 0, the name in column 1), then the summary rows (the caption
// in column 1); every other cell empty.
ShownTable numberedRows(const GridLayout& layout, const std::vector<Cp1251Text>& names);
