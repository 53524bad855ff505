#include "export/statistics_workbook.h"

#include "estimate/statistics_texts.h"

namespace {

// The lines that are there, in order.
std::vector<std::string> present(std::initializer_list<std::string> lines)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (!line.empty()) kept.push_back(line);
    return kept;
}

} // namespace

std::vector<TextSheet> statisticsSheets(const std::string& taskName, const TaskState& task,
                                        const TaskStatistics& statistics,
                                        const ReplicateResult* replicates)
{
    const std::string name = taskName.empty() ? "без наименования" : taskName;
    const std::string replicateLine = replicates ? "Повторений бутстрепа и метода Монте-Карло: " +
                                                       std::to_string(replicates->replicates)
                                                 : "Повторения не рассчитывались.";
    return {{"Аллели",
             {"Задача: " + name, replicateLine},
             alleleStatisticsTable(task, statistics, replicates),
             present({bootstrapWarning(task, statistics, replicates)})},
            {"Согласие",
             {"Задача: " + name},
             fitStatisticsTable(statistics, replicates),
             present({saturationNote(statistics), monteCarloNote()})},
            {"Остатки", {"Задача: " + name}, residualTable(task, statistics, 0, false), {}}};
}

WorkbookFileResult writeStatisticsWorkbook(const std::vector<TextSheet>& sheets,
                                           const std::string& path)
{
    return writeWorkbook(
        [&sheets](const std::string& file) { return writeTextSheets(sheets, file); }, path);
}
