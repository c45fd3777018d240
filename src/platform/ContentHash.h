#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

struct SEntryStatus;
class CFileDescriptor;

// The content hashes a scan can take of regular files.
enum class EHashAlgorithm : unsigned char { None, Sha256, Xxh128 };

// "sha256", "xxh128"; empty for None.
std::string_view HashAlgorithmName(EHashAlgorithm eAlgorithm);
// The algorithm of that name; nothing for any other text.
std::optional<EHashAlgorithm> HashAlgorithmByName(std::string_view strName);

// One digest, as many bytes as its algorithm makes (32 or 16).
struct SContentDigest {
    std::array<unsigned char, 32> bytes{};
    unsigned char nSize = 0;

    std::string_view View() const {
        return {reinterpret_cast<const char*>(bytes.data()), nSize};
    }
    bool operator==(const SContentDigest& other) const { return View() == other.View(); }
};

// Lowercase hexadecimal, as sha256sum and xxhsum print it.
std::string DigestHex(const SContentDigest& digest);
// The digest that hex writes for algorithm; false when hex is not one.
bool DigestFromHex(std::string_view strHex, EHashAlgorithm eAlgorithm, SContentDigest& digest);

// Hashes files of a directory, one after another, with state and a read buffer of its own:
// one per thread. Files are opened without following a link and, where the process may,
// without changing their access time.
class CContentHasher {
public:
    explicit CContentHasher(EHashAlgorithm eAlgorithm);
    CContentHasher(const CContentHasher&) = delete;
    CContentHasher& operator=(const CContentHasher&) = delete;
    ~CContentHasher();

    // Hashes the regular file pszName of the directory open as nDirFd, whose status the scan
    // read as status. The digest always belongs to the status beside it: when the file is not
    // that version any more, or changes while it is read, it is read once more and status
    // becomes the version read then; when it changes again, the error is
    // kErrnoChangedWhileRead (platform/ErrorText.h) and there is no digest. nBytesRead grows
    // by what was read, also when reading fails part way. An error too when the file could not
    // be opened or read, or is no longer a regular file.
    std::error_code HashFileAt(int nDirFd, const char* pszName, SEntryStatus& status,
                               SContentDigest& digest, std::uint64_t& nBytesRead);
    // The digest of bytes held in memory.
    SContentDigest HashBytes(std::string_view bytes);

    class CState; // the running state of one algorithm

private:
    // Reads the file as it is now, from its first byte to its last: the digest, the status
    // before, and whether the status after is still that version.
    std::error_code ReadOnce(int nDirFd, const char* pszName, SEntryStatus& before,
                             bool& bHeldStill, SContentDigest& digest, std::uint64_t& nBytesRead);
    // Every byte of the open file fd into the running state.
    std::error_code ReadAll(const CFileDescriptor& fd, std::uint64_t& nBytesRead);

    std::unique_ptr<CState> m_pState;
    std::vector<unsigned char> m_buffer;
};
