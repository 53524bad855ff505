#include "estimate/frequency_search.h"

#include "estimate/criterion_evaluation.h"
#include "estimate/frequency_refinement.h"
#include "platform/random.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The working storage of one search: m = 2n vertices of n coordinates, numbered from 1
// like everything else (row 0 and column 0 unused).
class Complex
{
public:
    Complex(int n, int m)
        : n_(n), coordinates_(static_cast<std::size_t>((m + 1) * (n + 1))),
          values(static_cast<std::size_t>(m + 1))
    {
    }
    long double* vertex(int v) { return &coordinates_[static_cast<std::size_t>(v * (n_ + 1))]; }
    void exchange(int v, int w)
    {
        for (int i = 1; i <= n_; ++i)
            std::swap(vertex(v)[i], vertex(w)[i]);
        std::swap(values[static_cast<std::size_t>(v)], values[static_cast<std::size_t>(w)]);
    }
    long double& value(int v) { return values[static_cast<std::size_t>(v)]; }

    // The vertex with the highest value, the lowest-numbered one on ties.
    int worst(int m)
    {
        int worst = 1;
        for (int v = 2; v <= m; ++v)
            if (value(v) > value(worst)) worst = v;
        return worst;
    }

private:
    int n_;
    std::vector<long double> coordinates_;
    std::vector<long double> values;
};

// Whether some two vertices lie further apart than the convergence size. Only the answer
// counts, not the largest distance, so the scan stops at the first such pair, and the
// pair found last time (usually still apart) is tried first.
class SizeTest
{
public:
    bool stillWide(Complex& complex, int n, int m)
    {
        if (apart(complex, n, lastV_, lastW_)) return true;
        for (int v = 1; v < m; ++v) {
            for (int w = v + 1; w <= m; ++w) {
                if (apart(complex, n, v, w)) {
                    lastV_ = v;
                    lastW_ = w;
                    return true;
                }
            }
        }
        return false;
    }

private:
    static bool apart(Complex& complex, int n, int v, int w)
    {
        long double distance = 0;
        for (int i = 1; i <= n; ++i) {
            const long double d = complex.vertex(v)[i] - complex.vertex(w)[i];
            distance += d * d;
        }
        return distance > sumTolerance;
    }

    int lastV_ = 1;
    int lastW_ = 2;
};

bool valuesStillSpread(Complex& complex, int m)
{
    long double s1 = 0;
    long double s2 = 0;
    for (int v = 1; v <= m; ++v) {
        s1 += complex.value(v);
        s2 += complex.value(v) * complex.value(v);
    }
    const long double variance = (s2 - s1 * s1 * (1.0L / m)) * (1.0L / m);
    return variance > valueTolerance;
}

// The largest factor up to reflectionFactor that keeps the reflection of w through c
// inside the unit cube; a factor crushed below minimumStep is replaced by the full one
// (the trial point is clamped afterwards).
long double reflectionFactorFor(const std::vector<long double>& w,
                                const std::vector<long double>& c, int n)
{
    long double alpha = reflectionFactor;
    for (int i = 1; i <= n; ++i) {
        if (w[i] > c[i]) {
            const long double t = c[i] / (w[i] - c[i]);
            if (t < alpha) alpha = t;
        } else if (w[i] < c[i]) {
            const long double t = (c[i] - 1) / (w[i] - c[i]);
            if (t < alpha) alpha = t;
        }
    }
    if (alpha < minimumStep || alpha > reflectionFactor) alpha = reflectionFactor;
    return alpha;
}

// The centroid of the vertices and the scratch points of one reflection, numbered from 1.
struct SearchPoints
{
    explicit SearchPoints(int n)
        : centroid(static_cast<std::size_t>(n + 1)), worstPoint(static_cast<std::size_t>(n + 1)),
          reduced(static_cast<std::size_t>(n + 1)), trial(static_cast<std::size_t>(n + 1))
    {
    }
    std::vector<long double> centroid;
    std::vector<long double> worstPoint;
    std::vector<long double> reduced; // the centroid of all vertices but the worst
    std::vector<long double> trial;
};

