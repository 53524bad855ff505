// Which cell texts go into the workbook as numbers: a text that reads whole as a decimal
// number (the padded fixed-point and integer texts of the reports) becomes a number with a
// format that shows exactly its digits, so the user can compute with it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct ShownNumber
{
    double value = 0;
    int decimals = 0; // digits after the decimal point, as shown
};

// Reads a text such as "  0.600", "36" or "-12.50": surrounding spaces (the padding of the
// report columns), an optional minus, an integer part without leading zeros, and an optional
// "." followed by digits. Texts that a number cell cannot show digit for digit stay texts:
// a minus zero ("-0.000"), more than 15 significant digits, exponent notation, or anything
// else around the digits.
std::optional<ShownNumber> readShownNumber(std::string_view text);

// The cell format that shows a number with that many decimals: "0", "0.0", "0.00", ...
std::string numberFormat(int decimals);
