#include "compare/differentiation.h"

#include <algorithm>
#include <cmath>

namespace {

// Below it HT is the rounding of populations all fixed for one allele.
constexpr long double noDiversity = 1e-12L;

// The value at share q of the sorted values, interpolated between neighbours.
double percentile(const std::vector<double>& sorted, double q)
{
    const double h = q * static_cast<double>(sorted.size() - 1);
    const auto low = static_cast<std::size_t>(std::floor(h));
    const std::size_t high = std::min(low + 1, sorted.size() - 1);
    return sorted[low] + (h - static_cast<double>(low)) * (sorted[high] - sorted[low]);
}

std::optional<Interval> percentileInterval(std::vector<double> values)
{
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    return Interval{percentile(values, 0.025), percentile(values, 0.975)};
}

} // namespace

Differentiation differentiation(const std::vector<Frequencies>& populations)
{
    Differentiation result;
    const std::size_t k = populations.size();
    if (k == 0) return result;
    const std::size_t alleles = populations.front().size();
    long double within = 0;
    Frequencies mean(alleles, 0);
    for (const Frequencies& p : populations) {
        long double homozygosity = 0;
        for (std::size_t a = 0; a < alleles; ++a) {
            homozygosity += p[a] * p[a];
            mean[a] += p[a] / static_cast<long double>(k);
        }
        within += (1 - homozygosity) / static_cast<long double>(k);
    }
    long double meanHomozygosity = 0;
    for (const long double p : mean)
        meanHomozygosity += p * p;
    const long double total = 1 - meanHomozygosity;
    result.withinDiversity = static_cast<double>(within);
    result.totalDiversity = static_cast<double>(total);
    if (k < 2) return result;
    const long double between = total - within;
    const auto kl = static_cast<long double>(k);
    if (total > noDiversity) {
        const long double gst = between / total;
        result.gst = static_cast<double>(gst);
        if (within < 1)
            result.gstPrime =
                static_cast<double>(gst * (kl - 1 + within) / ((kl - 1) * (1 - within)));
    }
    if (within < 1) result.jostD = static_cast<double>(between / (1 - within) * kl / (kl - 1));
    return result;
}

DifferentiationIntervals
differentiationIntervals(const std::vector<std::vector<Frequencies>>& samples)
{
    std::vector<double> gst;
    std::vector<double> gstPrime;
    std::vector<double> jostD;
    for (const std::vector<Frequencies>& sample : samples) {
        const Differentiation d = differentiation(sample);
        if (d.gst) gst.push_back(*d.gst);
        if (d.gstPrime) gstPrime.push_back(*d.gstPrime);
        if (d.jostD) jostD.push_back(*d.jostD);
    }
    return {percentileInterval(std::move(gst)), percentileInterval(std::move(gstPrime)),
            percentileInterval(std::move(jostD))};
}
