// checkAlleleList: reads the 50 allele cells, refuses malformed lists and fills the
// allele and test lists of the task with normalised names (test names sorted by byte,
// each followed by one space; "- " for the allele no test detects).
#pragma once

#include "task/task_state.h"

#include <array>
#include <string>
#include <vector>

enum class AlleleCheckFailure
{
    none,
    minusWithOtherTests,
    secondMinus,
    tooManyTests,
    duplicateAllele,
    emptyList,
    singleAllele,
    unencodableCharacter,
};

struct AlleleCheck
{
    AlleleCheckFailure failure = AlleleCheckFailure::none;
    std::string duplicateName; // Windows-1251, with its trailing space
    int alleleNumber = 0;      // the number the failing row would have had
    char32_t character = 0;    // the character Windows-1251 cannot hold

    bool failed() const { return failure != AlleleCheckFailure::none; }
};

// The cell texts of allele rows 1 to 50, in UTF-8 as typed. Sets alleleCount, testCount,
// alleleNames and testNames of the task; on a failure the lists hold what was accepted
// before the failing row.
AlleleCheck checkAlleleList(const std::array<std::string, maxAlleles>& cellTexts, TaskState& task);

// The message shown for a failed check, in UTF-8.
std::string alleleCheckMessage(const AlleleCheck& check);

// Splits a text into its runs of characters other than the space (code 32).
std::vector<std::string> splitTokens(const std::string& text);

// Ascending byte order by selection sort: on a tie the earlier element stays the candidate.
void selectionSortOrdinal(std::vector<std::string>& items);

// The name of a set of tests: sorted by selectionSortOrdinal, each followed by one space.
std::string nameOfTests(std::vector<std::string> tests);
