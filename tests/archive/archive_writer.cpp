// Writes a small archive into a folder through saveTask and deleteCurrentTask, for the
// checks of check_archive_files.py: three tasks saved, the second deleted before the third,
// so the third reuses its rows. Usage: archive_writer FOLDER
#include "archive/task_archive.h"
#include "archive/task_list.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "task/allele_check.h"
#include "task/phenotypes.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

namespace {

struct Saved
{
    const char* name; // UTF-8
    InheritanceMode mode;
    int criterion;
    std::map<int, const char*> rows;    // allele position → text
    std::map<int, std::int32_t> counts; // phenotype number → count
    CalendarDate date;
    int hour;
    int minute;
};

// The task as the windows would hold it: the allele check and phenotype generation give the
// numbers of alleles, tests and phenotypes.
TaskRecord recordOf(const Saved& saved)
{
    std::array<std::string, maxAlleles> cells;
    for (const auto& [k, text] : saved.rows)
        cells[static_cast<std::size_t>(k - 1)] = text;
    const auto task = std::make_unique<TaskState>();
    if (checkAlleleList(encodeAlleleRows(cells), *task).failed() ||
        !generatePhenotypes(*task, saved.mode))
        throw std::runtime_error(std::string("bad task ") + saved.name);
    TaskRecord record;
    record.name = toCp1251(saved.name);
    record.mode = static_cast<int>(saved.mode);
    record.criterion = saved.criterion;
    record.alleleCount = task->alleleCount;
    record.testCount = task->testCount;
    record.phenotypeCount = task->phenotypeCount;
    record.date = saved.date;
    record.time = savingTimeText(saved.hour, saved.minute);
    for (const auto& [k, text] : saved.rows)
        record.alleleRows[static_cast<std::size_t>(k - 1)] = toCp1251(text);
    for (const auto& [number, count] : saved.counts)
        record.counts.push_back({number, count});
    return record;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: archive_writer FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    try {
        Table spisok((folder / "SPISOK").string(), spisokSchema());
        Table allel((folder / "ALLEL.DBF").string(), allelSchema());
        Table fenotip((folder / "FENOTIP.DBF").string(), fenotipSchema());
        for (Table* table : {&spisok, &allel, &fenotip})
            table->open();
        const ArchiveTables tables{spisok, allel, fenotip};

        saveTask(tables, recordOf({"  Группа крови АВ0 ",
                                   InheritanceMode::codominance,
                                   3,
                                   {{1, "A"}, {2, " B "}, {28, "-"}},
                                   {{1, 120}, {2, 33}, {4, 250}},
                                   {2024, 3, 5},
                                   9,
                                   5}));
        saveTask(tables, recordOf({"Удаляемая",
                                   InheritanceMode::codominance,
                                   1,
                                   {{1, "M"}, {2, "N"}},
                                   {{1, 5}},
                                   {2024, 3, 6},
                                   10,
                                   0}));
        deleteCurrentTask(tables); // the newest task is the current row after a save
        saveTask(tables, recordOf({"Резус-фактор у жителей Н-ской области, 1999 г",
                                   InheritanceMode::dominance,
                                   2,
                                   {{1, "Rh+ D"}, {2, "-"}},
                                   {{1, 7}, {2, 0}},
                                   {2024, 12, 31},
                                   23,
                                   59}));
        for (Table* table : {&spisok, &allel, &fenotip})
            table->close();
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
