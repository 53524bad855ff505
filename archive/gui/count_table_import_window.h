// "Импорт таблицы численностей" of the control window: a table of counts of the task in hand
// (CSV, TSV, or the first sheet of an xlsx or ods workbook) chosen in the file dialog, the
// system named once in the name window, then every population of the table saved into the
// archive as a labelled task, all or nothing.
#pragma once

#include <QString>

#include <functional>

// Runs the import; a refused table is told in one message naming its row and column, and
// nothing is written. Returns the number of tasks saved.
int importCountTableFromFile();

// Test seam: the file chosen instead of the file dialog; an empty function restores the dialog.
void setCountTableChooserForTests(std::function<QString()> chooser);
