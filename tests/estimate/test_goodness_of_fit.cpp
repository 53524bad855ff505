#include "estimate/goodness_of_fit.h"
#include "estimate/number_text.h"
#include "tests/support/near.h"

#include <algorithm>
#include <random>
#include <utility>

namespace {

// The pooling as poolClasses describes it, done literally: the whole exchange sort after
// every merge, quadratic in the number of classes; the reference the fast pooling is
// checked against.
PooledClasses poolClassesBySorting(std::vector<long double> observed,
                                   std::vector<long double> expected, std::int64_t total)
{
    for (long double& e : expected)
        e = std::max(e, expectedFloor);
    const auto sort = [&] {
        for (std::size_t i = 0; i + 1 < observed.size(); ++i)
            for (std::size_t j = i + 1; j < observed.size(); ++j)
                if (observed[j] > observed[i]) {
                    std::swap(observed[i], observed[j]);
                    std::swap(expected[i], expected[j]);
                }
    };
    const auto mergeLastInto = [&](std::size_t target) {
        observed[target] += observed.back();
        expected[target] += expected.back();
        observed.pop_back();
        expected.pop_back();
    };
    const double threshold = static_cast<double>(minimumClassCount) / static_cast<double>(total);
    sort();
    while (observed.size() > static_cast<std::size_t>(maxPooledClasses)) {
        mergeLastInto(maxPooledClasses - 1);
        sort();
    }
    while (observed.back() < threshold && observed.size() > 2) {
        std::size_t firstSmall = 0;
        while (!(observed[firstSmall] < threshold))
            ++firstSmall;
        if (firstSmall + 1 == observed.size()) {
            mergeLastInto(firstSmall - 1);
            break;
        }
        mergeLastInto(firstSmall);
        sort();
    }
    return {std::move(observed), std::move(expected)};
}

std::vector<long double> frequencies(const std::vector<int>& counts, int total)
{
    std::vector<long double> result;
    for (const int count : counts)
        result.push_back(static_cast<long double>(count) / static_cast<long double>(total));
    return result;
}

// The observed counts of the pooled classes, read back from the frequencies.
std::vector<int> pooledCounts(const PooledClasses& classes, int total)
{
    std::vector<int> counts;
    for (const long double o : classes.observed)
        counts.push_back(static_cast<int>(std::lround(o * total)));
    return counts;
}

TEST(Pooling, LeavesTwoClassesAlone)
{
    const PooledClasses classes =
        poolClasses(frequencies({3, 97}, 100), frequencies({5, 95}, 100), 100);
    EXPECT_EQ(pooledCounts(classes, 100), (std::vector<int>{97, 3}));
    EXPECT_EQ(testGoodnessOfFit(frequencies({3, 97}, 100), frequencies({5, 95}, 100), 100)
                  .degreesOfFreedom,
              1);
}

TEST(Pooling, MergesSmallClassesIntoTheFirstSmallOne)
{
    // 50, 40, 5, 3, 2: 2 goes into 5 (giving 7), then only the last class (3) is small and
    // goes into the one before it: 50, 40, 10. The expected values travel along.
    const PooledClasses classes =
        poolClasses(frequencies({3, 50, 2, 40, 5}, 100), frequencies({1, 2, 3, 4, 5}, 100), 100);
    EXPECT_EQ(pooledCounts(classes, 100), (std::vector<int>{50, 40, 10}));
    EXPECT_TRUE(near(classes.expected[0], 0.02L, 1e-18L));
    EXPECT_TRUE(near(classes.expected[1], 0.04L, 1e-18L));
    EXPECT_TRUE(near(classes.expected[2], 0.05L + 0.03L + 0.01L, 1e-18L));
    EXPECT_EQ(testGoodnessOfFit(frequencies({3, 50, 2, 40, 5}, 100),
                                frequencies({1, 2, 3, 4, 5}, 100), 100)
                  .degreesOfFreedom,
              2);
}

TEST(Pooling, KeepsAtMostThirtyOneClasses)
{
    // Forty classes of 10 (N = 400): nine times the last class is added into class 31,
    // which then moves up past the classes of 10: nine classes of 20, twenty-two of 10.
    std::vector<long double> expected;
    for (int i = 1; i <= 40; ++i)
        expected.push_back(i / 1000.0L);
    const PooledClasses classes =
        poolClasses(std::vector<long double>(40, 10 / 400.0L), expected, 400);
    std::vector<int> counts(9, 20);
    counts.insert(counts.end(), 22, 10);
    EXPECT_EQ(pooledCounts(classes, 400), counts);
    // The first merge adds class 40 into class 31 and the sort exchanges it with class 1.
    EXPECT_TRUE(near(classes.expected[0], 0.031L + 0.040L, 1e-18L));
    EXPECT_EQ(testGoodnessOfFit(std::vector<long double>(40, 10 / 400.0L), expected, 400)
                  .degreesOfFreedom,
              30);
}

TEST(Pooling, RepairGivesTheClassesOfTheWholeSortTiesIncluded)
{
    std::mt19937_64 generator(3);
    for (int round = 0; round < 3000; ++round) {
        const int size = 2 + static_cast<int>(generator() % 90);
        const int spread = 1 + static_cast<int>(generator() % 12); // few values: many ties
        std::vector<long double> observed;
        std::vector<long double> expected;
        int total = 0;
        for (int i = 0; i < size; ++i) {
            const int count = static_cast<int>(generator() % static_cast<unsigned>(spread));
            observed.push_back(count);
            expected.push_back(static_cast<long double>(generator() % 1000) / 1000);
            total += count;
        }
        if (total == 0) continue;
        for (long double& o : observed)
            o /= total;
        const PooledClasses fast = poolClasses(observed, expected, total);
        const PooledClasses literal = poolClassesBySorting(observed, expected, total);
        ASSERT_EQ(fast.observed, literal.observed) << "round " << round;
        ASSERT_EQ(fast.expected, literal.expected) << "round " << round;
    }
}

TEST(Pooling, ValuesThatOneDoubleCannotTellApartAreSortedAsLongDoubles)
{
    // 0.25 and 0.25 + 2^-65 round to one double; the extended values still differ.
    const long double tiny = 0x1p-65L;
    const std::vector<long double> observed = {0.25L, 0.25L + tiny, 0.25L, 0.25L - tiny};
    const std::vector<long double> expected = {0.1L, 0.2L, 0.3L, 0.4L};
    const PooledClasses fast = poolClasses(observed, expected, 100);
    const PooledClasses literal = poolClassesBySorting(observed, expected, 100);
    EXPECT_EQ(fast.observed, literal.observed);
    EXPECT_EQ(fast.expected, literal.expected);
    EXPECT_EQ(fast.expected.front(), 0.2L); // the largest value, not the first 0.25
}

TEST(ChiSquare, FloorsExpectedFrequencies)
{
    // An expected 0 counts as 1e-7: (1e-7 − 0.5)² / 1e-7 + (0.5 − 0.5)² / 0.5, times 10.
    const PooledClasses classes = poolClasses({0.5L, 0.5L}, {0, 0.5L}, 10);
    EXPECT_TRUE(near(chiSquareValue(classes, 10), 10 * (0.5 - 1e-7) * (0.5 - 1e-7) / 1e-7, 1e-3));
}

TEST(ChiSquareProbability, ReadsTheTable)
{
    EXPECT_TRUE(near(chiSquareProbability(0, 1), 1, 0));    // the first entry of row 1 is 0
    EXPECT_TRUE(near(chiSquareProbability(0.01, 2), 1, 0)); // below the 0.99 column: 1
    // 3.000 at df 1 lies between 2.71 (0.10) and 3.84 (0.05): 0.10 − 0.05 × 0.29 / 1.13.
    const double p = chiSquareProbability(3.0, 1);
    EXPECT_TRUE(near(p, 0.10 - 0.05 * 0.29 / 1.13, 1e-15));
    EXPECT_EQ(formatFixed(p, 5, 3), "0.087");
    EXPECT_TRUE(near(chiSquareProbability(10.83, 1), 0.001, 0)); // exactly the last entry
    EXPECT_TRUE(near(chiSquareProbability(10.8301, 1), 0, 0));   // above it
    EXPECT_EQ(formatFixed(chiSquareProbability(1e6, 30), 5, 3), "0.000");
    EXPECT_TRUE(near(chiSquareProbability(29.3, 30), 0.50, 1e-15)); // an entry itself
}

} // namespace
