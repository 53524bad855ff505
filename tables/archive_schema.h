// The fields of the archive tables, in their defined order, with the widths a missing table is
// created with (a new user starts with an empty archive), and the filter texts the archive
// views its tables through.
#pragma once

#include "tables/table_schema.h"

#include <string_view>

// The fields, by the names the schemas below give them.
// In every table: the key of the task a row belongs to, and whether the row is live (false: a
// freed row, which a later save writes into).
inline constexpr std::string_view taskKeyField = "INDEX";
inline constexpr std::string_view liveRowField = "OT";
// In SPISOK.DBF and METKI.DBF: a task's name as typed and when it was saved.
inline constexpr std::string_view taskNameField = "NAME";
inline constexpr std::string_view savedDateField = "DATA";
inline constexpr std::string_view savedTimeField = "TIME";
// In SPISOK.DBF: whether the last selection marked the task, its list sizes, the total count
// as typed, the inheritance mode and the fit criterion.
inline constexpr std::string_view selectionField = "OTBOR";
inline constexpr std::string_view alleleCountField = "KOLALL";
inline constexpr std::string_view testCountField = "KOLTEST";
inline constexpr std::string_view phenotypeCountField = "KOLFEN";
inline constexpr std::string_view inheritanceModeField = "KNOP1";
inline constexpr std::string_view fitCriterionField = "KNOP2";
// In ALLEL.DBF, FENOTIP.DBF and METKI.DBF: the row's place among its task's rows.
inline constexpr std::string_view rowNumberField = "NOMER";
// In ALLEL.DBF: an allele's name; in FENOTIP.DBF (and SPISOK.DBF, as text): a count.
inline constexpr std::string_view alleleNameField = "ALLEL";
inline constexpr std::string_view headCountField = "GOLOV";
// In METKI.DBF: the population and the system of a task.
inline constexpr std::string_view populationField = "POPUL";
inline constexpr std::string_view systemField = "SISTEMA";

// SPISOK.DBF: one row per saved task.
const TableSchema& spisokSchema();
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
