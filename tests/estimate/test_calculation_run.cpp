#include "estimate/calculation_run.h"
#include "estimate/number_text.h"
#include "estimate/report_tables.h"
#include "platform/cp1251.h"
#include "platform/random.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <map>

namespace {

TaskState task;

// The texts a calculation writes into one table, by column and row: the cells that differ
// from the table as laid out before the run.
class Cells
{
public:
    Cells(const ShownTable& table, const ShownTable& before)
    {
        for (std::size_t row = 0; row < table.size(); ++row)
            for (std::size_t col = 0; col < table[row].size(); ++col)
                if (table[row][col] != before[row][col])
                    texts_.emplace(std::pair{static_cast<int>(col), static_cast<int>(row)},
                                   table[row][col].bytes());
    }
    // The text of a cell, or "(not written)".
    std::string operator()(int col, int row) const
    {
        const auto found = texts_.find({col, row});
        return found == texts_.end() ? "(not written)" : found->second;
    }
    bool written(int col, int row) const { return texts_.count({col, row}) > 0; }
    std::size_t size() const { return texts_.size(); }

private:
    std::map<std::pair<int, int>, std::string> texts_;
};

// A run's numbers, and for a completed run its tables and the tables before it.
struct Calculated
{
    CalculationResult result;
    ReportTables tables;
    ReportTables before;
};

Calculated run(const std::vector<std::string>& counts, const std::string& total,
               FitCriterion chosen = FitCriterion::maximumLikelihood)
{
    seedRandom(1);
    std::vector<Cp1251Text> cells;
    for (const std::string& count : counts)
        cells.push_back(toCp1251(count));
    Calculated calculated{runCalculation(task, cells, toCp1251(total), chosen), {}, {}};
    if (calculated.result.completed()) {
        calculated.tables = reportTables(task, calculated.result, cells);
        calculated.before = laidOutTables(task, cells);
    }
    return calculated;
}

TEST(CalculationRun, ExactFitOfTwoAlleles)
{
    // 36, 48, 16 of A/A, A/B, B/B (N = 100): 0.600 and 0.400 by every criterion, no pooling,
    // df 2, chi-square 0.000, probability 1.000.
    setUpTask(task, {"A", "B"});
    const auto [result, tables, before] = run({"36", "48", "16"}, "100");
    ASSERT_TRUE(result.completed()) << result.failure;
    const std::string summary = "Хи^2 =  0.000 Степеней свободы =2 p=1.000";
    EXPECT_EQ(cp1251ToUtf8(tables.chosenSummary), summary);
    EXPECT_EQ(cp1251ToUtf8(tables.fitLabels[0]), "МП     " + summary);
    EXPECT_EQ(cp1251ToUtf8(tables.fitLabels[1]), "МНК    " + summary);
    EXPECT_EQ(cp1251ToUtf8(tables.fitLabels[2]), "МННК   " + summary);
    EXPECT_EQ(result.doneMessage, "Расчет выполнен.");

    const Cells alleles(tables.alleles, before.alleles);
    const Cells genotypes(tables.genotypes, before.genotypes);
    const Cells phenotypes(tables.phenotypes, before.phenotypes);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(alleles(k + 1, 1), "0.600");
        EXPECT_EQ(alleles(k + 1, 2), "0.400");
        EXPECT_EQ(alleles(k + 1, 3), "1"); // general text of 0.6 + 0.4
        EXPECT_EQ(genotypes(k + 1, 1), "0.3600");
        EXPECT_EQ(genotypes(k + 1, 2), "0.4800");
        EXPECT_EQ(genotypes(k + 1, 3), "0.1600");
        EXPECT_EQ(genotypes(k + 1, 4), "1.000");
        EXPECT_EQ(genotypes(k + 1, 5), "0.520"); // 1 − H
        EXPECT_EQ(genotypes(k + 1, 6), "0.480");
        EXPECT_EQ(phenotypes(k + 2, 1), "  36.00");
        EXPECT_EQ(phenotypes(k + 6, 2), "0.4800");
        EXPECT_EQ(phenotypes(k + 2, 4), " 100.00");
        EXPECT_EQ(phenotypes(k + 6, 4), "1.0000");
        EXPECT_EQ(result.estimates[static_cast<std::size_t>(k - 1)].fit.degreesOfFreedom, 2);
    }
    EXPECT_EQ(phenotypes(2, 1), "36");
    EXPECT_EQ(phenotypes(6, 1), "0.3600");
    EXPECT_EQ(phenotypes(2, 4), "100");
    EXPECT_EQ(phenotypes(6, 4), "1.0000");
    EXPECT_EQ(phenotypes.size(), 4u * 8); // rows 1..4, columns 2..9

