// The command line of one of velimor-calc's modes (--compare, --import, --parentage …) read
// by CLI11 into the options the mode has declared on its app. Entry point: parseModeArguments.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

// The problem (UTF-8) of an argument the mode does not know ("неизвестный параметр X") or of an
// option given without its value (missingValue), or nothing when all were read.
std::optional<std::string> parseModeArguments(CLI::App& app,
                                              const std::vector<std::string>& arguments,
                                              const std::string& missingValue);
