// velimor-calc writing into the archive (--import, --save) and comparing populations by their
// labels over two systems, checked by hand: three populations of 100 in exact Hardy–Weinberg
// proportions, x = (0.6, 0.4 | 0.5, 0.3, 0.2), y = (0.5, 0.5 | 0.4, 0.4, 0.2),
// z = (0.2, 0.8 | 0.1, 0.1, 0.8), so that each estimate is the gene count.
#include "cli/archive_write.h"
#include "cli/calc_output.h"
#include "cli/calc_study.h"
#include "tests/support/near.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

struct CalcRun
{
    int code = 0;
    std::string out;
    std::string err;
};

template <typename Run> CalcRun run(Run program, const std::vector<std::string>& arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = program(arguments, out, err);
    return {code, out.str(), err.str()};
}

CalcRun write(const std::vector<std::string>& arguments)
{
    return run(runArchiveWrite, arguments);
}

std::string saved(const ScratchFolder& folder, const std::string& name, const std::string& text)
{
    std::ofstream(folder.file(name), std::ios::binary) << text;
    return folder.file(name);
}

} // namespace

TEST(CalcStudy, ATableIsImportedWholeOrNotAtAllAndATaskFileSavedWithItsLabels)
{
    ScratchFolder folder;
    const std::string archive = folder.file("");
    const std::string alleles = saved(folder, "abo.txt", "allele A\nallele B\nallele -\n");
    EXPECT_EQ(write({"--save", "--archive", archive, "--task", "Стадо 0", "--population",
                     " Стадо 0 ", alleles})
                  .code,
              0);
    const std::vector<std::uint8_t> before = folder.read("SPISOK.DBF");
    const CalcRun bad = write({"--import", saved(folder, "bad.csv", "Популяция;A;C\nСтадо 1;5;6\n"),
                               "--alleles", alleles, "--system", "ABO", "--archive", archive});
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.err,
              folder.file("bad.csv") + ", строка 1, столбец 3 (C): аллели не дают фенотипа «C»\n");
    EXPECT_EQ(folder.read("SPISOK.DBF"), before);

    const CalcRun good =
        write({"--import", saved(folder, "good.tsv", "Популяция\t-\tA B\n\"Стадо 1\"\t5\t6\n"),
               "--alleles", alleles, "--system", "ABO", "--archive", archive});
    EXPECT_EQ(good.code, 0) << good.err;
    EXPECT_EQ(good.out, "в архив записано задач: 1\n");
    const CalcRun again =
        write({"--save", "--archive", archive, "--task", "стадо 1 (abo)", alleles});
    EXPECT_EQ(again.code, 2);
    EXPECT_EQ(again.err, "задача «стадо 1 (abo)» уже есть в архиве " + archive + "\n");
    EXPECT_EQ(write({"--save", "--archive", archive, alleles}).code, 2);
}

