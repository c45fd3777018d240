#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/KWLItem.h"

// The format engine: validates a format line, compiling it into one format for files and
// one for directories, and renders tree nodes by the formats of the last validation.
class CKWLFormat {
public:
    CKWLFormat();
    virtual ~CKWLFormat() = default;

    // True when the line is well formed. Always replaces the compiled formats and column
    // counts; after a failure they hold what was accepted before it.
    bool Validate(std::string strFormat);

    // One line without line end: 2 spaces per depth level, then the columns.
    std::string Render(const CKWLItem* pItem, int nDepth) const;
    // Same, appended to strOut: listings of a million lines need no temporary strings.
    void RenderInto(const CKWLItem* pItem, int nDepth, std::string& strOut) const;

    // Replaces the column separator and returns the previous one.
    std::string SetSeparator(std::string strSeparator);
    const std::string& GetSeparator() const { return m_strSeparator; }

    std::string GetIndent(int nDepth) const;
    static std::string FormatTime(CTime time);

    // Rendering skips a keyword that the item's kind does not define and notes it here; the
    // caller reports it once per listing, export or preview.
    bool HasUndefinedField() const { return m_bUndefinedField; }
    void ClearUndefinedField() { m_bUndefinedField = false; }

    const std::string& GetFileFormat() const { return m_strFileFormat; }
    const std::string& GetDirFormat() const { return m_strDirFormat; }
    int GetFileColumns() const { return m_nFileColumns; }
    int GetDirColumns() const { return m_nDirColumns; }

private:
    enum class EToken {
        Text,
        ColumnBreak,
        Name,
        Size,
        ReadOnly,
        Compressed,
        System,
        Hidden,
        Archive,
        Creation,
        LastAccess,
        LastWrite,
        Files,
        Undefined
    };
    struct SToken {
        EToken eKind;
        std::string strText; // the text of a text element, escapes removed
    };
    struct SKeyword {
        std::string_view strKeyword;
        EToken eKind;
    };

    bool ParseColumn(std::string_view strColumn);
    bool ParseQualifier(std::string_view strPiece);
    bool ParseElement(std::string_view strElement);
    static bool IsText(std::string_view strElement);
    static bool IsField(std::string_view strElement);

    static std::vector<SToken> Compile(std::string_view strFormat,
                                       const std::vector<SKeyword>& keywords);
    void RenderFile(const CFileInformation& file, std::string& strOut) const;
    void RenderDir(const CDirInformation& dir, std::string& strOut) const;
    void RenderTokens(const std::vector<SToken>& tokens, const CFileInformation* pFile,
                      const CDirInformation* pDir, std::string& strOut) const;

    int m_nDirColumns = 0;
    int m_nFileColumns = 0;
    std::string m_strFileFormat;
    std::string m_strDirFormat;
    bool m_bForFiles = true;
    bool m_bForDirs = true;
    bool m_bNewFileColumn = true;
    bool m_bNewDirColumn = true;
    std::string m_strSeparator;
    std::array<std::string, 10> m_strIndent;

    // The compiled formats taken apart once per validation, so rendering does no parsing.
    std::vector<SToken> m_fileTokens;
    std::vector<SToken> m_dirTokens;
    mutable bool m_bUndefinedField = false;
};
