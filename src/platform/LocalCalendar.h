#pragma once

// Calendar arithmetic shared by the time functions of each system, and the one function that
// each system answers itself: the local calendar time of a moment.

#include <cstdint>

inline constexpr std::int64_t kSecondsPerDay = 86400;
inline constexpr std::int64_t kSecondsPerHour = 3600;

struct SCalendar {
    long long nYear = 0;
    int nMonth = 0; // 1-12
    int nDay = 0;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
};

inline std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {
    const std::int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d);
// The calendar of a count of local seconds since 1970-01-01 00:00:00.
void CalendarFromLocalSeconds(std::int64_t nLocal, SCalendar& cal);

// The local calendar time of nSeconds (since 1970, UTC); false when it has none.
bool LocalCalendarOf(std::int64_t nSeconds, SCalendar& cal);
