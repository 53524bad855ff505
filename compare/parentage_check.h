// A parentage case as the user gives it: for each system a calculated task and the
// phenotypes typed as their tests, each system judged at its maximum-likelihood frequencies
// with its exclusion probabilities beside the verdict, and the tables of the case as
// velimor-calc writes them, the window "Проверка родства" shows them and its workbook holds
// them. Entry points: typedPhenotype, checkSystem, systemsTable, verdictTable.
#pragma once

#include "compare/paternity_case.h"
#include "estimate/text_table.h"
#include "task/task_state.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The phenotype (0-based) of the task whose tests are the blank-separated tests of utf8, in
// any order, "-" for no reaction; nothing when the system shows no such phenotype.
std::optional<int> typedPhenotype(const TaskState& task, std::string_view utf8);

// "система «SYSTEM»: фенотипа «PHENOTYPE» нет".
std::string unknownPhenotypeMessage(const std::string& system, std::string_view phenotype);

// "система «SYSTEM»: мать с фенотипом «M» не может быть матерью ребенка с фенотипом «C»".
std::string motherMismatchMessage(const std::string& system, const TaskState& task,
                                  const CasePhenotypes& phenotypes);

// The phenotype name (0-based number) without its trailing space, in UTF-8.
std::string shownPhenotypeName(const TaskState& task, int phenotype);

struct SystemCheck
{
    std::string name; // the task, UTF-8
    // The phenotypes as the system names them, UTF-8; the mother's empty when unknown.
    std::string mother;
    std::string child;
    std::string father;
    ForensicFigures figures;
    SystemVerdict verdict;
};

// The system of the task judged at its maximum-likelihood frequencies p (allele 1 first).
SystemCheck checkSystem(std::string name, const TaskState& task, const std::vector<long double>& p,
                        const CasePhenotypes& phenotypes);

// The header row and one row per system: name, the three phenotypes, excluded, paternity
// index, exclusion probabilities with the mother known and without her.
TextTable systemsTable(const std::vector<SystemCheck>& systems);

// The verdict over the systems as rows of a caption and its value.
TextTable verdictTable(const CaseVerdict& verdict);
