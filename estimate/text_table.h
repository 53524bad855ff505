// Tables of UTF-8 cell texts, header row first, as the statistics and the comparison are
// shown in their windows and written by velimor-calc and into workbooks.
#pragma once

#include <string>
#include <vector>

using TextTable = std::vector<std::vector<std::string>>;

// Appends each row of the table as a line of tab-separated cells.
void appendRows(std::string& text, const TextTable& table);
