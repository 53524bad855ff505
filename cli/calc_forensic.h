// What velimor-calc --forensic adds: the identification figures and the gene diversity of
// the calculated task at its maximum-likelihood frequencies, with --stats also their
// bootstrap intervals, as a [forensic] text section or the JSON objects "forensic" and
// "diversity". Entry points: calculateForensic, forensicText, addForensicJson.
#pragma once

#include "cli/calc_output.h"
#include "compare/system_figures.h"
#include "estimate/calculation_run.h"
#include "export/text_sheets.h"

#include <iosfwd>
#include <optional>
#include <string>

struct CalcForensic
{
    SystemFigures figures;
    std::optional<ForensicIntervals> intervals;
};

// The figures of a completed run; with replicates also their intervals from that many
// bootstrap samples, seeded from the program-wide generator, with a progress line on
// progress as the statistics' replicates have.
CalcForensic calculateForensic(const TaskState& task, const CalculationResult& result,
                               std::optional<int> replicates, std::ostream* progress);

// "[forensic]", the figure table as tab-separated rows and an empty line.
std::string forensicText(const CalcForensic& forensic);

// The sheet "Родство" the statistics workbook gets with --forensic.
TextSheet forensicWorkbookSheet(const CalcForensic& forensic);

// Sets "forensic" and "diversity" in the report.
void addForensicJson(ReportJson& report, const CalcForensic& forensic);
