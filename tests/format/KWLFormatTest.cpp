#include "format/KWLFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "support/TimeZone.h"

namespace {

// Times of the sample nodes, all rendered in UTC.
constexpr std::int64_t kMarch2002 = 1015337229; // 05.03.2002, 14:07:09 UTC
constexpr std::int64_t kYear2100 = 4102444800;  // 01.01.2100, 00:00:00 UTC
constexpr std::int64_t kPast2038 = 2147483648;  // 19.01.2038, 03:14:08 UTC
constexpr std::int64_t kEndOf1999 = 946684799;  // 31.12.1999, 23:59:59 UTC
constexpr const char* kNoTime = "??.??.????, ??:??:??";

// Neither a file nor a directory.
class COtherItem : public CKWLItem {};

enum class EKind { Dir, File };

class KWLFormatTest : public ::testing::Test {
protected:
    KWLFormatTest() : m_utc("UTC") {
        if (!m_utc.IsSet())
            ADD_FAILURE() << "the tests need local time in UTC (on Windows: run them with TZ=UTC)";
        // The sample nodes of the main dialog's previews.
        m_dir.Set("Name", CTime(kEndOf1999), 54321, 123);
        m_file.Set(4321, "Name.ext", false, false, false, false, true, CTime(kMarch2002),
                   CTime(kYear2100), CTime(kPast2038));
    }

    const CKWLItem* Item(EKind eKind) const {
        return eKind == EKind::Dir ? static_cast<const CKWLItem*>(&m_dir) : &m_file;
    }

    // Renders with a freshly validated engine; the line must be valid.
    std::string RenderLine(const std::string& strLine, const CKWLItem* pItem, int nDepth = 0) {
        CKWLFormat format;
        EXPECT_TRUE(format.Validate(strLine)) << strLine;
        return format.Render(pItem, nDepth).strText;
    }

