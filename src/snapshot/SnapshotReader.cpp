#include "snapshot/SnapshotReader.h"


#include <cerrno>
#include <climits>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <rapidjson/filereadstream.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include "platform/FileRead.h"

namespace {

constexpr int kReadableVersion = 1;

// Exact bytes from base64 (RFC 4648, padded); nothing when the text is not that.
std::optional<std::string> DecodeBase64(std::string_view strText) {
    constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (strText.size() % 4 != 0)
        return std::nullopt;
    std::string strOut;
    strOut.reserve(strText.size() / 4 * 3);
    for (std::size_t i = 0; i < strText.size(); i += 4) {
        std::uint32_t nBits = 0;
        int nPad = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char c = strText[i + j];
            const bool bLastGroup = i + 4 == strText.size();
            if (c == '=' && bLastGroup && j >= 2 && (j == 3 || strText[i + 3] == '=')) {
                ++nPad;
                nBits <<= 6;
                continue;
            }
            const std::size_t nValue = kAlphabet.find(c);
            if (nValue == std::string_view::npos || nPad > 0)
                return std::nullopt;
            nBits = nBits << 6 | static_cast<std::uint32_t>(nValue);
        }
        strOut += static_cast<char>(nBits >> 16);
        if (nPad < 2)
            strOut += static_cast<char>(nBits >> 8 & 0xFF);
        if (nPad < 1)
            strOut += static_cast<char>(nBits & 0xFF);
    }
    return strOut;
}

bool ReadDigits(std::string_view str, std::size_t nPos, std::size_t nCount, int& nValue) {
    nValue = 0;
    if (nPos + nCount > str.size())
        return false;
    for (std::size_t i = nPos; i < nPos + nCount; ++i) {
        if (str[i] < '0' || str[i] > '9')
            return false;
        nValue = nValue * 10 + (str[i] - '0');
    }
    return true;
}

// "YYYY-MM-DDTHH:MM:SS[.fraction]Z", UTC, as the export writes it: seconds since 1970 and
// nanoseconds (digits past the ninth are not kept).
bool ParseUtcTime(std::string_view str, std::int64_t& nSeconds, std::uint32_t& nNs) {
    int nYear = 0, nMonth = 0, nDay = 0, nHour = 0, nMinute = 0, nSecond = 0;
    if (!ReadDigits(str, 0, 4, nYear) || str.size() < 20 || str[4] != '-' ||
        !ReadDigits(str, 5, 2, nMonth) || str[7] != '-' || !ReadDigits(str, 8, 2, nDay) ||
        str[10] != 'T' || !ReadDigits(str, 11, 2, nHour) || str[13] != ':' ||
        !ReadDigits(str, 14, 2, nMinute) || str[16] != ':' || !ReadDigits(str, 17, 2, nSecond))
        return false;
    using namespace std::chrono;
    const year_month_day date{year{nYear}, month{static_cast<unsigned>(nMonth)},
                              day{static_cast<unsigned>(nDay)}};
    if (!date.ok() || nHour > 23 || nMinute > 59 || nSecond > 60)
        return false;
    std::size_t nPos = 19;
    nNs = 0;
    if (str[nPos] == '.') {
        std::size_t nDigits = 0;
        for (++nPos; nPos < str.size() && str[nPos] >= '0' && str[nPos] <= '9'; ++nPos) {
            if (nDigits++ < 9)
                nNs = nNs * 10 + static_cast<std::uint32_t>(str[nPos] - '0');
        }
        if (nDigits == 0)
            return false;
        for (; nDigits < 9; ++nDigits)
            nNs *= 10;
    }
    if (nPos + 1 != str.size() || str[nPos] != 'Z')
        return false;
    nSeconds = static_cast<std::int64_t>(sys_days(date).time_since_epoch().count()) * 86400 +
               nHour * 3600 + nMinute * 60 + nSecond;
    return true;
}

// A name that stays in its directory: one path component.
bool IsOneName(std::string_view strName) {
    return !strName.empty() && strName != "." && strName != ".." &&
           strName.find('/') == std::string_view::npos &&
           strName.find('\0') == std::string_view::npos;
}

std::optional<ESnapType> TypeByName(std::string_view str) {
    if (str == "directory")
        return ESnapType::Directory;
    if (str == "file")
        return ESnapType::File;
    if (str == "symlink")
        return ESnapType::Symlink;
    if (str == "other")
        return ESnapType::Other;
    return std::nullopt;
}

