#include "cli/calc_options.h"
#include "cli/calc_output.h"
#include "cli/calc_parentage.h"
#include "tests/cli/calculator_run.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const char* const aboTask = "allele A\nallele B\nallele -\n186 A\n13 A B\n38 B\n284 -\n";

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The lines of one section of the text output, without its heading and final empty line.
std::vector<std::string> section(const std::string& text, const std::string& heading)
{
    std::vector<std::string> lines;
    std::istringstream stream(text.substr(text.find(heading + "\n") + heading.size() + 1));
    for (std::string line; std::getline(stream, line) && !line.empty();)
        lines.push_back(line);
    return lines;
}

TEST(CalculatorOptions, ParseAndRefuse)
{
    ParsedOptions parsed = parseCalcOptions({"--seed", "42", "--criterion", "3", "--json", "-"});
    EXPECT_EQ(parsed.problem, "");
    EXPECT_EQ(parsed.options.seed, 42u);
    EXPECT_EQ(parsed.options.criterion, 3);
    EXPECT_TRUE(parsed.options.json);
    EXPECT_EQ(parsed.options.taskFile, "-");

    parsed = parseCalcOptions({"task.txt"});
    EXPECT_FALSE(parsed.options.seed);
    EXPECT_EQ(parsed.options.criterion, 1);
    EXPECT_FALSE(parsed.options.json);

    EXPECT_EQ(parseCalcOptions({"--criterion", "4", "t"}).problem,
              "после --criterion ожидается 1, 2 или 3");
    EXPECT_EQ(parseCalcOptions({"t", "--seed"}).problem,
              "после --seed ожидается целое неотрицательное число");
    EXPECT_EQ(parseCalcOptions({"--seed", "-1", "t"}).problem,
              "после --seed ожидается целое неотрицательное число");
    EXPECT_EQ(parseCalcOptions({"--xml", "t"}).problem, "неизвестный параметр --xml");
    EXPECT_EQ(parseCalcOptions({"a", "b"}).problem, "указано больше одного файла задачи");
    EXPECT_EQ(parseCalcOptions({"--json"}).problem, "не указан файл задачи");
}

