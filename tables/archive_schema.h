// The fields of the archive tables, in their defined order, with the widths a missing table is
// created with (a new user starts with an empty archive), and the filter texts the archive
// views its tables through.
#pragma once

#include "tables/table_schema.h"

#include <string_view>

// SPISOK.DBF: one row per saved task.
const TableSchema& spisokSchema();
// The field of SPISOK.DBF that holds a task's name as typed.
inline constexpr std::string_view taskNameField = "NAME";
// ALLEL.DBF: one row per allele row of a task.
const TableSchema& allelSchema();
// FENOTIP.DBF: one row per typed phenotype count.
const TableSchema& fenotipSchema();
// METKI.DBF: the population and system names of a task, one live row per labelled task (see
// archive/task_labels.h).
const TableSchema& labelSchema();

// The live rows: the view every table rests in.
inline constexpr std::string_view liveRowsFilter = "ot=true";
// The live rows, as ALLEL.DBF and FENOTIP.DBF are read when a task is opened; they keep it.
inline constexpr std::string_view openingFilter = "(ot=true)";
// The freed rows, which a save writes into before it appends.
inline constexpr std::string_view freeRowsFilter = "ot=false";
// The live tasks that the last selection marked in SPISOK.DBF.
inline constexpr std::string_view selectedTasksFilter = "otbor=true and ot=true";
