// Parentage and identification figures against a brute-force enumeration over the
// genotypes of mother, child and father written here, on small systems in codominance and
// in a dominance series; the paternity index and the gene diversity worked by hand.
#include "compare/forensic_figures.h"
#include "compare/gene_diversity.h"
#include "compare/paternity_case.h"
#include "compare/system_figures.h"
#include "estimate/fisher_information.h"
#include "tests/estimate/sample_tasks.h"
#include "tests/support/near.h"

#include <set>

namespace {

struct Enumerated
{
    long double trio = 0;
    long double duo = 0;
};

// Every genotype as (first, second, phenotype), 0-based, from the task's table.
struct Genotype
{
    int a;
    int b;
    int phenotype;
};

std::vector<Genotype> genotypes(const TaskState& task)
{
    std::vector<Genotype> list;
    for (int k = 1; k <= task.genotypeCount; ++k)
        list.push_back({task.genotypeFirstAllele[k] - 1, task.genotypeSecondAllele[k] - 1,
                        task.genotypePhenotype[k] - 1});
    return list;
}

int phenotypeOfPair(const std::vector<Genotype>& all, int x, int y)
{
    for (const Genotype& g : all)
        if ((g.a == x && g.b == y) || (g.a == y && g.b == x)) return g.phenotype;
    return -1;
}

// The exclusion probabilities from their definitions: every mother, child and father
// phenotype, and every genotype of each.
Enumerated enumerate(const TaskState& task, const std::vector<long double>& p)
{
    const std::vector<Genotype> all = genotypes(task);
    const int phenotypes = task.phenotypeCount;
    std::vector<long double> probability(all.size());
    std::vector<long double> phenotype(static_cast<std::size_t>(phenotypes));
    for (std::size_t k = 0; k < all.size(); ++k) {
        probability[k] = (all[k].a == all[k].b ? 1 : 2) * p[all[k].a] * p[all[k].b];
        phenotype[all[k].phenotype] += probability[k];
    }
    // canGive[m][f] = the child phenotypes that mother genotype-class m and father class f
    // can have; any mother when m = phenotypes.
    const auto children = [&](int m, int f) {
        std::set<int> result;
        for (const Genotype& gm : all)
            for (const Genotype& gf : all)
                if ((m == phenotypes || gm.phenotype == m) && gf.phenotype == f)
                    for (const int x : {gm.a, gm.b})
                        for (const int y : {gf.a, gf.b})
                            result.insert(phenotypeOfPair(all, x, y));
        return result;
    };
    Enumerated e;
    for (int m = 0; m < phenotypes; ++m)
        for (int c = 0; c < phenotypes; ++c) {
            long double pmc = 0; // mother m, a random father, child c
            for (std::size_t km = 0; km < all.size(); ++km)
                for (std::size_t kf = 0; kf < all.size(); ++kf)
                    if (all[km].phenotype == m)
                        for (const int x : {all[km].a, all[km].b})
                            for (const int y : {all[kf].a, all[kf].b})
                                if (phenotypeOfPair(all, x, y) == c)
                                    pmc += probability[km] * probability[kf] / 4;
            for (int f = 0; f < phenotypes; ++f)
                if (!children(m, f).count(c)) e.trio += pmc * phenotype[f];
        }
    for (int c = 0; c < phenotypes; ++c)
        for (int f = 0; f < phenotypes; ++f)
            if (!children(phenotypes, f).count(c)) e.duo += phenotype[c] * phenotype[f];
    return e;
}

void expectAsEnumerated(const TaskState& task, const std::vector<long double>& p)
{
    const ForensicFigures figures = ParentageSystem(task).figures(p);
    const Enumerated e = enumerate(task, p);
    EXPECT_TRUE(near(figures.exclusionTrio, e.trio, 1e-12));
    EXPECT_TRUE(near(figures.exclusionDuo, e.duo, 1e-12));
    EXPECT_TRUE(near(figures.discriminationPower, 1 - figures.matchProbability, 1e-15));
}

// The phenotype number (0-based) of a normalised name such as "M N ".
int phenotype(const TaskState& task, const std::string& name)
{
    for (int r = 1; r <= task.phenotypeCount; ++r)
        if (task.phenotypeNames[r].bytes() == name) return r - 1;
    ADD_FAILURE() << "no phenotype " << name;
    return 0;
}

} // namespace

TEST(ForensicFigures, MatchTheEnumerationInCodominanceAndDominance)
{
    TaskState task;
    // MN at p = q = ½: trio pq(1 − pq) = 0.1875, duo 2p²q² = 0.125; phenotypes ¼, ½, ¼.
    setUpTask(task, {"M", "N"});
    const ForensicFigures mn = ParentageSystem(task).figures({0.5L, 0.5L});
    EXPECT_TRUE(near(mn.exclusionTrio, 0.1875, 1e-15));
    EXPECT_TRUE(near(mn.exclusionDuo, 0.125, 1e-15));
    EXPECT_TRUE(near(mn.matchProbability, 0.375, 1e-15));
    // PIC = 1 − ½ − 2·(¼·¼) = 0.375.
    ASSERT_TRUE(mn.polymorphicInformationContent);
    EXPECT_TRUE(near(*mn.polymorphicInformationContent, 0.375, 1e-15));
    expectAsEnumerated(task, {0.3L, 0.7L});

    setUpTask(task, {"A", "B", "-"}); // ABO: A and B hide A/O and B/O
    expectAsEnumerated(task, {0.2945L, 0.1540L, 0.5515L});
    EXPECT_FALSE(
        ParentageSystem(task).figures({0.2945L, 0.1540L, 0.5515L}).polymorphicInformationContent);

    setUpTask(task, {"C", "Ch", "Cx", "-"}, InheritanceMode::dominance);
    expectAsEnumerated(task, {0.2L, 0.3L, 0.1L, 0.4L});

    // Alleles with several tests each: a b / b c shows as a b c like a b / c does.
    setUpTask(task, {"a b", "b c", "c", "-"});
    expectAsEnumerated(task, {0.25L, 0.15L, 0.2L, 0.4L});
    // An allele absent from the population.
    expectAsEnumerated(task, {0.5L, 0.0L, 0.2L, 0.3L});
}

