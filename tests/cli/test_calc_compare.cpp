// velimor-calc --compare over task files and over the archive tables: the text sections,
// the JSON keys with the test and the distances, the workbook's sheets, and the problems.
#include "cli/archive_calc.h"
#include "cli/calc_compare.h"
#include "cli/calc_output.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/near.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const char* const aboTask = "allele A\nallele B\nallele -\n"
                            "120 A\n40 B\n25 A B\n95 -\n";
const char* const otherAboTask = "allele A\nallele B\nallele -\n"
                                 "60 A\n90 B\n20 A B\n110 -\n";

struct CalcRun
{
    int code = 0;
    std::string out;
    std::string err;
};

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

CalcRun run(const std::vector<std::string>& arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCompareCalculator(arguments, out, err);
    return {code, out.str(), err.str()};
}

} // namespace

TEST(CalcCompare, TaskFilesAsTextAndJson)
{
    ScratchFolder folder;
    const std::string a = folder.file("a.txt");
    const std::string b = folder.file("b.txt");
    writeFile(a, aboTask);
    writeFile(b, otherAboTask);
    ASSERT_TRUE(comparisonRequested({a, "--compare"}));

    const CalcRun text = run({"--compare", "--seed", "5", a, b, a});
    ASSERT_EQ(text.code, 0) << text.err;
    for (const char* section :
         {"[populations]\n", "[homogeneity]\n", "[neiDistance]\n", "[chordDistance]\n", "[tree]\n"})
        EXPECT_NE(text.out.find(section), std::string::npos) << section;
    EXPECT_NE(text.out.find("\t4\t"), std::string::npos); // df = (3 − 1)(3 − 1)

    const CalcRun json = run({"--compare", "--json", "--seed", "5", a, a});
    ASSERT_EQ(json.code, 0) << json.err;
    const ReportJson document = ReportJson::parse(json.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : document.items())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"alleles", "populations", "pooled", "homogeneity",
                                              "neiDistance", "chordDistance", "tree",
                                              "differentiation", "reynoldsDistance",
                                              "pairwiseTests", "neighborJoiningTree"}));
    EXPECT_TRUE(near(document["homogeneity"]["gSquare"].get<double>(), 0, 1e-8));
    EXPECT_EQ(document["homogeneity"]["degreesOfFreedom"], 2);
    EXPECT_TRUE(near(document["neiDistance"][0][1].get<double>(), 0, 1e-9));
    EXPECT_EQ(document["populations"][1]["total"], 280);
    EXPECT_EQ(document["pooled"]["total"], 560);
    EXPECT_EQ(document["tree"], "(" + a + ":0," + a + ":0);");
    // Without --replicates: no intervals; two like samples do not differ.
    EXPECT_TRUE(document["differentiation"]["gst"]["interval"].is_null());
    EXPECT_TRUE(near(document["differentiation"]["jostD"]["value"].get<double>(), 0, 1e-9));
    EXPECT_TRUE(document["pairwiseTests"]["probability"][0][0].is_null());
    EXPECT_EQ(document["pairwiseTests"]["probability"][0][1], 1.0);
}

TEST(CalcCompare, StructureWithReplicatesAndTheDistanceFiles)
{
    ScratchFolder folder;
    const std::string a = folder.file("a.txt");
    const std::string b = folder.file("b.txt");
    writeFile(a, aboTask);
    writeFile(b, otherAboTask);
    const std::string phylip = folder.file("d.phy");
    const std::string mega = folder.file("d.meg");
    const std::string nexus = folder.file("d.nex");
    const CalcRun json =
        run({"--compare", "--json", "--seed", "3", "--replicates", "200", "--distance", "reynolds",
             "--phylip", phylip, "--mega", mega, "--nexus", nexus, a, b, a});
    ASSERT_EQ(json.code, 0) << json.err;
    const ReportJson document = ReportJson::parse(json.out);

    const ReportJson& first = document["populations"][0];
    const ReportJson& second = document["populations"][1];
    double homozygosity = 0;
    double shared = 0;
    double squares = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const double x = first["alleleFrequencies"][i].get<double>();
        const double y = second["alleleFrequencies"][i].get<double>();
        homozygosity += x * x;
        shared += x * y;
        squares += (x - y) * (x - y);
    }
    EXPECT_TRUE(near(first["diversity"]["heterozygosity"].get<double>(), 1 - homozygosity, 1e-12));
    EXPECT_TRUE(near(first["diversity"]["effectiveAlleles"].get<double>(), 1 / homozygosity, 1e-9));
    EXPECT_GT(first["diversity"]["standardError"].get<double>(), 0);
    const double reynolds = squares / (2 * (1 - shared));
    EXPECT_TRUE(near(document["reynoldsDistance"][0][1].get<double>(), reynolds, 1e-12));

    const ReportJson& gst = document["differentiation"]["gst"];
    ASSERT_EQ(gst["interval"].size(), 2u);
    EXPECT_LT(gst["interval"][0].get<double>(), gst["value"].get<double>());
    EXPECT_GT(gst["interval"][1].get<double>(), gst["value"].get<double>());
    // The two samples differ clearly; a sample against itself not at all.
    const ReportJson& tests = document["pairwiseTests"];
    EXPECT_LT(tests["probability"][0][1].get<double>(), 0.01);
    EXPECT_EQ(tests["probability"][0][2], 1.0);
    EXPECT_EQ(tests["holmAdjusted"][0][1].get<double>(),
              std::min(1.0, 3 * tests["probability"][0][1].get<double>()));
    // Support on the inner branches of both trees: the two copies of a always group.
    const std::string tree = document["tree"].get<std::string>();
    EXPECT_NE(tree.find(")100:"), std::string::npos) << tree;
    EXPECT_FALSE(document["neighborJoiningTree"].is_null());

    // The PHYLIP matrix read back holds the Reynolds distances.
    std::istringstream matrix(readFile(phylip));
    int count = 0;
    matrix >> count;
    ASSERT_EQ(count, 3);
    std::string line;
    std::getline(matrix, line);
    for (std::size_t row = 0; row < 3; ++row) {
        ASSERT_TRUE(std::getline(matrix, line));
        std::istringstream values(line.substr(10));
        for (std::size_t column = 0; column < 3; ++column) {
            double value = -1;
            values >> value;
            EXPECT_TRUE(near(value, document["reynoldsDistance"][row][column].get<double>(), 1e-8));
        }
    }
    EXPECT_NE(readFile(mega).find("#mega"), std::string::npos);
    const std::string nexusText = readFile(nexus);
    EXPECT_NE(nexusText.find("BEGIN DISTANCES;"), std::string::npos);
    EXPECT_NE(nexusText.find("TREE NJ = "), std::string::npos) << nexusText;

    const std::string wrongDistance = run({"--compare", "--distance", "fst", a, b}).err;
    EXPECT_EQ(wrongDistance.substr(0, wrongDistance.find('\n')),
              "после --distance ожидается nei, chord или reynolds");
    EXPECT_EQ(run({"--compare", "--replicates", "5", a, b}).code, 2);
}

