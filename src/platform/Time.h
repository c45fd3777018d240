#pragma once

#include <cstdint>
#include <string>

// Seconds since 1970-01-01 00:00:00 UTC, 64-bit so that dates after 2038 survive.
class CTime {
public:
    CTime() = default;
    explicit CTime(std::int64_t nSeconds) : m_nTime(nSeconds) {}

    static CTime GetCurrentTime();

    std::int64_t GetTime() const { return m_nTime; }
    bool operator==(const CTime&) const = default;

private:
    std::int64_t m_nTime = 0;
};

// "dd.mm.yyyy, hh:mm:ss" in local time; "??.??.????, ??:??:??" when the value has no
// local calendar time. Appends to strOut so that listings need no temporary strings.
void AppendLocalTime(std::int64_t nSeconds, std::string& strOut);
std::string FormatLocalTime(std::int64_t nSeconds);
