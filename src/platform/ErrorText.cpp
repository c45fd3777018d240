#include "platform/ErrorText.h"

#include <system_error>

std::string ErrorText(int nErrno) {
    if (nErrno == kErrnoChangedWhileRead)
        return std::string(kChangedWhileReadText);
    return std::error_code(nErrno, std::generic_category()).message();
}
