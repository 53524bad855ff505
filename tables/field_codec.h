// Values of DBF fields in their stored form: numbers as right-aligned ASCII with "." as the
// decimal point, logicals as one letter, dates as YYYYMMDD, texts padded with spaces. A
// field of spaces is empty.
#pragma once

#include "platform/short_date.h"

#include <optional>
#include <string>
#include <string_view>

bool isBlankField(std::string_view stored);

// The number of an N or F field; 0 when empty; nothing when the text is not a number.
std::optional<double> readNumber(std::string_view stored);

// T, t, Y, y are true; anything else (F, N, a space, ?) is false.
bool readLogical(std::string_view stored);

// The date of a D field; the empty date for spaces or zeros; nothing for another text.
std::optional<CalendarDate> readDate(std::string_view stored);

// The text of a C field without its trailing spaces.
std::string_view readText(std::string_view stored);

// A number stored in a field of this width and number of decimals, right-aligned; nothing
// when it does not fit.
std::optional<std::string> numberField(double value, int width, int decimals);

std::string textField(std::string_view text, int width); // cut or padded to the width
std::string dateField(const CalendarDate& date);         // eight spaces for the empty date

// The general decimal form of a number: 12 → "12", 12.5 → "12.5", 20000000 → "20000000".
std::string numberText(double value);
