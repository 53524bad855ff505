#include "archive/archive_table_check.h"

#include "tables/archive_schema.h"
#include "tables/dbf_format.h"
#include "tables/table_error.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

const std::array<ArchiveTableFile, 3>& archiveTableFiles()
{
    static const std::array<ArchiveTableFile, 3> files = {
        {{"SPISOK.DBF", spisokSchema}, {"ALLEL.DBF", allelSchema}, {"FENOTIP.DBF", fenotipSchema}}};
    return files;
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
