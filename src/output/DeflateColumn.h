#pragma once

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// One column of values, compressed with zlib as it is filled: the bytes go through a deflate
// stream of its own, and every full block of compressed output is handed to fnBlock at once,
// so neither the column nor its compressed form is ever held whole. Values are written as
// LEB128 varints (small numbers take one byte), signed ones zigzag-coded first.
class CDeflateColumn {
public:
    // Compressed bytes in blocks of at most kBlockSize, in order; the last one may be shorter.
    using BlockFn = std::function<void(std::string_view strCompressed)>;
    // A multiple of 3, so each block's base64 needs no padding but the last.
    static constexpr std::size_t kBlockSize = 48 * 1024;

    explicit CDeflateColumn(BlockFn fnBlock);
    CDeflateColumn(const CDeflateColumn&) = delete;
    CDeflateColumn& operator=(const CDeflateColumn&) = delete;
    ~CDeflateColumn();

    void PutUnsigned(std::uint64_t n);
    void PutSigned(std::int64_t n);
    void PutBytes(std::string_view strBytes);
    // Ends the stream and hands over what is left; nothing may be put afterwards.
    void Finish();

private:
    static constexpr std::size_t kInputChunk = 32 * 1024;

    void Compress(int nFlush);
    // Hands the compressed bytes so far to fnBlock and starts a new block.
    void HandOver();

    z_stream m_stream{};
    BlockFn m_fnBlock;
    std::string m_strInput;
    std::string m_strOutput;
    bool m_bFinished = false;
};
