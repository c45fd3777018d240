#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

#include "platform/Time.h"

namespace {

// Sets the time zone for one test and puts the old one back.
class PlatformTime : public ::testing::Test {
protected:
    ~PlatformTime() override {
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

TEST_F(PlatformTime, RendersUtcCalendarTime) {
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

TEST_F(PlatformTime, RendersInTheLocalZone) {
    UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(FormatLocalTime(1625140800), "01.07.2021, 14:00:00"); // summer: UTC+2
    EXPECT_EQ(FormatLocalTime(1609459200), "01.01.2021, 01:00:00"); // winter: UTC+1
    UseZone("EST5");
    EXPECT_EQ(FormatLocalTime(1609459200), "31.12.2020, 19:00:00");
}

TEST_F(PlatformTime, UnconvertibleValuesRenderAsQuestionMarks) {
    UseZone("UTC");
    for (std::int64_t n :
         {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
        EXPECT_EQ(FormatLocalTime(n), "??.??.????, ??:??:??") << n;
        std::string strOut = "keep ";
        AppendLocalTime(n, strOut);
        EXPECT_EQ(strOut, "keep ??.??.????, ??:??:??");
    }
}

TEST_F(PlatformTime, CurrentTimeIsTheSystemClock) {
    const std::int64_t nBefore = std::time(nullptr);
    const std::int64_t nNow = CTime::GetCurrentTime().GetTime();
    const std::int64_t nAfter = std::time(nullptr);
    EXPECT_GE(nNow, nBefore);
    EXPECT_LE(nNow, nAfter);
    EXPECT_EQ(CTime(4102444800).GetTime(), 4102444800);
    EXPECT_EQ(CTime().GetTime(), 0);
}

} // namespace
