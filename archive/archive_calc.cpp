#include "archive/archive_calc.h"

#include "archive/backup_restore.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "task/allele_check.h"
#include "task/count_entry.h"
#include "task/phenotypes.h"

#include <filesystem>
#include <memory>
#include <ostream>

namespace {

constexpr int badInput = 2;

LoadedTask problem(std::string message)
{
    LoadedTask loaded;
    loaded.problem = TaskFileProblem{0, std::move(message)};
    return loaded;
}

} // namespace

LoadedTask taskFromRecord(const TaskRecord& record, TaskState& task)
{
    LoadedTask loaded;
    loaded.mode = record.mode == static_cast<int>(InheritanceMode::dominance)
                      ? InheritanceMode::dominance
                      : InheritanceMode::codominance;
    std::array<EncodedText, maxAlleles> cells;
    for (int k = 0; k < maxAlleles; ++k)
        cells[k].text = record.alleleRows[k];
    const AlleleCheck check = checkAlleleList(cells, task);
    if (check.failed()) return problem(alleleCheckMessage(check));
    if (!generatePhenotypes(task, loaded.mode)) return problem(phenotypeLimitMessage());

    loaded.countTexts.assign(static_cast<std::size_t>(task.phenotypeCount), {});
    std::int64_t total = 0;
    for (const PhenotypeCount& count : record.counts) {
        if (count.number > task.phenotypeCount) continue;
        if (!isValidCount(count.count))
            return problem(
                invalidCountText(task.phenotypeNames[count.number], std::to_string(count.count)));
        loaded.countTexts[static_cast<std::size_t>(count.number - 1)] =
            Cp1251Text::fromBytes(std::to_string(count.count));
        total += count.count;
    }
    loaded.totalText = Cp1251Text::fromBytes(std::to_string(total));
    return loaded;
}

ArchivedTask loadArchivedTask(const std::string& folder, std::string_view nameUtf8, TaskState& task)
{
    ArchivedTask archived;
    const auto path = [&](const char* file) {
        return (std::filesystem::path(folder) / file).string();
    };
    // Opening a missing table would create it empty.
    for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF"}) {
        if (!std::filesystem::exists(resolveFileName(path(file)))) {
            archived.loaded = problem(std::string("нет таблицы архива ") + file);
            return archived;
        }
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
        if (restoreUnfinished(folder)) {
            archived.loaded = problem("восстановление архива из резервной копии было прервано; "
                                      "его закончит программа Велимор при запуске");
            return archived;
        }
        const EncodedText name = encodeCp1251(nameUtf8);
        if (!name.ok() || !findTaskByName(spisok, name.text)) {
            archived.loaded = problem("задачи «" + std::string(nameUtf8) + "» в архиве нет");
            return archived;
        }
        const std::optional<TaskRecord> record = loadTask({spisok, allel, fenotip});
        archived.criterion = record->criterion;
        archived.loaded = taskFromRecord(*record, task);
    } catch (const TableError& e) {
        archived.loaded = problem(e.what());
    }
    return archived;
}

int runArchiveCalculator(const CalcOptions& options, std::ostream& out, std::ostream& err)
{
    const auto task = std::make_unique<TaskState>();
    const ArchivedTask archived = loadArchivedTask(options.archiveFolder, options.taskName, *task);
    if (archived.loaded.problem) {
        err << taskFileProblemText(options.archiveFolder, *archived.loaded.problem) << "\n";
        return badInput;
    }
    CalcOptions chosen = options;
    if (!options.criterionGiven)
        chosen.criterion =
            archived.criterion >= 1 && archived.criterion <= 3 ? archived.criterion : 1;
    return calculateLoadedTask(chosen, options.archiveFolder, *task, archived.loaded, out, err);
}
