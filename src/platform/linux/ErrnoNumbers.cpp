#include "platform/ErrnoNumbers.h"

int LinuxErrno(int nErrno) {
    return nErrno;
}
