// What the plots of the compared populations show, as numbers: for systems of three alleles
// each population in the allele triangle with the 95% confidence ellipse of its
// maximum-likelihood frequencies, and for any system the populations on the first two
// principal components of their frequencies. Entry points: trianglePoints,
// principalComponents.
#pragma once

#include "compare/genetic_distance.h"
#include "compare/population_comparison.h"

#include <array>
#include <optional>
#include <vector>

// An ellipse about a point: its semi-axes and the angle of the major one from the x axis
// (radians, in (−π/2, π/2]).
struct ConfidenceEllipse
{
    double majorSemiAxis = 0;
    double minorSemiAxis = 0;
    double angle = 0;
};

// A point of the triangle with allele 1 at (0, 0), allele 2 at (1, 0) and allele 3 at
// (1/2, √3/2): frequencies (p, q, r) lie at (q + r/2, r√3/2).
struct TrianglePoint
{
    double x = 0;
    double y = 0;
    // The 95% region of the estimate (χ² of 2 degrees of freedom) from the covariance of the
    // expected information; nothing when an allele lies on the boundary or the information
    // is singular.
    std::optional<ConfidenceEllipse> ellipse;
};

// The populations' estimates in the triangle; task gives the genotype table. Nothing unless
// the system has three alleles.
std::vector<TrianglePoint> trianglePoints(const TaskState& task,
                                          const std::vector<PopulationEstimate>& populations);

struct PrincipalComponents
{
    // Per population, its coordinates on the first two axes; each axis is turned so that its
    // coordinate of largest size is positive.
    std::vector<std::array<double, 2>> scores;
    std::array<double, 2> varianceShares{}; // of the total variance; 0 when there is none
};

// The principal components of the allele frequencies (one row per population, the alleles
// as variables, centred on the mean of the populations).
PrincipalComponents principalComponents(const std::vector<Frequencies>& populations);
