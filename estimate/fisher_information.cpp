#include "estimate/fisher_information.h"

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>

namespace {

// A Cholesky pivot below this share of the largest diagonal entry counts as zero.
constexpr long double singularShare = 1e-13L;

// The inverse of the symmetric k × k matrix a (row-major) by Cholesky; nothing when a is
// not positive definite within singularShare.
std::optional<std::vector<long double>> inverseOfPositive(std::vector<long double> a, int k)
{
    const auto at = [k](std::vector<long double>& m, int i, int j) -> long double& {
        return m[static_cast<std::size_t>(i * k + j)];
    };
    if (k == 0) return a;
    long double scale = 0;
    for (int i = 0; i < k; ++i)
        scale = std::max(scale, at(a, i, i));
    if (!(scale > 0) || !std::isfinite(scale)) return std::nullopt;
    for (int i = 0; i < k; ++i) {
        for (int j = 0; j <= i; ++j) {
            long double s = at(a, i, j);
            for (int l = 0; l < j; ++l)
                s -= at(a, i, l) * at(a, j, l);
            if (i == j) {
                if (!(s > singularShare * scale)) return std::nullopt;
                at(a, i, i) = std::sqrt(s);
            } else {
                at(a, i, j) = s / at(a, j, j);
            }
        }
    }
    std::vector<long double> inverse(static_cast<std::size_t>(k * k));
    std::vector<long double> x(static_cast<std::size_t>(k));
    for (int c = 0; c < k; ++c) {
        for (int i = 0; i < k; ++i) {
            long double s = i == c ? 1 : 0;
            for (int l = 0; l < i; ++l)
                s -= at(a, i, l) * x[static_cast<std::size_t>(l)];
            x[static_cast<std::size_t>(i)] = s / at(a, i, i);
        }
        for (int i = k - 1; i >= 0; --i) {
            long double s = x[static_cast<std::size_t>(i)];
            for (int l = i + 1; l < k; ++l)
                s -= at(a, l, i) * x[static_cast<std::size_t>(l)];
            x[static_cast<std::size_t>(i)] = s / at(a, i, i);
        }
        for (int i = 0; i < k; ++i)
            at(inverse, i, c) = x[static_cast<std::size_t>(i)];
    }
    return inverse;
}

} // namespace

