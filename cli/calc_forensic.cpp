#include "cli/calc_forensic.h"

#include "cli/forensic_json.h"
#include "compare/forensic_texts.h"
#include "platform/random.h"

#include <ostream>

CalcForensic calculateForensic(const TaskState& task, const CalculationResult& result,
                               std::optional<int> replicates, std::ostream* progress)
{
    const std::vector<long double>& estimate = result.estimates[0].alleleFrequencies;
    CalcForensic forensic{systemFigures(task, estimate, result.total), std::nullopt};
    if (!replicates) return forensic;
    ReplicateSettings settings;
    settings.replicates = *replicates;
    settings.seed = static_cast<std::uint64_t>(randomUniform() * 0x1p53);
    if (progress)
        settings.progress = [progress](std::int64_t done, std::int64_t total) {
            *progress << "\rПовторения (родство): " << done << " из " << total << std::flush;
        };
    forensic.intervals = forensicIntervals(task, result.counts, estimate, settings);
    if (progress) *progress << "\n";
    return forensic;
}

std::string forensicText(const CalcForensic& forensic)
{
    std::string text = "[forensic]\n";
    appendRows(
        text, forensicTable(forensic.figures, forensic.intervals ? &*forensic.intervals : nullptr));
    return text + "\n";
}

TextSheet forensicWorkbookSheet(const CalcForensic& forensic)
{
    return forensicSheet(forensic.figures, forensic.intervals ? &*forensic.intervals : nullptr);
}

void addForensicJson(ReportJson& report, const CalcForensic& forensic)
{
    report["forensic"] = forensicJson(forensic.figures.forensic,
                                      forensic.intervals ? &*forensic.intervals : nullptr);
    report["diversity"] = diversityJson(forensic.figures.diversity);
}
