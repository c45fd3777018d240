#include "platform/Time.h"

#include <ctime>
#include <mutex>

namespace {

// localtime() may re-read the zone file on every call; one tzset() and localtime_r() do not.
void InitTimeZoneOnce() {
    static std::once_flag once;
    std::call_once(once, [] { tzset(); });
}

void AppendTwoDigits(int nValue, std::string& strOut) {
    strOut += static_cast<char>('0' + nValue / 10);
    strOut += static_cast<char>('0' + nValue % 10);
}

} // namespace

CTime CTime::GetCurrentTime() {
    return CTime(static_cast<std::int64_t>(std::time(nullptr)));
}

void AppendLocalTime(std::int64_t nSeconds, std::string& strOut) {
    InitTimeZoneOnce();
    std::tm tmLocal{};
    const std::time_t t = static_cast<std::time_t>(nSeconds);
    if (static_cast<std::int64_t>(t) != nSeconds || localtime_r(&t, &tmLocal) == nullptr) {
        strOut += "??.??.????, ??:??:??";
        return;
    }
    AppendTwoDigits(tmLocal.tm_mday, strOut);
    strOut += '.';
    AppendTwoDigits(tmLocal.tm_mon + 1, strOut);
    strOut += '.';
    const long long nYear = static_cast<long long>(tmLocal.tm_year) + 1900;
    if (nYear >= 1000 && nYear <= 9999) {
        // The common case, on the path of every rendered time: no temporary string.
        AppendTwoDigits(static_cast<int>(nYear / 100), strOut);
        AppendTwoDigits(static_cast<int>(nYear % 100), strOut);
    } else {
        // Same as "%4d": right-aligned in four places, longer numbers whole.
        std::string strYear = std::to_string(nYear);
        if (strYear.size() < 4)
            strOut.append(4 - strYear.size(), ' ');
        strOut += strYear;
    }
    strOut += ", ";
    AppendTwoDigits(tmLocal.tm_hour, strOut);
    strOut += ':';
    AppendTwoDigits(tmLocal.tm_min, strOut);
    strOut += ':';
    AppendTwoDigits(tmLocal.tm_sec, strOut);
}

std::string FormatLocalTime(std::int64_t nSeconds) {
    std::string str;
    AppendLocalTime(nSeconds, str);
    return str;
}
