#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "format/FormatsFile.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/TempTree.h"

namespace {

namespace fs = std::filesystem;

const std::string kDefaultsText = "D-[D ]-name\n"
                                  "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]\n"
                                  "name|D-[(]-D-size-D-[ bytes)]\n";
const std::vector<std::string> kDefaultLines(kDefaultFormats.begin(), kDefaultFormats.end());

class FormatsFileTest : public testing::Test {
protected:
    CTempTree m_tree;
    const std::string m_strPath = m_tree.Path("formats.def");
};

TEST_F(FormatsFileTest, MissingFileIsCreatedWithTheDefaults) {
    const SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.nLanguage, 1);
    EXPECT_EQ(load.lines, kDefaultLines);
    EXPECT_TRUE(load.bCreated);
    EXPECT_FALSE(load.bUnreadable);
    const std::string strBytes = ReadFile(m_strPath);
    EXPECT_EQ(strBytes.size(), 91u);
    EXPECT_EQ(strBytes, "1\n" + kDefaultsText);
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});
}

// A file without format lines is written anew with the id it held and the defaults.
TEST_F(FormatsFileTest, FileWithoutFormatLinesGetsTheDefaultsAndKeepsItsId) {
    const struct {
        const char* pContent;
        int nLanguage;
    } cases[] = {
        {"", 1},      {"0\n", 0},       {"0\r\n", 0},  {"1", 1},     {"abc", 0},
        {"abc\n", 0}, {" \t-7x\n", -7}, {"+12\n", 12}, {"- 3\n", 0}, {"99999999999\n", 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.pContent << '"');
        ASSERT_TRUE(WriteFile(m_strPath, c.pContent));
        const SFormatsLoad load = LoadFormatsFile(m_strPath);
        EXPECT_EQ(load.nLanguage, c.nLanguage);
        EXPECT_EQ(load.lines, kDefaultLines);
        EXPECT_TRUE(load.bCreated);
        EXPECT_EQ(ReadFile(m_strPath), std::to_string(c.nLanguage) + "\n" + kDefaultsText);
    }
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});
}

TEST_F(FormatsFileTest, FormatLinesLoseTrailingWhiteSpaceOnlyAndTheFileStaysAsItWas) {
    const std::string strContent = "abc\n"
                                   "  name|size \t \r\n"
                                   "\n"
                                   "D-[D ]-name\r\n"
                                   "\r\n"
                                   "name";
    ASSERT_TRUE(WriteFile(m_strPath, strContent));
    const SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.nLanguage, 0);
    EXPECT_EQ(load.lines, (std::vector<std::string>{"  name|size", "", "D-[D ]-name", "", "name"}));
    EXPECT_FALSE(load.bCreated);
    EXPECT_FALSE(load.bUnreadable);
    EXPECT_EQ(ReadFile(m_strPath), strContent);
}

// Whatever stands at the place of formats.def: the lines and the language read, or why it is
// not used; the file is never changed by reading it.
TEST_F(FormatsFileTest, LinesAreReadWholeFromRegularFilesOnly) {
    const std::string strLong(300000, 'n');
    std::string strMany = "1\n";
    std::vector<std::string> many;
    for (int i = 0; i < 10000; ++i) {
        many.push_back("name|" + std::to_string(i));
        strMany += many.back() + "\n";
    }
    struct SCase {
        const char* pszName;
        std::string strContent;
        int nLanguage;
        std::vector<std::string> lines;
    };
    const SCase cases[] = {
        {"no final line feed", "1\nname\nname|size", 1, {"name", "name|size"}},
        {"CR LF", "0\r\nname\r\nname|size\r\n", 0, {"name", "name|size"}},
        {"a byte order mark", "\xEF\xBB\xBF" "1\nname\n", 1, {"name"}},
        {"a line of 300,000 characters", "1\n" + strLong + "\nname\n", 1, {strLong, "name"}},
        {"10,000 lines", strMany, 1, many},
        {"language 7", "7\nname\n", 7, {"name"}},
        {"language abc", "abc\nname\n", 0, {"name"}},
        {"language with blanks after it", "1   \nname\n", 1, {"name"}},
        {"an empty language line", "\nname\n", 0, {"name"}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(WriteFile(m_strPath, c.strContent));
        const SFormatsLoad load = LoadFormatsFile(m_strPath);
        EXPECT_FALSE(load.bUnreadable);
        EXPECT_EQ(load.nLanguage, c.nLanguage);
        EXPECT_EQ(load.lines, c.lines);
        EXPECT_EQ(ReadFile(m_strPath), c.strContent);
    }

    // Not a regular file: the defaults, the reason, and nothing written, ever.
    fs::remove(m_strPath);
    fs::create_symlink("/dev/zero", m_strPath);
    SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_TRUE(load.bUnreadable);
    EXPECT_EQ(load.eProblem, EFormatsProblem::NotAFile);
    EXPECT_EQ(load.lines, kDefaultLines);
    EXPECT_FALSE(SaveLanguageId(m_strPath, 0));
    EXPECT_FALSE(AppendFormatLine(m_strPath, "name"));
    EXPECT_TRUE(fs::is_symlink(m_strPath));
    fs::remove(m_strPath);
    ASSERT_EQ(mkfifo(m_strPath.c_str(), 0644), 0); // nobody writes to it: a read would block
    load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.eProblem, EFormatsProblem::NotAFile);
    EXPECT_FALSE(SaveLanguageId(m_strPath, 0));
    EXPECT_FALSE(AppendFormatLine(m_strPath, "name"));
    EXPECT_TRUE(fs::is_fifo(m_strPath));
    fs::remove(m_strPath);
    ASSERT_TRUE(WriteFile(m_strPath, "1\n"));
    fs::resize_file(m_strPath, kMaxFormatsFile + 1);
    load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.eProblem, EFormatsProblem::TooLarge);
    EXPECT_EQ(fs::file_size(m_strPath), kMaxFormatsFile + 1);
}

