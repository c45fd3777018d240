#include "platform/Console.h"

#include <unistd.h>

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

void PrepareStandardStreams() {
    // Bytes pass unchanged already.
}

bool IsTerminal(int nFd) {
    return isatty(nFd) != 0;
}