// The keys this reader uses; any other is passed over with its value.
enum class EKey {
    Unknown,
    // the document
    KwlTree, Root, RootBase64, Recursive, ScannedAt, Hash, Tree, Errors, Filters,
    // a node
    Name, NameBase64, Type, Size, Mtime, Target, TargetBase64, Children,
    // an error
    Path, PathBase64, Reason, Errno,
    // the filters
    Exclude, IgnoreCase, NoHidden, OneFileSystem, MaxDepth, Pattern, PatternBase64,
};

struct SKeyName {
    std::string_view str;
    EKey eKey;
};
constexpr SKeyName kDocumentKeys[] = {
    {"kwl_tree", EKey::KwlTree},   {"root", EKey::Root},           {"root_base64", EKey::RootBase64},
    {"recursive", EKey::Recursive}, {"scanned_at", EKey::ScannedAt}, {"hash", EKey::Hash},
    {"tree", EKey::Tree},           {"errors", EKey::Errors},       {"filters", EKey::Filters},
};
constexpr SKeyName kNodeKeys[] = {
    {"name", EKey::Name},     {"name_base64", EKey::NameBase64},     {"type", EKey::Type},
    {"size", EKey::Size},     {"mtime", EKey::Mtime},                {"target", EKey::Target},
    {"target_base64", EKey::TargetBase64}, {"hash", EKey::Hash},     {"children", EKey::Children},
};
constexpr SKeyName kErrorKeys[] = {
    {"path", EKey::Path}, {"path_base64", EKey::PathBase64}, {"reason", EKey::Reason},
    {"errno", EKey::Errno},
};
constexpr SKeyName kFilterKeys[] = {
    {"exclude", EKey::Exclude},          {"ignore_case", EKey::IgnoreCase},
    {"no_hidden", EKey::NoHidden},       {"one_file_system", EKey::OneFileSystem},
    {"max_depth", EKey::MaxDepth},
};
constexpr SKeyName kPatternKeys[] = {
    {"pattern", EKey::Pattern}, {"pattern_base64", EKey::PatternBase64},
};

EKey FindKey(std::span<const SKeyName> keys, std::string_view str) {
    for (const SKeyName& key : keys)
        if (key.str == str)
            return key.eKey;
    return EKey::Unknown;
}

// The key's text, for messages.
std::string_view NameOfKey(EKey eKey) {
    for (const std::span<const SKeyName> keys :
         {std::span<const SKeyName>(kDocumentKeys), std::span<const SKeyName>(kNodeKeys),
          std::span<const SKeyName>(kErrorKeys), std::span<const SKeyName>(kFilterKeys),
          std::span<const SKeyName>(kPatternKeys)}) {
        for (const SKeyName& key : keys)
            if (key.eKey == eKey)
                return key.str;
    }
    return "?";
}

// A node being read; its fields may come in any order, its children before the rest.
struct SNodeFrame {
    std::uint32_t nEntry = kNoEntry;
    bool bRoot = false;
    std::optional<std::string> name, nameBytes, target, targetBytes;
    std::optional<ESnapType> eType;
    bool bHasSize = false;
    bool bHasChildren = false;
    std::optional<SContentDigest> hash;
    std::vector<std::uint32_t> children;

    void Reset(std::uint32_t n, bool bIsRoot) {
        nEntry = n;
        bRoot = bIsRoot;
        name.reset();
        nameBytes.reset();
        target.reset();
        targetBytes.reset();
        eType.reset();
        bHasSize = bHasChildren = false;
        hash.reset();
        children.clear();
    }
};

struct SErrorFrame {
    std::optional<std::string> path, pathBytes;
    std::string strReason;
    std::uint64_t nErrno = 0;
};

// Where the reader is: which object or array holds the next key or value.
enum class EPlace {
    Start, Document, Node, Children, Errors, Error, Filters, Patterns, Pattern, Skip, End
};

