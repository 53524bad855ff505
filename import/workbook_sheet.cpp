#include "import/workbook_sheet.h"

#include <charconv>
#include <cmath>
#include <filesystem>

CellTableRead readWorkbookSheet(const std::string& path)
{
    CellTableRead read;
    try {
        const ZipXml workbook(path);
        if (workbook.has("mimetype") &&
            workbook.read("mimetype").starts_with("application/vnd.oasis.opendocument.spreadsheet"))
            return readOdsSheet(workbook);
        if (workbook.has("[Content_Types].xml") && workbook.has("_rels/.rels"))
            return readXlsxSheet(workbook);
        throw WorkbookError("«" + std::filesystem::path(path).filename().string() +
                            "» - архив zip, но не книга xlsx или ods");
    } catch (const WorkbookError& error) {
        read.problem = TableProblem{0, 0, error.what()};
    }
    return read;
}

std::string plainNumber(std::string_view stored)
{
    double value = 0;
    const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), value);
    if (error != std::errc() || end != stored.data() + stored.size() || !std::isfinite(value) ||
        value != std::trunc(value) || std::fabs(value) >= 1e15)
        return std::string(stored);
    return std::to_string(static_cast<long long>(value));
}
