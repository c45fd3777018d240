#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/KWLFormat.h"
#include "support/Utf8.h"
#include "lang/FormatBuilder.h"

namespace {

TEST(FormatBuilderTest, TextFieldTakesOnlyWhatTextElementsHold) {
    struct SCase {
        const char* pText;
        bool bAllowed;
    };
    const SCase cases[] = {
        {"", true},
        {"abc XYZ 019", true},
        {"Gr\xC3\xB6sse:", true},                                   // "Grösse:"
        {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x84\xC3\x96\xC3\x9C", true}, // the six umlauts
        {"(a[b]c)", true},
        {"%", false},
        {"a-b", false},
        {"a|b", false},
        {"a\\b", false},
        {"a\tb", false},
        {"a_b", false},
        {"a.b", false},
        {"\xC3\x9F", false},     // ß
        {"\xC3\xA9", false},     // é, same lead byte as the umlauts
        {"\xE2\x82\xAC", false}, // €
        {"o\xCC\x88", false},    // o and a combining diaeresis: not the letter ö
        {"\xC3", false},         // a cut sequence
        {"\xE4", false},         // Latin-1 ä, not UTF-8
        {"abc%", false},         // only the last character is wrong
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pText);
        EXPECT_EQ(IsAllowedText(c.pText), c.bAllowed);
    }
}

// The field and the format language must agree on every character: a character the field takes
// always gives a valid element, and one it refuses could never be stored in a format line.
TEST(FormatBuilderTest, TextFieldAgreesWithTheFormatLanguageOnEveryCharacter) {
    std::vector<char32_t> chars;
    for (char32_t cp = 1; cp < 0x300; ++cp)
        chars.push_back(cp);
    for (char32_t cp : {0x2013, 0x2028, 0x20AC, 0xFFFD})
        chars.push_back(cp);
    CKWLFormat format;
    for (char32_t cp : chars) {
        const std::string strChar = Utf8Of(cp);
        SCOPED_TRACE(static_cast<unsigned>(cp));
        EXPECT_EQ(IsAllowedText(strChar), format.Validate(TextElement(strChar)));
    }
}

TEST(FormatBuilderTest, QualifierFollowsTheTickedBoxes) {
    EXPECT_EQ(Qualifier(true, false), "D-");
    EXPECT_EQ(Qualifier(false, true), "F-");
    EXPECT_EQ(Qualifier(true, true), "");
}

TEST(FormatBuilderTest, BracketsInTextAreEscaped) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "[]"},
        {"abc", "[abc]"},
        {"a[b]c", "[a\\[b\\]c]"},
        {"[", "[\\[]"},
        {"]", "[\\]]"},
        {"]][[", "[\\]\\]\\[\\[]"},
        {"Gr\xC3\xB6sse:", "[Gr\xC3\xB6sse:]"},
    };
    CKWLFormat format;
    for (const auto& [pText, pElement] : cases) {
        SCOPED_TRACE(pText);
        EXPECT_EQ(TextElement(pText), pElement);
        EXPECT_TRUE(format.Validate(pElement));
    }
}

// One step of the dialog: a field row's add button, or one of the two text buttons.
enum class EStep { Field, TextBefore, Text };
struct SStep {
    EStep eStep;
    const char* pWhat; // keyword or text
    bool bDirectories;
    bool bFiles;
};

std::string Build(const std::vector<SStep>& steps) {
    CFormatLineBuilder builder;
    for (const SStep& step : steps) {
        switch (step.eStep) {
        case EStep::Field:
            builder.AddField(step.pWhat, step.bDirectories, step.bFiles);
            break;
        case EStep::TextBefore:
            builder.AddTextBefore(step.pWhat, step.bDirectories, step.bFiles);
            break;
        case EStep::Text:
            builder.AddText(step.pWhat, step.bDirectories, step.bFiles);
            break;
        }
    }
    return builder.Line();
}

TEST(FormatBuilderTest, WorkedExampleGivesTheSecondDefaultFormat) {
    const std::string strLine = Build({
        {EStep::Field, "name", true, true},
        {EStep::TextBefore, "(", false, true},
        {EStep::Field, "size", false, true},
        {EStep::Text, " bytes)", false, true},
        {EStep::TextBefore, "[", true, true},
        {EStep::Field, "crTime", true, true},
        {EStep::Text, "]", true, true},
    });
    EXPECT_EQ(strLine, "name|F-[(]-F-size-F-[ bytes)]|[\\[]-crTime-[\\]]");
}

TEST(FormatBuilderTest, ColumnRuleOfFieldsAndTheTwoTextButtons) {
    struct SCase {
        const char* pName;
        std::vector<SStep> steps;
        const char* pLine;
    };
    const SCase cases[] = {
        {"qualifiers",
         {{EStep::Field, "name", true, false}, {EStep::Field, "name", false, true}},
         "D-name|F-name"},
        {"field after field",
         {{EStep::Field, "name", true, true}, {EStep::Field, "size", true, true}},
         "name|size"},
        // The first element never has a separator, whatever the column state.
        {"text first", {{EStep::Text, "a", true, true}}, "[a]"},
        {"before first", {{EStep::TextBefore, "a", true, true}}, "[a]"},
        {"field, text",
         {{EStep::Field, "name", true, true}, {EStep::Text, "a", true, true}},
         "name-[a]"},
        {"field, before",
         {{EStep::Field, "name", true, true}, {EStep::TextBefore, "a", true, true}},
         "name|[a]"},
        {"text, field",
         {{EStep::Text, "a", false, true}, {EStep::Field, "size", false, true}},
         "F-[a]|F-size"},
        {"before, field",
         {{EStep::TextBefore, "a", false, true}, {EStep::Field, "size", false, true}},
         "F-[a]-F-size"},
        {"before, before",
         {{EStep::TextBefore, "a", true, true}, {EStep::TextBefore, "b", true, true}},
         "[a]|[b]"},
        {"before, text",
         {{EStep::TextBefore, "a", true, true}, {EStep::Text, "b", true, true}},
         "[a]-[b]"},
        {"text, text", {{EStep::Text, "a", true, true}, {EStep::Text, "b", true, true}}, "[a]-[b]"},
        {"text, before",
         {{EStep::Text, "a", true, true}, {EStep::TextBefore, "b", true, true}},
         "[a]|[b]"},
    };
    CKWLFormat format;
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pName);
        const std::string strLine = Build(c.steps);
        EXPECT_EQ(strLine, c.pLine);
        EXPECT_TRUE(format.Validate(strLine));
    }
}

TEST(FormatBuilderTest, ClearStartsAnEmptyLine) {
    CFormatLineBuilder builder;
    builder.AddTextBefore("a", true, true); // leaves the column open
    builder.Clear();
    EXPECT_EQ(builder.Line(), "");
    builder.AddField("name", true, true);
    EXPECT_EQ(builder.Line(), "name");
}

} // namespace
