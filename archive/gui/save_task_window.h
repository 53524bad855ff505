#pragma once

// "Записать задачу в архив": asks for the task name in the task-name window and writes the
// task in hand (allele rows, mode, criterion, typed counts) into the archive as a new task.
// A count the rule refuses is told, naming its phenotype, before the name is asked, and
// nothing is written. True when the task was written.
bool saveTaskToArchive();
