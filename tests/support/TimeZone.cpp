#include "support/TimeZone.h"

#include <cstdlib>
#include <ctime>

CTimeZone::CTimeZone(const char* pszZone) {
    if (const char* pszOld = std::getenv("TZ"))
        m_strOld = pszOld;
    m_bSet = setenv("TZ", pszZone, 1) == 0;
    tzset();
}

CTimeZone::~CTimeZone() {
    if (m_strOld)
        setenv("TZ", m_strOld->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
