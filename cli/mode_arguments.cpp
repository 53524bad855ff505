#include "cli/mode_arguments.h"

std::optional<std::string> parseModeArguments(CLI::App& app,
                                              const std::vector<std::string>& arguments,
                                              const std::string& missingValue)
{
    // CLI11 takes a list of arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ExtrasError&) {
        return "неизвестный параметр " + app.remaining().front();
    } catch (const CLI::ParseError&) {
        return missingValue;
    }
    return std::nullopt;
}
