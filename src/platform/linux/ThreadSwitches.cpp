#include "platform/ThreadSwitches.h"

#include <sys/resource.h>

long VoluntarySwitches() {
    rusage usage{};
    return getrusage(RUSAGE_THREAD, &usage) == 0 ? usage.ru_nvcsw : 0;
}