// SAX handler for RapidJSON: builds the snapshot as the document streams past.
template <class TStream> class CSnapshotHandler {
public:
    CSnapshotHandler(const TStream& stream, CSnapshot& snapshot)
        : m_stream(stream), m_snapshot(snapshot) {}

    const SSnapshotError& Error() const { return m_error; }
    bool Finish();

    bool Null() { return Scalar(Value(EValue::Null)); }
    bool Bool(bool b) { return Scalar(Value(EValue::Bool, b)); }
    bool Int(int n) { return n >= 0 ? Uint64(static_cast<unsigned>(n)) : Negative(); }
    bool Uint(unsigned n) { return Uint64(n); }
    bool Int64(std::int64_t n) { return n >= 0 ? Uint64(static_cast<std::uint64_t>(n)) : Negative(); }
    bool Uint64(std::uint64_t n) { return Scalar(Value(EValue::Number, false, n)); }
    bool Double(double) { return Scalar(Value(EValue::Fraction)); }
    bool RawNumber(const char*, rapidjson::SizeType, bool) { return Scalar(Value(EValue::Fraction)); }
    bool String(const char* p, rapidjson::SizeType n, bool) {
        return Scalar(Value(EValue::String, false, 0, std::string_view(p, n)));
    }
    bool StartObject();
    bool Key(const char* p, rapidjson::SizeType n, bool);
    bool EndObject(rapidjson::SizeType);
    bool StartArray();
    bool EndArray(rapidjson::SizeType);

private:
    enum class EValue { Null, Bool, Number, Fraction, String };
    struct SValue {
        EValue eKind;
        bool b = false;
        std::uint64_t n = 0;
        std::string_view str;
    };
    static SValue Value(EValue eKind, bool b = false, std::uint64_t n = 0,
                        std::string_view str = {}) {
        return SValue{eKind, b, n, str};
    }

    bool Fail(ESnapshotProblem eProblem, std::string strDetail = {}) {
        m_error.eProblem = eProblem;
        m_error.nOffset = m_stream.Tell();
        m_error.strDetail = std::move(strDetail);
        return false;
    }
    bool BadValue() { return Fail(ESnapshotProblem::BadValue, std::string(NameOfKey(m_eKey))); }
    bool Negative() {
        if (m_places.back() == EPlace::Skip || m_eKey == EKey::Unknown)
            return Scalar(Value(EValue::Fraction));
        return Fail(ESnapshotProblem::OutOfRange, std::string(NameOfKey(m_eKey)));
    }
    bool Scalar(const SValue& value);
    bool DocumentValue(const SValue& value);
    bool NodeValue(SNodeFrame& node, const SValue& value);
    bool ErrorValue(const SValue& value);
    bool FilterValue(const SValue& value);
    bool PatternValue(const SValue& value);
    bool BeginNode(std::uint32_t nParent);
    bool EndNode();
    bool EndError();
    // An object or array within a value passed over, and its end.
    bool EnterSkipped() {
        if (m_places.back() != EPlace::Skip) {
            m_places.push_back(EPlace::Skip);
            m_nSkipDepth = 0;
        }
        ++m_nSkipDepth;
        return true;
    }
    bool LeaveSkipped() {
        if (--m_nSkipDepth == 0)
            m_places.pop_back();
        return true;
    }
    // A value of a key this reader does not use: passed over, objects and arrays whole.
    bool SkipsValue() const {
        const EPlace ePlace = m_places.back();
        return ePlace == EPlace::Skip ||
               (m_eKey == EKey::Unknown &&
                (ePlace == EPlace::Document || ePlace == EPlace::Node || ePlace == EPlace::Error ||
                 ePlace == EPlace::Filters || ePlace == EPlace::Pattern));
    }

    const TStream& m_stream;
    CSnapshot& m_snapshot;
    SSnapshotError m_error;
    std::vector<EPlace> m_places{EPlace::Start};
    std::size_t m_nSkipDepth = 0;
    EKey m_eKey = EKey::Unknown;
    std::vector<SNodeFrame> m_nodes; // frames reused; m_nNodes are in use
    std::size_t m_nNodes = 0;
    SErrorFrame m_errorFrame;
    std::optional<std::string> m_pattern, m_patternBytes; // the exclude pattern being read
    std::optional<int> m_version;
    bool m_bHasRoot = false;
    bool m_bHasTree = false;
};

