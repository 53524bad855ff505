#include "estimate/frequency_refinement.h"

#include "estimate/criterion_evaluation.h"
#include "estimate/fit_criteria.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using Vector = std::vector<long double>;

constexpr int maxIterations = 100;
constexpr int maxHalvings = 60;
// Sufficient decrease of the line search, as a share of the first-order prediction.
constexpr long double decreaseShare = 1e-4L;
// Widest margin within which a frequency with a positive reduced gradient is held at 0.
constexpr long double activeMargin = 1e-3L;
// A Newton step no longer than this ends the iteration: frequencies are known to it.
constexpr long double stepTolerance = 1e-16L;
// Below this length a full Newton step is taken even when the criterion does not fall,
// since its change is then below the rounding of the criterion itself.
constexpr long double roundingStep = 1e-9L;
constexpr long double epsilon = std::numeric_limits<long double>::epsilon();
// A line search that had to halve the step this many times counts as a stall.
constexpr int stalledHalvings = 10;
// Frequencies below it are held in place after a stall (they show as 0.000 either way).
constexpr long double tinyFrequency = 1e-4L;

// Dense symmetric matrix of dimension k, row-major.
struct Matrix
{
    explicit Matrix(int k) : size(k), cells(static_cast<std::size_t>(k * k)) {}
    long double& at(int i, int j) { return cells[static_cast<std::size_t>(i * size + j)]; }
    int size;
    Vector cells;
};

// Solves (a + τI) x = b by Cholesky, with the smallest τ of 0, 1e-12·scale, 1e-11·scale …
// that makes the matrix positive definite, so that x is a descent direction for −b.
Vector solveDamped(Matrix a, const Vector& b)
{
    const int k = a.size;
    long double scale = 0;
    for (int i = 0; i < k; ++i)
        scale = std::max(scale, std::fabs(a.at(i, i)));
    if (scale == 0) scale = 1;
    const Matrix original = a;
    long double damping = 0;
    for (;;) {
        a = original;
        bool positive = true;
        for (int i = 0; i < k && positive; ++i) {
            a.at(i, i) += damping;
            for (int j = 0; j <= i; ++j) {
                long double s = a.at(i, j);
                for (int l = 0; l < j; ++l)
                    s -= a.at(i, l) * a.at(j, l);
                if (i == j) {
                    if (!(s > scale * epsilon)) {
                        positive = false;
                        break;
                    }
                    a.at(i, i) = std::sqrt(s);
                } else {
                    a.at(i, j) = s / a.at(j, j);
                }
            }
        }
        if (positive) break;
        damping = damping == 0 ? scale * 1e-12L : damping * 10;
    }
    Vector x(b);
    for (int i = 0; i < k; ++i) {
        for (int l = 0; l < i; ++l)
            x[i] -= a.at(i, l) * x[l];
        x[i] /= a.at(i, i);
    }
    for (int i = k - 1; i >= 0; --i) {
        for (int l = i + 1; l < k; ++l)
            x[i] -= a.at(l, i) * x[l];
        x[i] /= a.at(i, i);
    }
    return x;
}

class Refinement
{
public:
    Refinement(TaskState& task, FitCriterion criterion)
        : task_(task), criterion_(criterion), evaluate_(task, criterion), n_(task.alleleCount),
          genotypesOf_(static_cast<std::size_t>(task.phenotypeCount + 1)),
          gradient_(static_cast<std::size_t>(n_ + 1)), hessian_(n_ + 1),
          phenotypeGradient_(static_cast<std::size_t>(n_ + 1)),
          reducedGradient_(static_cast<std::size_t>(n_ + 1)),
          step_(static_cast<std::size_t>(n_ + 1)), trial_(static_cast<std::size_t>(n_ + 1))
    {
        for (int k = 1; k <= task.genotypeCount; ++k)
            genotypesOf_[static_cast<std::size_t>(task.genotypePhenotype[k])].push_back(k);
    }

    void run();

private:
    enum class Progress
    {
        moved,
        converged, // the Newton step or the move is below stepTolerance
        stalled,   // no decrease, or only after many halvings of the step
    };
    // One projected Newton iteration from p; with freezeTiny the frequencies below
    // tinyFrequency stay where they are.
    Progress iterate(Vector& p, long double& value, bool freezeTiny);
    // The Newton step of the free frequencies (pivot j) into step_.
    void newtonStep(const std::vector<int>& free, int j);
    long double evaluate(const Vector& p) const { return evaluate_(p.data()); }
    // First and second derivative of the criterion's term of one phenotype with respect to
    // its expected frequency, on the same branch of the guards as criterionValue.
    void termDerivatives(int r, long double& first, long double& second) const;
    // Gradient and Hessian of the criterion in the allele frequencies at p.
    void differentiate(const Vector& p);

