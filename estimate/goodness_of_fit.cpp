#include "estimate/goodness_of_fit.h"

#include <algorithm>
#include <cstddef>
#include <utility>

const std::array<double, 14> chiSquareLevels = {0.99, 0.98, 0.95, 0.90, 0.80, 0.70, 0.50,
                                                0.30, 0.20, 0.10, 0.05, 0.02, 0.01, 0.001};

const std::array<std::array<double, 14>, 31> chiSquareCriticalValues = {{
    {},
    {0.0, 0.001, 0.004, 0.016, 0.064, 0.148, 0.455, 1.074, 1.642, 2.71, 3.84, 5.41, 6.64, 10.83},
    {0.02, 0.04, 0.103, 0.211, 0.446, 0.713, 1.386, 2.41, 3.22, 4.6, 5.99, 7.82, 9.21, 13.82},
    {0.115, 0.185, 0.352, 0.584, 1.005, 1.424, 2.37, 3.66, 4.64, 6.25, 7.82, 9.84, 11.34, 16.27},
    {0.297, 0.429, 0.711, 1.064, 1.649, 2.2, 3.36, 4.88, 5.99, 7.78, 9.49, 11.67, 13.28, 18.46},
    {0.554, 0.752, 1.145, 1.61, 2.34, 3.0, 4.35, 6.06, 7.29, 9.24, 11.07, 13.39, 15.09, 20.5},
    {0.872, 1.134, 1.635, 2.2, 3.07, 3.83, 5.35, 7.23, 8.56, 10.64, 12.59, 15.03, 16.81, 22.5},
    {1.239, 1.564, 2.17, 2.83, 3.82, 4.67, 6.35, 8.38, 9.8, 12.02, 14.07, 16.62, 18.48, 24.3},
    {1.646, 2.03, 2.73, 3.49, 4.59, 5.53, 7.34, 9.52, 11.03, 13.36, 15.51, 18.17, 20.1, 26.1},
    {2.09, 2.53, 3.32, 4.17, 5.38, 6.39, 8.34, 10.66, 12.24, 14.68, 16.92, 19.68, 21.7, 27.9},
    {2.56, 3.06, 3.94, 4.86, 6.18, 7.27, 9.34, 11.78, 13.44, 15.99, 18.31, 21.2, 23.2, 29.6},
    {3.05, 3.61, 4.58, 5.58, 6.99, 8.15, 10.34, 12.9, 14.63, 17.28, 19.68, 22.6, 24.7, 31.3},
    {3.57, 4.18, 5.23, 6.3, 7.81, 9.03, 11.34, 14.01, 15.81, 18.55, 21.0, 24.1, 26.2, 32.9},
    {4.11, 4.76, 5.89, 7.04, 8.63, 9.93, 12.34, 15.12, 16.98, 19.81, 22.4, 25.5, 27.7, 34.6},
    {4.66, 5.37, 6.57, 7.79, 9.47, 10.82, 13.34, 16.22, 18.15, 21.1, 23.7, 26.9, 29.1, 36.1},
    {5.23, 5.98, 7.26, 8.55, 10.31, 11.72, 14.34, 17.32, 19.31, 22.3, 25.0, 28.3, 30.6, 37.7},
    {5.81, 6.61, 7.96, 9.31, 11.15, 12.62, 15.34, 18.42, 20.5, 23.5, 26.3, 29.6, 32.0, 39.3},
    {6.41, 7.26, 8.67, 10.08, 12.0, 13.53, 16.34, 19.51, 21.6, 24.8, 27.6, 31.0, 33.4, 40.8},
    {7.02, 7.91, 9.39, 10.86, 12.86, 14.44, 17.34, 20.6, 22.8, 26.0, 28.9, 32.3, 34.8, 42.3},
    {7.63, 8.57, 10.11, 11.65, 13.72, 15.35, 18.34, 21.7, 23.9, 27.2, 30.1, 33.7, 36.2, 43.8},
    {8.26, 9.24, 10.85, 12.44, 14.58, 16.27, 19.34, 22.8, 25.0, 28.4, 31.4, 35.0, 37.6, 45.3},
    {8.9, 9.92, 11.59, 13.24, 15.44, 17.18, 20.3, 23.9, 26.2, 29.6, 32.7, 36.3, 38.9, 46.8},
    {9.54, 10.6, 12.34, 14.04, 16.31, 18.1, 21.3, 24.9, 27.3, 30.8, 33.9, 37.7, 40.3, 48.3},
    {10.2, 11.29, 13.09, 14.85, 17.19, 19.02, 22.3, 26.0, 28.4, 32.0, 35.2, 39.0, 41.6, 49.7},
    {10.86, 11.99, 13.85, 15.66, 18.06, 19.94, 23.3, 27.1, 29.6, 33.2, 36.4, 40.3, 43.0, 51.2},
    {11.52, 12.7, 14.61, 16.47, 18.94, 20.9, 24.3, 28.2, 30.7, 34.4, 37.7, 41.7, 44.3, 52.6},
    {12.2, 13.41, 15.38, 17.29, 19.82, 21.8, 25.3, 29.2, 31.8, 35.6, 38.9, 42.9, 45.6, 54.1},
    {12.88, 14.12, 16.15, 18.11, 20.7, 22.7, 26.3, 30.3, 32.9, 36.7, 40.1, 44.1, 47.0, 55.5},
    {13.56, 14.85, 16.93, 18.94, 21.6, 23.6, 27.3, 31.4, 34.0, 37.9, 41.3, 45.4, 48.3, 56.9},
    {14.26, 15.57, 17.71, 19.77, 22.5, 24.6, 28.3, 32.5, 35.1, 39.1, 42.6, 46.7, 49.6, 58.3},
    {14.95, 16.31, 18.49, 20.6, 23.4, 25.5, 29.3, 33.5, 36.2, 40.3, 43.8, 48.0, 50.9, 59.7},
}};

