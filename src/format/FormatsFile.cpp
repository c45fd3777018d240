#include "format/FormatsFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/Encoding.h"
#include "platform/FileDescriptor.h"
#include "platform/FileRead.h"
#include "platform/FileWrite.h"

namespace {

enum class ERead { Ok, Missing, Unusable };

struct SReadResult {
    ERead eRead = ERead::Ok;
    EFormatsProblem eProblem = EFormatsProblem::None;
    int nErrno = 0;
};

SReadResult Unusable(EFormatsProblem eProblem, int nErrno = 0) {
    return {ERead::Unusable, eProblem, nErrno};
}

// The rest of fd, at most kMaxFormatsFile bytes.
SReadResult ReadAll(const CFileDescriptor& fd, std::size_t nExpected, std::string& strData) {
    strData.reserve(nExpected);
    char buf[64 * 1024];
    for (;;) {
        std::size_t n = 0;
        if (const std::error_code ec = ReadSome(fd, buf, sizeof buf, n)) {
            strData.clear();
            return Unusable(EFormatsProblem::CannotRead, ec.value());
        }
        if (n == 0)
            break;
        strData.append(buf, n);
        if (strData.size() > kMaxFormatsFile) { // it grew while it was read
            strData.clear();
            return Unusable(EFormatsProblem::TooLarge);
        }
    }
    return {ERead::Ok};
}

// The whole file, when it is a regular file of at most kMaxFormatsFile bytes. Opened without
// blocking: a FIFO in its place is not waited for.
SReadResult ReadWholeFile(const std::string& strPath, std::string& strData) {
    strData.clear();
    CFileDescriptor fd;
    if (const std::error_code ec = OpenForReading(strPath, fd)) {
        if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory)
            return {ERead::Missing};
        return Unusable(EFormatsProblem::CannotRead, ec.value());
    }
    SFileKind kind;
    if (const std::error_code ec = KindOf(fd, kind))
        return Unusable(EFormatsProblem::CannotRead, ec.value());
    if (!kind.bRegular)
        return Unusable(EFormatsProblem::NotAFile);
    if (kind.nSize > kMaxFormatsFile)
        return Unusable(EFormatsProblem::TooLarge);
    const SReadResult result = ReadAll(fd, static_cast<std::size_t>(kind.nSize), strData);
    // No text holds a NUL byte: read as lines, a binary file gives hundreds of garbage formats.
    if (result.eRead == ERead::Ok && strData.find('\0') != std::string::npos) {
        strData.clear();
        return Unusable(EFormatsProblem::NotText);
    }
    return result;
}

// End of the line that starts at nPos: just after its line feed, or the end of the data.
std::size_t PieceEnd(std::string_view data, std::size_t nPos) {
    const std::size_t nFeed = data.find('\n', nPos);
    return nFeed == std::string_view::npos ? data.size() : nFeed + 1;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atol: leading white space, optional sign, digits; anything else ends it. Clamped to int.
int ParseLanguageId(std::string_view strPiece) {
    std::size_t i = 0;
    while (i < strPiece.size() && IsCSpace(strPiece[i]))
        ++i;
    bool bNegative = false;
    if (i < strPiece.size() && (strPiece[i] == '+' || strPiece[i] == '-'))
        bNegative = strPiece[i++] == '-';
    long long nValue = 0;
    for (; i < strPiece.size() && strPiece[i] >= '0' && strPiece[i] <= '9'; ++i) {
        nValue = nValue * 10 + (strPiece[i] - '0');
        if (nValue > static_cast<long long>(INT_MAX) + 1)
            nValue = static_cast<long long>(INT_MAX) + 1;
    }
    if (bNegative)
        nValue = -nValue;
    return static_cast<int>(std::clamp<long long>(nValue, INT_MIN, INT_MAX));
}

// Where the language line begins: after a UTF-8 byte order mark.
std::size_t FirstLineStart(std::string_view data) {
    return data.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
}

// The language id of the line at nPos; 1 when there is none.
int LanguageIdOf(std::string_view data, std::size_t nPos) {
    if (nPos >= data.size())
        return SFormatsLoad().nLanguage;
    return ParseLanguageId(data.substr(nPos, PieceEnd(data, nPos) - nPos));
}

std::string_view FormatPiece(std::string_view strPiece) {
    std::size_t nEnd = strPiece.size();
    while (nEnd > 0 && IsCSpace(strPiece[nEnd - 1]))
        --nEnd;
    return strPiece.substr(0, nEnd);
}

std::string DefaultsText() {
    std::string strText;
    for (const char* pLine : kDefaultFormats) {
        strText += pLine;
        strText += '\n';
    }
    return strText;
}

// Writes the parts to a new file beside strPath and renames it over strPath, so the old
// content stays whole until the new one is complete on disk. An existing file keeps its
// permissions, and one the user has made read-only is not replaced.
bool ReplaceFile(const std::string& strPath, bool bExists,
                 std::initializer_list<std::string_view> parts) {
    // A device or pipe under that name is not ours to replace.
    if (bExists && !IsRegularFilePath(strPath))
        return false;
    CAtomicFile file;
    if (!file.Open(strPath))
        return false;
    for (std::string_view part : parts) {
        if (!WriteAll(file.GetFd(), part))
            return false;
    }
    return file.Commit();
}

std::vector<std::string> DefaultLines() {
    return std::vector<std::string>(kDefaultFormats.begin(), kDefaultFormats.end());
}

// Case folding for ASCII letters and the Latin-1 letters U+00C0-U+00DE (not U+00D7, the
// multiplication sign), in UTF-8. Folding keeps every byte in place, so texts can be
// compared byte by byte. 0xC3 is never a continuation byte, so the pair test is safe.
unsigned char FoldedByte(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b >= 'A' && b <= 'Z')
        return static_cast<unsigned char>(b + 0x20);
    if (i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3 && b >= 0x80 && b <= 0x9E &&
        b != 0x97)
        return static_cast<unsigned char>(b + 0x20);
    return b;
}