TEST(PaternityCase, ExclusionsAndIndicesByHand)
{
    TaskState task;
    setUpTask(task, {"M", "N"});
    const ParentageSystem mn(task);
    const int mm = phenotype(task, "M "), mnp = phenotype(task, "M N "), nn = phenotype(task, "N ");
    const std::vector<long double> p = {0.6L, 0.4L};
    // Mother MM, child MN: the father gave N; an NN man gives it surely, a random man with
    // probability q, so PI = 1/q = 2.5. An MM man is excluded.
    SystemVerdict trio = judgeSystem(mn, p, {mm, mnp, nn});
    EXPECT_FALSE(trio.excluded);
    ASSERT_TRUE(trio.paternityIndex);
    EXPECT_TRUE(near(*trio.paternityIndex, 2.5, 1e-15));
    EXPECT_TRUE(judgeSystem(mn, p, {mm, mnp, mm}).excluded);
    EXPECT_TRUE(judgeSystem(mn, p, {mm, nn, nn}).motherIncompatible);
    // No mother: X = P(MN | father NN) = p, Y = P(MN) = 2pq, PI = 1/(2q) = 1.25.
    const SystemVerdict duo = judgeSystem(mn, p, {std::nullopt, mnp, nn});
    ASSERT_TRUE(duo.paternityIndex);
    EXPECT_TRUE(near(*duo.paternityIndex, 1.25, 1e-15));

    // ABO, mother O, child A, father AB: X = ½ (he gives A half the time); Y = p_A.
    setUpTask(task, {"A", "B", "-"});
    const ParentageSystem abo(task);
    const SystemVerdict a =
        judgeSystem(abo, {0.3L, 0.1L, 0.6L},
                    {phenotype(task, "- "), phenotype(task, "A "), phenotype(task, "A B ")});
    ASSERT_TRUE(a.paternityIndex);
    EXPECT_TRUE(near(*a.paternityIndex, 0.5 / 0.3, 1e-15));

    const CaseVerdict both = combineSystems({trio, a});
    EXPECT_FALSE(both.excluded);
    ASSERT_TRUE(both.combinedIndex);
    EXPECT_TRUE(near(*both.combinedIndex, 2.5 * 0.5 / 0.3, 1e-12));
    EXPECT_TRUE(
        near(*both.probabilityOfPaternity, *both.combinedIndex / (*both.combinedIndex + 1), 1e-15));
    const CaseVerdict excluded = combineSystems({trio, judgeSystem(mn, p, {mm, mnp, mm})});
    EXPECT_TRUE(excluded.excluded);
    EXPECT_FALSE(excluded.combinedIndex);
}

TEST(GeneDiversity, NeisCorrectionToFirstOrderForCodominantData)
{
    // MN counts 49, 42, 9 (N = 100): p = 0.7, V = pq/2N = 0.00105 on the diagonal, so
    // H = 0.42, H + tr V = 0.4221 (Nei's 2N/(2N − 1)·H = 0.42211), SE = √(4v(p − q)²).
    TaskState task;
    setUpTask(task, {"M", "N"});
    const std::vector<long double> p = {0.7L, 0.3L};
    const auto v = informationCovariance(task, p, {true, true}, 0, 100);
    ASSERT_TRUE(v);
    const GeneDiversity d = geneDiversity(p, v);
    EXPECT_TRUE(near(d.heterozygosity, 0.42, 1e-15));
    EXPECT_TRUE(near(d.effectiveAlleles, 1 / 0.58, 1e-12));
    ASSERT_TRUE(d.unbiasedHeterozygosity && d.standardError);
    EXPECT_TRUE(near(*d.unbiasedHeterozygosity, 0.4221, 1e-12));
    EXPECT_TRUE(near(*d.standardError, std::sqrt(4 * 0.00105 * 0.16), 1e-12));
    EXPECT_FALSE(geneDiversity(p, std::nullopt).standardError);
}

TEST(ForensicFigures, BootstrapIntervalsSurroundTheEstimate)
{
    // ABO, 521 individuals: each interval holds the figure at the estimate and has a width
    // of the order of its sampling error.
    TaskState task;
    setUpTask(task, {"A", "B", "-"});
    const std::vector<std::int64_t> counts = {186, 13, 38, 284};
    const std::vector<long double> estimate = {0.2136L, 0.0501L, 0.7363L};
    ReplicateSettings settings;
    settings.replicates = 300;
    settings.seed = 3;
    const ForensicIntervals intervals = forensicIntervals(task, counts, estimate, settings);
    const ForensicFigures point = systemFigures(task, estimate, 521).forensic;
    for (const auto& [interval, value] :
         {std::pair{intervals.discriminationPower, point.discriminationPower},
          {intervals.exclusionTrio, point.exclusionTrio},
          {intervals.exclusionDuo, point.exclusionDuo}}) {
        ASSERT_TRUE(interval);
        EXPECT_LT(interval->first, value);
        EXPECT_GT(interval->second, value);
        EXPECT_LT(interval->second - interval->first, 0.1);
    }
}
