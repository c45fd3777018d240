#pragma once

#include "CommandLine.h"

// kwl-list --compare SNAPSHOT DIRECTORY: the differences, with diff's exit status
// (0 none, 1 some, 2 trouble).
int RunCompare(const SCommandLine& cmd);
