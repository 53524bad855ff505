#include "estimate/text_table.h"

void appendRows(std::string& text, const TextTable& table)
{
    for (const auto& row : table) {
        for (std::size_t col = 0; col < row.size(); ++col) {
            if (col) text += '\t';
            text += row[col];
        }
        text += '\n';
    }
}
