#include "platform/LocalCalendar.h"

#include <unistd.h>

#include <array>
#include <ctime>
#include <memory>
#include <mutex>

namespace {

// Hours further from 1970 than this (about 550,000 years) skip the cache, so that its
// arithmetic stays far from overflow; localtime_r decides what they show.
constexpr std::int64_t kCacheLimit = std::int64_t{1} << 44;

// localtime() may re-read the zone file on every call; one tzset() and localtime_r() do not.
void InitTimeZoneOnce() {
    static std::once_flag once;
    std::call_once(once, [] { tzset(); });
}

bool LocalTm(std::int64_t nSeconds, std::tm& tmLocal) {
    const std::time_t t = static_cast<std::time_t>(nSeconds);
    return static_cast<std::int64_t>(t) == nSeconds && localtime_r(&t, &tmLocal) != nullptr;
}

bool LocalCalendar(std::int64_t nSeconds, SCalendar& cal) {
    std::tm tmLocal{};
    if (!LocalTm(nSeconds, tmLocal))
        return false;
    cal.nYear = static_cast<long long>(tmLocal.tm_year) + 1900;
    cal.nMonth = tmLocal.tm_mon + 1;
    cal.nDay = tmLocal.tm_mday;
    cal.nHour = tmLocal.tm_hour;
    cal.nMinute = tmLocal.tm_min;
    cal.nSecond = tmLocal.tm_sec;
    return true;
}

// Local calendar seconds minus UTC seconds at nSeconds, as localtime_r sees it (leap seconds
// of a "right/" zone included); false when the time has no local calendar time.
bool OffsetAt(std::int64_t nSeconds, std::int64_t& nOffset) {
    std::tm tmLocal{};
    if (!LocalTm(nSeconds, tmLocal))
        return false;
    const std::int64_t nLocal = DaysFromCivil(static_cast<std::int64_t>(tmLocal.tm_year) + 1900,
                                              tmLocal.tm_mon + 1, tmLocal.tm_mday) *
                                    kSecondsPerDay +
                                tmLocal.tm_hour * kSecondsPerHour + tmLocal.tm_min * 60 +
                                tmLocal.tm_sec;
    nOffset = nLocal - nSeconds;
    return true;
}

// What the zone depends on: the TZ entry of the environment (found again only when the
// environment changed) and what tzset() last set. A change of either empties the cache.
struct SZoneKey {
    char** ppEnviron = nullptr;
    std::size_t nSlot = 0;          // index of the TZ entry, or the entry count without one
    const char* pszEntry = nullptr; // the TZ entry, or the last entry without one
    bool bHasTz = false;
    const char* pszStdName = nullptr; // tzname[0]
    const char* pszDstName = nullptr; // tzname[1]
    long nTimezone = 0;

    static SZoneKey Current() {
        SZoneKey key;
        key.ppEnviron = environ;
        if (environ != nullptr) {
            std::size_t i = 0;
            for (; environ[i] != nullptr; ++i) {
                const char* psz = environ[i];
                if (psz[0] == 'T' && psz[1] == 'Z' && psz[2] == '=') {
                    key.bHasTz = true;
                    key.nSlot = i;
                    key.pszEntry = psz;
                    break;
                }
            }
            if (!key.bHasTz) {
                key.nSlot = i;
                key.pszEntry = i > 0 ? environ[i - 1] : nullptr;
            }
        }
        key.pszStdName = tzname[0];
        key.pszDstName = tzname[1];
        key.nTimezone = timezone;
        return key;
    }

    // A few loads: setenv replaces the entry pointer, unsetenv moves the entries, adding
    // one writes behind the last, and tzset() sets the names.
    bool StillHolds() const {
        if (environ != ppEnviron || tzname[0] != pszStdName || tzname[1] != pszDstName ||
            timezone != nTimezone)
            return false;
        if (ppEnviron == nullptr)
            return true;
        if (bHasTz)
            return ppEnviron[nSlot] == pszEntry;
        return ppEnviron[nSlot] == nullptr && (nSlot == 0 || ppEnviron[nSlot - 1] == pszEntry);
    }
};

// UTC offsets per hour. Offsets change only at zone transitions, which lie months apart,
// never two within an hour: an hour whose first and last second have the same offset has
// it throughout. An hour is checked only when a second time falls into it, so times that
// are all in different hours cost one localtime_r each, as without the cache.
class CHourOffsetCache {
public:
    bool Calendar(std::int64_t nSeconds, SCalendar& cal) {
        if (nSeconds <= -kCacheLimit || nSeconds >= kCacheLimit)
            return LocalCalendar(nSeconds, cal);
        if (!m_key.StillHolds()) {
            m_key = SZoneKey::Current();
            m_slots.reset();
        }
        if (!m_slots)
            m_slots = std::make_unique<std::array<SSlot, kSlots>>();
        const std::int64_t nHour = FloorDiv(nSeconds, kSecondsPerHour);
        SSlot& slot = (*m_slots)[static_cast<std::size_t>(nHour) & (kSlots - 1)];
        if (slot.nHour != nHour) {
            slot = SSlot{nHour, 0, EState::SeenOnce};
            return LocalCalendar(nSeconds, cal);
        }
        if (slot.eState == EState::SeenOnce)
            Check(slot);
        if (slot.eState != EState::Constant)
            return LocalCalendar(nSeconds, cal);
        FromLocalSeconds(nSeconds + slot.nOffset, cal);
        return true;
    }

private:
    enum class EState : unsigned char { SeenOnce, Constant, Mixed };
    struct SSlot {
        std::int64_t nHour = INT64_MIN;
        std::int64_t nOffset = 0;
        EState eState = EState::SeenOnce;
    };
    static constexpr std::size_t kSlots = 1024;

    static void Check(SSlot& slot) {
        const std::int64_t nStart = slot.nHour * kSecondsPerHour;
        std::int64_t nFirst = 0;
        std::int64_t nLast = 0;
        const bool bConstant = OffsetAt(nStart, nFirst) &&
                               OffsetAt(nStart + kSecondsPerHour - 1, nLast) && nFirst == nLast;
        slot.eState = bConstant ? EState::Constant : EState::Mixed;
        slot.nOffset = nFirst;
    }

    // The times of a tree mostly fall on a few days: the date of the last day is kept, so
    // that most times need only the clock computed.
    void FromLocalSeconds(std::int64_t nLocal, SCalendar& cal) {
        const std::int64_t nDays = FloorDiv(nLocal, kSecondsPerDay);
        if (nDays != m_nLastDays) {
            CalendarFromLocalSeconds(nDays * kSecondsPerDay, m_lastDay);
            m_nLastDays = nDays;
        }
        const auto nSecOfDay = static_cast<int>(nLocal - nDays * kSecondsPerDay);
        cal = m_lastDay;
        cal.nHour = nSecOfDay / static_cast<int>(kSecondsPerHour);
        cal.nMinute = nSecOfDay / 60 % 60;
        cal.nSecond = nSecOfDay % 60;
    }

    SZoneKey m_key;
    std::unique_ptr<std::array<SSlot, kSlots>> m_slots;
    std::int64_t m_nLastDays = INT64_MIN;
    SCalendar m_lastDay;
};

} // namespace

bool LocalCalendarOf(std::int64_t nSeconds, SCalendar& cal) {
    InitTimeZoneOnce();
    thread_local CHourOffsetCache cache;
    return cache.Calendar(nSeconds, cal);
}