// A file with NUL bytes is no text (a picture, a program, a truncated download): read as lines
// it gave hundreds of garbage formats. It is unusable and left as it is.
TEST_F(FormatsFileTest, FileWithNulBytesIsNotText) {
    std::string strBinary("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    for (int i = 0; i < 2000; ++i)
        strBinary += static_cast<char>(i * 37 % 256);
    const std::string cases[] = {
        strBinary,
        std::string("1\nname\0\nsize\n", 14), // one NUL in an otherwise good file
        std::string("\0", 1),
    };
    for (const std::string& strContent : cases) {
        SCOPED_TRACE(strContent.size());
        ASSERT_TRUE(WriteFile(m_strPath, strContent));
        const SFormatsLoad load = LoadFormatsFile(m_strPath);
        EXPECT_TRUE(load.bUnreadable);
        EXPECT_EQ(load.eProblem, EFormatsProblem::NotText);
        EXPECT_EQ(load.lines, kDefaultLines);
        EXPECT_FALSE(load.bCreated);
        EXPECT_FALSE(SaveLanguageId(m_strPath, 0));
        EXPECT_EQ(ReadFile(m_strPath), strContent);
    }
}

// A new line never joins the user's last line, whatever ended it.
TEST_F(FormatsFileTest, AppendNeverJoinsTheLastLine) {
    const struct {
        const char* pszBefore;
        const char* pszAfter;
    } cases[] = {
        {"1\nname|", "1\nname|\nsize\n"},
        {"1\nname\n", "1\nname\nsize\n"},
        {"1\r\nname\r\n", "1\r\nname\r\nsize\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszBefore);
        ASSERT_TRUE(WriteFile(m_strPath, c.pszBefore));
        ASSERT_TRUE(AppendFormatLine(m_strPath, "size"));
        EXPECT_EQ(ReadFile(m_strPath), c.pszAfter);
        EXPECT_EQ(LoadFormatsFile(m_strPath).lines.back(), "size");
    }
}

TEST_F(FormatsFileTest, Windows1252BytesAreReadAsUtf8) {
    ASSERT_TRUE(WriteFile(m_strPath, "1\n[Gr\xF6sse]-size\n\x80 \x9F \xE4\xC4\xDF\n"));
    const SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.lines, (std::vector<std::string>{
                              "[Gr\xC3\xB6sse]-size",
                              "\xE2\x82\xAC \xC5\xB8 \xC3\xA4\xC3\x84\xC3\x9F",
                          }));
}

// Each line on its own: an old file's Windows-1252 lines, and UTF-8 lines that an editor or a
// later append wrote, all read as what they say; the language rewrite keeps every byte.
TEST_F(FormatsFileTest, Utf8AndWindows1252LinesAreEachReadAsWritten) {
    const std::string strOld = "1\n[Z\xE4hler]-files\n";
    ASSERT_TRUE(WriteFile(m_strPath, strOld + "name|[Gr\xC3\xB6\xC3\x9F" "e]-size\n"));
    ASSERT_TRUE(AppendFormatLine(m_strPath, "[\xC3\x9C" "ber]-name"));
    const std::string strAll =
        strOld + "name|[Gr\xC3\xB6\xC3\x9F" "e]-size\n[\xC3\x9C" "ber]-name\n";
    EXPECT_EQ(ReadFile(m_strPath), strAll);
    const std::vector<std::string> expected = {"[Z\xC3\xA4hler]-files",
                                               "name|[Gr\xC3\xB6\xC3\x9F" "e]-size",
                                               "[\xC3\x9C" "ber]-name"};
    EXPECT_EQ(LoadFormatsFile(m_strPath).lines, expected);
    ASSERT_TRUE(SaveLanguageId(m_strPath, 0));
    EXPECT_EQ(ReadFile(m_strPath), "0" + strAll.substr(1));
    EXPECT_EQ(LoadFormatsFile(m_strPath).lines, expected);
}

// What kwl says without a display comes in the stored language: read, never written.
TEST_F(FormatsFileTest, LanguageIdIsReadWithoutWriting) {
    EXPECT_EQ(ReadLanguageId(m_strPath), 1);
    EXPECT_FALSE(fs::exists(m_strPath));
    const std::pair<std::string, int> cases[] = {
        {"", 1},
        {"0", 0},
        {"0\n", 0},
        {"\xEF\xBB\xBF" "0\nname\n", 0},
        {"abc\nname\n", 0},
        {"7\r\nname\r\n", 7},
        {std::string("0\nna\0me\n", 9), 1}, // no format file
    };
    for (const auto& [strContent, nLanguage] : cases) {
        SCOPED_TRACE(strContent);
        ASSERT_TRUE(WriteFile(m_strPath, strContent));
        EXPECT_EQ(ReadLanguageId(m_strPath), nLanguage);
        EXPECT_EQ(ReadFile(m_strPath), strContent);
    }
}

TEST_F(FormatsFileTest, UnreadableFileIsLeftUntouched) {
    const std::string strContent = "0\nname|size\n";
    ASSERT_TRUE(WriteFile(m_strPath, strContent));
    m_tree.SetMode("formats.def", 0000);
    // A writable folder, so only the file's own permission stands in the way.
    m_tree.SetMode("", 0777);

    struct SChild {
        std::string strPath;
        static int Run(void* pArg) {
            const std::string& strPath = static_cast<SChild*>(pArg)->strPath;
            const SFormatsLoad load = LoadFormatsFile(strPath);
            if (!load.bUnreadable || load.bCreated)
                return 1;
            if (load.nLanguage != 1 || load.lines.size() != 3 || load.lines[0] != "D-[D ]-name")
                return 2;
            if (SaveLanguageId(strPath, 1))
                return 3;
            return 0;
        }
    } child{m_strPath};
    EXPECT_EQ(RunInChild([&] { return SChild::Run(&child); }, AsNobody()), 0);

    struct stat st {};
    ASSERT_EQ(stat(m_strPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0u);
    m_tree.SetMode("formats.def", 0644);
    EXPECT_EQ(ReadFile(m_strPath), strContent);
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});
}

