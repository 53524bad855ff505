#include "compare/multilocus.h"

#include "platform/cp1251.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

namespace {

Cp1251Text labelKey(const Cp1251Text& label)
{
    return label.upper().trimmed();
}

std::string quoted(const Cp1251Text& text)
{
    return "«" + cp1251ToUtf8(text.trimmed()) + "»";
}

// What tells two systems apart: the label's key, the allele list and the mode.
using SystemKey = std::tuple<Cp1251Text, std::vector<Cp1251Text>, int>;

} // namespace

SharedSystems sharedSystems(const std::vector<LabelledTask>& tasks,
                            const std::vector<Cp1251Text>& populations)
{
    SharedSystems shared;
    if (populations.size() < 2) {
        shared.problem = "Для сравнения нужно не меньше двух популяций.";
        return shared;
    }
    std::map<Cp1251Text, std::size_t> chosen; // population key → its place
    for (std::size_t p = 0; p < populations.size(); ++p)
        if (!chosen.emplace(labelKey(populations[p]), p).second) {
            shared.problem = "Популяция " + quoted(populations[p]) + " выбрана дважды.";
            return shared;
        }

    std::map<SystemKey, std::vector<std::optional<std::size_t>>> systems;
    std::vector<bool> found(populations.size(), false);
    for (std::size_t t = 0; t < tasks.size(); ++t) {
        const LabelledTask& task = tasks[t];
        if (task.system.trimmed().empty()) continue;
        const auto place = chosen.find(labelKey(task.population));
        if (place == chosen.end()) continue;
        found[place->second] = true;
        auto& members = systems[{labelKey(task.system), task.alleles, static_cast<int>(task.mode)}];
        members.resize(populations.size());
        if (std::optional<std::size_t>& member = members[place->second]; member) {
            shared.problem = "У популяции " + quoted(populations[place->second]) +
                             " две задачи системы " + quoted(task.system) + ": " +
                             quoted(tasks[*member].name) + " и " + quoted(task.name) + ".";
            return shared;
        } else {
            member = t;
        }
    }
    for (std::size_t p = 0; p < populations.size(); ++p)
        if (!found[p]) {
            shared.problem =
                "В архиве нет задач популяции " + quoted(populations[p]) + " с названием системы.";
            return shared;
        }
    for (const auto& [key, members] : systems) {
        if (std::any_of(members.begin(), members.end(), [](const auto& m) { return !m; })) continue;
        SharedSystem system{
            {}, std::get<1>(key), static_cast<InheritanceMode>(std::get<2>(key)), {}};
        for (const auto& member : members)
            system.tasks.push_back(*member);
        system.system = tasks[*std::min_element(system.tasks.begin(), system.tasks.end())].system;
        shared.systems.push_back(std::move(system));
    }
    if (shared.systems.empty())
        shared.problem = "У выбранных популяций нет общей системы (одного названия системы, "
                         "списка аллелей и типа наследования).";
    return shared;
}

DistanceMatrix multilocusNeiDistance(const std::vector<std::vector<Frequencies>>& frequencies)
{
    const std::size_t n = frequencies.empty() ? 0 : frequencies.front().size();
    DistanceMatrix matrix(n, std::vector<double>(n, 0));
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b) {
            long double jx = 0;
            long double jy = 0;
            long double jxy = 0;
            for (const std::vector<Frequencies>& system : frequencies) {
                const Frequencies& x = system[a];
                const Frequencies& y = system[b];
                for (std::size_t i = 0; i < x.size(); ++i) {
                    jx += x[i] * x[i];
                    jy += y[i] * y[i];
                    jxy += x[i] * y[i];
                }
            }
            matrix[a][b] = matrix[b][a] =
                jxy <= 0 ? std::numeric_limits<double>::infinity()
                         : static_cast<double>(std::max(0.0L, -std::log(jxy / std::sqrt(jx * jy))));
        }
    return matrix;
}

ChiSquareTest combinedHomogeneity(const std::vector<ChiSquareTest>& systems)
{
    ChiSquareTest combined;
    int degreesOfFreedom = 0;
    for (const ChiSquareTest& system : systems) {
        combined.statistic += system.statistic;
        degreesOfFreedom += system.degreesOfFreedom.value_or(0);
    }
    if (degreesOfFreedom > 0) {
        combined.degreesOfFreedom = degreesOfFreedom;
        combined.probability = chiSquareUpperTail(combined.statistic, degreesOfFreedom);
    }
    return combined;
}

CombinedForensic combinedForensic(const std::vector<ForensicFigures>& systems)
{
    long double trio = 1;
    long double duo = 1;
    long double match = 1;
    for (const ForensicFigures& system : systems) {
        trio *= 1 - static_cast<long double>(system.exclusionTrio);
        duo *= 1 - static_cast<long double>(system.exclusionDuo);
        match *= system.matchProbability;
    }
    return {static_cast<double>(1 - trio), static_cast<double>(1 - duo),
            static_cast<double>(match)};
}

MultilocusComparison combineSystems(const std::vector<PopulationComparison>& comparisons,
                                    const std::vector<std::vector<ForensicFigures>>& forensic)
{
    MultilocusComparison combined;
    std::vector<std::vector<Frequencies>> frequencies;
    std::vector<ChiSquareTest> tests;
    for (const PopulationComparison& comparison : comparisons) {
        std::vector<Frequencies>& system = frequencies.emplace_back();
        for (const PopulationEstimate& population : comparison.populations)
            system.push_back(population.frequencies);
        tests.push_back(comparison.homogeneity);
    }
    combined.neiDistance = multilocusNeiDistance(frequencies);
    combined.homogeneity = combinedHomogeneity(tests);
    const std::size_t populations = forensic.empty() ? 0 : forensic.front().size();
    for (std::size_t i = 0; i < populations; ++i) {
        std::vector<ForensicFigures> own;
        for (const std::vector<ForensicFigures>& system : forensic)
            own.push_back(system[i]);
        combined.forensic.push_back(combinedForensic(own));
    }
    return combined;
}
