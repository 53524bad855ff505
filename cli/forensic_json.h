// The identification figures and the gene diversity of a system as the JSON objects
// velimor-calc writes wherever a population's figures appear: "forensic" and "diversity".
// Entry points: forensicJson, diversityJson.
#pragma once

#include "cli/calc_output.h"
#include "compare/system_figures.h"

// {"matchProbability", "discriminationPower", "exclusionTrio", "exclusionDuo",
// "polymorphicInformationContent" (null where undefined)}, and "intervals"
// {"discriminationPower", "exclusionTrio", "exclusionDuo": each [low, high] or null} when
// intervals are given.
ReportJson forensicJson(const ForensicFigures& figures, const ForensicIntervals* intervals);

// {"heterozygosity", "unbiasedHeterozygosity", "standardError", "effectiveAlleles"}, null
// where the covariance is not defined.
ReportJson diversityJson(const GeneDiversity& diversity);