TEST_F(FormatsFileTest, FormatsDefThatIsAFolderIsUnreadable) {
    m_tree.AddDir("formats.def/inside");
    const SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_TRUE(load.bUnreadable);
    EXPECT_FALSE(load.bCreated);
    EXPECT_EQ(load.lines, kDefaultLines);
    EXPECT_FALSE(SaveLanguageId(m_strPath, 0));
    EXPECT_TRUE(fs::is_directory(m_tree.Path("formats.def/inside")));
}

// As "wb" and "ab" would: a file the user cannot write is neither replaced nor appended to.
TEST_F(FormatsFileTest, ReadOnlyFileIsNotRewrittenOrAppendedTo) {
    const std::string strContent = "1\nname\n";
    ASSERT_TRUE(WriteFile(m_strPath, strContent));
    m_tree.SetMode("formats.def", 0444);
    m_tree.SetMode("", 0777);

    struct SChild {
        std::string strPath;
        static int Run(void* pArg) {
            const std::string& strPath = static_cast<SChild*>(pArg)->strPath;
            const SFormatsLoad load = LoadFormatsFile(strPath);
            if (load.bUnreadable || load.lines != std::vector<std::string>{"name"})
                return 1;
            if (SaveLanguageId(strPath, 0))
                return 2;
            if (AppendFormatLine(strPath, "size"))
                return 3;
            return 0;
        }
    } child{m_strPath};
    EXPECT_EQ(RunInChild([&] { return SChild::Run(&child); }, AsNobody()), 0);
    EXPECT_EQ(ReadFile(m_strPath), strContent);
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});
}

