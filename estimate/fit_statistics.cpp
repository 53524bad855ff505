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

ChiSquareTest likelihoodRatioTest(const std::vector<std::int64_t>& counts,
                                  const std::vector<long double>& expected, int alleleCount)
{
    const long double n =
        static_cast<long double>(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}));
    long double sum = 0;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        if (counts[r] <= 0) continue;
        const long double c = static_cast<long double>(counts[r]);
        sum += c * std::log(c / (n * std::max(expected[r], expectedFloor)));
    }
    const int phenotypes = static_cast<int>(counts.size());
    return testWith(static_cast<double>(std::max(0.0L, 2 * sum)),
                    phenotypes - 1 - (alleleCount - 1));
}

std::vector<double> pearsonResiduals(const std::vector<std::int64_t>& counts,
                                     const std::vector<long double>& expected)
{
    const long double n =
        static_cast<long double>(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}));
    std::vector<double> residuals;
    for (std::size_t r = 0; r < counts.size(); ++r) {
        const long double m = n * std::max(expected[r], expectedFloor);
        residuals.push_back(
            static_cast<double>((static_cast<long double>(counts[r]) - m) / std::sqrt(m)));
    }
    return residuals;
}
