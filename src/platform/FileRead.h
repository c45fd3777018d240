#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

#include "platform/FileDescriptor.h"

// Files opened by path for reading (and for appending a line), for the small files KWL reads
// whole: formats.def, pattern files, snapshots. Errors come back as errno values.

// What an open file is.
struct SFileKind {
    bool bRegular = false;
    bool bDirectory = false;
    std::uint64_t nSize = 0; // regular files
};

// Opens strPath (links followed) for reading; never waits on a FIFO in its place.
std::error_code OpenForReading(const std::string& strPath, CFileDescriptor& fd);
// Opens strPath for appending, created (readable and writable by all the umask allows) when
// missing; never waits on a FIFO.
std::error_code OpenForAppending(const std::string& strPath, CFileDescriptor& fd);
std::error_code KindOf(const CFileDescriptor& fd, SFileKind& kind);
// Reads up to nSize bytes at the current position; nRead 0 at the end.
std::error_code ReadSome(const CFileDescriptor& fd, char* p, std::size_t nSize,
                         std::size_t& nRead);
// Reads up to nSize bytes at nOffset, without moving the position.
std::error_code ReadAt(const CFileDescriptor& fd, std::uint64_t nOffset, char* p,
                       std::size_t nSize, std::size_t& nRead);
// Cuts the file back to nSize bytes.
std::error_code TruncateTo(const CFileDescriptor& fd, std::uint64_t nSize);
// Closes a file that was written to: the close can report a lost write.
std::error_code CloseWritten(CFileDescriptor& fd);
// A buffered stream over fd (binary), which then owns it; null with errno on failure.
std::FILE* StreamFor(CFileDescriptor& fd);
// True when strPath names a directory (links followed).
bool IsDirectoryPath(const std::string& strPath);
// True when strPath names a regular file (links followed).
bool IsRegularFilePath(const std::string& strPath);
