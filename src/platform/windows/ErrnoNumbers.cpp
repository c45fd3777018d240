#include "platform/ErrnoNumbers.h"

#include <cerrno>

namespace {

struct SLinuxNumber {
    int nLocal;
    int nLinux;
};

// Where MinGW's C runtime and Linux differ; 1 to 34 (the common file errors) are the same,
// and EDQUOT is defined with Linux's number by the build.
constexpr SLinuxNumber kLinuxNumbers[] = {
    {EDEADLK, 35},   {ENAMETOOLONG, 36}, {ENOLCK, 37},    {ENOSYS, 38},
    {ENOTEMPTY, 39}, {ELOOP, 40},        {EILSEQ, 84},    {EOVERFLOW, 75},
    {ENOTSUP, 95},   {ETIMEDOUT, 110},   {ECANCELED, 125},
};

} // namespace

int LinuxErrno(int nErrno) {
    for (const SLinuxNumber& entry : kLinuxNumbers) {
        if (entry.nLocal == nErrno)
            return entry.nLinux;
    }
    return nErrno;
}