    CTimeZone m_utc;
    CDirInformation m_dir;
    CFileInformation m_file;
};

// ---- validation ----

struct SValidateCase {
    std::string strLine;
    bool bValid;
    std::string strFileFormat;
    int nFileColumns;
    std::string strDirFormat;
    int nDirColumns;
};

void CheckValidateTable(const std::vector<SValidateCase>& cases) {
    for (const SValidateCase& c : cases) {
        SCOPED_TRACE("line \"" + c.strLine + "\"");
        CKWLFormat format;
        // Something else first: every validation must replace all of it, also on failure.
        ASSERT_TRUE(format.Validate("F-modTime|D-files|crTime-[x]"));
        EXPECT_EQ(format.Validate(c.strLine), c.bValid);
        EXPECT_EQ(format.GetFileFormat(), c.strFileFormat);
        EXPECT_EQ(format.GetFileColumns(), c.nFileColumns);
        EXPECT_EQ(format.GetDirFormat(), c.strDirFormat);
        EXPECT_EQ(format.GetDirColumns(), c.nDirColumns);
    }
}

TEST(KWLFormatValidate, ColumnsAndQualifiers) {
    CheckValidateTable({
        {"", true, "", 0, "", 0},
        {"name", true, "name", 1, "name", 1},
        {"name-size", true, "namesize", 1, "namesize", 1},
        {"name-[ ]-size|crTime", true, "name[ ]size|crTime", 2, "name[ ]size|crTime", 2},
        {"D-[D ]-name", true, "name", 1, "[D ]name", 1},
        {"name|D-[(]-D-size-D-[ bytes)]", true, "name", 1, "name|[(]size[ bytes)]", 2},
        {"D-name|F-size", true, "size", 1, "name", 1},
        {"F-name|F-size|D-files", true, "name|size", 2, "files", 1},
        {"F-[a]-D-[b]|[c]", true, "[a]|[c]", 2, "[b]|[c]", 2},
        {"D-files|F-size|name", true, "size|name", 2, "files|name", 2},
        {"name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]", true,
         "name|[(]size[ bytes)]|[\\[]crTime[\\]]", 3, "name|[\\[]crTime[\\]]", 2},
        // Empty columns add nothing, wherever they are.
        {"name||size", true, "name|size", 2, "name|size", 2},
        {"name|size|", true, "name|size", 2, "name|size", 2},
        {"name|", true, "name", 1, "name", 1},
        {"name|||", true, "name", 1, "name", 1},
        // Every keyword is accepted for both kinds.
        {"accTime", true, "accTime", 1, "accTime", 1},
        {"files", true, "files", 1, "files", 1},
        {"name-size-crTime-accTime-modTime-arch-hid-sys-compr-ro-files", true,
         "namesizecrTimeaccTimemodTimearchhidsyscomprrofiles", 1,
         "namesizecrTimeaccTimemodTimearchhidsyscomprrofiles", 1},
    });
}

TEST(KWLFormatValidate, MalformedLinesKeepWhatWasAcceptedBefore) {
    CheckValidateTable({
        // A leading "|" is never split off, so the whole line is one bad column.
        {"|name", false, "", 0, "", 0},
        {"|", false, "", 0, "", 0},
        {"||", false, "", 0, "", 0},
        // Empty elements and elements holding "-".
        {"-", false, "", 0, "", 0},
        {"-name", false, "", 0, "", 0},
        {"name-", false, "name", 1, "name", 1},
        {"name--size", false, "name", 1, "name", 1},
        {"name|-size", false, "name", 1, "name", 1},
        // A qualifier needs an element after it, and a qualifier is no element.
        {"D", false, "", 0, "", 0},
        {"F", false, "", 0, "", 0},
        {"name-D", false, "name", 1, "name", 1},
        {"D-D-name", false, "", 0, "", 0},
        {"F-D-name", false, "", 0, "", 0},
        {"F-F-name", false, "", 0, "", 0},
        {"D-|name", false, "", 0, "", 0},
        {"D-name-F", false, "", 0, "name", 1},
        {"name|F-size-D", false, "name|size", 2, "name", 1},
        // Byte-exact: no case folding, no trimming.
        {"d-name", false, "", 0, "", 0},
        {"f-name", false, "", 0, "", 0},
        {"Name", false, "", 0, "", 0},
        {"NAME", false, "", 0, "", 0},
        {"crtime", false, "", 0, "", 0},
        {" name", false, "", 0, "", 0},
        {"name ", false, "", 0, "", 0},
        {"name\t", false, "", 0, "", 0},
        {"names", false, "", 0, "", 0},
        {"x-name", false, "", 0, "", 0},
        // Partial results: earlier columns and the accepted part of the failing column.
        {"name|xyz", false, "name", 1, "name", 1},
        {"name|size-xyz|crTime", false, "name|size", 2, "name|size", 2},
        {"D-name|F-size|xyz", false, "size", 1, "name", 1},
        {"name|F-size|D-xyz", false, "name|size", 2, "name", 1},
        {"F-name|D-files-[a b]-xyz", false, "name|[a b]", 2, "files[a b]", 1},
    });
}

TEST(KWLFormatValidate, BackslashRuleFailsBeforeAnyColumn) {
    CheckValidateTable({
        {"name\\x", false, "", 0, "", 0},
        {"name\\", false, "", 0, "", 0},
        {"\\", false, "", 0, "", 0},
        {"name|size|[\\x]", false, "", 0, "", 0},
        {"name|size|[a]\\", false, "", 0, "", 0},
        {"[\\\\]", false, "", 0, "", 0},
        {"[\\[]|name\\-", false, "", 0, "", 0},
        // Escapes outside a text element pass the rule but not the element test.
        {"name|\\[", false, "name", 1, "name", 1},
        {"name\\[", false, "", 0, "", 0},
    });
}

TEST(KWLFormatValidate, TextElements) {
    CheckValidateTable({
        {"[]", true, "[]", 1, "[]", 1},
        {"[a:b]", true, "[a:b]", 1, "[a:b]", 1},
        {"[AZaz09() :]", true, "[AZaz09() :]", 1, "[AZaz09() :]", 1},
        {"[Grösse]", true, "[Grösse]", 1, "[Grösse]", 1},
        {"[äöüÄÖÜ]", true, "[äöüÄÖÜ]", 1, "[äöüÄÖÜ]", 1},
        {"[\\[abc\\]]", true, "[\\[abc\\]]", 1, "[\\[abc\\]]", 1},
        {"[\\]]", true, "[\\]]", 1, "[\\]]", 1},
        {"[\\[\\]]", true, "[\\[\\]]", 1, "[\\[\\]]", 1},
        // "-" and "|" split before the brackets are looked at.
        {"[a-b]", false, "", 0, "", 0},
        {"[a|b]", false, "", 0, "", 0},
        {"[a_b]", false, "", 0, "", 0},
        {"[a.b]", false, "", 0, "", 0},
        {"[a,b]", false, "", 0, "", 0},
        {"[a/b]", false, "", 0, "", 0},
        {"[a\tb]", false, "", 0, "", 0},
        {"[ß]", false, "", 0, "", 0},
        {"[é]", false, "", 0, "", 0},
        {"[\xC3]", false, "", 0, "", 0},         // a lead byte alone
        {"[\xC3\xA4\xC3]", false, "", 0, "", 0}, // an umlaut, then a lead byte alone
        {"[Gr\xF6sse]", false, "", 0, "", 0},    // Windows-1252, not UTF-8
        {"[abc\\]", false, "", 0, "", 0},        // no closing bracket
        {"[a]b]", false, "", 0, "", 0},          // closing bracket not last
        {"[a]]", false, "", 0, "", 0},
        {"[a[b]", false, "", 0, "", 0}, // unescaped "["
        {"[abc", false, "", 0, "", 0},
        {"abc]", false, "", 0, "", 0},
        {"[", false, "", 0, "", 0},
        {"]", false, "", 0, "", 0},
        {"[a][b]", false, "", 0, "", 0},
        {"name|[x]-[a_b]", false, "name|[x]", 2, "name|[x]", 2},
    });
}

// ---- rendering ----

struct SRenderCase {
    std::string strLine;
    EKind eKind;
    int nDepth;
    std::string strExpected;
};

TEST_F(KWLFormatTest, RendersLines) {
    const std::vector<SRenderCase> cases = {
        {"D-[D ]-name", EKind::Dir, 0, "D Name"},
        {"D-[D ]-name", EKind::File, 0, "Name.ext"},
        {"name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]", EKind::File, 0,
         "Name.ext\t(4321 bytes)\t[05.03.2002, 14:07:09]"},
        {"name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]", EKind::Dir, 0,
         "Name\t[31.12.1999, 23:59:59]"},
        {"name|D-[(]-D-size-D-[ bytes)]", EKind::Dir, 0, "Name\t(54321 bytes)"},
        {"name|D-[(]-D-size-D-[ bytes)]", EKind::File, 0, "Name.ext"},
        // Indentation: 2 spaces per level, also past the prepared levels.
        {"name", EKind::File, 3, "      Name.ext"},
        {"name", EKind::Dir, 9, std::string(18, ' ') + "Name"},
        {"name", EKind::Dir, 10, std::string(20, ' ') + "Name"},
        {"name", EKind::File, 19, std::string(38, ' ') + "Name.ext"},
        {"name", EKind::File, 25, std::string(50, ' ') + "Name.ext"},
        // A kind without elements gets its indentation alone.
        {"F-name", EKind::Dir, 0, ""},
        {"F-name", EKind::Dir, 2, "    "},
        {"D-files", EKind::File, 0, ""},
        {"D-files", EKind::File, 1, "  "},
        {"D-files", EKind::Dir, 0, "123"},
        {"", EKind::File, 0, ""},
        {"", EKind::Dir, 4, "        "},
        // A text element renders for its kinds whatever the next element applies to.
        {"[Size: ]-F-size", EKind::Dir, 0, "Size: "},
        {"[Size: ]-F-size", EKind::File, 0, "Size: 4321"},
        {"name|[]|size", EKind::File, 0, "Name.ext\t\t4321"},
        {"name||size", EKind::File, 0, "Name.ext\t4321"},
        {"name-size", EKind::File, 0, "Name.ext4321"},
        {"[\\[]", EKind::File, 0, "["},
        {"[\\]]", EKind::File, 0, "]"},
        {"[]", EKind::Dir, 0, ""},
        {"[\\[abc\\]]-name", EKind::Dir, 0, "[abc]Name"},
        {"[Grösse: ]-size", EKind::File, 0, "Grösse: 4321"},
        {"[a:b]|[ÄÖÜ ]", EKind::Dir, 1, "  a:b\tÄÖÜ "},
        // Every keyword of each kind.
        {"name|size|crTime|accTime|modTime", EKind::File, 0,
         "Name.ext\t4321\t05.03.2002, 14:07:09\t01.01.2100, 00:00:00\t19.01.2038, 03:14:08"},
        {"name|crTime|size|files", EKind::Dir, 0, "Name\t31.12.1999, 23:59:59\t54321\t123"},
        {"ro|compr|sys|hid|arch", EKind::File, 0, "-\t-\t-\t-\tA"},
        {"F-[(]-F-files-F-[)]|D-accTime|[x]", EKind::File, 0, "()\tx"},
    };
    for (const SRenderCase& c : cases) {
        SCOPED_TRACE("line \"" + c.strLine + "\" depth " + std::to_string(c.nDepth));
        EXPECT_EQ(RenderLine(c.strLine, Item(c.eKind), c.nDepth), c.strExpected);
    }
}

TEST_F(KWLFormatTest, NamesAreCopiedUnchanged) {
    // Characters that mean something in a format line mean nothing in a name.
    m_file.m_strName = "a|b-[c]\\d name size";
    m_dir.m_strName = "Grösse [\\]] |";
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|size"));
    EXPECT_EQ(format.Render(&m_file, 0).strText, "a|b-[c]\\d name size\t4321");
    EXPECT_EQ(format.Render(&m_dir, 0).strText, "Grösse [\\]] |\t54321");
}

TEST_F(KWLFormatTest, LargeSizesAndCounts) {
    struct SCase {
        std::uint64_t nSize;
        int nFiles;
        std::string strFile;
        std::string strDir;
    };
    const std::vector<SCase> cases = {
        {0, 0, "0", "0|0"},
        {3000000000u, 7, "3000000000", "3000000000|7"},
        {4294967296u, 1, "4294967296", "4294967296|1"},
        {5000000000u, 2147483647, "5000000000", "5000000000|2147483647"},
        {std::numeric_limits<std::uint64_t>::max(), 1, "18446744073709551615",
         "18446744073709551615|1"},
    };
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("size|D-files"));
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strFile);
        m_file.m_nSize = c.nSize;
        m_dir.m_nTotalSize = c.nSize;
        m_dir.m_nFileCount = c.nFiles;
        EXPECT_EQ(format.Render(&m_file, 0, "|").strText, c.strFile);
        EXPECT_EQ(format.Render(&m_dir, 0, "|").strText, c.strDir);
    }
}

