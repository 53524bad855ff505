// The velimor-calc program itself: its exit codes and messages on bad input, standard
// input, JSON that a JSON reader accepts, and --version.
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace {

struct ProgramRun
{
    int exitCode = -1;
    std::string output; // standard output and standard error together
};

ProgramRun runCommand(const std::string& command)
{
    ProgramRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string program = VELIMOR_CALC;

TEST(CalcProgram, ExitsWithTwoNamingTheLine)
{
    const ScratchFolder folder;
    const std::string file =
        folder.writeText("velimor_bad_task.txt", "allele A\nallele B\n\n5 A B\n5 A B\n");
    const ProgramRun run = runCommand(program + " " + file);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output, file + ", строка 5: фенотип «A B» уже указан в строке 4\n");
}

TEST(CalcProgram, RefusesBadOptionsAndMissingFiles)
{
    ProgramRun run = runCommand(program + " --criterion 5 task.txt");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output, "после --criterion ожидается 1, 2 или 3\n"
                          "velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE] "
                          "TASKFILE\n"
                          "velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE] "
                          "--archive FOLDER --task NAME\n");
    run = runCommand(program + " /nonexistent/task.txt");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output, "/nonexistent/task.txt: не удается открыть файл задачи\n");
    run = runCommand(program + " --version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "velimor-calc " VELIMOR_VERSION "\n");
}

TEST(CalcProgram, ReadsStandardInputAndWritesJson)
{
    const ScratchFolder folder;
    const std::string file =
        folder.writeText("velimor_mn_task.txt", "allele M\nallele N\n119 M\n76 M N\n13 N\n");
    const ProgramRun run =
        runCommand(program + " --seed 4 --json - < " + file +
                   " | python3 -c 'import json, sys; d = json.load(sys.stdin); "
                   "print(d[\"total\"], d[\"criteria\"][\"ML\"][\"alleleFrequencies\"][0])'");
    EXPECT_EQ(run.exitCode, 0);
    // Gene counting: (2 × 119 + 76) / 416 = 0.7548076923…
    EXPECT_EQ(run.output.substr(0, 16), "208 0.7548076923");
}

} // namespace