std::optional<std::vector<long double>> informationCovariance(const TaskState& task,
                                                              const std::vector<long double>& p,
                                                              const std::vector<bool>& free,
                                                              int dropped, std::int64_t total)
{
    const int n = task.alleleCount;
    // θ index of every allele, −1 for the dropped and the held ones.
    std::vector<int> theta(static_cast<std::size_t>(n), -1);
    int k = 0;
    for (int i = 0; i < n; ++i)
        if (free[static_cast<std::size_t>(i)] && i != dropped)
            theta[static_cast<std::size_t>(i)] = k++;
    const auto cell = [k](int i, int j) { return static_cast<std::size_t>(i * k + j); };

    // ∂E_r/∂p per phenotype, then ∂E_r/∂θ_i = ∂E_r/∂p_i − ∂E_r/∂p_dropped.
    std::vector<std::vector<long double>> dE(static_cast<std::size_t>(task.phenotypeCount + 1),
                                             std::vector<long double>(static_cast<std::size_t>(n)));
    std::vector<long double> e(static_cast<std::size_t>(task.phenotypeCount + 1));
    for (int g = 1; g <= task.genotypeCount; ++g) {
        const int a = task.genotypeFirstAllele[g] - 1;
        const int b = task.genotypeSecondAllele[g] - 1;
        const auto r = static_cast<std::size_t>(task.genotypePhenotype[g]);
        const long double pa = p[static_cast<std::size_t>(a)];
        const long double pb = p[static_cast<std::size_t>(b)];
        e[r] += a == b ? pa * pa : 2 * pa * pb;
        dE[r][static_cast<std::size_t>(a)] += 2 * pb;
        if (a != b) dE[r][static_cast<std::size_t>(b)] += 2 * pa;
    }
    std::vector<long double> information(static_cast<std::size_t>(k * k));
    std::vector<long double> gradient(static_cast<std::size_t>(k));
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        const auto& d = dE[static_cast<std::size_t>(r)];
        const long double er = e[static_cast<std::size_t>(r)];
        if (!(er > 0)) continue;
        for (int i = 0; i < n; ++i)
            if (theta[static_cast<std::size_t>(i)] >= 0)
                gradient[static_cast<std::size_t>(theta[static_cast<std::size_t>(i)])] =
                    d[static_cast<std::size_t>(i)] - d[static_cast<std::size_t>(dropped)];
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j)
                information[cell(i, j)] += gradient[static_cast<std::size_t>(i)] *
                                           gradient[static_cast<std::size_t>(j)] / er;
    }
    for (long double& x : information)
        x *= static_cast<long double>(total);
    const auto inverse = inverseOfPositive(std::move(information), k);
    if (!inverse) return std::nullopt;

    // Back to all n frequencies: p_dropped = 1 − Σθ, so its covariance with θ_j is minus the
    // row sum and its variance the sum of all entries.
    const auto full = [n](int i, int j) { return static_cast<std::size_t>(i * n + j); };
    std::vector<long double> covariance(static_cast<std::size_t>(n * n));
    long double all = 0;
    for (int i = 0; i < n; ++i) {
        const int ti = theta[static_cast<std::size_t>(i)];
        if (ti < 0) continue;
        long double row = 0;
        for (int j = 0; j < n; ++j) {
            const int tj = theta[static_cast<std::size_t>(j)];
            if (tj < 0) continue;
            covariance[full(i, j)] = (*inverse)[cell(ti, tj)];
            row += (*inverse)[cell(ti, tj)];
        }
        covariance[full(i, dropped)] = covariance[full(dropped, i)] = -row;
        all += row;
    }
    covariance[full(dropped, dropped)] = all;
    for (const long double x : covariance)
        if (!std::isfinite(x)) return std::nullopt;
    return covariance;
}

std::optional<std::vector<long double>>
maximumLikelihoodCovariance(const TaskState& task, const std::vector<long double>& estimate,
                            std::int64_t total)
{
    const int n = task.alleleCount;
    std::vector<bool> free(static_cast<std::size_t>(n));
    std::vector<long double> p(static_cast<std::size_t>(n));
    long double sum = 0;
    for (int i = 0; i < n; ++i) {
        const auto u = static_cast<std::size_t>(i);
        free[u] = estimate[u] >= boundaryFrequency;
        p[u] = free[u] ? estimate[u] : 0;
        sum += p[u];
    }
    if (!(sum > 0)) return std::nullopt;
    for (long double& x : p)
        x /= sum;
    const int dropped = static_cast<int>(std::max_element(p.begin(), p.end()) - p.begin());
    return informationCovariance(task, p, free, dropped, total);
}

std::vector<AlleleError> maximumLikelihoodErrors(const TaskState& task,
                                                 const std::vector<long double>& estimate,
                                                 std::int64_t total)
{
    const int n = task.alleleCount;
    std::vector<AlleleError> errors(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        if (estimate[static_cast<std::size_t>(i)] < boundaryFrequency)
            errors[static_cast<std::size_t>(i)].gap = ErrorGap::boundary;
    const auto covariance = maximumLikelihoodCovariance(task, estimate, total);
    const double z = boost::math::quantile(boost::math::normal_distribution<double>(), 0.975);
    for (int i = 0; i < n; ++i) {
        AlleleError& error = errors[static_cast<std::size_t>(i)];
        if (error.gap != ErrorGap::none) continue;
        const long double variance =
            covariance ? (*covariance)[static_cast<std::size_t>(i * n + i)] : -1;
        if (!(variance >= 0)) {
            error.gap = ErrorGap::singular;
            continue;
        }
        error.standardError = static_cast<double>(std::sqrt(variance));
        const double centre = static_cast<double>(estimate[static_cast<std::size_t>(i)]);
        error.lower = std::clamp(centre - z * error.standardError, 0.0, 1.0);
        error.upper = std::clamp(centre + z * error.standardError, 0.0, 1.0);
    }
    return errors;
}