TEST_F(KWLFormatTest, AttributeFlags) {
    struct SCase {
        bool bReadOnly, bCompressed, bSystem, bHidden, bArchive;
        const char* pszExpected;
    };
    const std::vector<SCase> cases = {
        {false, false, false, false, false, "-----"}, {true, false, false, false, false, "R----"},
        {false, true, false, false, false, "-C---"},  {false, false, true, false, false, "--S--"},
        {false, false, false, true, false, "---H-"},  {false, false, false, false, true, "----A"},
        {true, true, true, true, true, "RCSHA"},
    };
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("ro-compr-sys-hid-arch"));
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszExpected);
        m_file.Set(1, "f", c.bReadOnly, c.bCompressed, c.bSystem, c.bHidden, c.bArchive, CTime(0),
                   CTime(0), CTime(0));
        EXPECT_EQ(format.Render(&m_file, 0).strText, c.pszExpected);
    }
}

// The separator is the caller's: each call renders with its own, the engine keeps none.
TEST_F(KWLFormatTest, SeparatorIsTheCallers) {
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|[]|size"));
    EXPECT_EQ(format.Render(&m_file, 0).strText, "Name.ext\t\t4321");

    EXPECT_EQ(format.Render(&m_file, 1, ";").strText, "  Name.ext;;4321");
    EXPECT_EQ(format.Render(&m_dir, 0, ";").strText, "Name;;54321");
    EXPECT_EQ(format.Render(&m_file, 0, "→ ").strText, "Name.ext→ → 4321");
    std::string strOut = "x";
    format.RenderInto(&m_dir, 0, strOut, ",");
    EXPECT_EQ(strOut, "xName,,54321");

    EXPECT_EQ(format.Render(&m_file, 0).strText, "Name.ext\t\t4321");
}

