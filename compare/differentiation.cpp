#include "compare/differentiation.h"

#include "estimate/percentile.h"

#include <algorithm>
#include <cmath>

namespace {

// Below it HT is the rounding of populations all fixed for one allele.
constexpr long double noDiversity = 1e-12L;

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
