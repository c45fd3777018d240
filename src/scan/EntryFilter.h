#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/FilterSettings.h"

// The exclude patterns, compiled once and then only read (the scan threads share it).
//
// A pattern without "/" (a trailing "/" aside) matches a name at any depth; one with "/" inside
// or in front matches the path below DIRECTORY, anchored there. A trailing "/" matches
// directories only. "*", "?" and "[...]" ("[!...]" negated, ranges, "\" escapes) never match
// "/"; a whole component "**" matches any number of components. Bytes are compared exactly
// (ASCII letters folded with bIgnoreCase). Names are matched one component at a time: a
// directory carries the state of the anchored patterns that its path has matched so far
// (CDirState), so no path is ever built. Literal names are looked up in a hash set.
class CEntryFilter {
public:
    // (pattern, component) pairs: where each anchored pattern stands in a directory's path.
    using CDirState = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

    // The matcher of settings' patterns and hidden-name rule; nothing, with the reason in
    // strError, when a pattern cannot be parsed.
    static std::optional<CEntryFilter> Compile(const SFilterSettings& settings,
                                               std::string& strError);

    // True when nothing is ever left out by name.
    bool IsEmpty() const;
    // The state of DIRECTORY itself.
    CDirState RootState() const;
    // Whether the entry strName of a directory in state dir is left out.
    bool Excludes(std::string_view strName, bool bIsDirectory, const CDirState& dir) const;
    // The state of the subdirectory strName of a directory in state dir.
    CDirState ChildState(const CDirState& dir, std::string_view strName) const;
    // True when some rule asks whether an entry is a directory (a pattern ending in "/").
    bool NeedsKind() const { return m_bNeedsKind; }

private:
    // One component of a pattern: a literal, a glob, or "**".
    struct SComponent {
        std::string strText; // the literal (escapes removed, folded) or the glob as given
        bool bLiteral = false;
        bool bAnyDepth = false; // "**"
    };
    struct SAnchored {
        std::vector<SComponent> components;
        bool bDirOnly = false;
    };
    struct SGlob {
        std::string strGlob;
        bool bDirOnly = false;
    };

    bool ComponentMatches(const SComponent& component, std::string_view strName) const;
    bool GlobMatches(std::string_view strGlob, std::string_view strName) const;
    bool LiteralMatches(std::string_view strName, bool bIsDirectory) const;
    void Close(CDirState& state) const;

    bool m_bIgnoreCase = false;
    bool m_bNoHidden = false;
    bool m_bNeedsKind = false;
    std::unordered_set<std::string> m_literals;        // names, any kind
    std::unordered_set<std::string> m_literalDirs;     // names of directories only
    std::vector<SGlob> m_globs;                        // names with wildcards
    std::vector<SAnchored> m_anchored;                 // paths below DIRECTORY
};
