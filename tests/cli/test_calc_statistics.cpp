// velimor-calc --stats: the [statistics] section and the JSON object "statistics" beside
// the unchanged report, and the refusal of a bad number of replicates.
#include "cli/calc_options.h"
#include "tests/cli/calculator_run.h"

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
    EXPECT_EQ(ml["residuals"].size(), 3u);
    for (const char* key : {"ML", "LS", "NLS"}) {
        // Exact fit: every Monte-Carlo statistic reaches the observed 0.
        const nlohmann::json& criterion = statistics[key];
        EXPECT_NEAR(criterion["monteCarloProbability"].get<double>(), 1, 1e-12) << key;
        for (const char* test : {"pooled", "pearson", "likelihoodRatio"})
            EXPECT_EQ(criterion[test]["degreesOfFreedom"], 1) << key << " " << test;
        for (const char* test : {"pearson", "likelihoodRatio"})
            EXPECT_NEAR(criterion[test]["monteCarloProbability"].get<double>(), 1, 1e-12) << key;
    }
    for (const char* key : {"LS", "NLS"}) {
        const nlohmann::json& criterion = statistics[key];
        EXPECT_TRUE(criterion["standardErrors"].is_null()) << key;
        EXPECT_FALSE(criterion.contains("waldIntervals")) << key;
        ASSERT_EQ(criterion["confidenceIntervals"].size(), 2u) << key;
        const double lower = criterion["confidenceIntervals"][0][0];
        const double upper = criterion["confidenceIntervals"][0][1];
        EXPECT_LT(lower, 0.6) << key;
        EXPECT_GT(upper, 0.6) << key;
        EXPECT_GT(criterion["bootstrapStandardErrors"][1].get<double>(), 0) << key;
    }

    // 95, 4, 1: the pooled line's degrees of freedom less the frequencies reach 0, and are
    // null with both its probabilities; the unpooled tests keep theirs.
    const CalculatorRun pooled = calculateInput({"--json", "--stats", "--replicates", "100"},
                                                "allele A\nallele B\n95 A\n4 A B\n1 B\n");
    const nlohmann::json pooledMl = nlohmann::json::parse(pooled.out)["statistics"]["ML"];
    EXPECT_TRUE(pooledMl["pooled"]["degreesOfFreedom"].is_null());
    EXPECT_TRUE(pooledMl["pooled"]["probability"].is_null());
    EXPECT_TRUE(pooledMl["monteCarloProbability"].is_null());
    EXPECT_EQ(pooledMl["pearson"]["degreesOfFreedom"], 1);
    EXPECT_TRUE(pooledMl["pearson"]["monteCarloProbability"].is_number());
}

TEST(CalcStatistics, SaturatedModelsGetNoProbability)
{
    // A dominance series of three alleles: df 0 for every test, so every p is null and
    // the text says once why.
    const std::string task = "mode dominance\nallele C\nallele Ch\nallele -\n102 C\n51 Ch\n47 -\n";
    const CalculatorRun json =
        calculateInput({"--seed", "2", "--json", "--stats", "--replicates", "100"}, task);
    const nlohmann::json statistics = nlohmann::json::parse(json.out)["statistics"];
    for (const char* key : {"ML", "LS", "NLS"}) {
        const nlohmann::json& criterion = statistics[key];
        EXPECT_TRUE(criterion["monteCarloProbability"].is_null()) << key;
        for (const char* test : {"pooled", "pearson", "likelihoodRatio"})
            EXPECT_TRUE(criterion[test]["probability"].is_null()) << key << " " << test;
        for (const char* test : {"pearson", "likelihoodRatio"})
            EXPECT_TRUE(criterion[test]["monteCarloProbability"].is_null()) << key << " " << test;
    }
    const CalculatorRun text =
        calculateInput({"--seed", "2", "--stats", "--replicates", "100"}, task);
    EXPECT_NE(text.out.find("\nМП\tX^2 Пирсона по фенотипам\t0.000\tне определено\tне "
                            "определено\tне определено\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\nМодель насыщена: "), std::string::npos);
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
