#pragma once

#include "archive/task_archive.h"

// "Записать задачу в архив": asks for the task name in the task-name window and writes the
// task in hand (allele rows, mode, criterion, typed counts) into the archive as a new task.
// A count the rule refuses is told, naming its phenotype, before the name is asked, and
// nothing is written. True when the task was written.
bool saveTaskToArchive();

// The task in hand as the windows hold it, under the given name, dated now; throws
// EncodingError for an allele row holding a character that Windows-1251 cannot hold, before
// anything is written.
TaskRecord taskInHand(Cp1251Text name);
