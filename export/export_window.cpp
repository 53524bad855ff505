#include "export/export_window.h"

void exportResultsToWorkbook() {}
