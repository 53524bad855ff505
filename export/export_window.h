#pragma once

// "Импорт результатов в Excel": gathers the texts of the report grids and the control
// window and writes the results workbook.
void exportResultsToWorkbook();
