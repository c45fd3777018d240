#pragma once

#include <string>
#include <vector>

#include "support/Child.h"

// What a run of the built kwl-list left behind.
struct SKwlListResult {
    int nStatus = -1; // exit status; -1 when it could not be run or did not exit
    std::string strOut;
    std::string strErr;
};

struct SKwlListRun {
    SChildSetup setup;
    // Variables of the fault shim (tests/support/FaultShim.cpp), which is preloaded when any
    // is given.
    std::vector<std::string> faults;
};

// Runs kwl-list with args, without a shell, so hostile names need no quoting; standard input
// is /dev/null. A run as nobody (or from a test that already runs as nobody) uses copies of the
// built files that every user can reach.
SKwlListResult RunKwlList(const std::vector<std::string>& args, const SKwlListRun& run = {});

// Whether this system can set a run up as asked: other users, limits and the fault shim are
// Linux's, and a run as nobody needs root. Tests that need them skip otherwise.
bool CanSetUp(const SKwlListRun& run);

// Whether kwl-list receives strArg byte for byte. Windows' command line is UTF-16: an argument
// that is not UTF-8 cannot reach a program unchanged there.
bool ArgumentArrivesExactly(const std::string& strArg);

// Makes those copies now, while the build folder can still be read: call it before a test
// drops to nobody and runs kwl-list from there.
void PrepareKwlListForOtherUsers(bool bWithFaultShim = false);