namespace {

// The classes 0..count−1, each an observed count, an observed and an expected frequency.
struct Classes
{
    std::vector<std::int64_t>& counts;
    std::vector<long double>& observed;
    std::vector<long double>& expected;
    std::size_t count;

    void exchange(std::size_t i, std::size_t j)
    {
        std::swap(counts[i], counts[j]);
        std::swap(observed[i], observed[j]);
        std::swap(expected[i], expected[j]);
    }
    // Adds the last class into class target and drops it.
    void mergeLastInto(std::size_t target)
    {
        counts[target] += counts[count - 1];
        observed[target] += observed[count - 1];
        expected[target] += expected[count - 1];
        --count;
    }
};

// The exchange sort of the classes before any merge. Their observed frequencies are
// count / total, which keep the order of the counts and are equal exactly when the counts
// are, so the sort compares the counts, with the class numbers as payload, and makes the
// same exchanges.
void exchangeSortByCount(Classes& classes)
{
    const std::size_t m = classes.count;
    std::vector<std::int64_t> keys(classes.counts.begin(),
                                   classes.counts.begin() + static_cast<std::ptrdiff_t>(m));
    std::vector<std::uint32_t> number(m);
    for (std::size_t i = 0; i < m; ++i)
        number[i] = static_cast<std::uint32_t>(i);
    for (std::size_t i = 0; i + 1 < m; ++i)
        for (std::size_t j = i + 1; j < m; ++j)
            if (keys[j] > keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(number[i], number[j]);
            }
    const auto reorder = [&number, m](auto& values) {
        auto copy = values;
        for (std::size_t i = 0; i < m; ++i)
            values[i] = copy[number[i]];
    };
    reorder(classes.counts);
    reorder(classes.observed);
    reorder(classes.expected);
}

// What the exchange sort does to classes ordered largest first except class k, whose
// observed value has just grown. Before k nothing moves until the first class i0 smaller
// than k; there k takes i0's place and i0 becomes a carry held in slot k, which then changes
// places with every later class before k that it strictly exceeds (on a tie it stays).
// Classes after k never move: they are no larger than k was before it grew.
void repairOrder(Classes& classes, std::size_t k)
{
    const long double grown = classes.observed[k];
    std::size_t i0 = k;
    while (i0 > 0 && classes.observed[i0 - 1] < grown)
        --i0;
    if (i0 == k) return;
    classes.exchange(i0, k);
    for (std::size_t i = i0 + 1; i < k; ++i)
        if (classes.observed[k] > classes.observed[i]) classes.exchange(i, k);
}

} // namespace

