#include "platform/ThreadSwitches.h"

// Windows keeps no cheap per-thread count of voluntary waits: the scan then never judges
// that its threads wait for the disk, and keeps one thread per core.
long VoluntarySwitches() {
    return 0;
}
