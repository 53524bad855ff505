#include "archive/save_task_window.h"

void saveTaskToArchive() {}
