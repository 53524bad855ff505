// Phenotype generation in both inheritance modes, the genotype table it builds, the
// genotype names and class texts, the limit guard, and the stability of the phenotype
// order that the archive's stored counts rely on.
#include "task/allele_check.h"
#include "task/phenotypes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A task whose allele list is already normalised, as the allele check leaves it.
std::unique_ptr<TaskState> taskWithAlleles(std::initializer_list<std::string> names)
{
    auto task = std::make_unique<TaskState>();
    for (const std::string& name : names)
        task->alleleNames[++task->alleleCount] = Cp1251Text::fromBytes(name);
    return task;
}

std::vector<std::string> phenotypes(const TaskState& task)
{
    std::vector<std::string> names;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        names.push_back(task.phenotypeNames[r].bytes());
    return names;
}

std::vector<int> genotypePhenotypes(const TaskState& task)
{
    return {task.genotypePhenotype.begin() + 1,
            task.genotypePhenotype.begin() + 1 + task.genotypeCount};
}

std::vector<std::pair<int, int>> genotypePairs(const TaskState& task)
{
    std::vector<std::pair<int, int>> pairs;
    for (int k = 1; k <= task.genotypeCount; ++k)
        pairs.emplace_back(task.genotypeFirstAllele[k], task.genotypeSecondAllele[k]);
    return pairs;
}

std::vector<std::string> classTexts(const TaskState& task)
{
    std::vector<std::string> texts;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        texts.push_back(genotypeClassText(task, r).bytes());
    return texts;
}

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;
using Pairs = std::vector<std::pair<int, int>>;

} // namespace

