#include "output/DeflateColumn.h"

#include <new>
#include <stdexcept>

CDeflateColumn::CDeflateColumn(BlockFn fnBlock) : m_fnBlock(std::move(fnBlock)) {
    // Level 6 (zlib's default) compresses the names nearly as well as 9 at a third of the time.
    if (deflateInit(&m_stream, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::bad_alloc();
    m_strInput.reserve(kInputChunk + 16);
    m_strOutput.resize(kBlockSize);
    m_stream.next_out = reinterpret_cast<Bytef*>(m_strOutput.data());
    m_stream.avail_out = static_cast<uInt>(kBlockSize);
}

CDeflateColumn::~CDeflateColumn() {
    deflateEnd(&m_stream);
}

void CDeflateColumn::PutUnsigned(std::uint64_t n) {
    while (n >= 0x80) {
        m_strInput += static_cast<char>((n & 0x7F) | 0x80);
        n >>= 7;
    }
    m_strInput += static_cast<char>(n);
    if (m_strInput.size() >= kInputChunk)
        Compress(Z_NO_FLUSH);
}

void CDeflateColumn::PutSigned(std::int64_t n) {
    const auto u = static_cast<std::uint64_t>(n);
    PutUnsigned((u << 1) ^ (n < 0 ? ~std::uint64_t{0} : 0));
}

void CDeflateColumn::PutBytes(std::string_view strBytes) {
    m_strInput += strBytes;
    if (m_strInput.size() >= kInputChunk)
        Compress(Z_NO_FLUSH);
}

void CDeflateColumn::Finish() {
    if (m_bFinished)
        return;
    Compress(Z_FINISH);
    m_bFinished = true;
}

void CDeflateColumn::Compress(int nFlush) {
    m_stream.next_in = reinterpret_cast<Bytef*>(m_strInput.data());
    m_stream.avail_in = static_cast<uInt>(m_strInput.size());
    for (;;) {
        const int nResult = deflate(&m_stream, nFlush);
        if (nResult == Z_STREAM_ERROR)
            throw std::logic_error("deflate stream in a bad state");
        const bool bFull = m_stream.avail_out == 0;
        if (bFull || nResult == Z_STREAM_END)
            HandOver();
        if (nResult == Z_STREAM_END || (nFlush != Z_FINISH && m_stream.avail_in == 0 && !bFull))
            break;
    }
    m_strInput.clear();
}

void CDeflateColumn::HandOver() {
    const std::size_t nUsed = kBlockSize - m_stream.avail_out;
    if (nUsed > 0)
        m_fnBlock(std::string_view(m_strOutput.data(), nUsed));
    m_stream.next_out = reinterpret_cast<Bytef*>(m_strOutput.data());
    m_stream.avail_out = static_cast<uInt>(kBlockSize);
}
