#include "support/TimeZone.h"

#include <windows.h>

#include <string_view>

CTimeZone::CTimeZone(const char* pszZone) {
    TIME_ZONE_INFORMATION zone{};
    const DWORD nResult = GetTimeZoneInformation(&zone);
    // UTC: no offset and no daylight saving time.
    const bool bSystemInUtc = nResult == TIME_ZONE_ID_UNKNOWN && zone.Bias == 0;
    m_bSet = std::string_view(pszZone) == "UTC" && bSystemInUtc;
}

CTimeZone::~CTimeZone() = default;

std::int64_t CTimeZone::EarliestConvertible() {
    return -11644473600; // 1601-01-01, where FILETIME and SYSTEMTIME begin
}