bool BeginsWithNoCase(std::string_view strEntry, std::string_view strPrefix) {
    if (strEntry.size() < strPrefix.size())
        return false;
    for (std::size_t i = 0; i < strPrefix.size(); ++i) {
        if (FoldedByte(strEntry, i) != FoldedByte(strPrefix, i))
            return false;
    }
    return true;
}

} // namespace

int ReadLanguageId(const std::string& strPath) {
    std::string strData;
    if (ReadWholeFile(strPath, strData).eRead != ERead::Ok)
        return SFormatsLoad().nLanguage;
    return LanguageIdOf(strData, FirstLineStart(strData));
}

SFormatsLoad LoadFormatsFile(const std::string& strPath) {
    SFormatsLoad result;
    std::string strData;
    const SReadResult read = ReadWholeFile(strPath, strData);
    const ERead eRead = read.eRead;
    if (eRead == ERead::Unusable) {
        result.bUnreadable = true;
        result.eProblem = read.eProblem;
        result.nErrno = read.nErrno;
        result.lines = DefaultLines();
        return result;
    }

    const std::string_view data(strData);
    std::size_t nPos = FirstLineStart(data);
    result.nLanguage = LanguageIdOf(data, nPos);
    if (nPos < data.size())
        nPos = PieceEnd(data, nPos);
    while (nPos < data.size()) {
        const std::size_t nEnd = PieceEnd(data, nPos);
        result.lines.push_back(FormatLineToUtf8(FormatPiece(data.substr(nPos, nEnd - nPos))));
        nPos = nEnd;
    }

    if (result.lines.empty()) {
        result.lines = DefaultLines();
        const std::string strId = std::to_string(result.nLanguage) + "\n";
        result.bCreated = ReplaceFile(strPath, eRead == ERead::Ok, {strId, DefaultsText()});
    }
    return result;
}

bool AppendFormatLine(const std::string& strPath, const std::string& strLine) {
    // Read back as Windows-1252, a line that is not UTF-8 would not be the line given.
    if (!IsValidUtf8(strLine))
        return false;
    std::string strBytes = strLine + '\n';

    CFileDescriptor fd;
    SFileKind kind;
    if (OpenForAppending(strPath, fd) || KindOf(fd, kind) || !kind.bRegular)
        return false;
    // The user's last line may have no line feed (an editor that writes none).
    char cLast = '\n';
    std::size_t nRead = 0;
    if (kind.nSize > 0 && (ReadAt(fd, kind.nSize - 1, &cLast, 1, nRead) || nRead != 1))
        return false;
    if (cLast != '\n')
        strBytes.insert(strBytes.begin(), '\n');
    bool bOk = WriteAll(fd.Get(), strBytes);
    if (!bOk) {
        // A half-written line would join the next one appended; take it back.
        [[maybe_unused]] const std::error_code ecTruncate = TruncateTo(fd, kind.nSize);
    }
    bOk = !CloseWritten(fd) && bOk;
    return bOk;
}

bool SaveLanguageId(const std::string& strPath, int nLanguage) {
    std::string strData;
    const ERead eRead = ReadWholeFile(strPath, strData).eRead;
    if (eRead == ERead::Unusable)
        return false;

    const std::string strId = std::to_string(nLanguage) + "\n";
    const std::size_t nRest = strData.empty() ? 0 : PieceEnd(strData, 0);
    if (nRest < strData.size())
        return ReplaceFile(strPath, eRead == ERead::Ok,
                           {strId, std::string_view(strData).substr(nRest)});
    return ReplaceFile(strPath, eRead == ERead::Ok, {strId, DefaultsText()});
}

int SelectByText(const std::vector<std::string>& entries, const std::string& strText) {
    const std::size_t nCount = entries.size();
    for (std::size_t k = 1; k <= nCount; ++k) {
        const std::size_t i = k % nCount;
        if (BeginsWithNoCase(entries[i], strText))
            return static_cast<int>(i);
    }
    return -1;
}