TEST(CalcCompare, ArchivedTasksAndTheWorkbook)
{
    ScratchFolder folder;
    {
        ArchiveFiles files(std::filesystem::path(folder.file("SPISOK.DBF")).parent_path());
        saveTask(files.tables(), sampleTask("Stado 1", 3, 10));
        saveTask(files.tables(), sampleTask("Stado 2", 3, 30));
    }
    const std::string workbook = folder.file("out.xlsx");
    const std::string archive = std::filesystem::path(workbook).parent_path().string();
    const CalcRun archived = run({"--compare", "--archive", archive, "--task", "stado 1", "--task",
                                  "Stado 2", "--xlsx", workbook, "--json"});
    ASSERT_EQ(archived.code, 0) << archived.err;
    const ReportJson document = ReportJson::parse(archived.out);
    EXPECT_EQ(document["populations"][0]["name"], "stado 1");
    EXPECT_TRUE(document["tree"].get<std::string>().starts_with("('stado 1':"));
    // One sheet per table: the archive names them in its directory of parts.
    const std::string bytes = readFile(workbook);
    EXPECT_EQ(bytes.substr(0, 2), "PK");
    EXPECT_NE(bytes.find("xl/worksheets/sheet10.xml"), std::string::npos);
    EXPECT_EQ(bytes.find("xl/worksheets/sheet11.xml"), std::string::npos);
}

TEST(CalcCompare, Problems)
{
    ScratchFolder folder;
    const std::string a = folder.file("a.txt");
    const std::string mn = folder.file("mn.txt");
    writeFile(a, aboTask);
    writeFile(mn, "allele M\nallele N\n10 M\n20 M N\n10 N\n");
    const CalcRun mismatch = run({"--compare", a, mn});
    EXPECT_EQ(mismatch.code, 2);
    EXPECT_EQ(mismatch.err,
              "Список аллелей задачи «" + mn + "» не совпадает со списком задачи «" + a + "».\n");
    const CalcRun unknown = run({"--compare", "--bogus", a, a});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')), "неизвестный параметр --bogus");
    const CalcRun halfArchive = run({"--compare", "--archive", "x", a});
    EXPECT_EQ(halfArchive.err.substr(0, halfArchive.err.find('\n')),
              "--archive FOLDER и --task NAME указываются вместе");
    EXPECT_EQ(run({"--compare", a, folder.file("none.txt")}).err,
              folder.file("none.txt") + ": не удается открыть файл задачи\n");
}

TEST(CalcCompare, AnArchivedCountOutsideTheRuleIsToldNamingItsPhenotype)
{
    // Rows an older version or other software wrote: a negative count, one over the limit.
    ScratchFolder folder;
    const std::string archive =
        std::filesystem::path(folder.file("SPISOK.DBF")).parent_path().string();
    {
        ArchiveFiles files(archive);
        TaskRecord negative = sampleTask("Stado 1", 3, 10);
        negative.counts[1].count = -5;
        saveTask(files.tables(), negative);
        TaskRecord large = sampleTask("Stado 2", 3, 10);
        large.counts[3].count = 20000000;
        saveTask(files.tables(), large);
    }
    const CalcRun compared =
        run({"--compare", "--archive", archive, "--task", "Stado 2", "--task", "Stado 1"});
    EXPECT_EQ(compared.code, 2);
    EXPECT_EQ(compared.err,
              archive + ": поголовье фенотипа «-» (20000000) - не целое число от 0 до 19999999\n");
    CalcOptions options;
    options.archiveFolder = archive;
    options.taskName = "Stado 1";
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runArchiveCalculator(options, out, err), 2);
    EXPECT_EQ(err.str(),
              archive + ": поголовье фенотипа «A B» (-5) - не целое число от 0 до 19999999\n");
}