    TaskState& task_;
    FitCriterion criterion_;
    CriterionEvaluation evaluate_;
    int n_;
    std::vector<std::vector<int>> genotypesOf_;
    Vector gradient_;
    Matrix hessian_;
    Vector phenotypeGradient_;
    Vector reducedGradient_;
    Vector step_;
    Vector trial_;
};

void Refinement::termDerivatives(int r, long double& first, long double& second) const
{
    const long double e = task_.expectedPhenotypeFrequency[r];
    const long double o = task_.observedPhenotypeFrequency[r];
    first = 0;
    second = 0;
    switch (criterion_) {
    case FitCriterion::maximumLikelihood:
        if (o > 0 && e >= probabilityFloor) {
            first = -o / e;
            second = o / (e * e);
        }
        break;
    case FitCriterion::leastSquares:
        first = 2 * (e - o);
        second = 2;
        break;
    case FitCriterion::normalisedLeastSquares: {
        const long double d = e - o;
        if (e < probabilityFloor || e > probabilityCeiling) {
            const long double w = static_cast<long double>(task_.tripleTotal);
            first = 2 * d * w;
            second = 2 * w;
        } else {
            // d² / v with v = e (1 − e), v' = 1 − 2e, v'' = −2.
            const long double v = e * (1 - e);
            const long double dv = 1 - 2 * e;
            first = 2 * d / v - d * d * dv / (v * v);
            second = 2 / v - 4 * d * dv / (v * v) + 2 * d * d / (v * v) +
                     2 * d * d * dv * dv / (v * v * v);
        }
        break;
    }
    }
}

void Refinement::differentiate(const Vector& p)
{
    for (int i = 1; i <= task_.alleleCount; ++i)
        task_.alleleFrequency[i] = p[i];
    computeExpectedFrequencies(task_);
    std::fill(gradient_.begin(), gradient_.end(), 0);
    std::fill(hessian_.cells.begin(), hessian_.cells.end(), 0);
    std::vector<int> touched;
    for (int r = 1; r <= task_.phenotypeCount; ++r) {
        long double first = 0;
        long double second = 0;
        termDerivatives(r, first, second);
        if (first == 0 && second == 0) continue;
        // The gradient of E[r]: a genotype (a, b) adds 2p[b] to a and 2p[a] to b, a
        // homozygote (a, a) adds 2p[a] to a; its second derivatives are constants 2.
        touched.clear();
        for (const int k : genotypesOf_[static_cast<std::size_t>(r)]) {
            const int a = task_.genotypeFirstAllele[k];
            const int b = task_.genotypeSecondAllele[k];
            for (const int allele : {a, b}) {
                if (std::find(touched.begin(), touched.end(), allele) == touched.end()) {
                    touched.push_back(allele);
                    phenotypeGradient_[allele] = 0;
                }
            }
            phenotypeGradient_[a] += 2 * p[b];
            if (a != b) {
                phenotypeGradient_[b] += 2 * p[a];
                hessian_.at(a, b) += 2 * first;
                hessian_.at(b, a) += 2 * first;
            } else {
                hessian_.at(a, a) += 2 * first;
            }
        }
        for (const int i : touched) {
            gradient_[i] += first * phenotypeGradient_[i];
            for (const int j : touched)
                hessian_.at(i, j) += second * phenotypeGradient_[i] * phenotypeGradient_[j];
        }
    }
}

