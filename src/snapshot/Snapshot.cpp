#include "snapshot/Snapshot.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/DirReader.h"
#include "platform/ErrnoNumbers.h"

namespace {

// A name's place is its block number and its offset in the block, in 32 bits.
constexpr unsigned kNameBlockBits = 20;
constexpr std::size_t kNameBlockSize = std::size_t{1} << kNameBlockBits;
constexpr std::size_t kMaxNameBlocks = std::size_t{1} << (32 - kNameBlockBits);

ESnapType TypeOf(EFileKind eKind) {
    switch (eKind) {
    case EFileKind::File:
        return ESnapType::File;
    case EFileKind::Symlink:
        return ESnapType::Symlink;
    case EFileKind::Other:
        break;
    }
    return ESnapType::Other;
}

// A time the scan could not read has no calendar time.
template <class TNode> void SetModified(const TNode& node, SSnapEntry& entry) {
    const std::int64_t nSeconds = node.m_timeLastWrite.GetTime();
    entry.bMtimeKnown = nSeconds != kUnknownTime;
    entry.nMtime = entry.bMtimeKnown ? nSeconds : 0;
    entry.nMtimeNs = entry.bMtimeKnown ? node.m_nLastWriteNs : 0;
}

} // namespace

CSnapshot::CSnapshot() = default;
CSnapshot::CSnapshot(CSnapshot&&) noexcept = default;
CSnapshot& CSnapshot::operator=(CSnapshot&&) noexcept = default;
CSnapshot::~CSnapshot() = default;

const std::uint32_t* CSnapshot::ChildrenBegin(std::uint32_t n) const {
    return m_children.data() + m_entries[n].nFirstChild;
}

const std::uint32_t* CSnapshot::ChildrenEnd(std::uint32_t n) const {
    return ChildrenBegin(n) + m_entries[n].nChildCount;
}

const SContentDigest* CSnapshot::Hash(std::uint32_t n) const {
    const SSnapEntry& entry = m_entries[n];
    if (entry.eType != ESnapType::File || entry.nDetail == kNoEntry)
        return nullptr;
    return &m_hashes[entry.nDetail];
}

const std::string* CSnapshot::Target(std::uint32_t n) const {
    const SSnapEntry& entry = m_entries[n];
    if (entry.eType != ESnapType::Symlink || entry.nDetail == kNoEntry)
        return nullptr;
    return &m_targets[entry.nDetail];
}

std::string CSnapshot::RelativePath(std::uint32_t n) const {
    std::vector<std::string_view> names;
    for (; n != Root() && n != kNoEntry; n = m_entries[n].nParent)
        names.push_back(Name(n));
    std::string strPath;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!strPath.empty())
            strPath += '/';
        strPath += *it;
    }
    return strPath;
}

std::optional<std::uint32_t> CSnapshot::FindChild(std::uint32_t n,
                                                  std::string_view strName) const {
    const std::uint32_t* pEnd = ChildrenEnd(n);
    const std::uint32_t* p =
        std::lower_bound(ChildrenBegin(n), pEnd, strName, [this](std::uint32_t c, auto str) {
            return Name(c) < str;
        });
    if (p == pEnd || Name(*p) != strName)
        return std::nullopt;
    return *p;
}

std::optional<std::uint32_t> CSnapshot::FindRecordedPath(std::string_view strPath) const {
    if (m_entries.empty())
        return std::nullopt;
    if (strPath == strRoot)
        return Root();
    // The scan joins the root and the names with one "/", none added after a root that ends
    // in one.
    std::string strPrefix = strRoot;
    if (!strPrefix.empty() && strPrefix.back() != '/')
        strPrefix += '/';
    if (strPath.substr(0, strPrefix.size()) != strPrefix)
        return std::nullopt;
    std::string_view strRest = strPath.substr(strPrefix.size());
    std::uint32_t n = Root();
    while (!strRest.empty()) {
        const std::size_t nSlash = strRest.find('/');
        const std::string_view strName = strRest.substr(0, nSlash);
        if (m_entries[n].eType != ESnapType::Directory)
            return std::nullopt;
        const std::optional<std::uint32_t> child = FindChild(n, strName);
        if (!child)
            return std::nullopt;
        n = *child;
        strRest = nSlash == std::string_view::npos ? std::string_view() : strRest.substr(nSlash + 1);
    }
    return n;
}

std::uint32_t CSnapshot::AddEntry(std::uint32_t nParent) {
    if (m_entries.size() >= kNoEntry)
        return kNoEntry;
    m_entries.emplace_back().nParent = nParent;
    return static_cast<std::uint32_t>(m_entries.size() - 1);
}

std::string_view CSnapshot::Name(std::uint32_t n) const {
    const SSnapEntry& entry = m_entries[n];
    if (entry.nNameLength == 0)
        return {};
    const char* pBlock = m_nameBlocks[entry.nNamePos >> kNameBlockBits].get();
    return {pBlock + (entry.nNamePos & (kNameBlockSize - 1)), entry.nNameLength};
}

