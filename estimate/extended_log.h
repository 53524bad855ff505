// The natural logarithm in 80-bit extended precision, within 2 units in the last place,
// about twice as fast as the library's logl (which runs the x87 FYL2X instruction): the
// maximum-likelihood criterion takes one per phenotype at every trial point, and these
// logarithms are most of a large task's search time. Entry point: extendedLog.
#pragma once

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace extended_log_detail {

constexpr int indexBits = 10;
constexpr int entries = 1 << indexBits;

// Entry j stands for the point c = 1 + (2j + 1) / 2048, the middle of the j-th of 1024
// equal steps of [1, 2); past √2 it stands for c / 2 instead, so that arguments just
// below a power of two do not lose digits to a cancellation with the exponent's share.
struct Table
{
    std::array<long double, entries> centre;
    std::array<long double, entries> reciprocal; // 1 / centre, rounded
    std::array<long double, entries> logarithm;  // ln centre, by logl
    std::array<int, entries> exponentShift;      // 1 where the entry stands for c / 2
    Table();
};
extern const Table table;

// ln 2 split so that k × high is exact for every binary exponent k.
constexpr long double ln2High = 0x1.62e42fefa39ep-1L;
constexpr long double ln2Low = 0x1.e6af278ece600fccp-50L;

// ln(1 + u) for |u| ≤ 2^-11: u − u²/2 in extended precision, the rest of the series
// (below 2^-33 of the result) in double.
inline long double log1pSmall(long double u)
{
    const double v = static_cast<double>(u);
    const double tail = v * v * v * (1.0 / 3 - v * (1.0 / 4 - v * (1.0 / 5 - v * (1.0 / 6))));
    return u - u * u * 0.5L + tail;
}

} // namespace extended_log_detail

// ln x for x > 0. Arguments outside the normal range of double (and 0, negatives,
// infinities, NaN) go to the library's logl.
inline long double extendedLog(long double x)
{
    using namespace extended_log_detail;
    if (x > 1 - 0x1p-11L && x < 1 + 0x1p-11L) return log1pSmall(x - 1);
    const double approximation = static_cast<double>(x);
    if (!(approximation >= DBL_MIN && approximation < 0x1p1022)) return std::log(x);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &approximation, sizeof bits);
    // The index comes from the double's leading bits; when rounding to double carried
    // into the next step, x lies just below that step's range and u stays within 2^-11.
    const auto j = static_cast<std::size_t>(bits >> (52 - indexBits)) & (entries - 1);
    const int k = static_cast<int>(bits >> 52) - 1023 + table.exponentShift[j];
    const std::uint64_t scaleBits = static_cast<std::uint64_t>(1023 - k) << 52;
    double scale = 0;
    std::memcpy(&scale, &scaleBits, sizeof scale);
    // x × 2^-k is exact and so is its difference from the centre (same binade, the centre
    // having 12 significant bits).
    const long double u = (x * scale - table.centre[j]) * table.reciprocal[j];
    return (k * ln2High + table.logarithm[j]) + (k * ln2Low + log1pSmall(u));
}
