// velimor-calc --stats: the [statistics] section and the JSON object "statistics" beside
// the unchanged report, and the refusal of a bad number of replicates.
#include "estimate/calc_options.h"
#include "tests/estimate/calculator_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

namespace {

const char* const exactTask = "allele A\nallele B\n36 A\n48 A B\n16 B\n";

// The run of a task given on standard input.
CalculatorRun calculateInput(std::vector<std::string> arguments, const std::string& taskText)
{
    arguments.push_back("-");
    return calculate(arguments, taskText);
}

} // namespace

TEST(CalcStatistics, AddsTheTextSectionAfterTheReport)
{
    const CalculatorRun plain = calculateInput({"--seed", "5"}, exactTask);
    const CalculatorRun stats =
        calculateInput({"--seed", "5", "--stats", "--replicates", "200"}, exactTask);
    ASSERT_EQ(stats.exitCode, 0);
    EXPECT_EQ(stats.err, ""); // no progress line off a terminal
    ASSERT_EQ(stats.out.compare(0, plain.out.size(), plain.out), 0);
    const std::string added = stats.out.substr(plain.out.size());
    const std::string heading = "[statistics]\nПовторений\t200\n";
    EXPECT_EQ(added.compare(0, heading.size(), heading), 0) << added;
    EXPECT_NE(added.find("\n1\tA\t0.60000\t0.03464\t0.53210 – 0.66790\t"), std::string::npos)
        << added;
    EXPECT_EQ(added.substr(added.size() - 2), "\n\n");
}

TEST(CalcStatistics, WritesTheStatisticsObject)
{
    const CalculatorRun plain = calculateInput({"--seed", "5", "--json"}, exactTask);
    const CalculatorRun stats =
        calculateInput({"--seed", "5", "--json", "--stats", "--replicates", "150"}, exactTask);
    ASSERT_EQ(stats.exitCode, 0);
    nlohmann::json report = nlohmann::json::parse(stats.out);
    const nlohmann::json statistics = report["statistics"];
    report.erase("statistics");
    EXPECT_EQ(report, nlohmann::json::parse(plain.out)); // the rest as without --stats

    EXPECT_EQ(statistics["replicates"], 150);
    const nlohmann::json& ml = statistics["ML"];
    // SE = √(pq / 2N) at p = 0.6, N = 100; one degree of freedom after the estimated p.
    EXPECT_NEAR(ml["standardErrors"][0].get<double>(), std::sqrt(0.24 / 200), 1e-9);
    EXPECT_EQ(ml["waldIntervals"].size(), 2u);
    EXPECT_EQ(ml["pearson"]["degreesOfFreedom"], 1);
    EXPECT_EQ(ml["likelihoodRatio"]["degreesOfFreedom"], 1);
    EXPECT_NEAR(ml["monteCarloProbability"].get<double>(), 1, 1e-12); // exact fit
    EXPECT_EQ(ml["residuals"].size(), 3u);
    for (const char* key : {"LS", "NLS"}) {
        const nlohmann::json& criterion = statistics[key];
        EXPECT_TRUE(criterion["standardErrors"].is_null()) << key;
        EXPECT_TRUE(criterion["likelihoodRatio"].is_null()) << key;
        EXPECT_FALSE(criterion.contains("waldIntervals")) << key;
        ASSERT_EQ(criterion["confidenceIntervals"].size(), 2u) << key;
        const double lower = criterion["confidenceIntervals"][0][0];
        const double upper = criterion["confidenceIntervals"][0][1];
        EXPECT_LT(lower, 0.6) << key;
        EXPECT_GT(upper, 0.6) << key;
        EXPECT_GT(criterion["bootstrapStandardErrors"][1].get<double>(), 0) << key;
    }

    // 95, 4, 1: the textbook degrees of freedom reach 0, and are null with their p.
    const CalculatorRun pooled = calculateInput({"--json", "--stats", "--replicates", "100"},
                                                "allele A\nallele B\n95 A\n4 A B\n1 B\n");
    const nlohmann::json pearson = nlohmann::json::parse(pooled.out)["statistics"]["ML"]["pearson"];
    EXPECT_TRUE(pearson["degreesOfFreedom"].is_null());
    EXPECT_TRUE(pearson["probability"].is_null());
}

TEST(CalcStatistics, RefusesABadNumberOfReplicates)
{
    for (const char* value : {"99", "100001", "abc"}) {
        const ParsedOptions parsed =
            parseCalcOptions({"--stats", "--replicates", value, "task.txt"});
        EXPECT_NE(parsed.problem, "") << value;
    }
    EXPECT_NE(parseCalcOptions({"--replicates", "500", "task.txt"}).problem, "");
    EXPECT_EQ(parseCalcOptions({"--stats", "task.txt"}).options.replicates, 1000);
}
