// "Импорт результатов в Excel": takes the texts of the last calculation the windows show,
// saves the results workbook in the user's documents folder under a new dated name
// and opens it with the desktop's application for spreadsheets.
#pragma once

#include "export/result_texts.h"

#include <QString>

#include <functional>

void exportResultsToWorkbook();

// The texts the workbook is made of, those of the tables the control window shows: the
// allele, genotype and test reports, the phenotype list, the phenotype report and its three
// fit summaries.
ResultTexts gatherResultTexts();

// Where the workbook goes and how it is opened. Tests replace both so that no application
// is ever started; a desktop with empty functions restores the real one (the documents
// folder, else the home folder; the desktop's default application).
struct ExportDesktop
{
    std::function<QString()> documentsFolder;
    // Returns false when no application could be started for the file.
    std::function<bool(const QString& path)> openFile;
};

void setExportDesktopForTests(ExportDesktop desktop);
