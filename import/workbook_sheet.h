// The first sheet of a workbook in a zip container, read with libzip and expat: an xlsx
// workbook (its first sheet in the workbook's order, shared and inline strings, numbers) or an
// OpenDocument spreadsheet (the first table of content.xml, repeated rows and cells spread out,
// notes left out). Entry point: readWorkbookSheet.
#pragma once

#include "import/cell_table.h"
#include "import/zip_xml.h"

#include <string>
#include <string_view>

// The cells of the first sheet. A container that does not open, a workbook of neither kind,
// a part missing or whose XML is broken are the problem.
CellTableRead readWorkbookSheet(const std::string& path);

// The readers of the two kinds over an opened container; a part that cannot be read throws
// WorkbookError.
CellTableRead readXlsxSheet(const ZipXml& workbook);
CellTableRead readOdsSheet(const ZipXml& workbook);

// A number cell's stored value as the cell text: a whole number of at most 15 digits in plain
// digits ("25" for "25", "2.5E1" or "25.0"), any other value as stored.
std::string plainNumber(std::string_view stored);