TEST_F(KWLFormatTest, KeywordUndefinedForTheKindIsSkippedAndReported) {
    struct SCase {
        std::string strLine;
        EKind eKind;
        std::string strExpected;
    };
    const std::vector<SCase> cases = {
        {"name|accTime|size", EKind::Dir, "Name\t\t54321"},
        {"[(]-modTime-[)]", EKind::Dir, "()"},
        {"arch-name", EKind::Dir, "Name"},
        {"name-hid", EKind::Dir, "Name"},
        {"sys|compr|ro|files", EKind::Dir, "\t\t\t123"},
        {"name|files", EKind::File, "Name.ext\t"},
        {"files-name-files", EKind::File, "Name.ext"},
        {"[(]-files-[)]|size", EKind::File, "()\t4321"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strLine);
        CKWLFormat format;
        ASSERT_TRUE(format.Validate(c.strLine));
        const SRenderedText rendered = format.Render(Item(c.eKind), 2);
        EXPECT_EQ(rendered.strText, "    " + c.strExpected);
        EXPECT_TRUE(rendered.bUndefinedField);
        std::string strOut;
        EXPECT_TRUE(format.RenderInto(Item(c.eKind), 0, strOut).bUndefinedField);
        EXPECT_EQ(strOut, c.strExpected);
    }
}

