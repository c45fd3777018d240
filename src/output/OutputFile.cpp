#include "output/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/AtomicFile.h"

namespace {

// Large enough that a listing of hundreds of megabytes needs few system calls, small enough
// to stay in cache while it is filled.
constexpr std::size_t kChunk = 256 * 1024;

bool SaveWith(const std::string& strPath, std::string_view strText,
              bool (*fnWrite)(int, std::string_view)) {
    CAtomicFile file;
    // The file removes its temporary copy itself when it is not committed.
    return file.Open(strPath) && fnWrite(file.GetFd(), strText) && file.Commit();
}

} // namespace

bool WriteWithCrLf(int nFd, std::string_view strText) {
    const auto buffer = std::make_unique<char[]>(kChunk);
    char* const pBuf = buffer.get();
    std::size_t nUsed = 0;
    auto flush = [&]() {
        const bool bOk = WriteAll(nFd, std::string_view(pBuf, nUsed));
        nUsed = 0;
        return bOk;
    };

    const char* const pText = strText.data();
    const std::size_t nSize = strText.size();
    std::size_t nPos = 0;
    while (nPos < nSize) {
        const void* pLf = std::memchr(pText + nPos, '\n', nSize - nPos);
        const std::size_t nEnd =
            pLf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(pLf) - pText)
                           : nSize;
        while (nPos < nEnd) {
            if (nUsed == kChunk && !flush())
                return false;
            const std::size_t nTake = std::min(nEnd - nPos, kChunk - nUsed);
            std::memcpy(pBuf + nUsed, pText + nPos, nTake);
            nUsed += nTake;
            nPos += nTake;
        }
        if (pLf != nullptr) {
            if (kChunk - nUsed < 2 && !flush())
                return false;
            pBuf[nUsed++] = '\r';
            pBuf[nUsed++] = '\n';
            ++nPos;
        }
    }
    return nUsed == 0 || flush();
}

bool SaveTextToFile(const std::string& strPath, std::string_view strText) {
    return SaveWith(strPath, strText, &WriteWithCrLf);
}

bool SaveBytesToFile(const std::string& strPath, std::string_view strBytes) {
    return SaveWith(strPath, strBytes, &WriteAll);
}