template <class TStream> bool CSnapshotHandler<TStream>::Scalar(const SValue& value) {
    if (SkipsValue())
        return true;
    switch (m_places.back()) {
    case EPlace::Document:
        return DocumentValue(value);
    case EPlace::Node:
        return NodeValue(m_nodes[m_nNodes - 1], value);
    case EPlace::Error:
        return ErrorValue(value);
    case EPlace::Filters:
        return FilterValue(value);
    case EPlace::Pattern:
        return PatternValue(value);
    case EPlace::Start:
        return Fail(ESnapshotProblem::NotKwlTree);
    case EPlace::Children:
        return Fail(ESnapshotProblem::BadValue, "children");
    case EPlace::Patterns:
        return Fail(ESnapshotProblem::BadValue, "exclude");
    default:
        return Fail(ESnapshotProblem::BadValue, "errors");
    }
}

template <class TStream> bool CSnapshotHandler<TStream>::DocumentValue(const SValue& value) {
    switch (m_eKey) {
    case EKey::KwlTree:
        if (value.eKind != EValue::Number && value.eKind != EValue::Fraction)
            return BadValue();
        if (value.eKind != EValue::Number || value.n != kReadableVersion)
            return Fail(ESnapshotProblem::OtherVersion);
        m_version = kReadableVersion;
        return true;
    case EKey::Root:
        if (value.eKind != EValue::String)
            return BadValue();
        if (!m_bHasRoot)
            m_snapshot.strRoot = value.str;
        return true;
    case EKey::RootBase64: {
        const std::optional<std::string> bytes =
            value.eKind == EValue::String ? DecodeBase64(value.str) : std::nullopt;
        if (!bytes)
            return BadValue();
        m_snapshot.strRoot = *bytes;
        m_bHasRoot = true; // the exact bytes win over the text, whichever comes first
        return true;
    }
    case EKey::Recursive:
        if (value.eKind != EValue::Bool)
            return BadValue();
        m_snapshot.bRecursive = value.b;
        return true;
    case EKey::ScannedAt: {
        std::uint32_t nNs = 0;
        if (value.eKind != EValue::String ||
            !ParseUtcTime(value.str, m_snapshot.nScannedAt, nNs))
            return BadValue();
        m_snapshot.bHasScannedAt = true;
        return true;
    }
    case EKey::Hash:
        if (value.eKind == EValue::Null) {
            m_snapshot.eHash = EHashAlgorithm::None;
            return true;
        }
        if (value.eKind != EValue::String || !HashAlgorithmByName(value.str))
            return BadValue();
        m_snapshot.eHash = *HashAlgorithmByName(value.str);
        return true;
    default:
        return BadValue(); // tree and errors hold an object and an array
    }
}

template <class TStream>
bool CSnapshotHandler<TStream>::NodeValue(SNodeFrame& node, const SValue& value) {
    const auto exactText = [&](std::optional<std::string>& field, bool bBase64) {
        if (value.eKind != EValue::String)
            return BadValue();
        if (!bBase64) {
            field = std::string(value.str);
            return true;
        }
        field = DecodeBase64(value.str);
        return field ? true : BadValue();
    };
    switch (m_eKey) {
    case EKey::Name:
        return exactText(node.name, false);
    case EKey::NameBase64:
        return exactText(node.nameBytes, true);
    case EKey::Target:
        return exactText(node.target, false);
    case EKey::TargetBase64:
        return exactText(node.targetBytes, true);
    case EKey::Type:
        if (value.eKind != EValue::String || !TypeByName(value.str))
            return BadValue();
        node.eType = TypeByName(value.str);
        return true;
    case EKey::Size:
        if (value.eKind == EValue::Fraction)
            return Fail(ESnapshotProblem::OutOfRange, "size");
        if (value.eKind != EValue::Number)
            return BadValue();
        m_snapshot.EditEntry(node.nEntry).nSize = value.n;
        node.bHasSize = true;
        return true;
    case EKey::Mtime: {
        SSnapEntry& entry = m_snapshot.EditEntry(node.nEntry);
        if (value.eKind == EValue::Null) {
            entry.bMtimeKnown = false;
            return true;
        }
        if (value.eKind != EValue::String || !ParseUtcTime(value.str, entry.nMtime, entry.nMtimeNs))
            return BadValue();
        entry.bMtimeKnown = true;
        return true;
    }
    case EKey::Hash: {
        SContentDigest digest;
        const EHashAlgorithm eBySize =
            value.str.size() == 64 ? EHashAlgorithm::Sha256 : EHashAlgorithm::Xxh128;
        if (value.eKind != EValue::String || !DigestFromHex(value.str, eBySize, digest))
            return BadValue();
        node.hash = digest;
        return true;
    }
    default:
        return BadValue(); // children holds an array
    }
}

