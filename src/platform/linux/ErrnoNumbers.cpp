#include "platform/ErrnoNumbers.h"

#include <system_error>

int LinuxErrno(int nErrno) {
    return nErrno;
}

std::string SystemErrorText(int nErrno) {
    return std::error_code(nErrno, std::generic_category()).message();
}