TEST_F(FormatsFileTest, AppendWritesUtf8AndEndsWithALineFeed) {
    const struct {
        const char* pLine;
        const char* pBytes;
    } cases[] = {
        {"[Gr\xC3\xB6sse]", "[Gr\xC3\xB6sse]\n"},
        {"\xE2\x82\xAC-name", "\xE2\x82\xAC-name\n"},
        {"name \xE2\x9C\x93", "name \xE2\x9C\x93\n"}, // beyond Windows-1252
        {"", "\n"},
        {"name|size", "name|size\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pLine);
        ASSERT_TRUE(WriteFile(m_strPath, "1\r\nname\r\n"));
        EXPECT_TRUE(AppendFormatLine(m_strPath, c.pLine));
        EXPECT_EQ(ReadFile(m_strPath), std::string("1\r\nname\r\n") + c.pBytes);
    }
}

// Such a line would be read back as Windows-1252, as another line than the one given.
TEST_F(FormatsFileTest, AppendOfALineThatIsNotUtf8WritesNothing) {
    const std::string strContent = "1\nname\n";
    for (const char* pLine : {"[Gr\xF6sse]", "\xC3", "bad \xFF utf8"}) {
        SCOPED_TRACE(pLine);
        ASSERT_TRUE(WriteFile(m_strPath, strContent));
        EXPECT_FALSE(AppendFormatLine(m_strPath, pLine));
        EXPECT_EQ(ReadFile(m_strPath), strContent);
    }
}

TEST_F(FormatsFileTest, AppendCreatesAMissingFile) {
    EXPECT_TRUE(AppendFormatLine(m_strPath, "name"));
    EXPECT_EQ(ReadFile(m_strPath), "name\n");
}

TEST_F(FormatsFileTest, FailedWritesCountAsFailuresAndLeaveTheFileAsItWas) {
    EXPECT_FALSE(AppendFormatLine("/dev/full", "name"));
    EXPECT_FALSE(AppendFormatLine(m_tree.Path("no/such/folder/formats.def"), "name"));

    // The file may not grow past 100 bytes: the append can write only part of its line.
    const std::string strContent = "1\n" + std::string(90, 'n') + "\n";
    ASSERT_TRUE(WriteFile(m_strPath, strContent));
    const std::string strPath = m_strPath;
    const auto appendFails = [&] {
        return AppendFormatLine(strPath, std::string(20, 's')) ? 1 : 0;
    };
    EXPECT_EQ(RunInChild(appendFails, WithFileSizeLimit(100)), 0);
    EXPECT_EQ(ReadFile(m_strPath), strContent);

    const std::string strBig = "1\n" + std::string(150, 'n') + "\n";
    ASSERT_TRUE(WriteFile(m_strPath, strBig));
    const auto rewriteFails = [&] { return SaveLanguageId(strPath, 0) ? 1 : 0; };
    EXPECT_EQ(RunInChild(rewriteFails, WithFileSizeLimit(100)), 0);
    EXPECT_EQ(ReadFile(m_strPath), strBig);
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});

    fs::remove(m_strPath);
    const auto createFails = [&] {
        const SFormatsLoad load = LoadFormatsFile(strPath);
        return !load.bCreated && load.lines.size() == 3 ? 0 : 1;
    };
    EXPECT_EQ(RunInChild(createFails, WithFileSizeLimit(50)), 0);
    EXPECT_TRUE(NamesIn(m_tree.Root()).empty());
}

TEST_F(FormatsFileTest, LanguageRewriteReplacesTheFirstLineAndCopiesTheRestByteForByte) {
    const std::string strLong(300, 'x');
    const std::string strRest = "D-[D ]-name\n"
                                "name|size \t\n"
                                "\n"
                                "[Gr\xF6sse]\r\n" +
                                strLong + "\n" + "no final line feed";
    ASSERT_TRUE(WriteFile(m_strPath, "1\r\n" + strRest));
    chmod(m_strPath.c_str(), 0640);

    ASSERT_TRUE(SaveLanguageId(m_strPath, 0));
    EXPECT_EQ(ReadFile(m_strPath), "0\n" + strRest);
    ASSERT_TRUE(SaveLanguageId(m_strPath, -3));
    EXPECT_EQ(ReadFile(m_strPath), "-3\n" + strRest);

    const SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.nLanguage, -3);
    EXPECT_EQ(load.lines, (std::vector<std::string>{"D-[D ]-name", "name|size", "",
                                                    "[Gr\xC3\xB6sse]", strLong,
                                                    "no final line feed"}));

    struct stat st {};
    ASSERT_EQ(stat(m_strPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});
}

