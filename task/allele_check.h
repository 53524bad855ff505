// checkAlleleList: reads the 50 allele cells, refuses malformed lists and fills the
// allele and test lists of the task with normalised names (test names sorted by byte,
// each followed by one space; "- " for the allele no test detects).
#pragma once

#include "platform/cp1251.h"
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
    Cp1251Text duplicateName; // with its trailing space
    int alleleNumber = 0;     // the number the failing row would have had
    char32_t character = 0;   // the character Windows-1251 cannot hold

    bool failed() const { return failure != AlleleCheckFailure::none; }
};

// The cell texts of allele rows 1 to 50 in Windows-1251, each with the first character it
// could not hold (refused when its row is reached, so earlier rows are checked first). Sets
// alleleCount, testCount, alleleNames and testNames of the task; on a failure the lists
// hold what was accepted before the failing row.
AlleleCheck checkAlleleList(const std::array<EncodedText, maxAlleles>& cellTexts, TaskState& task);

// The allele rows of a UTF-8 source (a task file), each encoded for checkAlleleList.
std::array<EncodedText, maxAlleles>
encodeAlleleRows(const std::array<std::string, maxAlleles>& utf8);

// The message shown for a failed check, in UTF-8.
std::string alleleCheckMessage(const AlleleCheck& check);

// Splits a text into its runs of characters other than the space (code 32).
std::vector<Cp1251Text> splitTokens(const Cp1251Text& text);

// Ascending byte order by selection sort: on a tie the earlier element stays the candidate.
void selectionSortOrdinal(std::vector<Cp1251Text>& items);

// The name of a set of tests: sorted by selectionSortOrdinal, each followed by one space.
Cp1251Text nameOfTests(std::vector<Cp1251Text> tests);
