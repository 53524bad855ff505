// The scales of the charts: round ticks whose labels differ, and the bars of a large task.
#include "estimate/gui/statistics_charts.h"
#include "estimate/phenotype_bars.h"
#include "estimate/round_ticks.h"
#include "task/allele_check.h"
#include "task/phenotypes.h"
#include "tests/support/print_qstring.h"

#include <QBarCategoryAxis>
#include <QValueAxis>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>

namespace {

std::vector<std::string> labels(const RoundTicks& ticks)
{
    std::vector<std::string> texts;
    for (int k = 0; k <= ticks.intervals; ++k)
        texts.push_back(ticks.label(k));
    return texts;
}

} // namespace

TEST(RoundTicks, StepsOf1_2Or5ReachTheTopWithLabelsThatDiffer)
{
    using Labels = std::vector<std::string>;
    // Counts up to 223 (the chart that showed 56, 111, 167, 223).
    EXPECT_EQ(labels(roundTicks(223, 8)), (Labels{"0", "50", "100", "150", "200", "250"}));
    // Frequencies up to 0.15 (the chart whose «0.04» gridline stood at 0.0375).
    EXPECT_EQ(labels(roundTicks(0.15, 8)),
              (Labels{"0.00", "0.02", "0.04", "0.06", "0.08", "0.10", "0.12", "0.14", "0.16"}));
    // Two near-identical populations: distances of some 10^-7 still read apart.
    EXPECT_EQ(labels(roundTicks(6.5e-7, 5)),
              (Labels{"0.0000000", "0.0000002", "0.0000004", "0.0000006", "0.0000008"}));
    // A top on a tick needs no step beyond it; nothing to scale gives one step of 1.
    EXPECT_EQ(labels(roundTicks(0.3, 3)), (Labels{"0.0", "0.1", "0.2", "0.3"}));
    EXPECT_EQ(labels(roundTicks(1, 8)), (Labels{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    for (const double nothing : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(labels(roundTicks(nothing, 5)), (Labels{"0", "1"}));

    for (double top = 1e-9; top < 1e9; top *= 1.37) {
        const RoundTicks ticks = roundTicks(top, 6);
        EXPECT_GE(ticks.top(), top * (1 - 1e-12)) << top;
        EXPECT_LE(ticks.intervals, 6) << top;
        // Not needlessly coarse: the step below needed more than 6, and steps grow 2.5-fold at
        // most.
        EXPECT_GE(ticks.intervals, 3) << top;
        const std::vector<std::string> texts = labels(ticks);
        EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).size(), texts.size()) << top;
        for (int k = 0; k <= ticks.intervals; ++k)
            EXPECT_NEAR(std::stod(texts[static_cast<std::size_t>(k)]), ticks.step * k,
                        ticks.step * 1e-6)
                << top;
    }
}

TEST(PhenotypeBars, ALargeTaskShowsTheFortyLargestDeviationsWithoutAPooledBar)
{
    // 50 alleles T1 … T50: 1275 phenotypes. Every count on its expectation except five.
    std::array<std::string, maxAlleles> cells;
    for (int k = 0; k < maxAlleles; ++k)
        cells[static_cast<std::size_t>(k)] = "T" + std::to_string(k + 1);
    const auto task = std::make_unique<TaskState>();
    ASSERT_FALSE(checkAlleleList(encodeAlleleRows(cells), *task).failed());
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    const auto n = static_cast<std::size_t>(task->phenotypeCount);
    std::vector<std::int64_t> counts(n, 10);
    std::vector<long double> expected(n, 1.0L / n);
    for (const std::size_t r : {3u, 700u, 1000u, 1200u, 1274u})
        counts[r] = 10 + static_cast<std::int64_t>(r % 7) + 30;
    const PhenotypeBars shown = phenotypeBars(*task, counts, expected);
    EXPECT_EQ(shown.phenotypeCount, 1275);
    ASSERT_EQ(shown.bars.size(), static_cast<std::size_t>(maxBars));
    // The five deviations are among them, in phenotype order; no bar pools the rest.
    std::vector<int> numbers;
    for (const PhenotypeBar& bar : shown.bars)
        numbers.push_back(bar.number);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    for (const int r : {4, 701, 1001, 1201, 1275})
        EXPECT_NE(std::find(numbers.begin(), numbers.end(), r), numbers.end()) << r;
    double tallest = 0;
    for (const PhenotypeBar& bar : shown.bars)
        tallest = std::max(tallest, bar.observed);
    EXPECT_EQ(tallest, 46); // 10 + 6 + 30, phenotype 1201; nothing near the 12,750 of all

    // The chart says what it shows and keeps every label whole.
    std::unique_ptr<QChart> chart(observedExpectedChart(shown, "МП"));
    EXPECT_EQ(chart->title(), "Фактическое и расчетное поголовье фенотипов (МП): 40 из 1275 с "
                              "наибольшим отклонением");
    const auto* x = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).front());
    const auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    ASSERT_TRUE(x && y);
    EXPECT_FALSE(x->truncateLabels());
    EXPECT_EQ(x->at(3), "T1 T4"); // phenotype 4
    EXPECT_EQ(y->max(), 50);
    EXPECT_EQ(y->tickCount(), 6);
    EXPECT_EQ(y->labelFormat(), "%.0f");
}
