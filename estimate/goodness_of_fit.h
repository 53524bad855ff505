// The chi-square test of the Hardy–Weinberg fit of one estimate: classes of fewer than 7
// individuals pooled, at most 31 classes, and the probability read from the classical
// table of critical values by linear interpolation. Entry points: poolClasses,
// chiSquareValue, chiSquareProbability, testGoodnessOfFit.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A class with an observed count below it is pooled.
constexpr int minimumClassCount = 7;
// At most this many classes enter the chi-square sum (30 degrees of freedom, the last row
// of the table).
constexpr int maxPooledClasses = 31;
// Expected class frequencies below it are raised to it, so the chi-square stays finite.
constexpr long double expectedFloor = 1e-7L;

// Upper-tail probabilities of the table's 14 columns.
extern const std::array<double, 14> chiSquareLevels;
// Row df (1..30, row 0 unused): the critical values for the levels, as printed in the
// classical tables (including their rounding).
extern const std::array<std::array<double, 14>, 31> chiSquareCriticalValues;

// Pooled classes: observed counts and frequencies and expected frequencies, largest
// observed first.
struct PooledClasses
{
    std::vector<std::int64_t> counts;
    std::vector<long double> observed;
    std::vector<long double> expected;
};

// Pools the phenotype classes (0-based vectors of equal length, at least 1; total is the sum
// of the counts): the observed frequency of a class is its count / total in extended
// precision; floors the expected frequencies, orders the classes by observed frequency with
// an exchange sort (for i < j, classes i and j are exchanged when j's observed value is
// strictly greater), merges the last class into class 31 while there are more than 31, then
// merges the last class into the first class of fewer than 7 individuals (or, when that is
// the last class itself, into the one before it) until the last class has 7 or more or two
// classes remain, ordering again after every merge. Counts, not frequencies, are compared
// with 7, so that no rounding of 7 / total decides whether a class of 7 is pooled. The first
// sort orders by count, which orders the frequencies alike, and the order after a merge is
// repaired in linear time, both with exactly the result of the exchange sort.
PooledClasses poolClasses(const std::vector<std::int64_t>& counts,
                          std::vector<long double> expected, std::int64_t total);

// total × Σ (expected − observed)² / expected over the classes, in double precision.
double chiSquareValue(const PooledClasses& classes, std::int64_t total);

// The probability for a chi-square with df degrees of freedom (1..30): 1 up to the first
// entry of the row, 0 above the last, linear interpolation between the levels of the
// neighbouring entries otherwise.
double chiSquareProbability(double chiSquare, int degreesOfFreedom);

struct FitTest
{
    double chiSquare = 0;
    int degreesOfFreedom = 0;
    double probability = 0;
};

// Pools the observed counts and expected frequencies of the phenotypes (0-based, one per
// phenotype) and tests the fit.
FitTest testGoodnessOfFit(const std::vector<std::int64_t>& counts,
                          std::vector<long double> expected, std::int64_t total);
