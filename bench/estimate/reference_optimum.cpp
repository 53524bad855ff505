#include "bench/estimate/reference_optimum.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

using Vector = std::vector<long double>;

Vector expected(const TaskState& task, const Vector& p)
{
    Vector e(static_cast<std::size_t>(task.phenotypeCount), 0);
    for (int k = 1; k <= task.genotypeCount; ++k) {
        const auto a = static_cast<std::size_t>(task.genotypeFirstAllele[k] - 1);
        const auto b = static_cast<std::size_t>(task.genotypeSecondAllele[k] - 1);
        e[static_cast<std::size_t>(task.genotypePhenotype[k] - 1)] +=
            (a == b ? 1 : 2) * p[a] * p[b];
    }
    return e;
}

long double observed(const TaskState& task, std::size_t r)
{
    return task.observedPhenotypeFrequency[r + 1];
}

// Criterion of a phenotype term and its first two derivatives in E, smooth formulas only.
void term(FitCriterion criterion, long double e, long double o, long double& value,
          long double& first, long double& second)
{
    if (criterion == FitCriterion::maximumLikelihood) {
        value = o > 0 ? -o * std::log(e) : 0;
        first = o > 0 ? -o / e : 0;
        second = o > 0 ? o / (e * e) : 0;
    } else if (criterion == FitCriterion::leastSquares) {
        value = (e - o) * (e - o);
        first = 2 * (e - o);
        second = 2;
    } else {
        // (e − o)² / (e − e²), differentiated as a quotient u / v.
        const long double u = (e - o) * (e - o);
        const long double du = 2 * (e - o);
        const long double v = e - e * e;
        const long double dv = 1 - 2 * e;
        value = u / v;
        first = (du * v - u * dv) / (v * v);
        // (u/v)'' = (u'' v² − 2 u' v' v − u v'' v + 2 u v'²) / v³ with u'' = 2, v'' = −2.
        second = (2 * v * v - 2 * du * dv * v + 2 * u * v + 2 * u * dv * dv) / (v * v * v);
    }
}

long double criterion(const TaskState& task, FitCriterion c, const Vector& p)
{
    const Vector e = expected(task, p);
    long double sum = 0;
    for (std::size_t r = 0; r < e.size(); ++r) {
        long double value = 0, first = 0, second = 0;
        term(c, e[r], observed(task, r), value, first, second);
        sum += value;
    }
    return sum;
}

// Gaussian elimination with partial pivoting.
Vector solve(std::vector<Vector> a, Vector b)
{
    const std::size_t k = b.size();
    for (std::size_t col = 0; col < k; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < k; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < k; ++row) {
            const long double factor = a[row][col] / a[col][col];
            for (std::size_t j = col; j < k; ++j)
                a[row][j] -= factor * a[col][j];
            b[row] -= factor * b[col];
        }
    }
    Vector x(k);
    for (std::size_t i = k; i-- > 0;) {
        long double s = b[i];
        for (std::size_t j = i + 1; j < k; ++j)
            s -= a[i][j] * x[j];
        x[i] = s / a[i][i];
    }
    return x;
}

} // namespace

Vector geneCountingOptimum(const TaskState& task)
{
    const auto n = static_cast<std::size_t>(task.alleleCount);
    Vector p(n, 1.0L / static_cast<long double>(n));
    for (int iteration = 0; iteration < 1000000; ++iteration) {
        const Vector e = expected(task, p);
        Vector genes(n, 0);
        for (int k = 1; k <= task.genotypeCount; ++k) {
            const auto a = static_cast<std::size_t>(task.genotypeFirstAllele[k] - 1);
            const auto b = static_cast<std::size_t>(task.genotypeSecondAllele[k] - 1);
            const auto r = static_cast<std::size_t>(task.genotypePhenotype[k] - 1);
            if (observed(task, r) == 0) continue;
            // The share of phenotype r's individuals that carry genotype k.
            const long double share = observed(task, r) * (a == b ? 1 : 2) * p[a] * p[b] / e[r];
            genes[a] += share;
            genes[b] += share;
        }
        long double change = 0;
        for (std::size_t i = 0; i < n; ++i) {
            change = std::max(change, std::fabs(genes[i] / 2 - p[i]));
            p[i] = genes[i] / 2;
        }
        if (change < 1e-17L) break;
    }
    return p;
}

