#include "scan/EntryFilter.h"

#include <algorithm>

namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// An ASCII letter in the other case; anything else as it is.
char OtherCase(char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    return Fold(c);
}

std::string Folded(std::string_view str) {
    std::string strOut(str);
    std::transform(strOut.begin(), strOut.end(), strOut.begin(), Fold);
    return strOut;
}

bool IsWildcard(char c) {
    return c == '*' || c == '?' || c == '[';
}

// Checks a component's syntax: every "[" closed, no "\" at the end. False with the reason.
bool CheckGlob(std::string_view strGlob, std::string& strReason) {
    for (std::size_t i = 0; i < strGlob.size(); ++i) {
        if (strGlob[i] == '\\') {
            if (++i == strGlob.size()) {
                strReason = "ends in an escape \"\\\"";
                return false;
            }
        } else if (strGlob[i] == '[') {
            std::size_t j = i + 1;
            if (j < strGlob.size() && (strGlob[j] == '!' || strGlob[j] == '^'))
                ++j;
            if (j < strGlob.size() && strGlob[j] == ']')
                ++j; // a "]" first stands for itself
            for (; j < strGlob.size() && strGlob[j] != ']'; ++j)
                if (strGlob[j] == '\\')
                    ++j;
            if (j >= strGlob.size()) {
                strReason = "\"[\" without \"]\"";
                return false;
            }
            i = j;
        }
    }
    return true;
}

// A glob without wildcards: its text with the escapes removed.
std::optional<std::string> LiteralOf(std::string_view strGlob) {
    std::string strOut;
    for (std::size_t i = 0; i < strGlob.size(); ++i) {
        if (IsWildcard(strGlob[i]))
            return std::nullopt;
        if (strGlob[i] == '\\')
            ++i;
        strOut += strGlob[i];
    }
    return strOut;
}

// The components of a path pattern: "/" between them, none empty.
std::vector<std::string_view> SplitComponents(std::string_view strPath) {
    std::vector<std::string_view> components;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nSlash = strPath.find('/', nStart);
        components.push_back(strPath.substr(nStart, nSlash - nStart));
        if (nSlash == std::string_view::npos)
            return components;
        nStart = nSlash + 1;
    }
}

} // namespace

std::optional<CEntryFilter> CEntryFilter::Compile(const SFilterSettings& settings,
                                                  std::string& strError) {
    CEntryFilter filter;
    filter.m_bIgnoreCase = settings.bIgnoreCase;
    filter.m_bNoHidden = settings.bNoHidden;
    for (const std::string& strPattern : settings.patterns) {
        const auto fail = [&](const std::string& strReason) {
            strError = "bad pattern '" + strPattern + "': " + strReason;
            return std::nullopt;
        };
        std::string_view str = strPattern;
        const bool bDirOnly = !str.empty() && str.back() == '/';
        while (!str.empty() && str.back() == '/')
            str.remove_suffix(1);
        if (str.empty())
            return fail(strPattern.empty() ? "empty" : "it matches nothing");
        const bool bAnchored = str.find('/') != std::string_view::npos;
        if (str.front() == '/')
            str.remove_prefix(1);
        SAnchored anchored;
        anchored.bDirOnly = bDirOnly;
        for (const std::string_view strComponent : SplitComponents(str)) {
            std::string strReason;
            if (strComponent.empty())
                return fail("an empty component between two \"/\"");
            if (!CheckGlob(strComponent, strReason))
                return fail(strReason);
            SComponent component;
            component.bAnyDepth = strComponent == "**";
            if (const std::optional<std::string> literal = LiteralOf(strComponent)) {
                component.bLiteral = true;
                component.strText = settings.bIgnoreCase ? Folded(*literal) : *literal;
            } else {
                component.strText = strComponent;
            }
            anchored.components.push_back(std::move(component));
        }
        filter.m_bNeedsKind = filter.m_bNeedsKind || bDirOnly;
        if (bAnchored) {
            filter.m_anchored.push_back(std::move(anchored));
            continue;
        }
        SComponent& name = anchored.components.front();
        if (name.bLiteral)
            (bDirOnly ? filter.m_literalDirs : filter.m_literals).insert(std::move(name.strText));
        else
            filter.m_globs.push_back({std::move(name.strText), bDirOnly});
    }
    return filter;
}

bool CEntryFilter::IsEmpty() const {
    return !m_bNoHidden && m_literals.empty() && m_literalDirs.empty() && m_globs.empty() &&
           m_anchored.empty();
}

CEntryFilter::CDirState CEntryFilter::RootState() const {
    CDirState state;
    for (std::uint32_t p = 0; p < m_anchored.size(); ++p)
        state.emplace_back(p, 0);
    Close(state);
    return state;
}

