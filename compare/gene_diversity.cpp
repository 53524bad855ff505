#include "compare/gene_diversity.h"

#include <algorithm>
#include <cmath>

GeneDiversity geneDiversity(const std::vector<long double>& p,
                            const std::optional<std::vector<long double>>& covariance)
{
    const std::size_t n = p.size();
    long double squares = 0;
    for (const long double x : p)
        squares += x * x;
    GeneDiversity diversity;
    diversity.heterozygosity = static_cast<double>(1 - squares);
    diversity.effectiveAlleles = static_cast<double>(1 / squares);
    if (!covariance) return diversity;
    const std::vector<long double>& v = *covariance;
    long double trace = 0;
    long double quadratic = 0; // pᵀVp
    for (std::size_t i = 0; i < n; ++i) {
        trace += v[i * n + i];
        for (std::size_t j = 0; j < n; ++j)
            quadratic += p[i] * v[i * n + j] * p[j];
    }
    diversity.unbiasedHeterozygosity = static_cast<double>(1 - squares + trace);
    diversity.standardError = static_cast<double>(std::sqrt(std::max(4 * quadratic, 0.0L)));
    return diversity;
}
