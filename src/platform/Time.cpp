#include "platform/Time.h"

#include <chrono>

#include "platform/LocalCalendar.h"

// H. Hinnant's algorithms.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CalendarFromLocalSeconds(std::int64_t nLocal, SCalendar& cal) {
    const std::int64_t nDays = FloorDiv(nLocal, kSecondsPerDay);
    const std::int64_t nSecOfDay = nLocal - nDays * kSecondsPerDay;
    const std::int64_t z = nDays + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    cal.nDay = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    cal.nMonth = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    cal.nYear = static_cast<long long>(yoe + era * 400 + (cal.nMonth <= 2 ? 1 : 0));
    cal.nHour = static_cast<int>(nSecOfDay / kSecondsPerHour);
    cal.nMinute = static_cast<int>(nSecOfDay / 60 % 60);
    cal.nSecond = static_cast<int>(nSecOfDay % 60);
}

namespace {

// Writes a value of 0-99 as two digits at p.
void PutTwoDigits(char* p, int nValue) {
    p[0] = static_cast<char>('0' + nValue / 10);
    p[1] = static_cast<char>('0' + nValue % 10);
}

void AppendCalendar(const SCalendar& cal, std::string& strOut) {
    if (cal.nYear >= 1000 && cal.nYear <= 9999) {
        // The common case, on the path of every rendered time: the text is built in place
        // and appended at once, one capacity check per time rather than one per character.
        char szText[] = "dd.mm.yyyy, hh:mm:ss";
        PutTwoDigits(szText, cal.nDay);
        PutTwoDigits(szText + 3, cal.nMonth);
        PutTwoDigits(szText + 6, static_cast<int>(cal.nYear / 100));
        PutTwoDigits(szText + 8, static_cast<int>(cal.nYear % 100));
        PutTwoDigits(szText + 12, cal.nHour);
        PutTwoDigits(szText + 15, cal.nMinute);
        PutTwoDigits(szText + 18, cal.nSecond);
        strOut.append(szText, sizeof szText - 1);
        return;
    }
    char szDate[] = "dd.mm.";
    PutTwoDigits(szDate, cal.nDay);
    PutTwoDigits(szDate + 3, cal.nMonth);
    strOut.append(szDate, sizeof szDate - 1);
    // Same as "%4d": right-aligned in four places, longer numbers whole.
    std::string strYear = std::to_string(cal.nYear);
    if (strYear.size() < 4)
        strOut.append(4 - strYear.size(), ' ');
    strOut += strYear;
    char szClock[] = ", hh:mm:ss";
    PutTwoDigits(szClock + 2, cal.nHour);
    PutTwoDigits(szClock + 5, cal.nMinute);
    PutTwoDigits(szClock + 8, cal.nSecond);
    strOut.append(szClock, sizeof szClock - 1);
}

} // namespace

CTime CTime::GetCurrentTime() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return CTime(std::chrono::floor<std::chrono::seconds>(now).count());
}

void AppendLocalTime(std::int64_t nSeconds, std::string& strOut) {
    SCalendar cal;
    if (!LocalCalendarOf(nSeconds, cal)) {
        strOut += "??.??.????, ??:??:??";
        return;
    }
    AppendCalendar(cal, strOut);
}

std::string FormatLocalTime(std::int64_t nSeconds) {
    std::string str;
    AppendLocalTime(nSeconds, str);
    return str;
}
