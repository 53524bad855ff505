#include "estimate/report_grids.h"

#include "estimate/number_text.h"
#include "platform/cp1251.h"

namespace {

// The allele and genotype grids: after the name, the frequencies by the three criteria.
GridLayout frequencies(const char* nameHeader, std::vector<std::string> summaries)
{
    return {{"№", nameHeader, "Частоты по МП", "Частоты по МНК", "Частоты по МННК"},
            std::move(summaries)};
}

// The test and phenotype grids: after the name, the observed count and the expected counts by
// the three criteria, then the same as frequencies.
GridLayout countsAndFrequencies(const char* nameHeader, std::vector<std::string> summaries)
{
    return {{"№", nameHeader, "Факт", "Расчет по МП", "Расчет по МНК", "Расчет по МННК",
             "Частота Факт", "Частота по МП", "Частота по МНК", "Частота по МННК"},
            std::move(summaries)};
}

} // namespace

const GridLayout& alleleReportLayout()
{
    static const GridLayout layout = frequencies("Аллели", {"Сумма"});
    return layout;
}

const GridLayout& genotypeReportLayout()
{
    static const GridLayout layout =
        frequencies("Генотипы", {"Сумма", "Гомозиготы", "Гетерозиготы"});
    return layout;
}

const GridLayout& testReportLayout()
{
    static const GridLayout layout = countsAndFrequencies("Тесты", {});
    return layout;
}

const GridLayout& phenotypeReportLayout()
{
    static const GridLayout layout = countsAndFrequencies("Фенотип", {"Сумма"});
    return layout;
}

const GridLayout& chosenAlleleLayout()
{
    static const GridLayout layout{{"№", "Аллели", "Частоты"}, {}};
    return layout;
}

const GridLayout& testListLayout()
{
    static const GridLayout layout{{"№", "Тесты"}, {}};
    return layout;
}

const GridLayout& phenotypeListLayout()
{
    static const GridLayout layout{
        {"№", "Фенотип", "Факт", "Расчет", "Генотипический состав класса"}, {}};
    return layout;
}

ShownTable numberedRows(const GridLayout& layout, const std::vector<Cp1251Text>& names)
{
    ShownTable table(1);
    for (const std::string& title : layout.headers)
        table[0].push_back(toCp1251(title));
    for (std::size_t r = 0; r < names.size(); ++r) {
        std::vector<Cp1251Text> row(layout.headers.size());
        row[0] = Cp1251Text::fromBytes(integerText(static_cast<std::int64_t>(r + 1)));
        row[1] = names[r];
        table.push_back(std::move(row));
    }
    for (const std::string& summary : layout.summaries) {
        std::vector<Cp1251Text> row(layout.headers.size());
        row[1] = toCp1251(summary);
        table.push_back(std::move(row));
    }
    return table;
}
