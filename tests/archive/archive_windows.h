// Driving the task and archive windows over the real archive tables of the working folder:
// an empty archive for each test, a task typed into the allele and control windows, and the
// save with its name typed into the task-name window.
#pragma once

#include "toolkit/form.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

// Closes the four tables, removes their files and opens them again empty, as at a first
// start; the filters are none and every data source is enabled. The task and the windows
// start afresh, and the clock stands at 5 March 2024, 09:05.
void startWithEmptyArchive();

// Types the allele rows (position 1..50 → text) into the allele window, chooses the mode,
// runs the allele check and sets up the control window as showing it does. The check must pass.
void enterTask(const std::map<int, QString>& rows, bool dominance = false);

// Puts a count into the column "Факт" of phenotype row r, as typing it does: a text the count
// entry refuses is told and leaves the cell as it was.
void typeCount(int r, const QString& text);

// The action in the task-name window: types the name into its field; the script then closes
// the window as the close box does.
ModalScript::Action typingName(const QString& name);

// Presses "Записать задачу в архив" and types the name into the task-name window.
void saveTaskNamed(const QString& name);

// Shows the archive window as the main window does and runs the action inside it; the further
// actions run, in order, in the windows the action shows.
void inArchiveWindow(const std::function<void()>& action,
                     std::vector<ModalScript::Action> further = {});

// Opens the task of list line `line` in the archive window and closes the control window
// without doing anything there.
void openListedTask(int line);

// Deletes the task of list line `line` in the archive window, answering "Да" to its question.
void deleteListedTask(int line);

// The names the archive list shows, top to bottom.
QStringList listedNames();

// Makes line `line` (0-based) of the archive list the selected one, as a click does.
void clickListLine(int line);