// The first vertex at the centre of the simplex, the others drawn at random and scaled onto
// it; their centroid, and the worst vertex moved to the last place.
void startComplex(Complex& complex, const CriterionEvaluation& evaluate, int n, int m,
                  std::vector<long double>& centroid)
{
    for (int i = 1; i <= n; ++i)
        complex.vertex(1)[i] = 1.0L / n;
    complex.value(1) = evaluate(complex.vertex(1));
    for (int i = 1; i <= n; ++i)
        centroid[i] = complex.vertex(1)[i];
    for (int v = 2; v <= m; ++v) {
        long double* point = complex.vertex(v);
        long double sum = 0;
        for (int i = 1; i <= n; ++i) {
            point[i] = randomUniform();
            sum += point[i];
        }
        const long double scale = 1 / sum;
        for (int i = 1; i <= n; ++i) {
            point[i] *= scale;
            centroid[i] += point[i];
        }
        complex.value(v) = evaluate(point);
    }
    for (int i = 1; i <= n; ++i)
        centroid[i] *= 1.0L / m;
    complex.exchange(complex.worst(m), m);
}

// The trial point: the last (worst) vertex reflected through the centroid of the others,
// clamped to the unit cube and scaled back onto the simplex when it left it.
void reflectWorst(Complex& complex, int n, int m, SearchPoints& points)
{
    const long double* last = complex.vertex(m);
    for (int i = 1; i <= n; ++i) {
        points.worstPoint[i] = last[i];
        points.reduced[i] = (points.centroid[i] * m - points.worstPoint[i]) * (1.0L / (m - 1));
    }
    const long double alpha = reflectionFactorFor(points.worstPoint, points.reduced, n);
    std::vector<long double>& trial = points.trial;
    long double sum = 0;
    for (int i = 1; i <= n; ++i) {
        trial[i] = points.reduced[i] * (alpha + 1) - points.worstPoint[i] * alpha;
        if (trial[i] < 0) trial[i] = 0;
        if (trial[i] > 1) trial[i] = 1;
        sum += trial[i];
    }
    if (std::fabs(sum - 1) > sumTolerance) {
        const long double scale = 1 / sum;
        for (int i = 1; i <= n; ++i)
            trial[i] *= scale;
    }
}

// The trial point moved halfway to the reduced centroid until its value is below the worst
// vertex's: that value, or nothing when it came that close without getting below.
std::optional<long double> contractTrial(const CriterionEvaluation& evaluate, long double worst,
                                         int n, SearchPoints& points)
{
    std::vector<long double>& trial = points.trial;
    long double value = evaluate(trial.data());
    while (!(value < worst)) {
        long double distance = 0;
        for (int i = 1; i <= n; ++i)
            distance += std::fabs(trial[i] - points.reduced[i]);
        if (distance < valueTolerance) return std::nullopt;
        for (int i = 1; i <= n; ++i)
            trial[i] = (trial[i] + points.reduced[i]) / 2;
        value = evaluate(trial.data());
    }
    return value;
}

} // namespace

void runComplexSearch(TaskState& task, FitCriterion criterion)
{
    const int n = task.alleleCount;
    const int m = 2 * n;
    const CriterionEvaluation evaluate(task, criterion);
    Complex complex(n, m);
    SizeTest sizeTest;
    SearchPoints points(n);
    startComplex(complex, evaluate, n, m, points.centroid);

    for (;;) {
        reflectWorst(complex, n, m, points);
        const std::optional<long double> value =
            contractTrial(evaluate, complex.value(m), n, points);
        if (!value) break;

        long double* last = complex.vertex(m);
        complex.value(m) = *value;
        for (int i = 1; i <= n; ++i) {
            points.centroid[i] = (points.centroid[i] * m - last[i] + points.trial[i]) * (1.0L / m);
            last[i] = points.trial[i];
        }
        complex.exchange(complex.worst(m), m);
        if (valuesStillSpread(complex, m)) continue;
        if (!sizeTest.stillWide(complex, n, m)) break;
    }

    int best = 1;
    for (int v = 2; v <= m; ++v)
        if (complex.value(v) < complex.value(best)) best = v;
    for (int i = 1; i <= n; ++i)
        task.alleleFrequency[i] = complex.vertex(best)[i];
}

void estimateAlleleFrequencies(TaskState& task, FitCriterion criterion)
{
    runComplexSearch(task, criterion);
    refineAlleleFrequencies(task, criterion);
}
