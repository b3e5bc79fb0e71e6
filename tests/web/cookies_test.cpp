#include "web/cookies.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

struct MergeCase {
    const char* name;
    Text oldCookies;
    Text newCookies;
    Text merged;
    Text newAfter; // `new` after the merge: the new cookies without blanks
};

class MergeCookiesTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookiesTest, MergesAndRewritesBothArguments) {
    const MergeCase& c = GetParam();
    Text oldCookies = c.oldCookies;
    Text newCookies = c.newCookies;
    const Text result = MergeCookies(oldCookies, newCookies);
    EXPECT_EQ(result, c.merged);
    EXPECT_EQ(oldCookies, c.merged);
    EXPECT_EQ(newCookies, c.newAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeCookiesTest,
    testing::Values(MergeCase{"BothEmpty", "", "", "", ""},
                    MergeCase{"OnlyNew", "", "x=1;y=2", "x=1; y=2", "x=1;y=2"},
                    MergeCase{"OnlyOld", "a=1; b=2", "", "a=1; b=2", ""},
                    MergeCase{"NewWinsOldFollow", "a=1; b=2", "b=3;c=4", "b=3; c=4; a=1",
                              "b=3;c=4"},
                    MergeCase{"DeletedDropsOld", "a=1; b=2", "b=deleted", "a=1", "b=deleted"},
                    MergeCase{"DeletedAlone", "", "n=deleted", "", "n=deleted"},
                    MergeCase{"EverythingDeleted", "a=1", "a=deleted", "", "a=deleted"},
                    MergeCase{"BlanksRemovedInValues", "token=a b", "", "token=ab", ""},
                    MergeCase{"BlanksInNew", "", " p = 1 ; q=2", "p=1; q=2", "p=1;q=2"},
                    MergeCase{"NamesKeepTheirCase", "SID=1", "sid=2", "sid=2; SID=1", "sid=2"},
                    MergeCase{"SameItemTwiceOnce", "", "a=1;a=1", "a=1", "a=1;a=1"},
                    MergeCase{"SameNameTwoValuesBoth", "", "a=1;a=2", "a=1; a=2", "a=1;a=2"},
                    MergeCase{"FullWidthBlankRemoved",
                              "k=v"
                              "\xA1\xA1"
                              "w",
                              "", "k=vw", ""},
                    // 啊 (B0 A1) followed by 、 (A1 A2): the bytes A1 A1 across the two characters
                    // are no blank.
                    MergeCase{"FullWidthBlankOnlyWholeCharacters", "k=\xB0\xA1\xA1\xA2", "",
                              "k=\xB0\xA1\xA1\xA2", ""},
                    MergeCase{"TrailingSeparatorIgnored", "a=1;", "b=2;", "b=2; a=1", "b=2;"}),
    [](const testing::TestParamInfo<MergeCase>& info) { return info.param.name; });

TEST(CookieItems, NamesAndLookups) {
    EXPECT_EQ(CookieName(" a =1"), "a");
    EXPECT_EQ(CookieName("flag"), "flag");
    EXPECT_EQ(CookieName("=x"), "");
    EXPECT_EQ(CookieName("k=v=w"), "k");

    EXPECT_TRUE(CookieListHasName("a=1; B=2", "B"));
    EXPECT_FALSE(CookieListHasName("a=1; B=2", "b"));
    EXPECT_FALSE(CookieListHasName("", "a"));

    EXPECT_EQ(FindItem({"x", "y", "y"}, "y"), 2);
    EXPECT_EQ(FindItem({"x", "y"}, "z"), -1);
    EXPECT_EQ(FindItem({}, ""), -1);
}

TEST(CookieItems, RemoveDuplicateItemsKeepsFirstOfEqualItems) {
    EXPECT_EQ(RemoveDuplicateItems("a; b; a; c; b", "; "), "a; b; c");
    EXPECT_EQ(RemoveDuplicateItems("a=1; A=1", "; "), "a=1; A=1");
    EXPECT_EQ(RemoveDuplicateItems("", "; "), "");
    EXPECT_EQ(RemoveDuplicateItems("x|y|x", "|"), "x|y");
}

// An answer may set thousands of cookies (libcurl lets 300 KB of headers through). The merge
// looks names up in a set: comparing every cookie with every other one took minutes here.
TEST(CookieItems, ThousandsOfCookiesMergeByName) {
    constexpr int Count = 100000;
    Text oldCookies;
    Text newCookies;
    for (int i = 0; i < Count; ++i) {
        oldCookies += "o" + NumberToText(i) + "=1; ";
        newCookies += "n" + NumberToText(i) + "=2;";
    }
    oldCookies += "n0=old; n0=old";
    const Text merged = MergeCookies(oldCookies, newCookies);
    const std::vector<std::string> items = SplitText(merged, "; ");
    ASSERT_EQ(items.size(), 2u * Count);
    EXPECT_EQ(items.front(), "n0=2");
    EXPECT_EQ(items[Count], "o0=1");
    EXPECT_EQ(items.back(), "o" + NumberToText(Count - 1) + "=1");
    EXPECT_EQ(RemoveDuplicateItems(merged + "; " + merged, "; "), merged);
}

} // namespace
} // namespace fundlens
