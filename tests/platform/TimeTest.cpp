#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "platform/Time.h"

namespace {

// Sets the time zone for one test and puts the old one back.
class TimeTest : public ::testing::Test {
protected:
    ~TimeTest() override {
        if (m_bHad)
            setenv("TZ", m_strOld.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    void UseZone(const char* pszZone) {
        setenv("TZ", pszZone, 1);
        tzset();
    }

private:
    const char* m_pszOld = std::getenv("TZ");
    bool m_bHad = m_pszOld != nullptr;
    std::string m_strOld = m_pszOld ? m_pszOld : "";
};

TEST_F(TimeTest, RendersUtcCalendarTime) {
    UseZone("UTC");
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "01.01.1970, 00:00:00"},
        {-1, "31.12.1969, 23:59:59"},
        {951782400, "29.02.2000, 00:00:00"},
        {2147483647, "19.01.2038, 03:14:07"},
        {2147483648, "19.01.2038, 03:14:08"}, // past the 32-bit limit
        {4102444800, "01.01.2100, 00:00:00"},
        {253402300799, "31.12.9999, 23:59:59"},
        {253402300800, "01.01.10000, 00:00:00"}, // "%4d" prints longer years whole
        {-30610224001, "31.12. 999, 23:59:59"},  // and pads shorter ones
    };
    for (const auto& [nSeconds, pszExpected] : cases) {
        EXPECT_EQ(FormatLocalTime(nSeconds), pszExpected) << nSeconds;
        std::string strOut = "x";
        AppendLocalTime(nSeconds, strOut);
        EXPECT_EQ(strOut, std::string("x") + pszExpected);
    }
}

TEST_F(TimeTest, RendersInTheLocalZone) {
    UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(FormatLocalTime(1625140800), "01.07.2021, 14:00:00"); // summer: UTC+2
    EXPECT_EQ(FormatLocalTime(1609459200), "01.01.2021, 01:00:00"); // winter: UTC+1
    UseZone("EST5");
    EXPECT_EQ(FormatLocalTime(1609459200), "31.12.2020, 19:00:00");
}

// The text as localtime_r gives it, written out independently of the code under test.
std::string ReferenceText(std::int64_t nSeconds) {
    const std::time_t t = static_cast<std::time_t>(nSeconds);
    std::tm tmLocal{};
    if (localtime_r(&t, &tmLocal) == nullptr)
        return "??.??.????, ??:??:??";
    char sz[64];
    std::snprintf(sz, sizeof sz, "%02d.%02d.%4lld, %02d:%02d:%02d", tmLocal.tm_mday,
                  tmLocal.tm_mon + 1, static_cast<long long>(tmLocal.tm_year) + 1900,
                  tmLocal.tm_hour, tmLocal.tm_min, tmLocal.tm_sec);
    return sz;
}

long OffsetAt(std::int64_t nSeconds) {
    const std::time_t t = static_cast<std::time_t>(nSeconds);
    std::tm tmLocal{};
    return localtime_r(&t, &tmLocal) != nullptr ? tmLocal.tm_gmtoff : 0;
}

// Times to check in the current zone: each transition between 1900 and 2100 (found day by
// day, then to the second), the seconds next to it and next to the hours around it, and
// every minute for two hours either side (so the same hours are rendered again and again);
// plus times spread far and wide.
std::vector<std::int64_t> TimesAroundTransitions() {
    // Hours where zones' histories differ (local mean time; Berlin's double summer time of
    // 1945; Paris's summer time of 1976, which Berlin did not have), each rendered twice,
    // first and last: the next zone starts with them, remembered from this one.
    std::vector<std::int64_t> history;
    for (std::int64_t t : {-2'500'000'000LL, -774'705'600LL, 203'000'000LL})
        for (int nTimes = 0; nTimes < 2; ++nTimes)
            for (std::int64_t d = 0; d < 3600; d += 599)
                history.push_back(t + d);
    std::vector<std::int64_t> times = history;
    constexpr std::int64_t kFrom = -2'208'988'800; // 1900
    constexpr std::int64_t kTo = 4'102'444'800;    // 2100
    for (std::int64_t t = kFrom; t < kTo; t += 86400) {
        if (OffsetAt(t) == OffsetAt(t + 86400))
            continue;
        std::int64_t nBefore = t;
        std::int64_t nAfter = t + 86400;
        while (nAfter - nBefore > 1) {
            const std::int64_t nMid = nBefore + (nAfter - nBefore) / 2;
            (OffsetAt(nMid) == OffsetAt(t) ? nBefore : nAfter) = nMid;
        }
        for (std::int64_t d = -7200; d <= 7200; d += 60)
            times.push_back(nAfter + d);
        for (std::int64_t nEdge : {nAfter - 3600, nAfter, nAfter + 3600})
            for (std::int64_t d = -2; d <= 2; ++d)
                times.push_back(nEdge + d);
    }
    for (std::int64_t t = kFrom * 40; t < kTo * 40; t += 7'777'777)
        times.push_back(t);
    times.insert(times.end(), history.begin(), history.end());
    return times;
}

TEST_F(TimeTest, SameTextAsLocaltimeAcrossZoneTransitions) {
    // Zones with summer time north and south, half-hour and 45-minute offsets, negative
    // summer time, leap seconds, history; Berlin and Paris share their abbreviations but not
    // their history, so a change between them must not keep stale offsets.
    std::vector<std::string> zones = {"UTC", "CET-1CEST,M3.5.0,M10.5.0/3",
                                      "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0"};
    for (const char* pszZone :
         {"Europe/Berlin", "Europe/Paris", "Europe/Berlin", "America/New_York",
          "Australia/Lord_Howe", "Asia/Kathmandu", "Pacific/Chatham", "Europe/Dublin",
          "Africa/Casablanca", "America/Sao_Paulo", "right/Europe/London"}) {
        if (std::filesystem::exists(std::string("/usr/share/zoneinfo/") + pszZone))
            zones.push_back(pszZone);
    }
    for (const std::string& strZone : zones) {
        SCOPED_TRACE(strZone);
        UseZone(strZone.c_str());
        int nFailures = 0;
        for (std::int64_t t : TimesAroundTransitions()) {
            const std::string strExpected = ReferenceText(t);
            if (FormatLocalTime(t) != strExpected && ++nFailures <= 5)
                ADD_FAILURE() << t << ": " << FormatLocalTime(t) << " instead of " << strExpected;
        }
        EXPECT_EQ(nFailures, 0);
    }
}

TEST_F(TimeTest, UnconvertibleValuesRenderAsQuestionMarks) {
    UseZone("UTC");
    for (std::int64_t n :
         {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
        EXPECT_EQ(FormatLocalTime(n), "??.??.????, ??:??:??") << n;
        std::string strOut = "keep ";
        AppendLocalTime(n, strOut);
        EXPECT_EQ(strOut, "keep ??.??.????, ??:??:??");
    }
}

TEST_F(TimeTest, CurrentTimeIsTheSystemClock) {
    const std::int64_t nBefore = std::time(nullptr);
    const std::int64_t nNow = CTime::GetCurrentTime().GetTime();
    const std::int64_t nAfter = std::time(nullptr);
    EXPECT_GE(nNow, nBefore);
    EXPECT_LE(nNow, nAfter);
    EXPECT_EQ(CTime(4102444800).GetTime(), 4102444800);
    EXPECT_EQ(CTime().GetTime(), 0);
}

} // namespace
