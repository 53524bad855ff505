#include "estimate/phenotype_bars.h"

#include "platform/cp1251.h"

#include <algorithm>
#include <numeric>

std::vector<PhenotypeBar> phenotypeBars(const TaskState& task,
                                        const std::vector<std::int64_t>& counts,
                                        const std::vector<long double>& expected)
{
    long double total = 0;
    for (const std::int64_t c : counts)
        total += static_cast<long double>(c);
    std::vector<std::size_t> order(counts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const bool pooled = order.size() > static_cast<std::size_t>(maxBars);
    if (pooled)
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (counts[a] != counts[b]) return counts[a] > counts[b];
            return expected[a] > expected[b];
        });
    std::vector<PhenotypeBar> bars;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t r = order[i];
        const auto observed = static_cast<double>(counts[r]);
        const auto fitted = static_cast<double>(total * expected[r]);
        if (pooled && i + 1 >= static_cast<std::size_t>(maxBars)) {
            if (bars.size() < static_cast<std::size_t>(maxBars))
                bars.push_back({"остальные", 0, 0});
            bars.back().observed += observed;
            bars.back().expected += fitted;
            continue;
        }
        bars.push_back({cp1251ToUtf8(task.phenotypeNames[r + 1].trimmed()), observed, fitted});
    }
    return bars;
}
