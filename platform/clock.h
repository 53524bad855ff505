// The system clock in local time, with a seam for tests that need a fixed moment.
#pragma once

#include <functional>

struct LocalDateTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalDateTime currentDateTime();

// Tests replace the clock; an empty function restores the system clock.
void setClockForTests(std::function<LocalDateTime()> clock);
