// Percentile intervals of bootstrap figures: the value at a share of the sorted values,
// interpolated between neighbours, and the 95% interval between the 2.5% and 97.5% points.
#pragma once

#include <optional>
#include <utility>
#include <vector>

using Interval = std::pair<double, double>;

// sorted: at least one value, in ascending order; q from 0 to 1.
double percentile(const std::vector<double>& sorted, double q);

// The 2.5% and 97.5% points of the values (in any order); nothing when there are none.
std::optional<Interval> percentileInterval(std::vector<double> values);
