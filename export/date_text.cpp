#include "export/date_text.h"

#include <cstdio>

std::string shortDateText(const LocalDateTime& moment)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", moment.day, moment.month, moment.year);
    return text;
}
