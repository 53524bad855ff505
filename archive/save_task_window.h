#pragma once

// "Записать задачу в архив": asks for the task name in the task-name window and writes the
// task in hand (allele rows, mode, criterion, typed counts) into the archive as a new task.
void saveTaskToArchive();
