// The fields of the three archive tables, in their defined order, with the widths a missing
// table is created with (a new user starts with an empty archive).
#pragma once

#include "tables/table_schema.h"

// SPISOK.DBF: one row per saved task.
const TableSchema& spisokSchema();
// ALLEL.DBF: one row per allele row of a task.
const TableSchema& allelSchema();
// FENOTIP.DBF: one row per typed phenotype count.
const TableSchema& fenotipSchema();
