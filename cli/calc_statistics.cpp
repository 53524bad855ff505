#include "cli/calc_statistics.h"

#include "estimate/statistics_texts.h"
#include "platform/random.h"

#include <ostream>

namespace {

using Json = ReportJson;

const char* const criterionKeys[] = {"ML", "LS", "NLS"};

Json optionalJson(const auto& value)
{
    return value ? Json(*value) : Json(nullptr);
}

} // namespace

Json testJson(const char* statisticKey, const ChiSquareTest& test)
{
    return Json{{statisticKey, test.statistic},
                {"degreesOfFreedom", optionalJson(test.degreesOfFreedom)},
                {"probability", optionalJson(test.probability)}};
}

CalcStatistics calculateStatistics(const TaskState& task, const CalculationResult& result,
                                   int replicates, std::ostream* progress)
{
    CalcStatistics statistics;
    statistics.immediate = computeStatistics(task, result.counts, result.estimates);
    ReplicateSettings settings;
    settings.replicates = replicates;
    settings.seed = static_cast<std::uint64_t>(randomUniform() * 0x1p53);
    if (progress)
        settings.progress = [progress](std::int64_t done, std::int64_t total) {
            *progress << "\rПовторения: " << done << " из " << total << std::flush;
        };
    statistics.replicates = runReplicates(task, statistics.immediate, settings);
    if (progress) *progress << "\n";
    return statistics;
}

std::string statisticsText(const TaskState& task, const CalcStatistics& statistics)
{
    std::string text = "[statistics]\n";
    text += "Повторений\t" + std::to_string(statistics.replicates.replicates) + "\n";
    appendRows(text, alleleStatisticsTable(task, statistics.immediate, &statistics.replicates));
    const std::string warning =
        bootstrapWarning(task, statistics.immediate, &statistics.replicates);
    if (!warning.empty()) text += warning + "\n";
    appendRows(text, fitStatisticsTable(statistics.immediate, &statistics.replicates));
    const std::string saturation = saturationNote(statistics.immediate);
    if (!saturation.empty()) text += saturation + "\n";
    appendRows(text, residualTable(task, statistics.immediate, 0, false));
    text += monteCarloNote() + "\n\n";
    return text;
}

Json statisticsJson(const CalcStatistics& statistics)
{
    Json json{{"replicates", statistics.replicates.replicates}};
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionStatistics& criterion = statistics.immediate.criteria[k];
        const CriterionReplicates& replicated = statistics.replicates.criteria[k];
        Json errors = nullptr;
        Json wald = nullptr;
        if (!criterion.standardErrors.empty()) {
            errors = Json::array();
            wald = Json::array();
            for (const AlleleError& error : criterion.standardErrors) {
                const bool defined = error.gap == ErrorGap::none;
                errors.push_back(defined ? Json(error.standardError) : Json(nullptr));
                wald.push_back(defined ? Json{error.lower, error.upper} : Json(nullptr));
            }
        }
        Json intervals = Json::array();
        for (const auto& [lower, upper] : replicated.intervals)
            intervals.push_back(Json{lower, upper});
        Json entry{{"standardErrors", errors},
                   {"bootstrapStandardErrors", replicated.standardErrors},
                   {"confidenceIntervals", intervals}};
        if (!wald.is_null()) entry["waldIntervals"] = wald;
        const MonteCarloProbabilities& monteCarlo = replicated.monteCarlo;
        entry["pooled"] = testJson("chiSquare", criterion.textbook);
        entry["pearson"] = testJson("chiSquare", criterion.pearson);
        entry["pearson"]["monteCarloProbability"] = optionalJson(monteCarlo.pearson);
        entry["likelihoodRatio"] = testJson("gSquare", criterion.likelihoodRatio);
        entry["likelihoodRatio"]["monteCarloProbability"] =
            optionalJson(monteCarlo.likelihoodRatio);
        entry["monteCarloProbability"] = optionalJson(monteCarlo.pooled);
        entry["residuals"] = criterion.residuals;
        json[criterionKeys[k]] = entry;
    }
    return json;
}
