// The gene diversity of a population from its allele frequencies: Nei's heterozygosity
// H = 1 − Σp², its bias-corrected form H + tr V (V the covariance of the frequencies, which
// for codominant data is Nei's 2N/(2N − 1) correction to first order), its standard error by
// the delta method √(4 pᵀVp), and the effective number of alleles 1/Σp². Entry point:
// geneDiversity.
#pragma once

#include <optional>
#include <vector>

struct GeneDiversity
{
    double heterozygosity = 0;
    double effectiveAlleles = 0;
    // Both need the covariance; missing where it is not defined (a singular information).
    std::optional<double> unbiasedHeterozygosity;
    std::optional<double> standardError;
};

// p: the frequencies, allele 1 first; covariance: their n × n covariance, row-major, or
// nothing.
GeneDiversity geneDiversity(const std::vector<long double>& p,
                            const std::optional<std::vector<long double>>& covariance);