Vector dominanceOptimum(const TaskState& task)
{
    const auto n = static_cast<std::size_t>(task.alleleCount);
    Vector tail(n + 1, 0);
    for (std::size_t k = n; k-- > 0;)
        tail[k] = tail[k + 1] + observed(task, k);
    Vector p(n);
    for (std::size_t k = 0; k < n; ++k)
        p[k] = std::sqrt(tail[k]) - std::sqrt(tail[k + 1]);
    return p;
}

Vector interiorNewtonOptimum(const TaskState& task, FitCriterion c, Vector p)
{
    const auto n = static_cast<std::size_t>(task.alleleCount);
    const std::size_t last = n - 1;
    long double value = criterion(task, c, p);
    for (int iteration = 0; iteration < 200; ++iteration) {
        const Vector e = expected(task, p);
        // Derivatives of E[r] along the free coordinates: moving p_i moves p_last back.
        std::vector<Vector> de(e.size(), Vector(n - 1, 0));
        for (int k = 1; k <= task.genotypeCount; ++k) {
            const auto a = static_cast<std::size_t>(task.genotypeFirstAllele[k] - 1);
            const auto b = static_cast<std::size_t>(task.genotypeSecondAllele[k] - 1);
            const auto r = static_cast<std::size_t>(task.genotypePhenotype[k] - 1);
            const long double m = a == b ? 1 : 2;
            // x_i raises p_i and lowers p_last: d(p_a p_b)/dx_i = da p_b + p_a db.
            for (std::size_t i = 0; i < n - 1; ++i) {
                const long double da = (a == i ? 1 : 0) - (a == last ? 1 : 0);
                const long double db = (b == i ? 1 : 0) - (b == last ? 1 : 0);
                de[r][i] += m * (da * p[b] + p[a] * db);
            }
        }
        Vector g(n - 1, 0);
        std::vector<Vector> h(n - 1, Vector(n - 1, 0));
        for (std::size_t r = 0; r < e.size(); ++r) {
            long double v = 0, first = 0, second = 0;
            term(c, e[r], observed(task, r), v, first, second);
            for (std::size_t i = 0; i < n - 1; ++i) {
                g[i] += first * de[r][i];
                if (de[r][i] == 0) continue;
                for (std::size_t j = 0; j < n - 1; ++j)
                    h[i][j] += second * de[r][i] * de[r][j];
            }
        }
        // Second derivatives of the products: constant, m (da_i db_j + da_j db_i).
        for (int k = 1; k <= task.genotypeCount; ++k) {
            const auto a = static_cast<std::size_t>(task.genotypeFirstAllele[k] - 1);
            const auto b = static_cast<std::size_t>(task.genotypeSecondAllele[k] - 1);
            const auto r = static_cast<std::size_t>(task.genotypePhenotype[k] - 1);
            long double v = 0, first = 0, second = 0;
            term(c, e[r], observed(task, r), v, first, second);
            const long double m = a == b ? 1 : 2;
            for (std::size_t i = 0; i < n - 1; ++i) {
                const long double dai = (a == i ? 1 : 0) - (a == last ? 1 : 0);
                const long double dbi = (b == i ? 1 : 0) - (b == last ? 1 : 0);
                if (dai == 0 && dbi == 0) continue;
                for (std::size_t j = 0; j < n - 1; ++j) {
                    const long double daj = (a == j ? 1 : 0) - (a == last ? 1 : 0);
                    const long double dbj = (b == j ? 1 : 0) - (b == last ? 1 : 0);
                    h[i][j] += first * m * (dai * dbj + daj * dbi);
                }
            }
        }
        for (long double& gi : g)
            gi = -gi;
        const Vector step = solve(h, g);
        long double length = 0;
        for (const long double s : step)
            length = std::max(length, std::fabs(s));
        long double alpha = 1;
        Vector trial = p;
        for (int halving = 0; halving < 60; ++halving, alpha /= 2) {
            long double others = 0;
            for (std::size_t i = 0; i < n - 1; ++i) {
                trial[i] = p[i] + alpha * step[i];
                others += trial[i];
            }
            trial[last] = 1 - others;
            if (*std::min_element(trial.begin(), trial.end()) <= 0) continue;
            if (criterion(task, c, trial) <= value || length < 1e-12L) break;
        }
        p = trial;
        value = criterion(task, c, p);
        if (length < 1e-17L) break;
    }
    if (*std::min_element(p.begin(), p.end()) <= 0)
        throw std::runtime_error("the reference optimum is not inside the simplex");
    return p;
}
