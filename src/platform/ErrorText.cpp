#include "platform/ErrorText.h"

#include "platform/ErrnoNumbers.h"

std::string ErrorText(int nErrno) {
    if (nErrno == kErrnoChangedWhileRead)
        return std::string(kChangedWhileReadText);
    return SystemErrorText(nErrno);
}
