#include "archive/archived_task.h"

#include "archive/backup_restore.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "task/allele_check.h"
#include "task/count_entry.h"
#include "task/phenotypes.h"

#include <filesystem>

namespace {

ArchivedTask problem(std::string message)
{
    ArchivedTask archived;
    archived.problem = std::move(message);
    return archived;
}

} // namespace

ArchivedTask taskFromRecord(const TaskRecord& record, TaskState& task)
{
    ArchivedTask archived;
    archived.criterion = record.criterion;
    archived.mode = record.mode == static_cast<int>(InheritanceMode::dominance)
                        ? InheritanceMode::dominance
                        : InheritanceMode::codominance;
    std::array<EncodedText, maxAlleles> cells;
    for (int k = 0; k < maxAlleles; ++k)
        cells[k].text = record.alleleRows[k];
    const AlleleCheck check = checkAlleleList(cells, task);
    if (check.failed()) return problem(alleleCheckMessage(check));
    if (!generatePhenotypes(task, archived.mode)) return problem(phenotypeLimitMessage());

    archived.countTexts.assign(static_cast<std::size_t>(task.phenotypeCount), {});
    std::int64_t total = 0;
    for (const PhenotypeCount& count : record.counts) {
        if (count.number > task.phenotypeCount) continue;
        if (!isValidCount(count.count))
            return problem(
                invalidCountText(task.phenotypeNames[count.number], std::to_string(count.count)));
        archived.countTexts[static_cast<std::size_t>(count.number - 1)] =
            Cp1251Text::fromBytes(std::to_string(count.count));
        total += count.count;
    }
    archived.totalText = Cp1251Text::fromBytes(std::to_string(total));
    return archived;
}

ArchivedTask currentArchivedTask(const ArchiveTables& tables, TaskState& task)
{
    const std::optional<TaskRecord> record = loadTask(tables);
    if (!record) return problem("в списке архива нет выбранной задачи");
    return taskFromRecord(*record, task);
}

ArchivedTask loadArchivedTask(const std::string& folder, std::string_view nameUtf8, TaskState& task)
{
    const auto path = [&](const char* file) {
        return (std::filesystem::path(folder) / file).string();
    };
    // Opening a missing table would create it empty.
    for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF"}) {
        if (!std::filesystem::exists(resolveFileName(path(file))))
            return problem(std::string("нет таблицы архива ") + file);
    }
    try {
        // Read only, beside the program if it runs: the shared locks, taken in this order,
        // hold off its writes until the three tables are read.
        Table spisok(path("SPISOK.DBF"), spisokSchema());
        Table allel(path("ALLEL.DBF"), allelSchema());
        Table fenotip(path("FENOTIP.DBF"), fenotipSchema());
        spisok.openForReading();
        allel.openForReading();
        fenotip.openForReading();
        if (restoreUnfinished(folder))
            return problem("восстановление архива из резервной копии было прервано; "
                           "его закончит программа Велимор при запуске");
        const EncodedText name = encodeCp1251(nameUtf8);
        if (!name.ok() || !findTaskByName(spisok, name.text))
            return problem("задачи «" + std::string(nameUtf8) + "» в архиве нет");
        return currentArchivedTask({spisok, allel, fenotip}, task);
    } catch (const TableError& e) {
        return problem(e.what());
    }
}
