#include "estimate/statistics_texts.h"

#include "estimate/number_text.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <cmath>
#include <numeric>

const char* const notDefinedText = "не определено";

namespace {

const std::array<const char*, 3> criterionNames = {"МП", "МНК", "МННК"};

std::string frequencyText(double x)
{
    return formatFixed(x, 7, 5);
}

std::string intervalText(double lower, double upper)
{
    return frequencyText(lower) + " – " + frequencyText(upper);
}

std::string probabilityText(const std::optional<double>& p)
{
    return p ? formatFixed(*p, 6, 4) : notDefinedText;
}

std::string errorGapText(ErrorGap gap)
{
    return std::string(notDefinedText) +
           (gap == ErrorGap::boundary ? " (частота на границе)" : " (матрица вырождена)");
}

} // namespace

std::string degreesText(const std::optional<int>& df)
{
    return df ? integerText(*df) : notDefinedText;
}

std::string shownAlleleName(const TaskState& task, int i)
{
    return cp1251ToUtf8(task.alleleNames[i].trimmed());
}

TextTable alleleStatisticsTable(const TaskState& task, const TaskStatistics& statistics,
                                const ReplicateResult* replicates)
{
    TextTable table{{"№", "Аллели"}};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string name = criterionNames[k];
        auto& header = table[0];
        header.push_back(name);
        if (k == 0) {
            header.push_back("СО " + name);
            header.push_back("95% интервал " + name + " (Вальд)");
        }
        header.push_back("СО " + name + " (бутстреп)");
        header.push_back("95% интервал " + name + " (бутстреп)");
    }
    for (int i = 1; i <= task.alleleCount; ++i) {
        const auto a = static_cast<std::size_t>(i - 1);
        std::vector<std::string> row{integerText(i), shownAlleleName(task, i)};
        for (std::size_t k = 0; k < 3; ++k) {
            const CriterionStatistics& criterion = statistics.criteria[k];
            row.push_back(frequencyText(static_cast<double>(criterion.frequencies[a])));
            if (k == 0) {
                const AlleleError& error = criterion.standardErrors[a];
                if (error.gap == ErrorGap::none) {
                    row.push_back(frequencyText(error.standardError));
                    row.push_back(intervalText(error.lower, error.upper));
                } else {
                    row.push_back(errorGapText(error.gap));
                    row.push_back(errorGapText(error.gap));
                }
            }
            if (replicates) {
                const CriterionReplicates& bootstrap = replicates->criteria[k];
                row.push_back(frequencyText(bootstrap.standardErrors[a]));
                row.push_back(
                    intervalText(bootstrap.intervals[a].first, bootstrap.intervals[a].second));
            } else {
                row.insert(row.end(), 2, std::string());
            }
        }
        table.push_back(std::move(row));
    }
    return table;
}

TextTable fitStatisticsTable(const TaskStatistics& statistics, const ReplicateResult* replicates)
{
    TextTable table{{"Критерий", "Хи^2", "Степеней свободы", "p по таблице",
                     "Степеней свободы за вычетом оцененных частот", "p", "G^2",
                     "Степеней свободы G^2", "p G^2", "p Монте-Карло"}};
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionStatistics& criterion = statistics.criteria[k];
        std::vector<std::string> row{criterionNames[k],
                                     formatFixed(criterion.pooled.chiSquare, 0, 3),
                                     integerText(criterion.pooled.degreesOfFreedom),
                                     formatFixed(criterion.pooled.probability, 0, 3),
                                     degreesText(criterion.textbook.degreesOfFreedom),
                                     probabilityText(criterion.textbook.probability)};
        if (criterion.likelihoodRatio) {
            row.push_back(formatFixed(criterion.likelihoodRatio->statistic, 0, 3));
            row.push_back(degreesText(criterion.likelihoodRatio->degreesOfFreedom));
            row.push_back(probabilityText(criterion.likelihoodRatio->probability));
        } else {
            row.insert(row.end(), 3, "-");
        }
        row.push_back(replicates ? probabilityText(replicates->criteria[k].monteCarloProbability)
                                 : std::string());
        table.push_back(std::move(row));
    }
    return table;
}

TextTable residualTable(const TaskState& task, const TaskStatistics& statistics, int criterion,
                        bool largestFirst)
{
    TextTable table{{"№", "Фенотип", "Факт"}};
    for (const char* name : criterionNames) {
        table[0].push_back(std::string("Расчет по ") + name);
        table[0].push_back(std::string("Остаток по ") + name);
    }
    std::vector<std::size_t> order(statistics.counts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (largestFirst) {
        const auto& residuals = statistics.criteria[static_cast<std::size_t>(criterion)].residuals;
        std::stable_sort(order.begin(), order.end(), [&residuals](std::size_t a, std::size_t b) {
            return std::fabs(residuals[a]) > std::fabs(residuals[b]);
        });
    }
    const auto total = static_cast<long double>(statistics.total);
    for (const std::size_t r : order) {
        std::vector<std::string> row{
            integerText(static_cast<std::int64_t>(r + 1)),
            cp1251ToUtf8(task.phenotypeNames[static_cast<std::size_t>(r + 1)].trimmed()),
            integerText(statistics.counts[r])};
        for (const CriterionStatistics& c : statistics.criteria) {
            row.push_back(formatFixed(total * c.expected[r], 0, 2));
            row.push_back(formatFixed(c.residuals[r], 0, 3));
        }
        table.push_back(std::move(row));
    }
    return table;
}

std::string monteCarloNote()
{
    return "Строка «Хи^2» отчета объединяет редкие фенотипы не более чем в 31 класс и читает p "
           "по таблице, поэтому на больших задачах ее p бывает занижено даже при законе "
           "Харди–Вайнберга; p Монте-Карло той же статистики показывает, можно ли ему верить.";
}