// Each call reports for its own line only: the engine keeps no note between calls.
TEST_F(KWLFormatTest, UndefinedFieldIsReportedByTheLineThatSkipsIt) {
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|accTime"));
    const SRenderedText file = format.Render(&m_file, 0);
    EXPECT_EQ(file.strText, "Name.ext\t01.01.2100, 00:00:00");
    EXPECT_FALSE(file.bUndefinedField); // defined for files
    const SRenderedText dir = format.Render(&m_dir, 0);
    EXPECT_EQ(dir.strText, "Name\t");
    EXPECT_TRUE(dir.bUndefinedField);
    EXPECT_FALSE(format.Render(&m_file, 0).bUndefinedField);
}

TEST_F(KWLFormatTest, RenderingAfterFailedValidationUsesWhatWasAccepted) {
    struct SCase {
        std::string strLine;
        std::string strFile;
        std::string strDir;
    };
    const std::vector<SCase> cases = {
        {"name|xyz", "Name.ext", "Name"},
        {"name|size-xyz|crTime", "Name.ext\t4321", "Name\t54321"},
        {"name|F-size|D-xyz", "Name.ext\t4321", "Name"},
        {"D-name-F", "", "Name"},
        {"name|size|[\\x]", "", ""}, // backslash rule: nothing was accepted
        {"|name", "", ""},
        {"name|accTime-xyz", "Name.ext\t01.01.2100, 00:00:00", "Name\t"},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strLine);
        CKWLFormat format;
        ASSERT_TRUE(format.Validate("F-modTime|D-files"));
        ASSERT_FALSE(format.Validate(c.strLine));
        EXPECT_EQ(format.Render(&m_file, 1).strText, "  " + c.strFile);
        EXPECT_EQ(format.Render(&m_dir, 0).strText, c.strDir);
    }
}

TEST_F(KWLFormatTest, ItemOfNoKnownKindGetsItsIndentationAlone) {
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|[x]|size"));
    COtherItem other;
    EXPECT_EQ(format.Render(&other, 0).strText, "");
    EXPECT_EQ(format.Render(&other, 12).strText, std::string(24, ' '));
    EXPECT_FALSE(format.Render(&other, 0).bUndefinedField);
}

