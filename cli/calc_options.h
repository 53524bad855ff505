// The command line of velimor-calc and the whole run of the calculator over plain
// streams, so that tests call it as the program does. Entry points: parseCalcOptions,
// runCalculator.
#pragma once

#include "estimate/replicates.h"
#include "task/counted_task.h"
#include "task/task_state.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CalcOptions
{
    std::optional<std::uint64_t> seed; // without it the generator is seeded from the clock
    int criterion = 1;                 // the criterion of the control window's columns
    bool criterionGiven = false;       // --criterion was given
    bool json = false;
    std::string taskFile; // "-" for standard input
    // --archive FOLDER --task NAME: a task of the archive tables in FOLDER instead of a file.
    std::string archiveFolder;
    std::string taskName;
    // --xlsx FILE: the results workbook is written there too; with --stats the statistics one.
    std::string workbookFile;
    bool stats = false;                 // --stats: the statistics of the task follow the report
    int replicates = defaultReplicates; // --replicates B (with --stats), 100..100000
    // --forensic: the identification figures and the gene diversity follow, with --stats
    // also their bootstrap intervals.
    bool forensic = false;
    // Set by the program when standard error is a terminal: the replicate run shows its
    // progress there.
    bool progressOnTerminal = false;
};

// The --seed value: a whole decimal number, digits only; nothing for any other text.
std::optional<std::uint64_t> seedNumber(const std::string& text);

// Seeds the generator with the --seed value, or from the clock without one.
void seedGenerator(const std::optional<std::uint64_t>& seed);

// The usage lines, for messages.
std::string calcUsage();
// The usage lines of the comparison (--compare), for its messages and the help.
std::string compareUsage();

// Parses the arguments after the program name with CLI11; a problem is returned as its message.
struct ParsedOptions
{
    CalcOptions options;
    std::string problem; // UTF-8; empty when the arguments are sound
    // What --help or --version asks for, UTF-8: the program prints it and ends with 0.
    std::string information;
};
ParsedOptions parseCalcOptions(const std::vector<std::string>& arguments);

// Reads the task from taskText (the file's contents), seeds the generator, calculates and
// writes the report to out, or one line naming the problem to err. Returns the exit code:
// 0 on success, 2 on bad input, 1 when the results workbook cannot be written.
int runCalculator(const CalcOptions& options, std::string_view taskText, std::ostream& out,
                  std::ostream& err);

// The part of runCalculator after the task is read, for a task read otherwise: seeds the
// generator, calculates the task and reports it; source names the task in messages.
int calculateLoadedTask(const CalcOptions& options, const std::string& source, TaskState& task,
                        const CountedTask& loaded, std::ostream& out, std::ostream& err);
