// Populations compared over the systems they share: the grouping of labelled tasks into
// systems, and the combination worked by hand on two codominant systems (A, B and A, B, C) and
// three populations of 100 whose genotype counts are exactly in Hardy–Weinberg proportions, so
// that each estimate is the gene count: x = (0.6, 0.4 | 0.5, 0.3, 0.2), y = (0.5, 0.5 | 0.4,
// 0.4, 0.2), z = (0.2, 0.8 | 0.1, 0.1, 0.8).
#include "compare/multilocus.h"
#include "platform/cp1251.h"
#include "platform/random.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <cmath>

namespace {

// The sample of a population with its genotype counts by phenotype name.
PopulationSample sample(std::initializer_list<const char*> alleles,
                        const std::map<std::string, std::int64_t>& genotypes)
{
    PopulationSample result;
    result.task = std::make_unique<TaskState>();
    setUpTask(*result.task, alleles);
    for (int r = 1; r <= result.task->phenotypeCount; ++r)
        result.counts.push_back(
            genotypes.at(cp1251ToUtf8(result.task->phenotypeNames[r].trimmed())));
    return result;
}

LabelledTask labelled(const char* population, const char* system, std::vector<const char*> alleles,
                      const char* name)
{
    LabelledTask task{
        toCp1251(population), toCp1251(system), {}, InheritanceMode::codominance, toCp1251(name)};
    for (const char* allele : alleles)
        task.alleles.push_back(toCp1251(allele));
    return task;
}

} // namespace

TEST(Multilocus, TwoSystemsAndThreePopulationsByHand)
{
    std::vector<PopulationSample> ab, abc;
    ab.push_back(sample({"A", "B"}, {{"A", 36}, {"A B", 48}, {"B", 16}}));
    ab.push_back(sample({"A", "B"}, {{"A", 25}, {"A B", 50}, {"B", 25}}));
    ab.push_back(sample({"A", "B"}, {{"A", 4}, {"A B", 32}, {"B", 64}}));
    abc.push_back(sample({"A", "B", "C"},
                         {{"A", 25}, {"B", 9}, {"C", 4}, {"A B", 30}, {"A C", 20}, {"B C", 12}}));
    abc.push_back(sample({"A", "B", "C"},
                         {{"A", 16}, {"B", 16}, {"C", 4}, {"A B", 32}, {"A C", 16}, {"B C", 16}}));
    abc.push_back(sample({"A", "B", "C"},
                         {{"A", 1}, {"B", 1}, {"C", 64}, {"A B", 2}, {"A C", 16}, {"B C", 16}}));
    seedRandom(27);
    std::vector<PopulationComparison> comparisons;
    std::vector<std::vector<ForensicFigures>> forensic;
    for (const std::vector<PopulationSample>* system : {&ab, &abc}) {
        comparisons.push_back(comparePopulations(*system));
        const ParentageSystem parentage(*system->front().task);
        forensic.emplace_back();
        for (const PopulationEstimate& population : comparisons.back().populations)
            forensic.back().push_back(parentage.figures(population.frequencies));
    }
    const MultilocusComparison combined = combineSystems(comparisons, forensic);

    // ΣJx = 0.52 + 0.38 = 0.90, ΣJy = 0.50 + 0.36 = 0.86, ΣJz = 0.68 + 0.66 = 1.34,
    // ΣJxy = 0.86, ΣJxz = 0.68, ΣJyz = 0.74; D = −ln(ΣJxy / √(ΣJx ΣJy)).
    const double dxy = -std::log(0.86 / std::sqrt(0.90 * 0.86)); // 0.022731187
    const double dxz = -std::log(0.68 / std::sqrt(0.90 * 1.34)); // 0.479317030
    const double dyz = -std::log(0.74 / std::sqrt(0.86 * 1.34)); // 0.372028455
    EXPECT_TRUE(near(combined.neiDistance[0][1], dxy, 1e-6));
    EXPECT_TRUE(near(combined.neiDistance[0][2], dxz, 1e-6));
    EXPECT_TRUE(near(combined.neiDistance[2][1], dyz, 1e-6));
    EXPECT_EQ(combined.neiDistance[1][1], 0);

    // G = 2 Σ c ln(E(p_i) / E(p̄)) over the genotypes, p̄ the pooled gene counts: 74.453610 for
    // A, B and 212.784319 for A, B, C; df 2 + 4; for df 6, P = e^(−G/2)(1 + G/2 + (G/2)²/2).
    const double g = 74.45360971 + 212.78431888;
    EXPECT_TRUE(near(combined.homogeneity.statistic, g, 1e-4));
    EXPECT_EQ(combined.homogeneity.degreesOfFreedom, 6);
    const double p = std::exp(-g / 2) * (1 + g / 2 + g * g / 8); // 4.43116e-59
    EXPECT_TRUE(near(*combined.homogeneity.probability / p, 1, 1e-4));

    // Codominance: PE trio = Σp(1−p)² − ½ΣΣ_{i≠j} p_i²p_j²(4 − 3p_i − 3p_j), PE duo =
    // Σp²(1−p)² + Σ_{i<j} 2p_ip_j(1 − p_i − p_j)², MP = Σ over genotypes of P². For x:
    // trio 0.1824 and 0.336, duo 0.1152 and 0.1922, MP 0.3856 and 0.2166.
    ASSERT_EQ(combined.forensic.size(), 3u);
    EXPECT_TRUE(near(combined.forensic[0].exclusionTrio, 1 - (1 - 0.1824) * (1 - 0.336), 1e-6));
    EXPECT_TRUE(near(combined.forensic[0].exclusionDuo, 1 - (1 - 0.1152) * (1 - 0.1922), 1e-6));
    EXPECT_TRUE(near(combined.forensic[0].matchProbability, 0.3856 * 0.2166, 1e-6));
    // y: trio 0.1875 and 0.34688, duo 0.125 and 0.2048, MP 0.375 and 0.2064.
    EXPECT_TRUE(near(combined.forensic[1].exclusionTrio, 0.46934, 1e-6));
    EXPECT_TRUE(near(combined.forensic[1].exclusionDuo, 0.3042, 1e-6));
    EXPECT_TRUE(near(combined.forensic[1].matchProbability, 0.0774, 1e-6));
    // z: trio 0.1344 and 0.17702, duo 0.0512 and 0.0578, MP 0.5136 and 0.4614.
    EXPECT_TRUE(near(combined.forensic[2].exclusionTrio, 0.287628512, 1e-6));
    EXPECT_TRUE(near(combined.forensic[2].exclusionDuo, 0.10604064, 1e-6));
    EXPECT_TRUE(near(combined.forensic[2].matchProbability, 0.23697504, 1e-6));

    // A system without degrees of freedom adds its G only; none at all gives no p.
    const ChiSquareTest alone = combinedHomogeneity({{1.5, std::nullopt, std::nullopt}});
    EXPECT_EQ(alone.degreesOfFreedom, std::nullopt);
    EXPECT_EQ(alone.probability, std::nullopt);
    EXPECT_TRUE(std::isinf(multilocusNeiDistance({{{1, 0}, {0, 1}}})[0][1]));
}

