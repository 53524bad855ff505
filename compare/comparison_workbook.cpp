#include "compare/comparison_workbook.h"

#include "export/text_sheets.h"

WorkbookFileResult writeComparisonWorkbook(const ComparisonTables& tables, const std::string& path)
{
    const std::vector<TextSheet> sheets = {
        {"Частоты", {}, tables.frequencies, {}},
        {"Однородность", {}, tables.homogeneity, {}},
        {"Расстояние Нея", {}, tables.nei, {}},
        {"Хордовое расстояние", {}, tables.chord, {}},
        {"Дерево", {}, tables.tree, {}},
        {"Разнообразие", {}, tables.diversity, {}},
        {"Дифференциация", {}, tables.differentiation, {}},
        {"Расстояние Рейнольдса", {}, tables.reynolds, {}},
        {"Попарные критерии", {}, tables.pairwiseTests, {}},
        {"Дерево ближайших соседей", {}, tables.neighborJoiningTree, {}}};
    return writeWorkbook(
        [&sheets](const std::string& file) { return writeTextSheets(sheets, file); }, path);
}
