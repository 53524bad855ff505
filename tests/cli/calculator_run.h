// velimor-calc's whole run over strings, as the program makes it over its streams.
#pragma once

#include "cli/calc_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

struct CalculatorRun
{
    int exitCode = 0;
    std::string out;
    std::string err;
};

inline CalculatorRun calculate(const std::vector<std::string>& arguments,
                               const std::string& taskText)
{
    const ParsedOptions parsed = parseCalcOptions(arguments);
    EXPECT_EQ(parsed.problem, "");
    std::ostringstream out;
    std::ostringstream err;
    CalculatorRun run;
    run.exitCode = runCalculator(parsed.options, taskText, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}
