#include "export/parentage_workbook.h"

std::vector<TextSheet> parentageSheets(const std::vector<SystemCheck>& systems,
                                       const CaseVerdict& verdict)
{
    std::vector<std::string> below;
    for (const std::vector<std::string>& row : verdictTable(verdict))
        below.push_back(row[0] + ": " + row[1]);
    return {{"Проверка родства", {}, systemsTable(systems), below}};
}

WorkbookFileResult writeParentageWorkbook(const std::vector<TextSheet>& sheets,
                                          const std::string& path)
{
    return writeWorkbook(
        [&sheets](const std::string& file) { return writeTextSheets(sheets, file); }, path);
}
