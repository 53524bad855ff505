#include "platform/clock.h"

#include <ctime>

namespace {
std::function<LocalDateTime()>& clockOverride()
{
    static std::function<LocalDateTime()> clock;
    return clock;
}
} // namespace

LocalDateTime currentDateTime()
{
    if (clockOverride()) return clockOverride()();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void setClockForTests(std::function<LocalDateTime()> clock)
{
    clockOverride() = std::move(clock);
}