// CLI11 reads integers in any base and wraps negative ones; the options take decimal digits only.
// Problems are named in the order of the line; --help and --version answer instead of a run.
TEST(CalculatorOptions, DecimalValuesFirstProblemHelpAndVersion)
{
    EXPECT_EQ(parseCalcOptions({"--seed", "010", "t"}).options.seed, 10u);
    EXPECT_EQ(parseCalcOptions({"--seed=18446744073709551615", "t"}).options.seed,
              18446744073709551615u);
    for (const char* seed : {"0x10", "+1", " 1", "18446744073709551616", "1.0", ""})
        EXPECT_EQ(parseCalcOptions({"--seed", seed, "t"}).problem,
                  "после --seed ожидается целое неотрицательное число")
            << seed;
    EXPECT_EQ(parseCalcOptions({"--criterion", "+2", "t"}).problem,
              "после --criterion ожидается 1, 2 или 3");
    EXPECT_EQ(parseCalcOptions({"--seed", "--json", "t"}).problem,
              "после --seed ожидается целое неотрицательное число");
    EXPECT_EQ(parseCalcOptions({"--archive", "", "--task", "x"}).problem,
              "после --archive ожидается папка");
    EXPECT_EQ(parseCalcOptions({"--archive", "a", "--task"}).problem,
              "после --task ожидается наименование задачи");
    EXPECT_EQ(parseCalcOptions({"--json=yes please", "t"}).problem,
              "неизвестный параметр --json=yes please");
    EXPECT_EQ(parseCalcOptions({"-5"}).problem, "неизвестный параметр -5");
    EXPECT_EQ(parseCalcOptions({"--xml", "--criterion", "9", "t"}).problem,
              "неизвестный параметр --xml");
    EXPECT_EQ(parseCalcOptions({"--criterion", "9", "--xml", "t"}).problem,
              "после --criterion ожидается 1, 2 или 3");
    EXPECT_EQ(parseCalcOptions({"a", "b", "--xml"}).problem, "указано больше одного файла задачи");

    const ParsedOptions version = parseCalcOptions({"--version"});
    EXPECT_EQ(version.information, "velimor-calc " VELIMOR_VERSION "\n");
    EXPECT_EQ(version.problem, "");
    const std::string help = parseCalcOptions({"--json", "--help"}).information;
    EXPECT_EQ(help.find(calcUsage() + "\n"), help.find('\n') + 1) << help;
    for (const char* option : {"--seed N", "--criterion 1|2|3", "--json", "--xlsx FILE",
                               "--archive FOLDER", "--task NAME", "--version", "--stats",
                               "--replicates B", "С --compare сравниваются задачи одного локуса",
                               "--forensic", "С --parentage CASEFILE проверяется отцовство"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_NE(help.find(compareUsage()), std::string::npos) << help;
    EXPECT_NE(help.find(parentageUsage()), std::string::npos) << help;
}

TEST(Calculator, WritesTheSectionsOfTheWindows)
{
    const CalculatorRun run = calculate({"--seed", "7", "--criterion", "2", "abo.txt"}, aboTask);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> alleles = section(run.out, "[alleles]");
    ASSERT_EQ(alleles.size(), 5u);
    EXPECT_EQ(alleles[0], "№\tАллели\tЧастоты по МП\tЧастоты по МНК\tЧастоты по МННК");
    EXPECT_TRUE(startsWith(alleles[2], "2\tB ")) << alleles[2];
    EXPECT_TRUE(startsWith(alleles[4], "\tСумма\t")) << alleles[4];
    const std::vector<std::string> genotypes = section(run.out, "[genotypes]");
    ASSERT_EQ(genotypes.size(), 1u + 6 + 3);
    EXPECT_TRUE(startsWith(genotypes[9], "\tГетерозиготы")) << genotypes[9];
    EXPECT_EQ(section(run.out, "[tests]").size(), 3u);
    const std::vector<std::string> phenotypes = section(run.out, "[phenotypes]");
    ASSERT_EQ(phenotypes.size(), 6u);
    EXPECT_TRUE(startsWith(phenotypes[5], "\tСумма\t521\t")) << phenotypes[5];
    const std::vector<std::string> fit = section(run.out, "[fit]");
    ASSERT_EQ(fit.size(), 3u);
    EXPECT_TRUE(startsWith(fit[1], "МНК    Хи^2 =")) << fit[1];
    // [control]: the control window's allele grid, phenotype grid and summary, МНК chosen.
    const std::vector<std::string> control = section(run.out, "[control]");
    ASSERT_EQ(control.size(), 4u + 5 + 1);
    EXPECT_EQ(control[0], "№\tАллели\tЧастоты");
    EXPECT_EQ(control[2], "2\tB \t0.049");
    EXPECT_EQ(control[4], "№\tФенотип\tФакт\tРасчет\tГенотипический состав класса");
    EXPECT_TRUE(startsWith(control[6], "2\tA B \t13\t")) << control[6];
    EXPECT_EQ(control[9], fit[1].substr(fit[1].find("Хи")));
}

TEST(Calculator, SameSeedSameTexts)
{
    const CalculatorRun first = calculate({"--seed", "3", "t"}, aboTask);
    const CalculatorRun second = calculate({"--seed", "3", "t"}, aboTask);
    EXPECT_EQ(first.out, second.out);
}

TEST(Calculator, WritesUnroundedNumbersAsJson)
{
    const CalculatorRun run =
        calculate({"--seed", "1", "--json", "t"}, "allele A\nallele B\n36 A\n48 A B\n16 B\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"total\": 100,"), std::string::npos);
    EXPECT_NE(run.out.find("\"phenotypes\": [\"A\", \"A B\", \"B\"]"), std::string::npos);
    for (const char* key : {"\"ML\"", "\"LS\"", "\"NLS\""})
        EXPECT_NE(run.out.find(key), std::string::npos) << key;
    EXPECT_NE(run.out.find("\"degreesOfFreedom\": 2"), std::string::npos);
    EXPECT_NE(run.out.find("\"probability\": 1\n"), std::string::npos);
    EXPECT_NE(run.out.find("\"alleleFrequencies\": [0.6, 0.4]"), std::string::npos);
    // Unrounded: the ABO estimate by gene counting is 0.21359093909…, not 0.214.
    const CalculatorRun abo = calculate({"--seed", "1", "--json", "t"}, aboTask);
    EXPECT_NE(abo.out.find("\"alleleFrequencies\": [0.2135909390"), std::string::npos) << abo.out;
}

TEST(Calculator, RefusesBadInputWithExitCodeTwo)
{
    CalculatorRun run = calculate({"abo.txt"}, "allele A\nallele B\n5 C\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "abo.txt, строка 3: аллели не дают фенотипа «C»\n");
    run = calculate({"-"}, "allele A\nallele B\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "stdin: Введите фактическое поголовье фенотипов!\n");
}

} // namespace
