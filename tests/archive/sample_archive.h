// The archive tables of a folder, labels included, opened through the table engine, and the two
// tasks the durability tests save: three alleles A, B, - (4 phenotypes) and the largest task,
// 50 alleles T1 … T50 of one test each (1275 phenotypes), both codominant with a count on every
// phenotype.
#pragma once

#include "archive/task_archive.h"
#include "tables/archive_schema.h"
#include "task/allele_check.h"
#include "task/phenotypes.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

struct ArchiveFiles
{
    explicit ArchiveFiles(const std::filesystem::path& folder)
        : spisok((folder / "SPISOK").string(), spisokSchema()),
          allel((folder / "ALLEL.DBF").string(), allelSchema()),
          fenotip((folder / "FENOTIP.DBF").string(), fenotipSchema()),
          labels((folder / "METKI.DBF").string(), labelSchema())
    {
        for (Table* table : {&spisok, &allel, &fenotip, &labels})
            table->open();
    }
    ArchiveTables tables() { return {spisok, allel, fenotip, &labels}; }

    Table spisok;
    Table allel;
    Table fenotip;
    Table labels;
};

// The task as the windows hold it after the allele check, with count firstCount + r on
// phenotype r.
inline TaskRecord sampleTask(const std::string& name, int alleles, int firstCount)
{
    std::array<std::string, maxAlleles> cells;
    if (alleles == 3)
        cells = {"A", "B", "-"};
    else
        for (int k = 0; k < alleles; ++k)
            cells[static_cast<std::size_t>(k)] = "T" + std::to_string(k + 1);
    const auto task = std::make_unique<TaskState>();
    if (checkAlleleList(encodeAlleleRows(cells), *task).failed() ||
        !generatePhenotypes(*task, InheritanceMode::codominance))
        throw std::runtime_error("bad sample task");
    TaskRecord record;
    record.name = Cp1251Text::fromBytes(name);
    record.mode = 1;
    record.criterion = 2;
    record.alleleCount = task->alleleCount;
    record.testCount = task->testCount;
    record.phenotypeCount = task->phenotypeCount;
    record.date = {2026, 12, 8};
    record.time = Cp1251Text::fromBytes("9.5");
    for (std::size_t k = 0; k < cells.size(); ++k)
        record.alleleRows[k] = Cp1251Text::fromBytes(cells[k]);
    for (int r = 1; r <= record.phenotypeCount; ++r)
        record.counts.push_back({r, firstCount + r});
    return record;
}
