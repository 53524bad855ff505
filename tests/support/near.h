// Comparison of floating results with a tolerance; a failure prints both values and the
// tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

inline ::testing::AssertionResult near(long double actual, long double expected,
                                       long double tolerance)
{
    if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
    std::ostringstream text;
    text.precision(21);
    text << "actual " << actual << ", expected " << expected << ", tolerance " << tolerance;
    return ::testing::AssertionFailure() << text.str();
}
