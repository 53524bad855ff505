#include "archive/archive_table_check.h"

#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/dbf_format.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "task/task_state.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <vector>

namespace {

// The positions (NOMER) of the live rows of a table, by key.
std::map<int, std::vector<int>> livePositions(Table& table)
{
    table.setFilter(liveRowsFilter);
    table.setFiltered(true);
    std::map<int, std::vector<int>> positions;
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        positions[table.fieldAt(row, taskKeyField).asInteger()].push_back(
            table.fieldAt(row, rowNumberField).asInteger());
    return positions;
}

bool distinctWithin(const std::vector<int>& positions, int last)
{
    const std::set<int> seen(positions.begin(), positions.end());
    return seen.size() == positions.size() &&
           (seen.empty() || (*seen.begin() >= 1 && *seen.rbegin() <= last));
}

} // namespace

const std::array<ArchiveTableFile, 3>& archiveTableFiles()
{
    static const std::array<ArchiveTableFile, 3> files = {
        {{"SPISOK.DBF", spisokSchema}, {"ALLEL.DBF", allelSchema}, {"FENOTIP.DBF", fenotipSchema}}};
    return files;
}

const ArchiveTableFile& labelTableFile()
{
    static const ArchiveTableFile file = {"METKI.DBF", labelSchema};
    return file;
}

void checkArchiveTableFile(const std::string& path, const ArchiveTableFile& table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw tableError(table.name, "файл не читается");
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const DbfHeader header = parseDbfHeader(bytes, bytes.size(), table.name);
    checkFields(header.fields, table.schema(), table.name);
}

std::optional<std::string> taskNotFittingItsRows(const std::string& folder)
{
    Table spisok(folder + "/SPISOK.DBF", spisokSchema());
    Table allel(folder + "/ALLEL.DBF", allelSchema());
    Table fenotip(folder + "/FENOTIP.DBF", fenotipSchema());
    for (Table* table : {&spisok, &allel, &fenotip})
        table->openForReading();
    const std::map<int, std::vector<int>> alleles = livePositions(allel);
    const std::map<int, std::vector<int>> counts = livePositions(fenotip);
    const std::vector<int> none;
    const auto rowsOf = [&](const std::map<int, std::vector<int>>& rows, int key) -> const auto&
    {
        const auto found = rows.find(key);
        return found == rows.end() ? none : found->second;
    };
    spisok.setFilter(liveRowsFilter);
    spisok.setFiltered(true);
    for (std::size_t row = 0; row < spisok.rowCount(); ++row) {
        const int key = spisok.fieldAt(row, taskKeyField).asInteger();
        const int alleleCount = spisok.fieldAt(row, alleleCountField).asInteger();
        const std::vector<int>& taskAlleles = rowsOf(alleles, key);
        std::string problem;
        if (static_cast<int>(taskAlleles.size()) != alleleCount ||
            !distinctWithin(taskAlleles, maxAlleles))
            problem = "в ALLEL.DBF строк аллелей " + std::to_string(taskAlleles.size()) +
                      ", а в SPISOK.DBF указано " + std::to_string(alleleCount);
        else if (!distinctWithin(rowsOf(counts, key),
                                 spisok.fieldAt(row, phenotypeCountField).asInteger()))
            problem = "строки численностей в FENOTIP.DBF не те, что указаны в SPISOK.DBF";
        if (!problem.empty())
            return "Таблицы резервной копии не подходят друг к другу: у задачи «" +
                   cp1251ToUtf8(spisok.fieldAt(row, taskNameField).asString()) + "» " + problem +
                   ". Вероятно, таблицы взяты из разных копий архива.";
    }
    return std::nullopt;
}
