#include "compare/forensic_texts.h"

#include "estimate/number_text.h"
#include "estimate/statistics_texts.h"

namespace {

std::string probabilityText(const std::optional<double>& x)
{
    return x ? formatFixed(*x, 0, 5) : notDefinedText;
}

// The row of a figure: name, value and the interval's bounds (empty without one).
std::vector<std::string> row(const char* name, const std::optional<double>& value,
                             const std::optional<Interval>* interval = nullptr)
{
    std::vector<std::string> cells{name, probabilityText(value), "", ""};
    if (interval && *interval) {
        cells[2] = formatFixed((*interval)->first, 0, 5);
        cells[3] = formatFixed((*interval)->second, 0, 5);
    }
    return cells;
}

} // namespace

TextTable forensicTable(const SystemFigures& figures, const ForensicIntervals* intervals)
{
    const ForensicFigures& f = figures.forensic;
    const GeneDiversity& d = figures.diversity;
    const ForensicIntervals none;
    const ForensicIntervals& shown = intervals ? *intervals : none;
    TextTable table{{"Показатель", "Значение", "95% интервал: от", "до"}};
    table.push_back(row("Вероятность совпадения (MP)", f.matchProbability));
    table.push_back(
        row("Дискриминирующая сила (PD)", f.discriminationPower, &shown.discriminationPower));
    table.push_back(
        row("Вероятность исключения, мать известна (трио)", f.exclusionTrio, &shown.exclusionTrio));
    table.push_back(
        row("Вероятность исключения, без матери (дуэт)", f.exclusionDuo, &shown.exclusionDuo));
    table.push_back(row("Информативность полиморфизма (PIC)", f.polymorphicInformationContent));
    table.push_back(row("Гетерозиготность H", d.heterozygosity));
    table.push_back(row("Несмещенная гетерозиготность", d.unbiasedHeterozygosity));
    table.push_back(row("Стандартная ошибка H", d.standardError));
    table.push_back({"Эффективное число аллелей", formatFixed(d.effectiveAlleles, 0, 3), "", ""});
    return table;
}

TextSheet forensicSheet(const SystemFigures& figures, const ForensicIntervals* intervals)
{
    return {"Родство", {}, forensicTable(figures, intervals), {}};
}