template <class TStream> bool CSnapshotHandler<TStream>::ErrorValue(const SValue& value) {
    switch (m_eKey) {
    case EKey::Path:
    case EKey::PathBase64: {
        if (value.eKind != EValue::String)
            return BadValue();
        if (m_eKey == EKey::Path) {
            m_errorFrame.path = std::string(value.str);
            return true;
        }
        m_errorFrame.pathBytes = DecodeBase64(value.str);
        return m_errorFrame.pathBytes ? true : BadValue();
    }
    case EKey::Reason:
        if (value.eKind != EValue::String)
            return BadValue();
        m_errorFrame.strReason = value.str;
        return true;
    case EKey::Errno:
        if (value.eKind != EValue::Number)
            return BadValue();
        m_errorFrame.nErrno = value.n;
        return true;
    default:
        return BadValue();
    }
}

template <class TStream> bool CSnapshotHandler<TStream>::FilterValue(const SValue& value) {
    SFilterSettings& filters = m_snapshot.filters;
    switch (m_eKey) {
    case EKey::IgnoreCase:
    case EKey::NoHidden:
    case EKey::OneFileSystem:
        if (value.eKind != EValue::Bool)
            return BadValue();
        (m_eKey == EKey::IgnoreCase ? filters.bIgnoreCase
         : m_eKey == EKey::NoHidden ? filters.bNoHidden
                                    : filters.bOneFileSystem) = value.b;
        return true;
    case EKey::MaxDepth:
        if (value.eKind == EValue::Null) {
            filters.nMaxDepth = -1;
            return true;
        }
        if (value.eKind == EValue::Fraction || (value.eKind == EValue::Number && value.n > INT_MAX))
            return Fail(ESnapshotProblem::OutOfRange, "max_depth");
        if (value.eKind != EValue::Number)
            return BadValue();
        filters.nMaxDepth = static_cast<int>(value.n);
        return true;
    default:
        return BadValue(); // exclude holds an array
    }
}

template <class TStream> bool CSnapshotHandler<TStream>::PatternValue(const SValue& value) {
    if (value.eKind != EValue::String)
        return BadValue();
    if (m_eKey == EKey::Pattern) {
        m_pattern = std::string(value.str);
        return true;
    }
    m_patternBytes = DecodeBase64(value.str);
    return m_patternBytes ? true : BadValue();
}

template <class TStream> bool CSnapshotHandler<TStream>::BeginNode(std::uint32_t nParent) {
    const std::uint32_t nEntry = m_snapshot.AddEntry(nParent);
    if (nEntry == kNoEntry)
        return Fail(ESnapshotProblem::TooLarge);
    if (m_nNodes == m_nodes.size())
        m_nodes.emplace_back();
    m_nodes[m_nNodes++].Reset(nEntry, nParent == kNoEntry);
    m_places.push_back(EPlace::Node);
    return true;
}

template <class TStream> bool CSnapshotHandler<TStream>::StartObject() {
    if (SkipsValue())
        return EnterSkipped();
    switch (m_places.back()) {
    case EPlace::Start:
        m_places.back() = EPlace::Document;
        return true;
    case EPlace::Document:
        if (m_eKey == EKey::Filters) {
            m_snapshot.filters = SFilterSettings{};
            m_places.push_back(EPlace::Filters);
            return true;
        }
        if (m_eKey != EKey::Tree || m_bHasTree)
            return BadValue();
        m_bHasTree = true;
        return BeginNode(kNoEntry);
    case EPlace::Children:
        return BeginNode(m_nodes[m_nNodes - 1].nEntry);
    case EPlace::Errors:
        m_errorFrame = SErrorFrame{};
        m_places.push_back(EPlace::Error);
        return true;
    case EPlace::Patterns:
        m_pattern.reset();
        m_patternBytes.reset();
        m_places.push_back(EPlace::Pattern);
        return true;
    default:
        return BadValue();
    }
}

