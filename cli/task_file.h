// The task file of the command-line calculator: UTF-8 text, one statement a line, "#"
// starting a comment.
//   mode codominance | mode dominance      (default codominance)
//   allele TESTS…                          one line per allele, in order; "-" is the
//                                          allele no test detects
//   COUNT TESTS…                           a line starting with a digit: the count of the
//                                          phenotype whose tests are listed, in any
//                                          order; "COUNT -" for the phenotype with no test;
//                                          COUNT a whole number from 0 to 19999999
// Alleles are checked as the allele window checks them. Entry point: loadTaskFile.
#pragma once

#include "task/counted_task.h"
#include "task/task_state.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TaskFileProblem
{
    int line = 0;        // 1-based; 0 when the problem belongs to the file as a whole
    std::string message; // UTF-8
};

// A task read from a file, ready for runCalculation unless the file has a problem.
struct LoadedTask : CountedTask
{
    std::optional<TaskFileProblem> problem;
};

// Reads the statements, checks the alleles into the task, generates the phenotypes and
// places the counts. A malformed line, an allele list the allele check refuses, a count of
// a phenotype the alleles do not produce and a phenotype counted twice are problems.
LoadedTask loadTaskFile(std::string_view utf8Text, TaskState& task);

// The text of the task file at path; nothing when the file cannot be opened, with the message
// "PATH: не удается открыть файл задачи" in problem.
std::optional<std::string> readTaskFile(const std::string& path, std::string& problem);

// One line naming the file and the line: "task.txt, строка 3: …".
std::string taskFileProblemText(const std::string& fileName, const TaskFileProblem& problem);