TEST_F(FormatsFileTest, LanguageRewriteReplacesTheWholeFirstLine) {
    ASSERT_TRUE(WriteFile(m_strPath, "1" + std::string(253, ' ') + "tail\nname\n"));
    ASSERT_TRUE(SaveLanguageId(m_strPath, 0));
    EXPECT_EQ(ReadFile(m_strPath), "0\nname\n");
}

TEST_F(FormatsFileTest, LanguageRewriteWritesTheDefaultsWhenNoFormatLineFollows) {
    for (const char* pContent : {"", "1", "1\n", "1\r\n", "abc"}) {
        SCOPED_TRACE(testing::Message() << '"' << pContent << '"');
        ASSERT_TRUE(WriteFile(m_strPath, pContent));
        ASSERT_TRUE(SaveLanguageId(m_strPath, 0));
        EXPECT_EQ(ReadFile(m_strPath), "0\n" + kDefaultsText);
    }
    fs::remove(m_strPath);
    ASSERT_TRUE(SaveLanguageId(m_strPath, 1));
    EXPECT_EQ(ReadFile(m_strPath), "1\n" + kDefaultsText);
    EXPECT_EQ(NamesIn(m_tree.Root()), std::set<std::string>{"formats.def"});
}

TEST_F(FormatsFileTest, LanguageRewriteThroughALinkUpdatesTheFileItPointsTo) {
    m_tree.AddDir("real");
    const std::string strReal = m_tree.Path("real/formats.def");
    ASSERT_TRUE(WriteFile(strReal, "1\nname\n"));
    m_tree.AddLink("formats.def", "real/formats.def");

    ASSERT_TRUE(SaveLanguageId(m_strPath, 0));
    EXPECT_TRUE(fs::is_symlink(m_strPath));
    EXPECT_EQ(ReadFile(strReal), "0\nname\n");
    EXPECT_EQ(NamesIn(m_tree.Path("real")), std::set<std::string>{"formats.def"});
}

// CR LF files from other editors: entries lose the CR, a rewrite keeps it, an append adds
// LF only.
TEST_F(FormatsFileTest, CrLfFileKeepsItsLineEnds) {
    ASSERT_TRUE(WriteFile(m_strPath, "0\r\nname|size\r\nD-[D ]-name\r\n"));
    const SFormatsLoad load = LoadFormatsFile(m_strPath);
    EXPECT_EQ(load.nLanguage, 0);
    EXPECT_EQ(load.lines, (std::vector<std::string>{"name|size", "D-[D ]-name"}));

    ASSERT_TRUE(SaveLanguageId(m_strPath, 1));
    EXPECT_EQ(ReadFile(m_strPath), "1\nname|size\r\nD-[D ]-name\r\n");
    ASSERT_TRUE(AppendFormatLine(m_strPath, "name"));
    EXPECT_EQ(ReadFile(m_strPath), "1\nname|size\r\nD-[D ]-name\r\nname\n");
}

TEST(FormatsFileSelectByText, FindsTheFirstEntryFromTheSecondOnThenTheFirst) {
    const struct {
        std::vector<std::string> entries;
        const char* pText;
        int nExpected;
    } cases[] = {
        {{"name|size", "D-[D ]-name|F-size"}, "D-[D ]-name", 1},
        {{"D-[D ]-name", "name", "D-[D ]-name|size", "D-[D ]-name"}, "D-[D ]-name", 2},
        {{"D-[D ]-name", "name|size", "size"}, "D-[D ]-name", 0},
        {{"name|size", "size"}, "D-[D ]-name", -1},
        {{}, "D-[D ]-name", -1},
        {{"D-[D ]-name"}, "D-[D ]-name", 0},
        {{"name", "d-[d ]-NAME"}, "D-[D ]-name", 1},
        {{"name", "D-[D ]-nam"}, "D-[D ]-name", -1},
        {{"name", "[\xC3\x84\xC3\x96\xC3\x9C]"}, "[\xC3\xA4\xC3\xB6\xC3\xBC]", 1},
        {{"name", "[\xC3\xA0\xC3\xBE]"}, "[\xC3\x80\xC3\x9E]", 1},
        // The multiplication and division signs are not letters of one another.
        {{"name", "[\xC3\x97]"}, "[\xC3\xB7]", -1},
        {{"first", "second"}, "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << '"' << c.pText << "\" in " << c.entries.size() << " entries");
        EXPECT_EQ(SelectByText(c.entries, c.pText), c.nExpected);
    }
}

} // namespace
