#pragma once

// "Записать задачу в архив": asks for the task name and writes the task's rows.
void saveTaskToArchive();