PooledClasses poolClasses(const std::vector<std::int64_t>& counts,
                          std::vector<long double> expected, std::int64_t total)
{
    std::vector<std::int64_t> pooled = counts;
    std::vector<long double> observed;
    observed.reserve(counts.size());
    for (const std::int64_t c : counts)
        observed.push_back(static_cast<long double>(c) / static_cast<long double>(total));
    for (long double& e : expected)
        e = std::max(e, expectedFloor);
    Classes classes{pooled, observed, expected, observed.size()};
    exchangeSortByCount(classes);
    for (;;) {
        if (classes.count > static_cast<std::size_t>(maxPooledClasses)) {
            const std::size_t target = maxPooledClasses - 1;
            classes.mergeLastInto(target);
            repairOrder(classes, target);
            continue;
        }
        if (pooled[classes.count - 1] >= minimumClassCount || classes.count <= 2) break;
        // The classes are ordered largest first: the small ones are the tail.
        const auto firstSmall = std::partition_point(
            pooled.begin(), pooled.begin() + static_cast<std::ptrdiff_t>(classes.count),
            [](std::int64_t c) { return c >= minimumClassCount; });
        const auto target = static_cast<std::size_t>(firstSmall - pooled.begin());
        if (target + 1 < classes.count) {
            classes.mergeLastInto(target);
            repairOrder(classes, target);
        } else {
            classes.mergeLastInto(classes.count - 2);
            break;
        }
    }
    pooled.resize(classes.count);
    observed.resize(classes.count);
    expected.resize(classes.count);
    return {std::move(pooled), std::move(observed), std::move(expected)};
}

double chiSquareValue(const PooledClasses& classes, std::int64_t total)
{
    double sum = 0;
    for (std::size_t i = 0; i < classes.observed.size(); ++i) {
        const double e = static_cast<double>(classes.expected[i]);
        const double o = static_cast<double>(classes.observed[i]);
        sum += (e - o) * (e - o) / e;
    }
    return static_cast<double>(total) * sum;
}

double chiSquareProbability(double chiSquare, int degreesOfFreedom)
{
    const auto& row = chiSquareCriticalValues[static_cast<std::size_t>(degreesOfFreedom)];
    if (chiSquare <= row[0]) return 1;
    if (chiSquare > row[13]) return 0;
    if (chiSquare == row[13]) return chiSquareLevels[13];
    std::size_t i = 1;
    while (!(row[i] > chiSquare))
        ++i;
    return chiSquareLevels[i - 1] + (chiSquareLevels[i] - chiSquareLevels[i - 1]) *
                                        (chiSquare - row[i - 1]) / (row[i] - row[i - 1]);
}

FitTest testGoodnessOfFit(const std::vector<std::int64_t>& counts,
                          std::vector<long double> expected, std::int64_t total)
{
    const PooledClasses classes = poolClasses(counts, std::move(expected), total);
    FitTest test;
    test.chiSquare = chiSquareValue(classes, total);
    test.degreesOfFreedom = static_cast<int>(classes.observed.size()) - 1;
    test.probability = chiSquareProbability(test.chiSquare, test.degreesOfFreedom);
    return test;
}
