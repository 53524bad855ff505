#include "estimate/goodness_of_fit.h"
#include "estimate/number_text.h"
#include "tests/support/near.h"

#include <algorithm>
#include <random>
#include <utility>

namespace {

// The pooling as poolClasses describes it, done literally: the whole exchange sort on the
// observed frequencies after every merge, quadratic in the number of classes; the reference
// the fast pooling is checked against.
PooledClasses poolClassesBySorting(std::vector<std::int64_t> counts,
                                   std::vector<long double> expected, std::int64_t total)
{
    std::vector<long double> observed;
    for (const std::int64_t c : counts)
        observed.push_back(static_cast<long double>(c) / static_cast<long double>(total));
    for (long double& e : expected)
        e = std::max(e, expectedFloor);
    const auto sort = [&] {
        for (std::size_t i = 0; i + 1 < observed.size(); ++i)
            for (std::size_t j = i + 1; j < observed.size(); ++j)
                if (observed[j] > observed[i]) {
                    std::swap(counts[i], counts[j]);
                    std::swap(observed[i], observed[j]);
                    std::swap(expected[i], expected[j]);
                }
    };
    const auto mergeLastInto = [&](std::size_t target) {
        counts[target] += counts.back();
        observed[target] += observed.back();
        expected[target] += expected.back();
        counts.pop_back();
        observed.pop_back();
        expected.pop_back();
    };
    sort();
    while (observed.size() > static_cast<std::size_t>(maxPooledClasses)) {
        mergeLastInto(maxPooledClasses - 1);
        sort();
    }
    while (counts.back() < minimumClassCount && counts.size() > 2) {
        std::size_t firstSmall = 0;
        while (counts[firstSmall] >= minimumClassCount)
            ++firstSmall;
        if (firstSmall + 1 == counts.size()) {
            mergeLastInto(firstSmall - 1);
            break;
        }
        mergeLastInto(firstSmall);
        sort();
    }
    return {std::move(counts), std::move(observed), std::move(expected)};
}

std::vector<long double> frequencies(const std::vector<int>& counts, int total)
{
    std::vector<long double> result;
    for (const int count : counts)
        result.push_back(static_cast<long double>(count) / static_cast<long double>(total));
    return result;
}

using Counts = std::vector<std::int64_t>;

TEST(Pooling, LeavesTwoClassesAlone)
{
    const PooledClasses classes = poolClasses({3, 97}, frequencies({5, 95}, 100), 100);
    EXPECT_EQ(classes.counts, (Counts{97, 3}));
    EXPECT_EQ(testGoodnessOfFit({3, 97}, frequencies({5, 95}, 100), 100).degreesOfFreedom, 1);
}

TEST(Pooling, MergesSmallClassesIntoTheFirstSmallOne)
{
    // 50, 40, 5, 3, 2: 2 goes into 5 (giving 7), then only the last class (3) is small and
    // goes into the one before it: 50, 40, 10. The expected values travel along.
    const PooledClasses classes =
        poolClasses({3, 50, 2, 40, 5}, frequencies({1, 2, 3, 4, 5}, 100), 100);
    EXPECT_EQ(classes.counts, (Counts{50, 40, 10}));
    EXPECT_TRUE(near(classes.observed[2], 0.10L, 1e-18L));
    EXPECT_TRUE(near(classes.expected[0], 0.02L, 1e-18L));
    EXPECT_TRUE(near(classes.expected[1], 0.04L, 1e-18L));
    EXPECT_TRUE(near(classes.expected[2], 0.05L + 0.03L + 0.01L, 1e-18L));
    EXPECT_EQ(testGoodnessOfFit({3, 50, 2, 40, 5}, frequencies({1, 2, 3, 4, 5}, 100), 100)
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
    const PooledClasses classes = poolClasses(Counts(40, 10), expected, 400);
    Counts counts(9, 20);
    counts.insert(counts.end(), 22, 10);
    EXPECT_EQ(classes.counts, counts);
    // The first merge adds class 40 into class 31 and the sort exchanges it with class 1.
    EXPECT_TRUE(near(classes.expected[0], 0.031L + 0.040L, 1e-18L));
    EXPECT_EQ(testGoodnessOfFit(Counts(40, 10), expected, 400).degreesOfFreedom, 30);
}

TEST(Pooling, RepairGivesTheClassesOfTheWholeSortTiesIncluded)
{
    std::mt19937_64 generator(3);
    for (int round = 0; round < 3000; ++round) {
        const int size = 2 + static_cast<int>(generator() % 90);
        const int spread = 1 + static_cast<int>(generator() % 12); // few values: many ties
        // Every other round near the largest counts, where neighbouring frequencies are close.
        const std::int64_t base = round % 2 ? 0 : 19999990;
        Counts counts;
        std::vector<long double> expected;
        std::int64_t total = 0;
        for (int i = 0; i < size; ++i) {
            counts.push_back(
                base + static_cast<std::int64_t>(generator() % static_cast<unsigned>(spread)));
            expected.push_back(static_cast<long double>(generator() % 1000) / 1000);
            total += counts.back();
        }
        if (total == 0) continue;
        const PooledClasses fast = poolClasses(counts, expected, total);
        const PooledClasses literal = poolClassesBySorting(counts, expected, total);
        ASSERT_EQ(fast.counts, literal.counts) << "round " << round;
        ASSERT_EQ(fast.observed, literal.observed) << "round " << round;
        ASSERT_EQ(fast.expected, literal.expected) << "round " << round;
    }
}

TEST(Pooling, AClassOfSevenIsNeverPooled)
{
    // 7 / N as a double lies above the extended 7 / N for N = 400 and below it for N = 502;
    // the count decides either way, and every N keeps the class of 7 on its own.
    EXPECT_EQ(poolClasses({150, 7, 60, 183}, frequencies({1, 1, 1, 1}, 4), 400).counts,
              (Counts{183, 150, 60, 7}));
    EXPECT_EQ(poolClasses({212, 7, 103, 180}, frequencies({1, 1, 1, 1}, 4), 502).counts,
              (Counts{212, 180, 103, 7}));
    for (std::int64_t n = 21; n <= 2000; ++n)
        ASSERT_EQ(poolClasses({n - 14, 7, 7}, frequencies({1, 1, 1}, 3), n).counts,
                  (Counts{n - 14, 7, 7}))
            << "N = " << n;
}

TEST(ChiSquare, FloorsExpectedFrequencies)
{
    // An expected 0 counts as 1e-7: (1e-7 − 0.5)² / 1e-7 + (0.5 − 0.5)² / 0.5, times 10.
    const PooledClasses classes = poolClasses({5, 5}, {0, 0.5L}, 10);
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
