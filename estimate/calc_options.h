// The command line of velimor-calc and the whole run of the calculator over plain
// streams, so that tests call it as the program does. Entry points: parseCalcOptions,
// runCalculator.
#pragma once

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
    bool json = false;
    std::string taskFile; // "-" for standard input
};

// The usage line, for messages.
std::string calcUsage();

// Parses the arguments after the program name; a problem is returned as its message.
struct ParsedOptions
{
    CalcOptions options;
    std::string problem; // UTF-8; empty when the arguments are sound
};
ParsedOptions parseCalcOptions(const std::vector<std::string>& arguments);

// Reads the task from taskText (the file's contents), seeds the generator, calculates and
// writes the report to out, or one line naming the problem to err. Returns the exit code:
// 0 on success, 2 on bad input.
int runCalculator(const CalcOptions& options, std::string_view taskText, std::ostream& out,
                  std::ostream& err);
