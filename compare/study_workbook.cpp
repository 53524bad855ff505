#include "compare/study_workbook.h"

#include "compare/comparison_report.h"
#include "estimate/number_text.h"
#include "estimate/statistics_texts.h"
#include "export/text_sheets.h"
#include "platform/cp1251.h"

#include <cmath>
#include <set>
#include <string_view>

namespace {

// A system's sheet name as spreadsheets take it: without []:*?/\, at most 31 characters (a
// label is Windows-1251, a byte a character), not the name of an earlier sheet.
std::string sheetName(const Cp1251Text& system, std::set<std::string>& taken)
{
    std::string name;
    const Cp1251Text label = system.trimmed();
    for (const char c : label.bytes())
        if (std::string_view("[]:*?/\\").find(c) == std::string_view::npos) name.push_back(c);
    for (int copy = 1;; ++copy) {
        const std::string suffix = copy == 1 ? "" : " (" + std::to_string(copy) + ")";
        const std::string utf8 =
            cp1251ToUtf8(Cp1251Text::fromBytes(name.substr(0, 31 - suffix.size()) + suffix));
        if (taken.insert(utf8).second) return utf8;
    }
}

void append(TextTable& sheet, const TextTable& table)
{
    if (!sheet.empty()) sheet.push_back({});
    sheet.insert(sheet.end(), table.begin(), table.end());
}

} // namespace

StudyTables studyTables(const PopulationStudy& study)
{
    StudyTables tables;
    std::set<std::string> taken = {"Расстояние Нея", "Однородность", "Деревья", "Идентификация"};
    for (const StudySystem& system : study.systems) {
        StudySystemTables& shown = tables.systems.emplace_back();
        shown.system = cp1251ToUtf8(system.shared.system.trimmed());
        shown.sheet = sheetName(system.shared.system, taken);
        shown.comparison = comparisonTables(system.report);
        shown.forensic = {{"Популяция", "Вероятность совпадения", "Сила различения",
                           "Вероятность исключения (трио)", "Вероятность исключения (дуэт)"}};
        for (std::size_t i = 0; i < study.populations.size(); ++i) {
            const ForensicFigures& f = system.figures[i].forensic;
            shown.forensic.push_back({study.populations[i], fiveDecimals(f.matchProbability),
                                      fiveDecimals(f.discriminationPower),
                                      fiveDecimals(f.exclusionTrio), fiveDecimals(f.exclusionDuo)});
        }
    }
    tables.neiDistance = matrixTable(study.populations, study.combined.neiDistance);
    const ChiSquareTest& g = study.combined.homogeneity;
    tables.homogeneity = {{"Критерий однородности по всем системам", "G", "Степеней свободы", "p"},
                          {"Отношение правдоподобия (МП)", formatFixed(g.statistic, 0, 3),
                           degreesText(g.degreesOfFreedom),
                           g.probability ? formatFixed(*g.probability, 0, 4) : notDefinedText}};
    tables.trees = {{"Дерево", "Newick"},
                    {"UPGMA по объединенному расстоянию Нея", study.upgma.newick},
                    {"Присоединение соседей по объединенному расстоянию Нея",
                     study.neighborJoining ? study.neighborJoining->newick : notDefinedText}};
    tables.forensic = {{"Популяция", "Общая вероятность исключения (трио)",
                        "Общая вероятность исключения (дуэт)", "Общая вероятность совпадения"}};
    for (std::size_t i = 0; i < study.populations.size(); ++i) {
        const CombinedForensic& f = study.combined.forensic[i];
        tables.forensic.push_back({study.populations[i], fiveDecimals(f.exclusionTrio),
                                   fiveDecimals(f.exclusionDuo), fiveDecimals(f.matchProbability)});
    }
    return tables;
}

WorkbookFileResult writeStudyWorkbook(const StudyTables& tables, const std::string& path)
{
    std::vector<TextSheet> sheets;
    for (const StudySystemTables& system : tables.systems) {
        TextSheet& sheet = sheets.emplace_back();
        sheet.name = system.sheet;
        sheet.above = {"Система: " + system.system};
        for (const TextTable* table :
             {&system.comparison.frequencies, &system.forensic, &system.comparison.homogeneity,
              &system.comparison.nei, &system.comparison.chord, &system.comparison.tree})
            append(sheet.table, *table);
    }
    sheets.push_back({"Расстояние Нея", {"Объединенное по всем системам"}, tables.neiDistance, {}});
    sheets.push_back({"Однородность", {}, tables.homogeneity, {}});
    sheets.push_back({"Деревья", {}, tables.trees, {}});
    sheets.push_back({"Идентификация", {}, tables.forensic, {}});
    return writeWorkbook(
        [&sheets](const std::string& file) { return writeTextSheets(sheets, file); }, path);
}
