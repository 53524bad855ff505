// Random draws of counts for the comparison's replicates: a sample's individuals drawn again
// with replacement, and the hypergeometric count of one category when individuals are
// shared out between two samples at random. Entry points: resampleCounts, drawHypergeometric.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

using RandomEngine = std::mt19937_64;

// Draws as many individuals as counts holds, with replacement, and gives their counts per
// category (a multinomial draw with the sample's proportions), as successive conditional
// binomials.
void resampleCounts(const std::vector<std::int64_t>& counts, RandomEngine& engine,
                    std::vector<std::int64_t>& drawn);

// The number of marked items among `draws` taken without replacement from `marked` marked
// and `unmarked` other items; draws ≤ marked + unmarked. Exact: by selection sampling when
// few are marked or drawn, otherwise by inversion from the mode.
std::int64_t drawHypergeometric(std::int64_t marked, std::int64_t unmarked, std::int64_t draws,
                                RandomEngine& engine);
