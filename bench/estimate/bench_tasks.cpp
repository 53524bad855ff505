#include "bench/estimate/bench_tasks.h"

#include "task/allele_check.h"
#include "task/phenotypes.h"

#include <numeric>
#include <random>
#include <stdexcept>

namespace {

// T01 … T50, built by appending (GCC 12 misreports a literal followed by a temporary).
std::string testName(int i)
{
    std::string name(1, 'T');
    name += std::to_string(100 + i).substr(1);
    return name;
}

// Draws the genotypes of `individuals` people, two alleles each from the frequencies,
// and counts the phenotypes they show.
std::vector<std::int64_t> drawCounts(const BenchTask& bench, const std::vector<double>& weights,
                                     std::int64_t individuals)
{
    static TaskState task;
    BenchTask shape = bench;
    std::array<std::string, maxAlleles> cells{};
    for (std::size_t i = 0; i < shape.alleles.size(); ++i)
        cells[i] = shape.alleles[i];
    checkAlleleList(encodeAlleleRows(cells), task);
    generatePhenotypes(task, shape.mode);
    std::vector<int> genotypeOfPair(static_cast<std::size_t>((maxAlleles + 1) * (maxAlleles + 1)));
    for (int k = 1; k <= task.genotypeCount; ++k)
        genotypeOfPair[static_cast<std::size_t>(task.genotypeFirstAllele[k] * (maxAlleles + 1) +
                                                task.genotypeSecondAllele[k])] = k;
    std::mt19937_64 generator(20240611);
    std::discrete_distribution<int> allele(weights.begin(), weights.end());
    std::vector<std::int64_t> counts(static_cast<std::size_t>(task.phenotypeCount));
    for (std::int64_t person = 0; person < individuals; ++person) {
        int a = allele(generator) + 1;
        int b = allele(generator) + 1;
        if (a > b) std::swap(a, b);
        const int k = genotypeOfPair[static_cast<std::size_t>(a * (maxAlleles + 1) + b)];
        ++counts[static_cast<std::size_t>(task.genotypePhenotype[k] - 1)];
    }
    return counts;
}

} // namespace

BenchTask aboTask()
{
    return {"ABO (A, B, -; 186, 13, 38, 284)",
            InheritanceMode::codominance,
            {"A", "B", "-"},
            {186, 13, 38, 284}};
}

BenchTask mnTask()
{
    return {"MN (M, N; 119, 76, 13)", InheritanceMode::codominance, {"M", "N"}, {119, 76, 13}};
}

BenchTask drawnCodominantTask(int alleles, bool withNull, std::int64_t individuals)
{
    BenchTask bench;
    bench.mode = InheritanceMode::codominance;
    std::vector<double> weights;
    for (int i = 1; i <= alleles; ++i) {
        bench.alleles.push_back(withNull && i == alleles ? "-" : testName(i));
        weights.push_back(1.0 / (i + 2));
    }
    bench.counts = drawCounts(bench, weights, individuals);
    bench.title = std::to_string(alleles) + " codominant alleles" + (withNull ? " with -" : "") +
                  ", N = " + std::to_string(individuals) + ", " +
                  std::to_string(bench.counts.size()) + " phenotypes";
    return bench;
}

BenchTask drawnDominanceTask(int alleles, std::int64_t individuals)
{
    BenchTask bench;
    bench.mode = InheritanceMode::dominance;
    std::vector<double> weights;
    for (int i = 1; i <= alleles; ++i) {
        bench.alleles.push_back(testName(i));
        weights.push_back(i);
    }
    bench.counts = drawCounts(bench, weights, individuals);
    bench.title =
        std::to_string(alleles) + " alleles in dominance, N = " + std::to_string(individuals);
    return bench;
}

void loadTask(const BenchTask& bench, TaskState& task)
{
    std::array<std::string, maxAlleles> cells{};
    for (std::size_t i = 0; i < bench.alleles.size(); ++i)
        cells[i] = bench.alleles[i];
    if (checkAlleleList(encodeAlleleRows(cells), task).failed() ||
        !generatePhenotypes(task, bench.mode) ||
        task.phenotypeCount != static_cast<int>(bench.counts.size()))
        throw std::logic_error("bench task does not generate its phenotypes: " + bench.title);
    const std::int64_t total =
        std::accumulate(bench.counts.begin(), bench.counts.end(), std::int64_t{0});
    for (int r = 1; r <= task.phenotypeCount; ++r)
        task.observedPhenotypeFrequency[r] =
            static_cast<long double>(bench.counts[static_cast<std::size_t>(r - 1)]) /
            static_cast<long double>(total);
    task.tripleTotal = 3 * total;
}

std::vector<Cp1251Text> countTexts(const BenchTask& bench)
{
    std::vector<Cp1251Text> texts;
    for (const std::int64_t count : bench.counts)
        texts.push_back(Cp1251Text::fromBytes(std::to_string(count)));
    return texts;
}

Cp1251Text totalText(const BenchTask& bench)
{
    return Cp1251Text::fromBytes(
        std::to_string(std::accumulate(bench.counts.begin(), bench.counts.end(), std::int64_t{0})));
}