template <class TStream>
bool CSnapshotHandler<TStream>::Key(const char* p, rapidjson::SizeType n, bool) {
    if (m_places.back() == EPlace::Skip)
        return true;
    const std::string_view str(p, n);
    switch (m_places.back()) {
    case EPlace::Document:
        m_eKey = FindKey(kDocumentKeys, str);
        break;
    case EPlace::Node:
        m_eKey = FindKey(kNodeKeys, str);
        break;
    case EPlace::Error:
        m_eKey = FindKey(kErrorKeys, str);
        break;
    case EPlace::Filters:
        m_eKey = FindKey(kFilterKeys, str);
        break;
    case EPlace::Pattern:
        m_eKey = FindKey(kPatternKeys, str);
        break;
    default:
        m_eKey = EKey::Unknown;
        break;
    }
    return true;
}

template <class TStream> bool CSnapshotHandler<TStream>::EndObject(rapidjson::SizeType) {
    switch (m_places.back()) {
    case EPlace::Skip:
        return LeaveSkipped();
    case EPlace::Document:
        m_places.back() = EPlace::End;
        return true;
    case EPlace::Node:
        return EndNode();
    case EPlace::Error:
        return EndError();
    case EPlace::Filters:
        m_places.pop_back();
        m_eKey = EKey::Unknown;
        return true;
    case EPlace::Pattern:
        if (!m_pattern && !m_patternBytes)
            return Fail(ESnapshotProblem::MissingField, "pattern");
        m_snapshot.filters.patterns.push_back(m_patternBytes ? *m_patternBytes : *m_pattern);
        m_places.pop_back();
        m_eKey = EKey::Unknown;
        return true;
    default:
        return Fail(ESnapshotProblem::NotJson);
    }
}

template <class TStream> bool CSnapshotHandler<TStream>::EndNode() {
    SNodeFrame& node = m_nodes[m_nNodes - 1];
    if (!node.name)
        return Fail(ESnapshotProblem::MissingField, "name");
    if (!node.eType)
        return Fail(ESnapshotProblem::MissingField, "type");
    if (!node.bHasSize)
        return Fail(ESnapshotProblem::MissingField, "size");
    const std::string& strName = node.nameBytes ? *node.nameBytes : *node.name;
    if (!node.bRoot && !IsOneName(strName))
        return Fail(ESnapshotProblem::BadName, strName);
    if (node.bHasChildren && *node.eType != ESnapType::Directory)
        return Fail(ESnapshotProblem::BadValue, "children");
    if (node.bRoot && *node.eType != ESnapType::Directory)
        return Fail(ESnapshotProblem::BadValue, "type");
    m_snapshot.EditEntry(node.nEntry).eType = *node.eType;
    if (!m_snapshot.SetName(node.nEntry, strName))
        return Fail(ESnapshotProblem::TooLarge);
    if (node.hash && *node.eType == ESnapType::File)
        m_snapshot.SetHash(node.nEntry, *node.hash);
    if ((node.target || node.targetBytes) && *node.eType == ESnapType::Symlink)
        m_snapshot.SetTarget(node.nEntry, node.targetBytes ? *node.targetBytes : *node.target);
    if (node.bHasChildren) {
        std::uint32_t nDuplicate = 0;
        if (!m_snapshot.SealChildren(node.nEntry, node.children, nDuplicate))
            return Fail(ESnapshotProblem::DuplicateName, std::string(m_snapshot.Name(nDuplicate)));
    }
    const std::uint32_t nEntry = node.nEntry;
    --m_nNodes;
    m_places.pop_back();
    if (m_nNodes > 0)
        m_nodes[m_nNodes - 1].children.push_back(nEntry);
    m_eKey = EKey::Unknown;
    return true;
}

template <class TStream> bool CSnapshotHandler<TStream>::EndError() {
    if (!m_errorFrame.path && !m_errorFrame.pathBytes)
        return Fail(ESnapshotProblem::MissingField, "path");
    SSnapError error;
    error.strPath = m_errorFrame.pathBytes ? *m_errorFrame.pathBytes : *m_errorFrame.path;
    error.strReason = std::move(m_errorFrame.strReason);
    error.nErrno = m_errorFrame.nErrno;
    m_snapshot.errors.push_back(std::move(error));
    m_places.pop_back();
    m_eKey = EKey::Unknown;
    return true;
}