    const Cells tests(tables.tests, before.tests);
    EXPECT_EQ(tests(2, 1), "84"); // test A: phenotypes A and A B
    EXPECT_EQ(tests(6, 1), "0.840");
    EXPECT_EQ(tests(3, 1), "     84.00");
    EXPECT_EQ(tests(7, 2), "0.640"); // test B: 0.48 + 0.16
    EXPECT_EQ(tests.size(), 2u * 8);

    // The control window gets the chosen criterion's columns only.
    const Cells controlAlleles(tables.chosenAlleles, before.chosenAlleles);
    const Cells controlPhenotypes(tables.phenotypeList, before.phenotypeList);
    EXPECT_EQ(controlAlleles.size(), 2u);
    EXPECT_EQ(controlAlleles(2, 1), "0.600");
    EXPECT_EQ(controlPhenotypes.size(), 3u);
    EXPECT_EQ(controlPhenotypes(3, 2), "    48.00");
}

TEST(CalculationRun, TheNumbersBehindTheTexts)
{
    setUpTask(task, {"A", "B"}); // phenotypes A, A B, B; tests A and B
    const auto [result, tables, before] = run({"36", "48", "16"}, "100");
    ASSERT_TRUE(result.completed());
    EXPECT_EQ(result.testCounts, (std::vector<std::int64_t>{84, 64}));
    for (std::size_t r = 0; r < 3; ++r)
        EXPECT_TRUE(near(result.observedFrequencies[r], result.counts[r] / 100.0L, 0));
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionEstimate& estimate = result.estimates[k];
        const long double genotypes[] = {0.36L, 0.48L, 0.16L};
        for (std::size_t j = 0; j < 3; ++j)
            EXPECT_TRUE(near(estimate.genotypeFrequencies[j], genotypes[j], 1e-9L));
        EXPECT_TRUE(near(estimate.homozygotes, 0.52L, 1e-9L));
        EXPECT_TRUE(near(estimate.heterozygotes, 0.48L, 1e-9L));
        EXPECT_TRUE(near(estimate.testFrequencies[0], 0.84L, 1e-9L));
        EXPECT_TRUE(near(estimate.testFrequencies[1], 0.64L, 1e-9L));
        EXPECT_EQ(tables.alleles[2][k + 2].bytes(),
                  formatFixed(estimate.alleleFrequencies[1], 5, 3));
    }
}

TEST(CalculationRun, AClassOfSevenIsNotPooledInTheFitLine)
{
    // ABO 150, 7, 60, 183 (N = 400): the double 7 / 400 lies above the count's frequency, yet
    // the class of 7 keeps its own place: four classes, df 3, in every criterion's line.
    setUpTask(task, {"A", "B", "-"});
    const auto [result, tables, before] = run({"150", "7", "60", "183"}, "400");
    ASSERT_TRUE(result.completed()) << result.failure;
    for (const CriterionEstimate& estimate : result.estimates) {
        EXPECT_EQ(estimate.fit.degreesOfFreedom, 3);
        EXPECT_NE(cp1251ToUtf8(fitSummaryText(estimate.fit)).find(" Степеней свободы =3 p="),
                  std::string::npos);
    }
}

TEST(CalculationRun, ShowsTheChosenCriterionInTheControlWindow)
{
    setUpTask(task, {"A", "B", "-"});
    const auto [result, tables, before] =
        run({"186", "13", "38", " 284"}, "521", FitCriterion::leastSquares);
    ASSERT_TRUE(result.completed());
    const Cells alleles(tables.alleles, before.alleles);
    const Cells phenotypes(tables.phenotypes, before.phenotypes);
    const Cells controlAlleles(tables.chosenAlleles, before.chosenAlleles);
    const Cells controlPhenotypes(tables.phenotypeList, before.phenotypeList);
    EXPECT_NE(alleles(2, 1), alleles(3, 1)); // МП and МНК differ here
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(controlAlleles(2, i), alleles(3, i));
    for (int r = 1; r <= 4; ++r)
        EXPECT_TRUE(near(shownValue(controlPhenotypes(3, r)), shownValue(phenotypes(4, r)), 0));
    EXPECT_EQ(controlPhenotypes(3, 1).size(), 9u);
    EXPECT_EQ(tables.chosenSummary, fitSummaryText(result.estimates[1].fit));
    EXPECT_EQ(phenotypes(2, 4), "284"); // trimmed
    EXPECT_EQ(alleles(3, 2), "0.049");  // B by least squares, not 0.000
}

