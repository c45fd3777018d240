#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/ScanErrorTexts.h"

namespace {

std::vector<SScanError> Errors(int nCount) {
    std::vector<SScanError> errors;
    for (int i = 0; i < nCount; ++i)
        errors.push_back({"/srv/d" + std::to_string(i) + "/bad", 5});
    return errors;
}

TEST(ScanErrorTextsTest, CountPathsAndWhatHappensInBothLanguages) {
    struct SCase {
        int nErrors;
        ELanguage eLanguage;
        std::string strExpected;
    };
    const std::string strTenPaths = "\n  /srv/d0/bad\n  /srv/d1/bad\n  /srv/d2/bad\n  /srv/d3/bad"
                                    "\n  /srv/d4/bad\n  /srv/d5/bad\n  /srv/d6/bad\n  /srv/d7/bad"
                                    "\n  /srv/d8/bad\n  /srv/d9/bad";
    const std::string strKeptEn = "\n\nThey are listed as far as they could be read; the tree is "
                                  "kept and can be listed and exported.";
    const std::string strKeptDe = "\n\nSie werden aufgef\xC3\xBChrt, soweit sie gelesen werden "
                                  "konnten; der Baum bleibt erhalten und kann aufgelistet und "
                                  "exportiert werden.";
    const SCase cases[] = {
        {1, ELanguage::English,
         "1 directory could not be read completely:\n  /srv/d0/bad" + strKeptEn},
        {1, ELanguage::German,
         "1 Verzeichnis konnte nicht vollst\xC3\xA4ndig gelesen werden:\n  /srv/d0/bad" +
             strKeptDe},
        {2, ELanguage::English,
         "2 directories could not be read completely:\n  /srv/d0/bad\n  /srv/d1/bad" + strKeptEn},
        // Ten are all named; the eleventh is counted instead.
        {10, ELanguage::English,
         "10 directories could not be read completely:" + strTenPaths + strKeptEn},
        {11, ELanguage::English,
         "11 directories could not be read completely:" + strTenPaths +
             "\n  \xE2\x80\xA6"
             "and 1 more" +
             strKeptEn},
        {25, ELanguage::German,
         "25 Verzeichnisse konnten nicht vollst\xC3\xA4ndig gelesen werden:" + strTenPaths +
             "\n  \xE2\x80\xA6und 15 weitere" + strKeptDe},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.nErrors);
        EXPECT_EQ(UnreadableDirectoriesMessage(c.eLanguage, Errors(c.nErrors)), c.strExpected);
    }
}

// A path could break the message's lines or carry a terminal escape; bytes that are not UTF-8
// stay for the window's conversion to show.
TEST(ScanErrorTextsTest, ControlCharactersInPathsAreShownAsQuestionMarks) {
    const std::vector<SScanError> errors = {{"/srv/a\nb\tc\x1B[31m/\xFF", 13}};
    EXPECT_EQ(UnreadableDirectoriesMessage(ELanguage::English, errors),
              "1 directory could not be read completely:\n  /srv/a?b?c?[31m/\xFF\n\nThey are "
              "listed as far as they could be read; the tree is kept and can be listed and "
              "exported.");
}

} // namespace
