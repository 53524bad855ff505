// The one program-wide record of the task in hand: archive flags, the allele, test and
// phenotype lists, the genotype table and the estimation arrays. Every list is numbered
// from 1: entry 0 of each array is unused, and entry r is shown in grid row r.
// Names are Windows-1251 text in the normalised form: test names in ascending byte
// order, each followed by one space ("C a t "); the name of no test is "- ".
#pragma once

#include "platform/cp1251_text.h"

#include <array>
#include <cstdint>
#include <vector>

constexpr int maxAlleles = 50;
constexpr int maxTests = 50;
constexpr int maxPhenotypes = 1500;
constexpr int maxGenotypes = maxAlleles * (maxAlleles + 1) / 2; // 1275 unordered pairs

// Inheritance mode codes, as stored in the archive field KNOP1.
enum class InheritanceMode
{
    codominance = 1,
    dominance = 2
};

// Fit criterion codes, as stored in the archive field KNOP2.
enum class FitCriterion
{
    maximumLikelihood = 1,
    leastSquares = 2,
    normalisedLeastSquares = 3
};

// The short names of the criteria in the order of their codes, in UTF-8.
inline constexpr std::array<const char*, 3> criterionNames = {"МП", "МНК", "МННК"};

struct TaskState
{
    bool archiveMode = false;          // the task in hand was opened from the archive
    bool archiveCountsPending = false; // the next control-window set-up keeps the counts
    // The name the task in hand was opened from or last saved to the archive under, as
    // typed; empty for a new task never saved. The statistics workbook is titled with it.
    Cp1251Text archiveName;

    int alleleCount = 0;
    int testCount = 0;
    int phenotypeCount = 0;
    int genotypeCount = 0;

    std::array<Cp1251Text, maxAlleles + 1> alleleNames;
    std::array<Cp1251Text, maxTests + 1> testNames; // no trailing space, never "-"
    std::array<Cp1251Text, maxPhenotypes + 1> phenotypeNames;

    // Genotype k is the unordered pair (first, second) of allele numbers, first <= second,
    // in the order (1,1), (1,2) ... (1,n), (2,2) ... (n,n), showing phenotype number
    // genotypePhenotype[k].
    std::array<int, maxGenotypes + 1> genotypeFirstAllele{};
    std::array<int, maxGenotypes + 1> genotypeSecondAllele{};
    std::array<int, maxGenotypes + 1> genotypePhenotype{};

    // Estimation arrays, in 80-bit extended precision.
    std::array<long double, maxPhenotypes + 1> observedPhenotypeFrequency{};
    std::array<long double, maxPhenotypes + 1> expectedPhenotypeFrequency{};
    std::array<long double, maxAlleles + 1> alleleFrequency{};

    // Three times the total count; 64-bit, since 1500 counts below 20000000 exceed 2^31.
    std::int64_t tripleTotal = 0;
};

// Entries 1..count of one of the task's lists, whose entry 0 is unused.
template <typename List>
std::vector<typename List::value_type> listEntries(const List& list, int count)
{
    return {list.begin() + 1, list.begin() + 1 + count};
}

// The program's task record, used by the windows. Core routines take a TaskState& so that
// tests can work on their own.
extern TaskState task;
