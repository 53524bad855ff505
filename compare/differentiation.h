// The differentiation of k populations from their allele frequencies, with the populations
// weighted equally: Nei's Gst, Hedrick's G'st and Jost's D, and their bootstrap percentile
// intervals. Entry points: differentiation, differentiationIntervals.
#pragma once

#include "compare/genetic_distance.h"
#include "estimate/percentile.h"

#include <optional>
#include <utility>
#include <vector>

struct Differentiation
{
    double withinDiversity = 0; // HS: the mean over the populations of 1 − Σ p²
    double totalDiversity = 0;  // HT: 1 − Σ p̄², p̄ the mean frequencies
    // Nothing where the figure's denominator is 0 (HT = 0: every population fixed for one
    // allele, within rounding) or there are fewer than two populations.
    std::optional<double> gst;      // (HT − HS) / HT
    std::optional<double> gstPrime; // Gst (k − 1 + HS) / ((k − 1)(1 − HS))
    std::optional<double> jostD;    // (HT − HS) / (1 − HS) · k / (k − 1)
};

Differentiation differentiation(const std::vector<Frequencies>& populations);

struct DifferentiationIntervals
{
    std::optional<Interval> gst; // nothing when no replicate has the figure
    std::optional<Interval> gstPrime;
    std::optional<Interval> jostD;
};

// The 2.5% and 97.5% points (interpolated between neighbours) of each figure over the
// bootstrap samples (sample b, population i) in which it is defined.
DifferentiationIntervals
differentiationIntervals(const std::vector<std::vector<Frequencies>>& samples);