TEST(CalculationRun, EmptyCountCellsBecomeZero)
{
    setUpTask(task, {"A", "B"});
    const auto [result, tables, before] = run({"", "30", "  "}, "30");
    ASSERT_TRUE(result.completed());
    const Cells control(tables.phenotypeList, before.phenotypeList);
    EXPECT_EQ(control(2, 1), "0");
    EXPECT_EQ(control(2, 3), "0");
    EXPECT_FALSE(control.written(2, 2)); // a typed count stays as typed
    const Cells phenotypes(tables.phenotypes, before.phenotypes);
    EXPECT_EQ(phenotypes(2, 1), "0");
    EXPECT_EQ(phenotypes(2, 4), "30");
}

TEST(CalculationRun, SumRowShowsTheSumOfTheShownValues)
{
    // Three codominant alleles fitting 1/3 each exactly: 0.333 three times sums to 0.999.
    setUpTask(task, {"A", "B", "C"}); // A, A B, A C, B, B C, C
    const auto [result, tables, before] = run({"10", "20", "20", "10", "20", "10"}, "90");
    ASSERT_TRUE(result.completed());
    const Cells alleles(tables.alleles, before.alleles);
    EXPECT_EQ(alleles(2, 1), "0.333");
    EXPECT_EQ(alleles(2, 4), "0.999");
    // Genotype frequencies 0.1111 and 0.2222: their shown sum 0.9999 at three decimals.
    const Cells genotypes(tables.genotypes, before.genotypes);
    EXPECT_EQ(genotypes(2, 7), "1.000");
    EXPECT_EQ(genotypes(2, 8), "0.333"); // homozygotes: 1 − H, H = 6 × 0.1111…
    EXPECT_EQ(genotypes(2, 9), "0.667");
}

TEST(CalculationRun, MatchesTestsAsWholeWords)
{
    // Tests "A" and "AB": the phenotype "AB" does not show test "A".
    setUpTask(task, {"A", "AB", "-"}); // A, A AB, AB, -
    const auto [result, tables, before] = run({"10", "20", "30", "40"}, "100");
    ASSERT_TRUE(result.completed());
    const Cells tests(tables.tests, before.tests);
    EXPECT_EQ(tests(2, 1), "30"); // A: phenotypes A and A AB
    EXPECT_EQ(tests(2, 2), "50"); // AB: phenotypes A AB and AB
}

TEST(CalculationRun, StopsBeforeWritingAnything)
{
    setUpTask(task, {"A", "B"});
    CalculationResult result = run({"", "", ""}, "0").result;
    EXPECT_EQ(result.failure, "Введите фактическое поголовье фенотипов!");
    EXPECT_TRUE(result.observedFrequencies.empty());
    EXPECT_TRUE(result.estimates[0].expectedFrequencies.empty());

    result = run({"10", "-5", "20"}, "25").result;
    EXPECT_EQ(result.failure, "Поголовье фенотипа «A B» отрицательно (-5). Расчет не выполнен.");
    EXPECT_TRUE(result.observedFrequencies.empty());
    EXPECT_TRUE(result.estimates[0].expectedFrequencies.empty());
    EXPECT_TRUE(result.estimates[1].alleleFrequencies.empty());

    result = run({"10", "1.5", "20"}, "31").result;
    EXPECT_EQ(result.failure, "Поголовье фенотипа «A B» («1.5») - не целое число меньше "
                              "20000000. Расчет не выполнен.");
}

TEST(CalculationRun, HandlesTotalsBeyondThirtyTwoBits)
{
    // Counts below 20000000 can exceed 2^31 together: here N and 3 × N do.
    setUpTask(task, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
    const std::vector<std::string> counts(static_cast<std::size_t>(task.phenotypeCount),
                                          "19999999");
    const Calculated large =
        run(counts, std::to_string(19999999LL * task.phenotypeCount), FitCriterion::leastSquares);
    ASSERT_TRUE(large.result.completed());
    EXPECT_EQ(task.tripleTotal, 3 * 19999999LL * 55);
    const Cells phenotypes(large.tables.phenotypes, large.before.phenotypes);
    EXPECT_EQ(phenotypes(2, 56), "1099999945");
}

} // namespace
