#include "compare/random_draws.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Up to this many items are drawn one by one rather than by inversion.
constexpr std::int64_t fewItems = 16;
// Samples of up to this many individuals find their log-factorials in a table.
constexpr std::size_t tabledFactorials = 1 << 16;

// ln x!, from a table (summed in extended precision) below tabledFactorials and by Stirling's
// series above, whose truncation error is then far below the rounding of a double.
double logFactorial(std::int64_t x)
{
    static const std::vector<double> table = [] {
        std::vector<double> t(tabledFactorials);
        long double sum = 0;
        for (std::size_t i = 1; i < tabledFactorials; ++i) {
            sum += std::log(static_cast<long double>(i));
            t[i] = static_cast<double>(sum);
        }
        return t;
    }();
    if (static_cast<std::size_t>(x) < tabledFactorials) return table[static_cast<std::size_t>(x)];
    const double z = static_cast<double>(x) + 1;
    const double z2 = z * z;
    return (z - 0.5) * std::log(z) - z + 0.5 * std::log(2 * std::numbers::pi) +
           (1 / 12.0 - (1 / 360.0 - 1 / (1260.0 * z2)) / z2) / z;
}

double logChoose(std::int64_t n, std::int64_t k)
{
    return logFactorial(n) - logFactorial(k) - logFactorial(n - k);
}

} // namespace

void resampleCounts(const std::vector<std::int64_t>& counts, RandomEngine& engine,
                    std::vector<std::int64_t>& drawn)
{
    std::int64_t rest = 0;
    for (const std::int64_t c : counts)
        rest += c;
    std::int64_t left = rest;
    drawn.assign(counts.size(), 0);
    for (std::size_t r = 0; r < counts.size() && left > 0; ++r) {
        if (counts[r] == 0) continue;
        if (counts[r] == rest) {
            drawn[r] = left;
            break;
        }
        std::binomial_distribution<std::int64_t> binomial(left, static_cast<double>(counts[r]) /
                                                                    static_cast<double>(rest));
        drawn[r] = binomial(engine);
        left -= drawn[r];
        rest -= counts[r];
    }
}

std::int64_t drawHypergeometric(std::int64_t marked, std::int64_t unmarked, std::int64_t draws,
                                RandomEngine& engine)
{
    const std::int64_t all = marked + unmarked;
    const std::int64_t low = std::max<std::int64_t>(0, draws - unmarked);
    const std::int64_t high = std::min(draws, marked);
    if (low == high) return low;
    std::uniform_real_distribution<double> uniform(0, 1);
    if (std::min(marked, draws) <= fewItems) {
        // Goes through the smaller of the two sets item by item: each is in the other with
        // the share of that set's items still free.
        const std::int64_t items = std::min(marked, draws);
        std::int64_t other = std::max(marked, draws);
        std::int64_t count = 0;
        for (std::int64_t i = 0; i < items; ++i)
            if (uniform(engine) * static_cast<double>(all - i) < static_cast<double>(other)) {
                ++count;
                --other;
            }
        return count;
    }
    // P(x) = C(marked, x) C(unmarked, draws − x) / C(all, draws), summed outwards from the mode
    // by the ratios of neighbouring terms until the sum passes a uniform number.
    const std::int64_t mode = std::clamp((draws + 1) * (marked + 1) / (all + 2), low, high);
    const double atMode = std::exp(logChoose(marked, mode) + logChoose(unmarked, draws - mode) -
                                   logChoose(all, draws));
    double u = uniform(engine) - atMode;
    if (u <= 0) return mode;
    std::int64_t up = mode;
    std::int64_t down = mode;
    double pUp = atMode;
    double pDown = atMode;
    while (up < high || down > low) {
        if (up < high) {
            pUp *= static_cast<double>((marked - up) * (draws - up)) /
                   static_cast<double>((up + 1) * (unmarked - draws + up + 1));
            ++up;
            u -= pUp;
            if (u <= 0) return up;
        }
        if (down > low) {
            pDown *= static_cast<double>(down * (unmarked - draws + down)) /
                     static_cast<double>((marked - down + 1) * (draws - down + 1));
            --down;
            u -= pDown;
            if (u <= 0) return down;
        }
    }
    return mode; // the terms summed to just below 1 by rounding
}
