#include <gtest/gtest.h>

#include <string>

#include "lang/TextRow.h"

namespace {

enum class ETestText { First, Second, Count };
using enum ETestText;

// The check that every table of texts passes when it compiles, on tables with the faults it
// must catch.
constexpr STextRow<ETestText> kInOrder[] = {{First, "one", "eins"}, {Second, "two", "zwei"}};
constexpr STextRow<ETestText> kSwapped[] = {{Second, "two", "zwei"}, {First, "one", "eins"}};
constexpr STextRow<ETestText> kMissing[] = {{First, "one", "eins"}};
constexpr STextRow<ETestText> kDoubled[] = {{First, "one", "eins"}, {First, "one", "eins"}};
constexpr STextRow<ETestText> kExtra[] = {
    {First, "one", "eins"}, {Second, "two", "zwei"}, {Count, "three", "drei"}};
static_assert(RowsMatchIds(kInOrder, Count));
static_assert(!RowsMatchIds(kSwapped, Count));
static_assert(!RowsMatchIds(kMissing, Count));
static_assert(!RowsMatchIds(kDoubled, Count));
static_assert(!RowsMatchIds(kExtra, Count));

TEST(TextRowTest, TextIsReadByIdInTheLanguage) {
    EXPECT_EQ(std::string(TextOf(kInOrder, Second, ELanguage::English)), "two");
    EXPECT_EQ(std::string(TextOf(kInOrder, Second, ELanguage::German)), "zwei");
    EXPECT_EQ(std::string(TextOf(kInOrder, First, ELanguage::German)), "eins");
    // An id that formats.def may hold but no language has: English.
    EXPECT_EQ(std::string(TextOf(kInOrder, First, LanguageFromId(2))), "one");
    EXPECT_EQ(std::string(TextOf(kInOrder, First, LanguageFromId(-1))), "one");
}

} // namespace
