#include "compare/frequency_plots.h"

#include "estimate/fisher_information.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const double halfRootThree = std::sqrt(3.0) / 2;
// The 95% point of χ² with 2 degrees of freedom: −2 ln 0.05.
const double ellipseChiSquare = -2 * std::log(0.05);

constexpr int maxSweeps = 100;

using Matrix = std::vector<std::vector<double>>;

// The eigenvalues (descending) and eigenvectors (as columns of vectors) of the symmetric
// matrix a, by cyclic Jacobi rotations.
void symmetricEigen(Matrix a, std::vector<double>& values, Matrix& vectors)
{
    const std::size_t n = a.size();
    Matrix v(n, std::vector<double>(n, 0));
    for (std::size_t i = 0; i < n; ++i)
        v[i][i] = 1;
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        double off = 0;
        double all = 0;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) {
                all += a[i][j] * a[i][j];
                if (i != j) off += a[i][j] * a[i][j];
            }
        if (off <= 1e-30 * all) break;
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t q = p + 1; q < n; ++q) {
                if (a[p][q] == 0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t =
                    (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1);
                const double s = t * c;
                for (std::size_t k = 0; k < n; ++k) {
                    const double akp = a[k][p];
                    const double akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double apk = a[p][k];
                    const double aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double vkp = v[k][p];
                    const double vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&a](std::size_t x, std::size_t y) { return a[x][x] > a[y][y]; });
    values.clear();
    vectors.assign(n, std::vector<double>(n));
    for (std::size_t j = 0; j < n; ++j) {
        values.push_back(a[order[j]][order[j]]);
        for (std::size_t k = 0; k < n; ++k)
            vectors[k][j] = v[k][order[j]];
    }
}

std::optional<ConfidenceEllipse> ellipseOf(const TaskState& task, const PopulationEstimate& e)
{
    const std::vector<long double>& p = e.frequencies;
    for (const long double x : p)
        if (x < boundaryFrequency) return std::nullopt;
    const auto largest = std::max_element(p.begin(), p.end()) - p.begin();
    const auto covariance = informationCovariance(task, p, std::vector<bool>(3, true),
                                                  static_cast<int>(largest), e.total);
    if (!covariance) return std::nullopt;
    // (x, y) = A (p, q, r) with A = [[0, 1, 1/2], [0, 0, √3/2]]; its covariance is A Σ Aᵀ.
    const double row[2][3] = {{0, 1, 0.5}, {0, 0, halfRootThree}};
    double c[2][2] = {};
    for (int u = 0; u < 2; ++u)
        for (int w = 0; w < 2; ++w)
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    c[u][w] +=
                        row[u][i] * static_cast<double>((*covariance)[i * 3 + j]) * row[w][j];
    const double mean = (c[0][0] + c[1][1]) / 2;
    const double radius = std::hypot((c[0][0] - c[1][1]) / 2, c[0][1]);
    ConfidenceEllipse ellipse;
    ellipse.majorSemiAxis = std::sqrt(ellipseChiSquare * (mean + radius));
    ellipse.minorSemiAxis = std::sqrt(ellipseChiSquare * std::max(0.0, mean - radius));
    ellipse.angle = 0.5 * std::atan2(2 * c[0][1], c[0][0] - c[1][1]);
    return ellipse;
}

} // namespace

std::vector<TrianglePoint> trianglePoints(const TaskState& task,
                                          const std::vector<PopulationEstimate>& populations)
{
    std::vector<TrianglePoint> points;
    if (task.alleleCount != 3) return points;
    for (const PopulationEstimate& e : populations) {
        TrianglePoint point;
        point.x = static_cast<double>(e.frequencies[1] + e.frequencies[2] / 2);
        point.y = static_cast<double>(e.frequencies[2]) * halfRootThree;
        point.ellipse = ellipseOf(task, e);
        points.push_back(point);
    }
    return points;
}

PrincipalComponents principalComponents(const std::vector<Frequencies>& populations)
{
    PrincipalComponents result;
    const std::size_t k = populations.size();
    result.scores.assign(k, {0, 0});
    if (k == 0) return result;
    const std::size_t alleles = populations.front().size();
    std::vector<double> mean(alleles, 0);
    for (const Frequencies& p : populations)
        for (std::size_t a = 0; a < alleles; ++a)
            mean[a] += static_cast<double>(p[a]) / static_cast<double>(k);
    // The populations' products of centred frequencies: its eigenvectors, scaled by the
    // roots of their eigenvalues, are the scores, and the eigenvalues the variances.
    Matrix gram(k, std::vector<double>(k, 0));
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = 0; j < k; ++j)
            for (std::size_t a = 0; a < alleles; ++a)
                gram[i][j] += (static_cast<double>(populations[i][a]) - mean[a]) *
                              (static_cast<double>(populations[j][a]) - mean[a]);
    std::vector<double> values;
    Matrix vectors;
    symmetricEigen(gram, values, vectors);
    double total = 0;
    for (const double v : values)
        total += std::max(0.0, v);
    for (std::size_t axis = 0; axis < 2 && axis < k; ++axis) {
        const double variance = std::max(0.0, values[axis]);
        if (!(total > 0) || variance <= 1e-12 * total) continue;
        result.varianceShares[axis] = variance / total;
        std::size_t largest = 0;
        for (std::size_t i = 0; i < k; ++i)
            if (std::fabs(vectors[i][axis]) > std::fabs(vectors[largest][axis])) largest = i;
        const double sign = vectors[largest][axis] < 0 ? -1 : 1;
        for (std::size_t i = 0; i < k; ++i)
            result.scores[i][axis] = sign * std::sqrt(variance) * vectors[i][axis];
    }
    return result;
}
