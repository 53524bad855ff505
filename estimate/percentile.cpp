#include "estimate/percentile.h"

#include <algorithm>
#include <cmath>

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
