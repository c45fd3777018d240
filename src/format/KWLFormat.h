#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "format/FormatLanguage.h"
#include "format/RenderResult.h"
#include "model/KWLItem.h"

// The column separator of the listing, the previews and the HTML export's rows.
inline constexpr std::string_view kTabSeparator = "\t";

// How rendered columns are written for a spreadsheet. Rfc4180: a column that holds the separator
// or a double quote is quoted (surrounded by '"', each '"' inside doubled), so that a
// spreadsheet keeps the columns apart. Rfc4180InertFormulas adds the guard that spreadsheet
// makers advise: a column that a spreadsheet would take for a formula (see StartsLikeFormula)
// is quoted with a leading "'" inside the quotes, so that it stays text. Every other column is
// rendered as it is either way.
enum class EFieldQuoting { None, Rfc4180, Rfc4180InertFormulas };

// Whether a spreadsheet would evaluate strField as a formula: it begins with '=', '+', '-',
// '@', a tab or a carriage return. A field of one character (an attribute's "-") holds no
// formula.
bool StartsLikeFormula(std::string_view strField);

// Quotes the field strLine[nStart, end) in place as eQuoting says.
void QuoteField(std::string& strLine, std::size_t nStart, std::string_view strSeparator,
                EFieldQuoting eQuoting);

// The format engine: validates a format line, compiling it into one format for files and
// one for directories, and renders tree nodes by the formats of the last validation.
// Rendering changes nothing in the engine: a validated engine can be shared as const.
class CKWLFormat {
public:
    CKWLFormat();

    // True when the line is well formed. Always replaces the compiled formats and column
    // counts; after a failure they hold what was accepted before it.
    bool Validate(std::string strFormat);

    // One line without line end: 2 spaces per depth level, then the columns with strSeparator
    // between them.
    SRenderedText Render(const CKWLItem* pItem, int nDepth,
                         std::string_view strSeparator = kTabSeparator) const;
    // Same, appended to strOut: listings of a million lines need no temporary strings.
    SRenderResult RenderInto(const CKWLItem* pItem, int nDepth, std::string& strOut,
                             std::string_view strSeparator = kTabSeparator,
                             EFieldQuoting eQuoting = EFieldQuoting::None) const;

    std::string GetIndent(int nDepth) const;
    static std::string FormatTime(CTime time);

    const std::string& GetFileFormat() const { return m_strFileFormat; }
    const std::string& GetDirFormat() const { return m_strDirFormat; }
    int GetFileColumns() const { return m_nFileColumns; }
    int GetDirColumns() const { return m_nDirColumns; }
    // Whether rendering shows anything of a file's status: its size, times, read-only or
    // compressed flag, or a directory's size (the sum of its files). Names, the hidden flag
    // (from the name) and file counts need none.
    bool NeedsFileStatus() const;
    // Whether rendering shows a directory's total or file count, which need its entries.
    bool NeedsDirectoryEntries() const;

private:
    struct SToken {
        EToken eKind;
        std::string strText; // the text of a text element, escapes removed
    };

    bool ParseColumn(std::string_view strColumn);
    bool ParseQualifier(std::string_view strPiece);
    bool ParseElement(std::string_view strElement);
    static bool IsText(std::string_view strElement);
    static bool IsField(std::string_view strElement);

    // pbDefined tells which keywords the kind defines (SFieldKeyword::bForFiles or bForDirs).
    static std::vector<SToken> Compile(std::string_view strFormat, bool SFieldKeyword::*pbDefined);
    static SRenderResult RenderTokens(const std::vector<SToken>& tokens,
                                      const CFileInformation* pFile, const CDirInformation* pDir,
                                      std::string_view strSeparator, EFieldQuoting eQuoting,
                                      std::string& strOut);

    int m_nDirColumns = 0;
    int m_nFileColumns = 0;
    std::string m_strFileFormat;
    std::string m_strDirFormat;
    bool m_bForFiles = true;
    bool m_bForDirs = true;
    bool m_bNewFileColumn = true;
    bool m_bNewDirColumn = true;
    std::array<std::string, 10> m_strIndent;

    // The compiled formats taken apart once per validation, so rendering does no parsing.
    std::vector<SToken> m_fileTokens;
    std::vector<SToken> m_dirTokens;
};