bool CSnapshot::SetName(std::uint32_t n, std::string_view strName) {
    if (strName.size() > UINT16_MAX)
        return false;
    if (m_nameBlocks.empty() || kNameBlockSize - m_nBlockUsed < strName.size()) {
        if (m_nameBlocks.size() == kMaxNameBlocks)
            return false;
        m_nameBlocks.push_back(std::make_unique<char[]>(kNameBlockSize));
        m_nBlockUsed = 0;
    }
    std::memcpy(m_nameBlocks.back().get() + m_nBlockUsed, strName.data(), strName.size());
    SSnapEntry& entry = m_entries[n];
    entry.nNamePos =
        static_cast<std::uint32_t>((m_nameBlocks.size() - 1) << kNameBlockBits | m_nBlockUsed);
    entry.nNameLength = static_cast<std::uint16_t>(strName.size());
    m_nBlockUsed += strName.size();
    return true;
}

void CSnapshot::SetHash(std::uint32_t n, const SContentDigest& digest) {
    m_entries[n].nDetail = static_cast<std::uint32_t>(m_hashes.size());
    m_hashes.push_back(digest);
}

void CSnapshot::SetTarget(std::uint32_t n, std::string strTarget) {
    m_entries[n].nDetail = static_cast<std::uint32_t>(m_targets.size());
    m_targets.push_back(std::move(strTarget));
}

bool CSnapshot::SealChildren(std::uint32_t n, std::vector<std::uint32_t>& children,
                             std::uint32_t& nDuplicate) {
    const auto byName = [this](std::uint32_t a, std::uint32_t b) {
        return Name(a) < Name(b);
    };
    std::sort(children.begin(), children.end(), byName);
    const auto it = std::adjacent_find(children.begin(), children.end(),
                                       [this](std::uint32_t a, std::uint32_t b) {
                                           return Name(a) == Name(b);
                                       });
    if (it != children.end()) {
        nDuplicate = *(it + 1);
        return false;
    }
    SSnapEntry& entry = m_entries[n];
    entry.nFirstChild = static_cast<std::uint32_t>(m_children.size());
    entry.nChildCount = static_cast<std::uint32_t>(children.size());
    entry.bChildrenKnown = true;
    m_children.insert(m_children.end(), children.begin(), children.end());
    return true;
}

bool CSnapshot::MarkErrors(std::size_t& nBad) {
    for (std::size_t i = 0; i < errors.size(); ++i) {
        const std::optional<std::uint32_t> n = FindRecordedPath(errors[i].strPath);
        if (!n) {
            nBad = i;
            return false;
        }
        m_entries[*n].bIncomplete = true;
    }
    return true;
}

std::optional<CSnapshot> CSnapshot::FromTree(const CItemTree& tree, const std::string& strRoot,
                              bool bRecursive, const std::vector<SScanError>& errors,
                              std::int64_t nScannedAt) {
    CSnapshot snapshot;
    snapshot.strRoot = strRoot;
    snapshot.nScannedAt = nScannedAt;
    snapshot.bHasScannedAt = true;
    snapshot.bRecursive = bRecursive;
    snapshot.eHash = tree.HashAlgorithm();
    for (const SScanError& error : errors) {
        snapshot.errors.push_back({error.strPath,
                                   std::error_code(error.nErrno, std::generic_category()).message(),
                                   static_cast<std::uint64_t>(LinuxErrno(error.nErrno))});
    }
    const CDirInformation* pRoot = tree.Root();
    std::uint32_t nRoot = snapshot.AddEntry(kNoEntry);
    snapshot.EditEntry(nRoot).eType = ESnapType::Directory;
    SetModified(*pRoot, snapshot.EditEntry(nRoot));
    // A scan reads names that are unique in their directory, so sealing cannot fail here.
    std::vector<std::pair<const CDirInformation*, std::uint32_t>> stack{{pRoot, nRoot}};
    std::vector<std::uint32_t> children;
    std::uint32_t nUnused = 0;
    while (!stack.empty()) {
        const auto [pDir, nDir] = stack.back();
        stack.pop_back();
        const bool bRead = (bRecursive || pDir == pRoot) && !pDir->m_bEntriesLeftOut;
        if (!bRead)
            continue;
        children.clear();
        for (const CDirInformation* p = pDir->m_pFirstSubDir; p != nullptr; p = p->m_pNextDir) {
            const std::uint32_t n = snapshot.AddEntry(nDir);
            if (n == kNoEntry || !snapshot.SetName(n, p->m_strName))
                return std::nullopt;
            SSnapEntry& entry = snapshot.EditEntry(n);
            entry.eType = ESnapType::Directory;
            entry.nSize = p->m_nTotalSize;
            SetModified(*p, entry);
            children.push_back(n);
            stack.emplace_back(p, n);
        }
        for (const CFileInformation* p = pDir->m_pFirstFile; p != nullptr; p = p->m_pNextFile) {
            const std::uint32_t n = snapshot.AddEntry(nDir);
            if (n == kNoEntry || !snapshot.SetName(n, p->m_strName))
                return std::nullopt;
            SSnapEntry& entry = snapshot.EditEntry(n);
            entry.eType = TypeOf(p->m_eKind);
            entry.nSize = p->m_nSize;
            SetModified(*p, entry);
            if (const SContentDigest* pHash = tree.ContentHash(p))
                snapshot.SetHash(n, *pHash);
            if (const std::string* pTarget = tree.LinkTarget(p))
                snapshot.SetTarget(n, *pTarget);
            children.push_back(n);
        }
        snapshot.SealChildren(nDir, children, nUnused);
    }
    std::size_t nBad = 0;
    snapshot.MarkErrors(nBad); // the scan's own paths always lead into its tree
    return snapshot;
}