TEST(Multilocus, TheSystemsAreThoseEveryChosenPopulationHas)
{
    const std::vector<LabelledTask> tasks = {
        labelled("Стадо 1", "ABO", {"A", "B", "- "}, "1 ABO"),
        labelled(" стадо 2", "abo", {"A", "B", "- "}, "2 ABO"),
        labelled("Стадо 1", "MN", {"M", "N"}, "1 MN"),
        labelled("Стадо 2", "MN", {"M", "N", "S"}, "2 MN"), // other alleles: another system
        labelled("Стадо 1", "Kell", {"K", "k"}, "1 Kell"),
        labelled("Стадо 2", "Kell", {"K", "k"}, "2 Kell"),
        labelled("Стадо 3", "Kell", {"K", "k"}, "3 Kell"),
        labelled("Стадо 2", "", {"K", "k"}, "without a system"),
    };
    const SharedSystems shared = sharedSystems(tasks, {toCp1251("СТАДО 2"), toCp1251("Стадо 1")});
    ASSERT_FALSE(shared.problem) << *shared.problem;
    ASSERT_EQ(shared.systems.size(), 2u);
    EXPECT_EQ(shared.systems[0].system, toCp1251("ABO"));
    EXPECT_EQ(shared.systems[0].tasks, (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(shared.systems[1].system, toCp1251("Kell"));
    EXPECT_EQ(shared.systems[1].tasks, (std::vector<std::size_t>{5, 4}));

    const auto problem = [&](std::vector<LabelledTask> with, std::vector<const char*> chosen) {
        std::vector<Cp1251Text> populations;
        for (const char* population : chosen)
            populations.push_back(toCp1251(population));
        return sharedSystems(with, populations).problem.value_or("");
    };
    EXPECT_EQ(problem(tasks, {"Стадо 1"}), "Для сравнения нужно не меньше двух популяций.");
    EXPECT_EQ(problem(tasks, {"Стадо 1", "стадо 1"}), "Популяция «стадо 1» выбрана дважды.");
    EXPECT_EQ(problem(tasks, {"Стадо 1", "Стадо 4"}),
              "В архиве нет задач популяции «Стадо 4» с названием системы.");
    std::vector<LabelledTask> twice = tasks;
    twice.push_back(labelled("Стадо 1", "KELL", {"K", "k"}, "1 Kell again"));
    EXPECT_EQ(problem(twice, {"Стадо 1", "Стадо 3"}),
              "У популяции «Стадо 1» две задачи системы «KELL»: «1 Kell» и «1 Kell again».");
    EXPECT_EQ(problem({tasks[2], tasks[3]}, {"Стадо 1", "Стадо 2"}),
              "У выбранных популяций нет общей системы (одного названия системы, списка аллелей и "
              "типа наследования).");
}
