#include "estimate/round_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string RoundTicks::label(int k) const
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, step * k);
    return text;
}

RoundTicks roundTicks(double top, int maxIntervals)
{
    RoundTicks ticks;
    if (!(top > 0) || !std::isfinite(top)) return ticks;
    maxIntervals = std::max(maxIntervals, 1);
    // The power of ten at or below the even share of the top, then the first of 1, 2, 5, 10
    // times it that reaches the top in maxIntervals steps. A step of 10 is 1 of the next power.
    int power = static_cast<int>(std::floor(std::log10(top / maxIntervals)));
    for (;; ++power) {
        for (const int mantissa : {1, 2, 5}) {
            const double step = mantissa * std::pow(10.0, power);
            // A relative tolerance keeps a top of exactly 0.3 from needing a fourth step of 0.1.
            const auto intervals = static_cast<int>(std::ceil(top / step * (1 - 1e-12)));
            if (intervals <= maxIntervals) {
                ticks.step = step;
                ticks.intervals = std::max(intervals, 1);
                ticks.decimals = std::max(0, -power);
                return ticks;
            }
        }
    }
}
