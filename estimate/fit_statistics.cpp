#include "estimate/fit_statistics.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

ChiSquareTest testWith(double statistic, int degreesOfFreedom)
{
    ChiSquareTest test;
    test.statistic = statistic;
    if (degreesOfFreedom > 0) {
        test.degreesOfFreedom = degreesOfFreedom;
        test.probability = chiSquareUpperTail(statistic, degreesOfFreedom);
    }
    return test;
}

std::int64_t sum(const std::vector<std::int64_t>& counts)
{
    return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

} // namespace

double chiSquareUpperTail(double x, int degreesOfFreedom)
{
    if (!(x > 0)) return 1;
    const boost::math::chi_squared_distribution<double> distribution(degreesOfFreedom);
    return boost::math::cdf(boost::math::complement(distribution, x));
}

ChiSquareTest textbookTest(const FitTest& pooled, int alleleCount)
{
    return testWith(pooled.chiSquare, pooled.degreesOfFreedom - (alleleCount - 1));
}

bool takesPart(std::int64_t count, long double expected)
{
    return count > 0 || !(expected < expectedFloor);
}

int unpooledDegreesOfFreedom(std::span<const std::int64_t> counts,
                             std::span<const long double> expected, int alleleCount)
{
    int classes = 0;
    for (std::size_t r = 0; r < counts.size(); ++r)
        classes += takesPart(counts[r], expected[r]);
    return classes - 1 - (alleleCount - 1);
}

double pearsonStatistic(std::span<const std::int64_t> counts, std::span<const long double> expected,
                        std::int64_t total)
{
    const auto n = static_cast<long double>(total);
    long double sum = 0;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        if (!takesPart(counts[r], expected[r])) continue;
        const long double m = n * std::max(expected[r], expectedFloor);
        const long double d = static_cast<long double>(counts[r]) - m;
        sum += d * d / m;
    }
    return static_cast<double>(sum);
}

double likelihoodRatioStatistic(std::span<const std::int64_t> counts,
                                std::span<const long double> expected, std::int64_t total)
{
    const auto n = static_cast<long double>(total);
    long double sum = 0;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        if (counts[r] <= 0) continue;
        const auto c = static_cast<long double>(counts[r]);
        sum += c * std::log(c / (n * std::max(expected[r], expectedFloor)));
    }
    return static_cast<double>(std::max(0.0L, 2 * sum));
}

ChiSquareTest pearsonTest(const std::vector<std::int64_t>& counts,
                          const std::vector<long double>& expected, int alleleCount)
{
    return testWith(pearsonStatistic(counts, expected, sum(counts)),
                    unpooledDegreesOfFreedom(counts, expected, alleleCount));
}

ChiSquareTest likelihoodRatioTest(const std::vector<std::int64_t>& counts,
                                  const std::vector<long double>& expected, int alleleCount)
{
    return testWith(likelihoodRatioStatistic(counts, expected, sum(counts)),
                    unpooledDegreesOfFreedom(counts, expected, alleleCount));
}

std::vector<double> pearsonResiduals(const std::vector<std::int64_t>& counts,
                                     const std::vector<long double>& expected)
{
    const auto n = static_cast<long double>(sum(counts));
    std::vector<double> residuals;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        const long double m = n * std::max(expected[r], expectedFloor);
        residuals.push_back(
            static_cast<double>((static_cast<long double>(counts[r]) - m) / std::sqrt(m)));
    }
    return residuals;
}
