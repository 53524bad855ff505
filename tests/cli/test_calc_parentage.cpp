// velimor-calc --forensic (the JSON objects beside an unchanged report) and --parentage (a
// case file judged over two systems, and each kind of bad input refused with its line).
#include "cli/calc_output.h"
#include "cli/calc_parentage.h"
#include "tests/cli/calculator_run.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

// q(N) = (76 + 2·13) / 416.
const char* const mnTask = "allele M\nallele N\n119 M\n76 M N\n13 N\n";
const char* const aboTask = "allele A\nallele B\nallele -\n186 A\n13 A B\n38 B\n284 -\n";

TEST(CalcForensic, AddsTheFiguresBesideAnUnchangedReport)
{
    const CalculatorRun plain = calculate({"--seed", "3", "--json", "-"}, mnTask);
    const CalculatorRun json = calculate({"--seed", "3", "--json", "--forensic", "-"}, mnTask);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto report = ReportJson::parse(json.out);
    ReportJson without = report;
    without.erase("forensic");
    without.erase("diversity");
    EXPECT_EQ(without, ReportJson::parse(plain.out));
    const ReportJson& forensic = report["forensic"];
    EXPECT_NEAR(forensic["discriminationPower"].get<double>(),
                1 - forensic["matchProbability"].get<double>(), 1e-15);
    EXPECT_TRUE(forensic["polymorphicInformationContent"].is_number()); // codominant
    EXPECT_FALSE(forensic.contains("intervals"));
    EXPECT_EQ(report["diversity"].size(), 4u);

    const CalculatorRun abo = calculate(
        {"--seed", "3", "--json", "--forensic", "--stats", "--replicates", "100", "-"}, aboTask);
    const auto withStats = ReportJson::parse(abo.out);
    EXPECT_TRUE(withStats["forensic"]["polymorphicInformationContent"].is_null()); // O hidden
    for (const char* key : {"discriminationPower", "exclusionTrio", "exclusionDuo"}) {
        const ReportJson& interval = withStats["forensic"]["intervals"][key];
        ASSERT_TRUE(interval.is_array()) << key;
        EXPECT_LE(interval[0].get<double>(), interval[1].get<double>()) << key;
    }

    const CalculatorRun text = calculate({"--seed", "3", "-"}, mnTask);
    const CalculatorRun withSection = calculate({"--seed", "3", "--forensic", "-"}, mnTask);
    EXPECT_EQ(withSection.out.substr(0, text.out.size()), text.out);
    EXPECT_EQ(withSection.out.substr(text.out.size(), 11), "[forensic]\n");
}

struct CaseRun
{
    int code;
    std::string out;
    std::string err;
};

CaseRun judge(const ScratchFolder& folder, const std::string& caseText,
              std::vector<std::string> options = {})
{
    folder.writeText("mn.task", mnTask);
    folder.writeText("abo.task", aboTask);
    options.insert(options.begin(), {"--parentage", folder.writeText("case.txt", caseText)});
    std::ostringstream out;
    std::ostringstream err;
    const int code = runParentageCalculator(options, out, err);
    return {code, out.str(), err.str()};
}

TEST(CalcParentage, JudgesACaseOverTwoSystems)
{
    const ScratchFolder folder;
    const double q = 102.0 / 416;
    const CaseRun run = judge(folder,
                              "# trio in MN, duo in ABO\nsystem mn.task\nmother M\n"
                              "child N M\nfather N\n\nsystem abo.task\nchild A B\nfather B\n",
                              {"--json", "--seed", "1"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = ReportJson::parse(run.out);
    ASSERT_EQ(json["systems"].size(), 2u);
    EXPECT_EQ(json["systems"][0]["task"], "mn.task");
    EXPECT_NEAR(json["systems"][0]["paternityIndex"].get<double>(), 1 / q, 1e-9);
    const double pi = json["systems"][0]["paternityIndex"].get<double>() *
                      json["systems"][1]["paternityIndex"].get<double>();
    EXPECT_EQ(json["excluded"], false);
    EXPECT_NEAR(json["combinedPaternityIndex"].get<double>(), pi, 1e-9);
    EXPECT_NEAR(json["probabilityOfPaternity"].get<double>(), pi / (pi + 1), 1e-12);

    const CaseRun excluded =
        judge(folder, "system mn.task\nmother M\nchild M\nfather N\nsystem abo.task\n"
                      "child A\nfather B\n");
    ASSERT_EQ(excluded.code, 0) << excluded.err;
    EXPECT_NE(excluded.out.find("mn.task\tM\tM\tN\tда\t-\t"), std::string::npos) << excluded.out;
    EXPECT_NE(excluded.out.find("[verdict]\nИсключен\tда\n"), std::string::npos) << excluded.out;
}

TEST(CalcParentage, RefusesBadInputNamingTheLine)
{
    const ScratchFolder folder;
    const std::string caseFile = folder.file("case.txt");
    const std::pair<const char*, std::string> cases[] = {
        {"system mn.task\nchild M S\nfather N\n",
         ", строка 2: система «mn.task»: фенотипа «M S» нет"},
        {"system mn.task\nfather N\nsystem abo.task\nchild A\nfather A\n",
         ", строка 1: в блоке системы «mn.task» нет строки child"},
        {"system abo.task\nchild A\n", ", строка 1: в блоке системы «abo.task» нет строки father"},
        {"# absent\nsystem none.task\n",
         ", строка 2: " + folder.file("none.task") + ": не удается открыть файл задачи"},
        {"system mn.task\nchild M\nuncle N\n", ", строка 3: непонятная строка: uncle"},
        {"child M\n", ", строка 1: строка child до строки system"},
        {"system mn.task\nmother N\nchild M\nfather M\n",
         ", строка 2: система «mn.task»: мать с фенотипом «N» не может быть матерью ребенка с "
         "фенотипом «M»"},
    };
    for (const auto& [text, problem] : cases) {
        const CaseRun run = judge(folder, text);
        EXPECT_EQ(run.code, 2) << text;
        EXPECT_EQ(run.err, caseFile + problem + "\n") << text;
        EXPECT_EQ(run.out, "");
    }
    folder.writeText("bad.task", "allele A\nallele A\n1 A\n");
    const std::string err = judge(folder, "system bad.task\n").err;
    EXPECT_TRUE(err.starts_with(caseFile + ", строка 1: bad.task, строка 2: ")) << err;
}

} // namespace
