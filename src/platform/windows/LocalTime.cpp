#include "platform/LocalCalendar.h"

#include <windows.h>

#include <array>

// Windows' own zone rules, year by year (GetTimeZoneInformationForYear): the C runtime's
// localtime knows no time before 1970 or after 3000 and no zone names.

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
// SYSTEMTIME holds the years 1601 to 30827.
constexpr std::int64_t kFirstSecond = -kSecondsFrom1601To1970;
constexpr std::int64_t kLastSecond = 910'692'730'085; // 30827-12-31 23:59:59 UTC

// The zone's rules of one year, asked for once per thread and year.
class CZoneYears {
public:
    const TIME_ZONE_INFORMATION* ForYear(WORD nYear) {
        SSlot& slot = m_slots[nYear % m_slots.size()];
        if (slot.nYear != nYear) {
            if (!GetTimeZoneInformationForYear(nYear, nullptr, &slot.zone))
                return nullptr;
            slot.nYear = nYear;
        }
        return &slot.zone;
    }

private:
    struct SSlot {
        WORD nYear = 0;
        TIME_ZONE_INFORMATION zone{};
    };
    std::array<SSlot, 16> m_slots;
};

} // namespace

bool LocalCalendarOf(std::int64_t nSeconds, SCalendar& cal) {
    if (nSeconds < kFirstSecond || nSeconds > kLastSecond)
        return false;
    const auto nTicks = static_cast<std::uint64_t>(nSeconds + kSecondsFrom1601To1970) *
                        static_cast<std::uint64_t>(kTicksPerSecond);
    FILETIME ft{static_cast<DWORD>(nTicks), static_cast<DWORD>(nTicks >> 32)};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&ft, &utc))
        return false;
    thread_local CZoneYears zones;
    const TIME_ZONE_INFORMATION* pZone = zones.ForYear(utc.wYear);
    if (pZone == nullptr || !SystemTimeToTzSpecificLocalTime(pZone, &utc, &local))
        return false;
    cal.nYear = local.wYear;
    cal.nMonth = local.wMonth;
    cal.nDay = local.wDay;
    cal.nHour = local.wHour;
    cal.nMinute = local.wMinute;
    cal.nSecond = local.wSecond;
    return true;
}
