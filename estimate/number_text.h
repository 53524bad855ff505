// The number texts of the results: fixed-point, general and integer, always with "." as the
// decimal point whatever the user's locale. Entry points: formatFixed, generalText,
// integerText, shownValue.
#pragma once

#include <cstdint>
#include <string>

// x rounded to `decimals` places (half away from zero, on the exact binary value), in
// fixed-point notation with a leading "-" for negatives, padded on the left with spaces
// to at least `width` characters (a longer text is not cut). A value that rounds to zero
// is shown without a sign: formatFixed(-1e-20, 5, 3) is "0.000".
std::string formatFixed(long double x, int width, int decimals);

// x rounded to 15 significant digits, trailing zeros and a trailing decimal point removed:
// fixed notation from 0.00001 up to 15 integer digits ("1", "0.999"), exponent notation
// otherwise ("1.5E-7", "2E20").
std::string generalText(double x);

// The decimal digits of n, with a leading "-" for negatives.
std::string integerText(std::int64_t n);

// The number a text written by formatFixed or generalText stands for (leading blanks
// skipped); 0 for a text that holds no number.
double shownValue(const std::string& text);
