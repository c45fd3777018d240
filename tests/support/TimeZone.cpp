#include "support/TimeZone.h"

#include <cstdlib>
#include <ctime>
#include <limits>

CTimeZone::CTimeZone(const char* pszZone) {
    if (const char* pszOld = std::getenv("TZ"))
        m_strOld = pszOld;
    m_bSet = setenv("TZ", pszZone, 1) == 0;
    tzset();
}

std::int64_t CTimeZone::EarliestConvertible() {
    return std::numeric_limits<std::int64_t>::min();
}

CTimeZone::~CTimeZone() {
    if (m_strOld)
        setenv("TZ", m_strOld->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