// A "**" may match no component at all: the next component is tried at the same place too.
void CEntryFilter::Close(CDirState& state) const {
    for (std::size_t i = 0; i < state.size(); ++i) {
        const auto [p, n] = state[i];
        const std::vector<SComponent>& components = m_anchored[p].components;
        if (components[n].bAnyDepth && n + 1 < components.size())
            state.emplace_back(p, n + 1);
    }
    std::sort(state.begin(), state.end());
    state.erase(std::unique(state.begin(), state.end()), state.end());
}

bool CEntryFilter::Excludes(std::string_view strName, bool bIsDirectory,
                            const CDirState& dir) const {
    if (m_bNoHidden && !strName.empty() && strName.front() == '.')
        return true;
    if (LiteralMatches(strName, bIsDirectory))
        return true;
    for (const SGlob& glob : m_globs)
        if ((!glob.bDirOnly || bIsDirectory) && GlobMatches(glob.strGlob, strName))
            return true;
    for (const auto& [p, n] : dir) {
        const SAnchored& anchored = m_anchored[p];
        if (n + 1 != anchored.components.size() || (anchored.bDirOnly && !bIsDirectory))
            continue;
        const SComponent& last = anchored.components[n];
        if (last.bAnyDepth || ComponentMatches(last, strName))
            return true;
    }
    return false;
}

CEntryFilter::CDirState CEntryFilter::ChildState(const CDirState& dir,
                                                 std::string_view strName) const {
    CDirState state;
    for (const auto& [p, n] : dir) {
        const std::vector<SComponent>& components = m_anchored[p].components;
        if (components[n].bAnyDepth)
            state.emplace_back(p, n); // "**" takes this component and maybe more
        else if (n + 1 < components.size() && ComponentMatches(components[n], strName))
            state.emplace_back(p, n + 1);
    }
    Close(state);
    return state;
}

bool CEntryFilter::LiteralMatches(std::string_view strName, bool bIsDirectory) const {
    if (m_literals.empty() && (m_literalDirs.empty() || !bIsDirectory))
        return false;
    const std::string strKey = m_bIgnoreCase ? Folded(strName) : std::string(strName);
    return m_literals.count(strKey) != 0 || (bIsDirectory && m_literalDirs.count(strKey) != 0);
}

bool CEntryFilter::ComponentMatches(const SComponent& component, std::string_view strName) const {
    if (!component.bLiteral)
        return GlobMatches(component.strText, strName);
    if (!m_bIgnoreCase)
        return component.strText == strName;
    return component.strText.size() == strName.size() && component.strText == Folded(strName);
}

// Byte by byte; "*" backtracks to its last position only, which suffices as it never crosses
// a "/" and a name has none.
bool CEntryFilter::GlobMatches(std::string_view strGlob, std::string_view strName) const {
    const auto same = [this](char a, char b) {
        return a == b || (m_bIgnoreCase && Fold(a) == Fold(b));
    };
    // The class at strGlob[i] ("[" included) holds c; nEnd gets the index after its "]".
    const auto inClass = [&](std::size_t i, char c, std::size_t& nEnd) {
        ++i;
        const bool bNegated = strGlob[i] == '!' || strGlob[i] == '^';
        if (bNegated)
            ++i;
        bool bIn = false;
        for (bool bFirst = true; bFirst || strGlob[i] != ']'; bFirst = false) {
            char lo = strGlob[i] == '\\' ? strGlob[++i] : strGlob[i];
            char hi = lo;
            if (i + 2 < strGlob.size() && strGlob[i + 1] == '-' && strGlob[i + 2] != ']') {
                i += 2;
                hi = strGlob[i] == '\\' ? strGlob[++i] : strGlob[i];
            }
            const auto within = [&](char x) {
                return static_cast<unsigned char>(x) >= static_cast<unsigned char>(lo) &&
                       static_cast<unsigned char>(x) <= static_cast<unsigned char>(hi);
            };
            bIn = bIn || within(c) || (m_bIgnoreCase && within(OtherCase(c)));
            ++i;
        }
        nEnd = i + 1;
        return bIn != bNegated;
    };
    std::size_t g = 0, n = 0;
    std::size_t nStarGlob = std::string_view::npos, nStarName = 0;
    while (n < strName.size()) {
        if (g < strGlob.size()) {
            const char c = strGlob[g];
            if (c == '*') {
                nStarGlob = ++g;
                nStarName = n;
                continue;
            }
            std::size_t nNext = g + 1;
            bool bMatch = false;
            if (c == '?')
                bMatch = true;
            else if (c == '[')
                bMatch = inClass(g, strName[n], nNext);
            else if (c == '\\') {
                bMatch = same(strGlob[g + 1], strName[n]);
                nNext = g + 2;
            } else
                bMatch = same(c, strName[n]);
            if (bMatch) {
                g = nNext;
                ++n;
                continue;
            }
        }
        if (nStarGlob == std::string_view::npos)
            return false;
        g = nStarGlob;
        n = ++nStarName;
    }
    while (g < strGlob.size() && strGlob[g] == '*')
        ++g;
    return g == strGlob.size();
}