TEST(CalcStudy, TwoSystemsAndThreePopulationsCombinedByHand)
{
    ScratchFolder folder;
    const std::string archive = folder.file("");
    const std::map<std::string, std::pair<std::string, std::string>> tasks = {
        {"x", {"36 A\n48 A B\n16 B\n", "25 A\n9 B\n4 C\n30 A B\n20 A C\n12 B C\n"}},
        {"y", {"25 A\n50 A B\n25 B\n", "16 A\n16 B\n4 C\n32 A B\n16 A C\n16 B C\n"}},
        {"z", {"4 A\n32 A B\n64 B\n", "1 A\n1 B\n64 C\n2 A B\n16 A C\n16 B C\n"}}};
    for (const auto& [population, counts] : tasks)
        for (const auto& [system, text] :
             {std::pair{"AB", "allele A\nallele B\n" + counts.first},
              std::pair{"A:B/C", "allele A\nallele B\nallele C\n" + counts.second}}) {
            const std::string name = population + (system == std::string("AB") ? "1" : "2");
            ASSERT_EQ(write({"--save", "--archive", archive, "--task", name, "--population",
                             population, "--system", system, saved(folder, name, text)})
                          .code,
                      0);
        }
    const CalcRun study =
        run(runStudyCalculator,
            {"--compare", "--json", "--seed", "7", "--replicates", "100", "--archive", archive,
             "--population", "x", "--population", "Y", "--population", "z"});
    ASSERT_EQ(study.code, 0) << study.err;
    const ReportJson json = ReportJson::parse(study.out);
    ASSERT_EQ(json["systems"].size(), 2u);
    EXPECT_EQ(json["systems"][0]["system"], "A:B/C"); // systems in the order of their labels
    EXPECT_TRUE(
        near(json["systems"][1]["populations"][0]["forensic"]["exclusionTrio"].get<double>(),
             0.1824, 1e-6));
    const ReportJson& combined = json["combined"];
    EXPECT_EQ(combined["populations"], ReportJson({"x", "Y", "z"}));
    const auto nei = [](double jxy, double jx, double jy) {
        return -std::log(jxy / std::sqrt(jx * jy));
    };
    EXPECT_TRUE(near(combined["neiDistance"][0][1].get<double>(), nei(0.86, 0.90, 0.86), 1e-6));
    EXPECT_TRUE(near(combined["neiDistance"][0][2].get<double>(), nei(0.68, 0.90, 1.34), 1e-6));
    const double g = json["systems"][0]["homogeneity"]["gSquare"].get<double>() +
                     json["systems"][1]["homogeneity"]["gSquare"].get<double>();
    EXPECT_TRUE(near(combined["homogeneity"]["gSquare"].get<double>(), g, 1e-9));
    EXPECT_EQ(combined["homogeneity"]["degreesOfFreedom"], 6);
    // x and y, nearest by far, are joined first in every replicate.
    EXPECT_EQ(combined["tree"].get<std::string>().rfind("((x:", 0), 0u) << combined["tree"];
    EXPECT_NE(combined["tree"].get<std::string>().find(")100:"), std::string::npos);
    EXPECT_TRUE(combined["neighborJoiningTree"].is_string());
    const ReportJson& x = combined["forensic"][0];
    EXPECT_EQ(x["population"], "x");
    EXPECT_TRUE(
        near(x["combinedExclusionTrio"].get<double>(), 1 - (1 - 0.1824) * (1 - 0.336), 1e-6));
    EXPECT_TRUE(
        near(x["combinedExclusionDuo"].get<double>(), 1 - (1 - 0.1152) * (1 - 0.1922), 1e-6));
    EXPECT_TRUE(near(x["combinedMatchProbability"].get<double>(), 0.3856 * 0.2166, 1e-6));

    const CalcRun text =
        run(runStudyCalculator, {"--compare", "--archive", archive, "--population", "x",
                                 "--population", "z", "--xlsx", folder.file("study.xlsx")});
    EXPECT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out.find("[system]\nA:B/C\n\n[populations]\n"), 0u) << text.out;
    EXPECT_NE(text.out.find("[combinedForensic]\nПопуляция\t"), std::string::npos);
    // openpyxl reads the workbook: a sheet per system, named as spreadsheets allow, then the
    // combined sheets.
    const std::string script = saved(folder, "read.py", R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print(book.sheetnames, book["Идентификация"]["B3"].value))");
    FILE* pipe =
        popen((VELIMOR_PYTHON " " + script + " " + folder.file("study.xlsx")).c_str(), "r");
    char line[512] = {};
    ASSERT_TRUE(pipe && std::fgets(line, sizeof line, pipe));
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(std::string(line), "['ABC', 'AB', 'Расстояние Нея', 'Однородность', 'Деревья', "
                                 "'Идентификация'] 0.28763\n");
    const CalcRun unknown = run(runStudyCalculator, {"--compare", "--archive", archive,
                                                     "--population", "x", "--population", "w"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "В архиве нет задач популяции «w» с названием системы.\n");
}
