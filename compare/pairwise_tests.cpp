#include "compare/pairwise_tests.h"

#include "compare/random_draws.h"
#include "platform/worker_run.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The streams of these tables, apart from the other replicates' kinds.
constexpr int streamKind = 3;
// A drawn table's Σ O ln O within this share of the observed one counts as reaching it: the
// two sums may differ in rounding only when the tables are permutations of each other.
constexpr long double tieShare = 1e-13L;

// Counts below it find x ln x in a table.
constexpr std::size_t tabledCounts = 1 << 16;

long double xLogX(std::int64_t x)
{
    static const std::vector<long double> table = [] {
        std::vector<long double> t(tabledCounts, 0);
        for (std::size_t i = 2; i < tabledCounts; ++i)
            t[i] = static_cast<long double>(i) * std::log(static_cast<long double>(i));
        return t;
    }();
    if (static_cast<std::size_t>(x) < tabledCounts) return table[static_cast<std::size_t>(x)];
    return static_cast<long double>(x) * std::log(static_cast<long double>(x));
}

// One pair's table, reduced to what the test needs: the column totals of the phenotypes
// seen in either population, the first row's total and Σ O ln O of the observed cells.
struct PairTable
{
    std::vector<std::int64_t> columns;
    std::int64_t firstTotal = 0;
    std::int64_t total = 0;
    long double observed = 0;
};

PairTable pairTable(const std::vector<std::int64_t>& first, const std::vector<std::int64_t>& second)
{
    PairTable table;
    for (std::size_t r = 0; r < first.size(); ++r) {
        if (first[r] + second[r] == 0) continue;
        table.columns.push_back(first[r] + second[r]);
        table.firstTotal += first[r];
        table.total += first[r] + second[r];
        table.observed += xLogX(first[r]) + xLogX(second[r]);
    }
    return table;
}

// Σ O ln O of a table drawn with the pair's margins.
long double drawnCells(const PairTable& table, RandomEngine& engine)
{
    std::int64_t left = table.total;
    std::int64_t firstLeft = table.firstTotal;
    long double sum = 0;
    for (const std::int64_t column : table.columns) {
        const std::int64_t x = drawHypergeometric(column, left - column, firstLeft, engine);
        sum += xLogX(x) + xLogX(column - x);
        left -= column;
        firstLeft -= x;
    }
    return sum;
}

} // namespace

double tableGStatistic(const std::vector<std::int64_t>& first,
                       const std::vector<std::int64_t>& second)
{
    const PairTable table = pairTable(first, second);
    long double margins = xLogX(table.firstTotal) + xLogX(table.total - table.firstTotal);
    for (const std::int64_t column : table.columns)
        margins += xLogX(column);
    const long double g = 2 * (table.observed - margins + xLogX(table.total));
    return static_cast<double>(std::max(0.0L, g));
}

std::vector<double> holmAdjusted(const std::vector<double>& probabilities)
{
    const std::size_t m = probabilities.size();
    std::vector<std::size_t> order(m);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return probabilities[a] < probabilities[b];
    });
    std::vector<double> adjusted(m);
    double running = 0;
    for (std::size_t i = 0; i < m; ++i) {
        const double scaled = static_cast<double>(m - i) * probabilities[order[i]];
        running = std::max(running, std::min(1.0, scaled));
        adjusted[order[i]] = running;
    }
    return adjusted;
}

PairwiseTests pairwiseTests(const std::vector<std::vector<std::int64_t>>& counts,
                            const ReplicateSettings& settings)
{
    const std::size_t k = counts.size();
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    std::vector<PairTable> tables;
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t b = a + 1; b < k; ++b) {
            pairs.emplace_back(a, b);
            tables.push_back(pairTable(counts[a], counts[b]));
        }
    const std::int64_t replicates = settings.replicates;
    std::vector<char> reached(pairs.size() * static_cast<std::size_t>(replicates), 0);
    const auto work = [&](std::int64_t unit, int) {
        const auto pair = static_cast<std::size_t>(unit / replicates);
        RandomEngine engine(
            sampleStreamSeed(settings.seed, unit % replicates, static_cast<int>(pair), streamKind));
        const PairTable& table = tables[pair];
        reached[static_cast<std::size_t>(unit)] =
            drawnCells(table, engine) >= table.observed - tieShare * std::fabs(table.observed);
    };
    std::function<void(std::int64_t)> progress;
    if (settings.progress)
        progress = [&](std::int64_t done) {
            settings.progress(done, replicates * static_cast<std::int64_t>(pairs.size()));
        };
    if (!runOnWorkers(replicates * static_cast<std::int64_t>(pairs.size()), settings.threads, work,
                      progress, settings.cancel))
        return {true, {}, {}, {}};

    PairwiseTests result;
    result.statistic = result.probability = result.holmAdjusted =
        PairMatrix(k, std::vector<std::optional<double>>(k));
    std::vector<double> probabilities;
    for (std::size_t j = 0; j < pairs.size(); ++j) {
        const auto begin = reached.begin() + static_cast<std::ptrdiff_t>(j) * replicates;
        const auto count = std::count(begin, begin + replicates, 1);
        probabilities.push_back(static_cast<double>(1 + count) /
                                static_cast<double>(replicates + 1));
    }
    const std::vector<double> adjusted = holmAdjusted(probabilities);
    for (std::size_t j = 0; j < pairs.size(); ++j) {
        const auto [a, b] = pairs[j];
        result.statistic[a][b] = result.statistic[b][a] = tableGStatistic(counts[a], counts[b]);
        result.probability[a][b] = result.probability[b][a] = probabilities[j];
        result.holmAdjusted[a][b] = result.holmAdjusted[b][a] = adjusted[j];
    }
    return result;
}
