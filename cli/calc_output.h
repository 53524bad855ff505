// What the command-line calculator writes: the texts of the report windows and of the
// control window after a calculation (reportTables), as tab-separated sections, or the
// unrounded numbers as one JSON object. Entry points: reportText, reportJson.
#pragma once

#include "estimate/calculation_run.h"
#include "estimate/report_tables.h"
#include "task/task_state.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// In UTF-8: sections [alleles], [genotypes], [tests], [phenotypes], [fit] and [control], each a
// heading line and tab-separated rows, followed by an empty line. [fit] holds the three
// labels; [control] holds the control window's allele grid, its phenotype grid (each with
// its header row) and the summary line.
std::string reportText(const ReportTables& tables);

// In UTF-8: {"total", "alleles", "phenotypes" (trimmed names in order), "criteria": {"ML", "LS",
// "NLS"}: each with "alleleFrequencies", "expectedPhenotypeFrequencies", "criterionValue",
// "chiSquare", "degreesOfFreedom", "probability"}, numbers unrounded.
std::string reportJson(const TaskState& task, const CalculationResult& result);

// The report as a JSON document: members in the order they are set, numbers of the estimation
// held as long double so that no digit is lost.
using ReportJson = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool,
                                        std::int64_t, std::uint64_t, long double>;

// The document reportJson writes, for members to be added to it, and its text in the layout
// of reportJson.
ReportJson reportDocument(const TaskState& task, const CalculationResult& result);
std::string reportJsonText(const ReportJson& report);
