#include "estimate/phenotype_bars.h"

#include "platform/cp1251.h"

#include <algorithm>
#include <cmath>
#include <numeric>

PhenotypeBars phenotypeBars(const TaskState& task, const std::vector<std::int64_t>& counts,
                            const std::vector<long double>& expected)
{
    long double total = 0;
    for (const std::int64_t c : counts)
        total += static_cast<long double>(c);
    const auto fitted = [&](std::size_t r) { return static_cast<double>(total * expected[r]); };
    std::vector<std::size_t> shown(counts.size());
    std::iota(shown.begin(), shown.end(), std::size_t{0});
    if (shown.size() > static_cast<std::size_t>(maxBars)) {
        const auto deviation = [&](std::size_t r) {
            return std::abs(static_cast<double>(counts[r]) - fitted(r));
        };
        std::stable_sort(shown.begin(), shown.end(),
                         [&](std::size_t a, std::size_t b) { return deviation(a) > deviation(b); });
        shown.resize(static_cast<std::size_t>(maxBars));
        std::sort(shown.begin(), shown.end());
    }
    PhenotypeBars result;
    result.phenotypeCount = static_cast<int>(counts.size());
    for (const std::size_t r : shown)
        result.bars.push_back({cp1251ToUtf8(task.phenotypeNames[r + 1].trimmed()),
                               static_cast<int>(r) + 1, static_cast<double>(counts[r]), fitted(r)});
    return result;
}
