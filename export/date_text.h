// The date of a title line in the user's short date format.
#pragma once

#include "platform/clock.h"

#include <string>

// "07.03.2026": day, month and four-digit year.
std::string shortDateText(const LocalDateTime& moment);
