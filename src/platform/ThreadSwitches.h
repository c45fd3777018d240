#pragma once

// Times the calling thread has given up its core of its own accord (waiting for a read, a
// lock) since it started; 0 where the system does not count them.
long VoluntarySwitches();
