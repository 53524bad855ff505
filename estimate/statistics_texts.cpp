#include "estimate/statistics_texts.h"

#include "estimate/number_text.h"
#include "platform/cp1251.h"

#include <algorithm>
#include <cmath>
#include <numeric>

const char* const notDefinedText = "не определено";

namespace {

std::string frequencyText(double x)
{
    return formatFixed(x, 7, 5);
}

std::string intervalText(double lower, double upper)
{
    return frequencyText(lower) + " – " + frequencyText(upper);
}

// A bootstrap error below it means the frequency did not move in resampling.
constexpr double stillError = 1e-9;

std::string quoted(const std::string& text)
{
    return "«" + text + "»";
}

std::string joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

// The first names of a list, so that a large task's warning stays a sentence.
std::string listed(const std::vector<std::string>& names)
{
    constexpr std::size_t shown = 5;
    if (names.size() <= shown) return joined(names, ", ");
    return joined({names.begin(), names.begin() + shown}, ", ") + " и еще " +
           std::to_string(names.size() - shown);
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
    TextTable table{
        {"Критерий", "Проверка", "Статистика", "Степеней свободы", "p", "p Монте-Карло"}};
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionStatistics& criterion = statistics.criteria[k];
        const MonteCarloProbabilities* monteCarlo =
            replicates ? &replicates->criteria[k].monteCarlo : nullptr;
        const auto monteCarloText = [monteCarlo](const std::optional<double>& p) {
            return monteCarlo ? probabilityText(p) : std::string();
        };
        const auto testRow = [&](const char* name, const ChiSquareTest& test,
                                 const std::optional<double>& p) {
            table.push_back({criterionNames[k], name, formatFixed(test.statistic, 0, 3),
                             degreesText(test.degreesOfFreedom), probabilityText(test.probability),
                             monteCarloText(p)});
        };
        table.push_back({criterionNames[k], "Хи^2 отчета (объединенные классы), p по таблице",
                         formatFixed(criterion.pooled.chiSquare, 0, 3),
                         integerText(criterion.pooled.degreesOfFreedom),
                         formatFixed(criterion.pooled.probability, 0, 3), "-"});
        testRow("Хи^2 отчета за вычетом оцененных частот", criterion.textbook,
                monteCarlo ? monteCarlo->pooled : std::nullopt);
        testRow("X^2 Пирсона по фенотипам", criterion.pearson,
                monteCarlo ? monteCarlo->pearson : std::nullopt);
        testRow("G^2 по фенотипам", criterion.likelihoodRatio,
                monteCarlo ? monteCarlo->likelihoodRatio : std::nullopt);
    }
    return table;
}

std::string saturationNote(const TaskStatistics& statistics)
{
    std::vector<std::string> saturated;
    for (std::size_t k = 0; k < 3; ++k)
        if (statistics.criteria[k].saturated()) saturated.push_back(criterionNames[k]);
    if (saturated.empty()) return {};
    const std::string subject = saturated.size() == 3
                                    ? "Модель насыщена"
                                    : "Модель по " + joined(saturated, " и ") + " насыщена";
    return subject + ": классов фенотипов (без пустых) не больше, чем аллелей, степеней "
                     "свободы не остается, и согласие, точное по построению, ничего не говорит "
                     "о законе Харди–Вайнберга.";
}

std::string bootstrapWarning(const TaskState& task, const TaskStatistics& statistics,
                             const ReplicateResult* replicates)
{
    std::vector<std::string> unseen;
    for (std::size_t r = 0; r < statistics.counts.size(); ++r)
        if (statistics.counts[r] == 0)
            unseen.push_back(
                quoted(cp1251ToUtf8(task.phenotypeNames[static_cast<int>(r) + 1].trimmed())));
    std::vector<std::string> fixed;
    if (replicates)
        for (int i = 1; i <= task.alleleCount; ++i) {
            const auto a = static_cast<std::size_t>(i - 1);
            for (const CriterionReplicates& criterion : replicates->criteria)
                if (criterion.standardErrors[a] < stillError) {
                    fixed.push_back(quoted(shownAlleleName(task, i)));
                    break;
                }
        }
    std::string warning;
    if (!unseen.empty())
        warning +=
            (unseen.size() == 1 ? "Фенотип " + unseen[0] + " в выборке не встречается"
                                : "Фенотипы " + listed(unseen) + " в выборке не встречаются") +
            ": бутстреп берет выборки только из наблюдавшихся фенотипов, и его ошибки "
            "и интервалы занижены; опирайтесь на интервал Вальда (МП), где он определен.";
    if (!fixed.empty()) {
        if (!warning.empty()) warning += " ";
        warning += (fixed.size() == 1 ? "Частота аллеля " + fixed[0] + " не меняется"
                                      : "Частоты аллелей " + listed(fixed) + " не меняются") +
                   " в повторениях бутстрепа: его нулевая ошибка ничего не говорит о точности; "
                   "опирайтесь на интервал Вальда (МП), где он определен.";
    }
    return warning;
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