TEST(Phenotypes, CodominanceUnitesTheTestsOfBothAlleles)
{
    auto task = taskWithAlleles({"A ", "B ", "- "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    EXPECT_EQ(genotypePairs(*task), (Pairs{{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {3, 3}}));
    EXPECT_EQ(phenotypes(*task), (Strings{"A ", "A B ", "B ", "- "}));
    EXPECT_EQ(genotypePhenotypes(*task), (Ints{1, 2, 1, 3, 3, 4}));
    Strings names;
    for (int k = 1; k <= task->genotypeCount; ++k)
        names.push_back(genotypeName(*task, k).bytes());
    EXPECT_EQ(names, (Strings{"A/A", "A/B", "A/-", "B/B", "B/-", "-/-"}));
    EXPECT_EQ(classTexts(*task), (Strings{"(A/A), (A/-)", "(A/B)", "(B/B), (B/-)", "(-/-)"}));
}

TEST(Phenotypes, MinusAlleleFirstContributesNoTest)
{
    // The minus allele as the first of a pair empties the working text before the second
    // allele's tests are added to it.
    auto task = taskWithAlleles({"- ", "B C ", "A "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    EXPECT_EQ(phenotypes(*task), (Strings{"- ", "B C ", "A ", "A B C "}));
    EXPECT_EQ(genotypePhenotypes(*task), (Ints{1, 2, 3, 2, 4, 3}));
    EXPECT_EQ(classTexts(*task),
              (Strings{"(-/-)", "(-/B C), (B C/B C)", "(-/A), (A/A)", "(B C/A)"}));
}

TEST(Phenotypes, DominanceShowsTheDominantAlleleOnly)
{
    auto task = taskWithAlleles({"A ", "B ", "- "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::dominance));
    EXPECT_EQ(genotypePairs(*task), (Pairs{{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {3, 3}}));
    EXPECT_EQ(phenotypes(*task), (Strings{"A ", "B ", "- "}));
    EXPECT_EQ(genotypePhenotypes(*task), (Ints{1, 1, 1, 2, 2, 3}));
    EXPECT_EQ(classTexts(*task), (Strings{"(A/A), (A/B), (A/-)", "(B/B), (B/-)", "(-/-)"}));

    // Overlapping alleles stay apart: the phenotype is allele i's own name, never a union.
    auto overlapping = taskWithAlleles({"A B ", "B C ", "- ", "A "});
    ASSERT_TRUE(generatePhenotypes(*overlapping, InheritanceMode::dominance));
    EXPECT_EQ(phenotypes(*overlapping), (Strings{"A B ", "B C ", "- ", "A "}));
    EXPECT_EQ(genotypePhenotypes(*overlapping), (Ints{1, 1, 1, 1, 2, 2, 2, 3, 3, 4}));
}

TEST(Phenotypes, OverlappingAllelesShareTheUnionFoundBySearch)
{
    auto task = taskWithAlleles({"A B ", "B C "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    EXPECT_EQ(phenotypes(*task), (Strings{"A B ", "A B C ", "B C "}));

    // A third allele "A C " gives for the pair (1,3) the same union, not a new phenotype.
    auto three = taskWithAlleles({"A B ", "B C ", "A C "});
    ASSERT_TRUE(generatePhenotypes(*three, InheritanceMode::codominance));
    EXPECT_EQ(phenotypes(*three), (Strings{"A B ", "A B C ", "B C ", "A C "}));
    EXPECT_EQ(genotypePhenotypes(*three), (Ints{1, 2, 2, 3, 2, 4}));
    EXPECT_EQ(genotypeClassText(*three, 2).bytes(), "(A B/B C), (A B/A C), (B C/A C)");
}

TEST(Phenotypes, TestNamesKeepTheirCaseAndSortByByte)
{
    auto task = taskWithAlleles({"a ", "A "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    EXPECT_EQ(phenotypes(*task), (Strings{"a ", "A a ", "A "}));

    // Windows-1251: digits before Latin capitals before Latin small letters before
    // Cyrillic (\xC0 is А, \xE0 is а); a name that is a prefix of another sorts first.
    auto mixed = taskWithAlleles({"\xE0 ", "a \xC0 ", "A1 ", "A "});
    ASSERT_TRUE(generatePhenotypes(*mixed, InheritanceMode::codominance));
    EXPECT_EQ(mixed->phenotypeNames[2].bytes(), "a \xC0 \xE0 ");
    EXPECT_EQ(mixed->phenotypeNames[3].bytes(), "A1 \xE0 ");
    EXPECT_EQ(mixed->phenotypeNames[4].bytes(), "A \xE0 ");
    EXPECT_EQ(mixed->phenotypeNames[9].bytes(), "A A1 ");
}

TEST(Phenotypes, UnionEqualToAnotherAllelesNameSharesItsPhenotype)
{
    auto task = taskWithAlleles({"A ", "B ", "A B "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    // "A B " is created once, by the pair (1,2); the homozygote of allele 3 finds it.
    EXPECT_EQ(phenotypes(*task), (Strings{"A ", "A B ", "B "}));
    EXPECT_EQ(genotypePhenotypes(*task), (Ints{1, 2, 2, 3, 2, 2}));
    EXPECT_EQ(classTexts(*task), (Strings{"(A/A)", "(A/B), (A/A B), (B/A B), (A B/A B)", "(B/B)"}));
}

TEST(Phenotypes, GenerationStartsAfreshAndIgnoresWhatLiesBeyondTheCounts)
{
    auto task = taskWithAlleles({"A B C D ", "E ", "F ", "- "});
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    ASSERT_EQ(task->phenotypeCount, 7);
    ASSERT_EQ(task->genotypeCount, 10);

    // A smaller list over the same record: the old entries past the new counts stay but
    // take no part.
    task->alleleCount = 2;
    task->alleleNames[1] = Cp1251Text::fromBytes("E ");
    task->alleleNames[2] = Cp1251Text::fromBytes("F ");
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    EXPECT_EQ(phenotypes(*task), (Strings{"E ", "E F ", "F "}));
    EXPECT_EQ(task->genotypeCount, 3);
    EXPECT_EQ(genotypeClassText(*task, 1).bytes(), "(E/E)");
}

TEST(Phenotypes, LimitGuardStopsWithTheListsAsBuilt)
{
    EXPECT_EQ(phenotypeLimitMessage(), "Слишком много фенотипов. Максимум - 1500");

    // With a limit of 2 the third phenotype ("B ", by the pair (2,2)) is refused: the
    // genotypes (1,1) and (1,2) are in the table, (2,2) is not.
    auto task = taskWithAlleles({"A ", "B "});
    EXPECT_FALSE(generatePhenotypes(*task, InheritanceMode::codominance, 2));
    EXPECT_EQ(phenotypes(*task), (Strings{"A ", "A B "}));
    EXPECT_EQ(genotypePairs(*task), (Pairs{{1, 1}, {1, 2}}));

    // Exactly at the limit generation completes.
    EXPECT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance, 3));
    EXPECT_EQ(task->phenotypeCount, 3);
}

TEST(Phenotypes, LargestTaskHasOnePhenotypePerPair)
{
    // 50 alleles, each a distinct single test: every pair shows its own phenotype.
    auto task = std::make_unique<TaskState>();
    for (int i = 1; i <= maxAlleles; ++i)
        task->alleleNames[++task->alleleCount] =
            Cp1251Text::fromBytes("T" + std::to_string(100 + i) + " ");
    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::codominance));
    EXPECT_EQ(task->genotypeCount, 1275);
    EXPECT_EQ(task->phenotypeCount, 1275);
    EXPECT_EQ(task->phenotypeNames[2].bytes(), "T101 T102 ");
    EXPECT_EQ(task->phenotypeNames[1275].bytes(), "T150 ");
    EXPECT_EQ(genotypeClassText(*task, 1275).bytes(), "(T150/T150)");

    ASSERT_TRUE(generatePhenotypes(*task, InheritanceMode::dominance));
    EXPECT_EQ(task->genotypeCount, 1275);
    EXPECT_EQ(task->phenotypeCount, 50);
}

TEST(Phenotypes, SameAlleleRowsGiveTheSamePhenotypeOrder)
{
    // The archive stores counts by phenotype number, so the same rows typed in the same
    // places and the same mode must give the same list in the same order, whatever the
    // record held before.
    std::array<std::string, maxAlleles> rows{};
    rows[0] = "c B a";
    rows[2] = "-";
    rows[3] = "B  d";
    rows[7] = "a a";
    rows[30] = "d c";

    for (const InheritanceMode mode : {InheritanceMode::codominance, InheritanceMode::dominance}) {
        auto fresh = std::make_unique<TaskState>();
        ASSERT_FALSE(checkAlleleList(encodeAlleleRows(rows), *fresh).failed());
        ASSERT_TRUE(generatePhenotypes(*fresh, mode));

        auto used = taskWithAlleles({"Z ", "Y X ", "W ", "V ", "U ", "- "});
        ASSERT_TRUE(generatePhenotypes(*used, InheritanceMode::codominance));
        ASSERT_FALSE(checkAlleleList(encodeAlleleRows(rows), *used).failed());
        ASSERT_TRUE(generatePhenotypes(*used, mode));
        ASSERT_TRUE(generatePhenotypes(*used, mode));

        EXPECT_EQ(phenotypes(*used), phenotypes(*fresh));
        EXPECT_EQ(genotypePhenotypes(*used), genotypePhenotypes(*fresh));
        EXPECT_EQ(classTexts(*used), classTexts(*fresh));
    }
    auto codominant = std::make_unique<TaskState>();
    ASSERT_FALSE(checkAlleleList(encodeAlleleRows(rows), *codominant).failed());
    ASSERT_TRUE(generatePhenotypes(*codominant, InheritanceMode::codominance));
    EXPECT_EQ(phenotypes(*codominant), (Strings{"B a c ", "B a c d ", "- ", "B d ", "a ", "c d ",
                                                "B a d ", "B c d ", "a c d "}));
}