TEST_F(KWLFormatTest, RenderIntoAppends) {
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("name|size"));
    std::string strOut = "first\r\n";
    EXPECT_FALSE(format.RenderInto(&m_dir, 1, strOut).bUndefinedField);
    strOut += "\r\n";
    EXPECT_FALSE(format.RenderInto(&m_file, 2, strOut).bUndefinedField);
    EXPECT_EQ(strOut, "first\r\n  Name\t54321\r\n    Name.ext\t4321");
}

TEST_F(KWLFormatTest, UnconvertibleTimeRendersAsQuestionMarks) {
    CKWLFormat format;
    ASSERT_TRUE(format.Validate("crTime|F-accTime|F-modTime"));
    m_file.m_timeCreation = CTime(std::numeric_limits<std::int64_t>::max());
    m_file.m_timeLastAccess = CTime(std::numeric_limits<std::int64_t>::min());
    m_dir.m_timeCreation = CTime(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(format.Render(&m_file, 0).strText,
              std::string(kNoTime) + "\t" + kNoTime + "\t19.01.2038, 03:14:08");
    EXPECT_EQ(format.Render(&m_dir, 0).strText, kNoTime);
}

TEST(KWLFormatIndent, TwoSpacesPerLevel) {
    CKWLFormat format;
    ASSERT_TRUE(format.Validate(""));
    const CFileInformation file;
    for (int nDepth : {0, 1, 2, 8, 9, 10, 11, 17, 18, 19, 20, 25, 26, 27, 28, 81, 82, 100, 1000}) {
        SCOPED_TRACE(nDepth);
        const std::string strIndent(2 * static_cast<std::size_t>(nDepth), ' ');
        EXPECT_EQ(format.GetIndent(nDepth), strIndent);
        EXPECT_EQ(format.Render(&file, nDepth).strText, strIndent);
    }
    for (int nDepth = 0; nDepth < 200; ++nDepth)
        ASSERT_EQ(format.GetIndent(nDepth), std::string(2 * static_cast<std::size_t>(nDepth), ' '))
            << nDepth;
}

// ---- times ----

TEST(KWLFormatTime, LocalCalendarTime) {
    struct SCase {
        const char* pszZone;
        std::int64_t nTime;
        const char* pszExpected;
    };
    const std::vector<SCase> cases = {
        {"UTC", kMarch2002, "05.03.2002, 14:07:09"},
        // The same local time in Central Europe is an hour earlier in UTC.
        {"CET-1CEST,M3.5.0,M10.5.0/3", kMarch2002 - 3600, "05.03.2002, 14:07:09"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1025878029, "05.07.2002, 16:07:09"}, // summer time
        {"UTC", 0, "01.01.1970, 00:00:00"},
        {"UTC", -1, "31.12.1969, 23:59:59"},
        {"UTC", 2147483647, "19.01.2038, 03:14:07"},
        {"UTC", kPast2038, "19.01.2038, 03:14:08"},
        {"UTC", kYear2100, "01.01.2100, 00:00:00"},
        {"UTC", 253402300799, "31.12.9999, 23:59:59"},
        // Four places for the year, longer years whole.
        {"UTC", 253402300800, "01.01.10000, 00:00:00"},
        {"UTC", -62135596800, "01.01.   1, 00:00:00"},
        {"UTC", std::numeric_limits<std::int64_t>::max(), kNoTime},
        {"UTC", std::numeric_limits<std::int64_t>::min(), kNoTime},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::string(c.pszZone) + " " + std::to_string(c.nTime));
        const CTimeZone zone(c.pszZone);
        if (!zone.IsSet())
            continue; // Windows: the system's zone only
        const bool bConvertible = c.nTime >= CTimeZone::EarliestConvertible();
        EXPECT_EQ(CKWLFormat::FormatTime(CTime(c.nTime)), bConvertible ? c.pszExpected : kNoTime);
    }
}

} // namespace