template <class TStream> bool CSnapshotHandler<TStream>::StartArray() {
    if (SkipsValue())
        return EnterSkipped();
    if (m_places.back() == EPlace::Node && m_eKey == EKey::Children) {
        SNodeFrame& node = m_nodes[m_nNodes - 1];
        if (node.bHasChildren)
            return BadValue();
        node.bHasChildren = true;
        m_places.push_back(EPlace::Children);
        return true;
    }
    if (m_places.back() == EPlace::Document && m_eKey == EKey::Errors) {
        m_places.push_back(EPlace::Errors);
        return true;
    }
    if (m_places.back() == EPlace::Filters && m_eKey == EKey::Exclude) {
        m_places.push_back(EPlace::Patterns);
        return true;
    }
    if (m_places.back() == EPlace::Start)
        return Fail(ESnapshotProblem::NotKwlTree);
    return BadValue();
}

template <class TStream> bool CSnapshotHandler<TStream>::EndArray(rapidjson::SizeType) {
    if (m_places.back() == EPlace::Skip)
        return LeaveSkipped();
    m_places.pop_back(); // children, errors or exclude
    m_eKey = EKey::Unknown;
    return true;
}

template <class TStream> bool CSnapshotHandler<TStream>::Finish() {
    if (!m_version)
        return Fail(ESnapshotProblem::NotKwlTree);
    if (!m_bHasTree)
        return Fail(ESnapshotProblem::MissingField, "tree");
    std::size_t nBad = 0;
    if (!m_snapshot.MarkErrors(nBad))
        return Fail(ESnapshotProblem::PathOutside, m_snapshot.errors[nBad].strPath);
    return true;
}

template <class TStream>
bool ReadSnapshotStream(TStream& stream, std::uint64_t nSize, CSnapshot& snapshot,
                        SSnapshotError& error) {
    snapshot = CSnapshot();
    CSnapshotHandler<TStream> handler(stream, snapshot);
    rapidjson::Reader reader;
    constexpr unsigned kFlags = rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;
    const rapidjson::ParseResult result = reader.Parse<kFlags>(stream, handler);
    if (result.Code() == rapidjson::kParseErrorTermination) {
        error = handler.Error();
        return false;
    }
    if (result.IsError()) {
        error = SSnapshotError{};
        error.nOffset = result.Offset();
        if (result.Code() == rapidjson::kParseErrorStringInvalidEncoding)
            error.eProblem = ESnapshotProblem::InvalidUtf8;
        else if (result.Offset() >= nSize)
            error.eProblem = ESnapshotProblem::Truncated;
        else
            error.eProblem = ESnapshotProblem::NotJson;
        return false;
    }
    if (!handler.Finish()) {
        error = handler.Error();
        return false;
    }
    return true;
}

struct SCloseFile {
    void operator()(std::FILE* p) const { std::fclose(p); }
};

} // namespace

bool ReadSnapshotFile(const std::string& strPath, CSnapshot& snapshot, SSnapshotError& error) {
    error = SSnapshotError{};
    error.eProblem = ESnapshotProblem::CannotOpen;
    CFileDescriptor fd;
    SFileKind kind;
    if (const std::error_code ec = OpenForReading(strPath, fd)) {
        error.nErrno = ec.value();
        return false;
    }
    if (const std::error_code ec = KindOf(fd, kind)) {
        error.nErrno = ec.value();
        return false;
    }
    if (kind.bDirectory) {
        error.nErrno = EISDIR;
        return false;
    }
    std::unique_ptr<std::FILE, SCloseFile> pFile(StreamFor(fd));
    if (!pFile) {
        error.nErrno = errno;
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    rapidjson::FileReadStream stream(pFile.get(), buffer.data(), buffer.size());
    const std::uint64_t nSize = kind.bRegular ? kind.nSize : UINT64_MAX;
    const bool bRead = ReadSnapshotStream(stream, nSize, snapshot, error);
    if (std::ferror(pFile.get()) != 0) {
        error = SSnapshotError{};
        error.eProblem = ESnapshotProblem::CannotOpen;
        error.nErrno = EIO;
        return false;
    }
    return bRead;
}

bool ReadSnapshotText(std::string_view strText, CSnapshot& snapshot, SSnapshotError& error) {
    rapidjson::MemoryStream stream(strText.data(), strText.size());
    return ReadSnapshotStream(stream, strText.size(), snapshot, error);
}
