#include "archive/count_table_import.h"

#include "platform/cp1251.h"
#include "tables/archive_schema.h"

CountTableImport importCountTable(const ArchiveTables& tables, const std::string& path,
                                  const TaskState& task, const TaskRecord& base,
                                  const Cp1251Text& system, DataSource* listSource)
{
    CountTableImport result;
    const CellTableRead read = readCellTable(path);
    if (read.problem) {
        result.problem = read.problem;
        return result;
    }
    if (listSource) listSource->setEnabled(false);
    std::set<Cp1251Text> archived = liveTaskNameKeys(tables.spisok);
    if (listSource) listSource->setEnabled(true);
    const CountTableContext context{
        task, system.trimmed(), std::move(archived),
        static_cast<std::size_t>(tables.spisok.fieldByName(taskNameField).definition().width)};
    const CountTableCheck check = checkCountTable(read.table, context);
    if (check.problem) {
        result.problem = check.problem;
        return result;
    }
    std::vector<TaskRecord> records;
    records.reserve(check.populations.size());
    for (const ImportedPopulation& population : check.populations) {
        TaskRecord& record = records.emplace_back(base);
        record.name = population.taskName;
        record.counts = population.counts;
        record.labels = {population.population, context.system};
    }
    const SaveTasksResult saved = saveTasks(tables, records, listSource);
    if (saved.outcome != SaveOutcome::saved) {
        const ImportedPopulation& population = check.populations[saved.record];
        result.problem = TableProblem{population.row, 1,
                                      "задачу «" + cp1251ToUtf8(population.taskName) +
                                          "» нельзя записать под этим именем"};
        return result;
    }
    result.keys = saved.keys;
    return result;
}