Refinement::Progress Refinement::iterate(Vector& p, long double& value, bool freezeTiny)
{
    differentiate(p);
    // The sum constraint is taken up by the largest frequency j: moving allele i means
    // moving along e_i − e_j.
    const int j = static_cast<int>(std::max_element(p.begin() + 1, p.end()) - p.begin());
    long double residual = 0;
    for (int i = 1; i <= n_; ++i) {
        reducedGradient_[i] = gradient_[i] - gradient_[j];
        if (i != j)
            residual =
                std::max(residual, std::fabs(p[i] - std::max(0.0L, p[i] - reducedGradient_[i])));
    }
    const long double margin = std::min(activeMargin, residual);
    std::vector<int> free;
    std::fill(step_.begin(), step_.end(), 0);
    for (int i = 1; i <= n_; ++i) {
        if (i == j) continue;
        if (p[i] <= margin && reducedGradient_[i] > 0)
            step_[i] = -p[i]; // held at the bound
        else if (!(freezeTiny && p[i] > 0 && p[i] < tinyFrequency))
            free.push_back(i);
    }
    if (!free.empty()) newtonStep(free, j);
    long double length = 0;
    for (int i = 1; i <= n_; ++i)
        length = std::max(length, std::fabs(step_[i]));
    if (length <= stepTolerance) return Progress::converged;

    long double alpha = 1;
    for (int halving = 0; halving < maxHalvings; ++halving, alpha /= 2) {
        long double others = 0;
        long double predicted = 0;
        long double moved = 0;
        for (int i = 1; i <= n_; ++i) {
            if (i == j) continue;
            trial_[i] = std::max(0.0L, p[i] + alpha * step_[i]);
            others += trial_[i];
            predicted -= reducedGradient_[i] * (trial_[i] - p[i]);
            moved = std::max(moved, std::fabs(trial_[i] - p[i]));
        }
        trial_[j] = 1 - others;
        if (trial_[j] < 0) continue;
        const long double trialValue = evaluate(trial_);
        const bool decreases = trialValue <= value - decreaseShare * std::max(0.0L, predicted) &&
                               (predicted > 0 || trialValue < value);
        const bool withinRounding = halving == 0 && moved <= roundingStep &&
                                    trialValue <= value + 64 * epsilon * std::fabs(value);
        if (decreases || withinRounding) {
            p = trial_;
            value = trialValue;
            if (moved <= stepTolerance) return Progress::converged;
            return halving < stalledHalvings ? Progress::moved : Progress::stalled;
        }
    }
    return Progress::stalled;
}

void Refinement::newtonStep(const std::vector<int>& free, int j)
{
    const int k = static_cast<int>(free.size());
    Matrix reduced(k);
    Vector rhs(static_cast<std::size_t>(k));
    for (int a = 0; a < k; ++a) {
        const int ia = free[static_cast<std::size_t>(a)];
        rhs[static_cast<std::size_t>(a)] = -reducedGradient_[ia];
        for (int b = 0; b < k; ++b) {
            const int ib = free[static_cast<std::size_t>(b)];
            reduced.at(a, b) =
                hessian_.at(ia, ib) - hessian_.at(ia, j) - hessian_.at(j, ib) + hessian_.at(j, j);
        }
    }
    const Vector x = solveDamped(reduced, rhs);
    for (int a = 0; a < k; ++a)
        step_[free[static_cast<std::size_t>(a)]] = x[static_cast<std::size_t>(a)];
}

void Refinement::run()
{
    Vector p(static_cast<std::size_t>(n_ + 1));
    long double sum = 0;
    for (int i = 1; i <= n_; ++i) {
        p[i] = std::clamp(task_.alleleFrequency[i], 0.0L, 1.0L);
        sum += p[i];
    }
    for (int i = 1; i <= n_; ++i)
        p[i] /= sum;
    long double value = evaluate(p);
    const Vector start = p;
    const long double startValue = value;

    // A stall (the line search barely moves) comes from a kink of the criterion: in
    // normalised least squares the weight of a phenotype jumps where its expected
    // frequency crosses the floor, which happens at tiny frequencies. The iteration then
    // goes on with the tiny frequencies held where they are, and once more with all free.
    bool freezeTiny = false;
    bool frozeOnce = false;
    for (int iteration = 0; iteration < maxIterations; ++iteration) {
        const Progress progress = iterate(p, value, freezeTiny);
        if (progress == Progress::moved) continue;
        if (freezeTiny) {
            freezeTiny = false;
            if (progress == Progress::converged) continue;
            break;
        }
        if (progress == Progress::converged || frozeOnce) break;
        freezeTiny = frozeOnce = true;
    }

    if (!(value <= startValue)) p = start;
    for (int i = 1; i <= n_; ++i)
        task_.alleleFrequency[i] = p[i];
}

} // namespace

void refineAlleleFrequencies(TaskState& task, FitCriterion criterion)
{
    Refinement(task, criterion).run();
}
