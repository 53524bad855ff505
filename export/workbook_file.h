// Saving the results workbook as a file: under a new dated name in a folder (the windows'
// export) or under a given name (the batch calculator). The workbook is written into a
// temporary file beside its final place, flushed to the disk and renamed into place only when
// complete, and the folder is flushed after the rename, so a failure leaves nothing behind and
// a success is on the disk. File names are UTF-8.
#pragma once

#include "export/result_texts.h"
#include "platform/clock.h"

#include <xlsxwriter.h>

#include <functional>
#include <string>

struct WorkbookFileResult
{
    std::string path;        // the file written, or the one that could not be written
    std::string folder;      // the folder it goes into
    int error = 0;           // the system's error number of a failure
    std::string writerError; // the workbook writer's own reason, when it gave no error number
    bool ok() const { return error == 0 && writerError.empty(); }
};

// "Велимор 2026-03-07 09-05-04.xlsx" for copy 1, "Велимор 2026-03-07 09-05-04 (2).xlsx" for
// copy 2, and so on.
std::string workbookFileName(const LocalDateTime& moment, int copy);

// Writes the workbook into folder under the name of the current moment, taking the first
// copy number whose name is free; never replaces a file.
WorkbookFileResult saveResultsWorkbook(const ResultTexts& texts, const std::string& folder);

// Writes the workbook to path, replacing a file of that name once the new one is complete.
WorkbookFileResult writeResultsWorkbook(const ResultTexts& texts, const std::string& path);

// Lays a workbook out into the file at the path it is given; returns the writer's first error.
using WorkbookLayout = std::function<lxw_error(const std::string& path)>;

// Writes the workbook the layout gives to path as writeResultsWorkbook does.
WorkbookFileResult writeWorkbook(const WorkbookLayout& layout, const std::string& path);

// Why a file could not be written, in Russian, from the system's error number
// ("на диске недостаточно места").
std::string writeFailureReason(int error);

// The Russian message for a failed result (UTF-8): which file or folder and why.
std::string workbookFailureMessage(const WorkbookFileResult& result);
