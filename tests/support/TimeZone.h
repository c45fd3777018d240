#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Local time in the zone pszZone (a TZ value) for the object's life; the old zone comes back
// when it goes. tzset() re-reads TZ even after earlier conversions, so the zone holds whatever
// ran before in this process. Windows takes its zone from the system when the process starts:
// there only "UTC" can be had, when the tests run in it (the Windows build runs them with
// TZ=UTC, which Wine follows); IsSet() says whether the zone holds.
class CTimeZone {
public:
    explicit CTimeZone(const char* pszZone);
    ~CTimeZone();
    CTimeZone(const CTimeZone&) = delete;
    CTimeZone& operator=(const CTimeZone&) = delete;

    bool IsSet() const { return m_bSet; }
    // The earliest time (seconds since 1970) that this system's calendar functions convert:
    // Windows' begin in 1601. Earlier times render as unknown there.
    static std::int64_t EarliestConvertible();

private:
    std::optional<std::string> m_strOld;
    bool m_bSet = false;
};
