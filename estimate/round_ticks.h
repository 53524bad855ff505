// Round tick values for a chart's axis from 0 up: a step of 1, 2 or 5 times a power of ten, and
// labels with just enough decimals that every tick reads differently. Entry point: roundTicks.
#pragma once

#include <string>

struct RoundTicks
{
    double step = 1;   // 1, 2 or 5 times a power of ten
    int intervals = 1; // steps from 0 to the last tick
    int decimals = 0;  // digits after the point that show the step exactly

    // The last tick: the first at or above the top it was chosen for.
    double top() const { return step * intervals; }
    // The label of tick k (0..intervals): k·step with `decimals` digits after the point.
    std::string label(int k) const;
};

// The smallest round step that reaches top (> 0) in at most maxIntervals (>= 1) steps from 0;
// a top that is not positive and finite gives one step of 1.
RoundTicks roundTicks(double top, int maxIntervals);
