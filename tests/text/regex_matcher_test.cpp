#include "text/regex_matcher.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fundlens {
namespace {

// Every match of `pattern` in `subject` with default options, as (text, position) pairs.
std::vector<std::pair<Text, int>> AllMatches(const Text& pattern, const Text& subject) {
    RegexMatcher m;
    EXPECT_TRUE(m.Create(pattern, subject)) << pattern;
    std::vector<std::pair<Text, int>> out;
    for (int i = 1; i <= m.MatchCount(); ++i) {
        int position = -1;
        Text text = m.MatchText(i, &position);
        out.emplace_back(std::move(text), position);
    }
    return out;
}

using Matches = std::vector<std::pair<Text, int>>;

TEST(RegexMatcher, CellsOfARiskTable) {
    const Text row = "<tr><td class='num'>1.2%</td><td class='num'>-0.5%</td>"
                     "<td class='num'>--</td></tr>";
    RegexMatcher m;
    ASSERT_TRUE(m.Create("class='num'>.*?</td>", row));
    EXPECT_EQ(m.MatchCount(), 3);
    EXPECT_EQ(m.MatchText(2), "class='num'>-0.5%</td>");
    EXPECT_EQ(m.SubMatchCount(), 0);
}

TEST(RegexMatcher, DeclaredCharset) {
    const Text pattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
    RegexMatcher m;
    ASSERT_TRUE(m.Create(pattern, "<head><meta http-equiv=\"Content-Type\" "
                                  "content=\"text/html; charset=gb2312\" /></head>"));
    EXPECT_EQ(m.SubMatchText(1, 1), "gb2312");
    ASSERT_TRUE(m.Create(pattern, "<head><META charset=\"utf-8\"></head>"));
    EXPECT_EQ(m.SubMatchText(1, 1), "utf-8");
    ASSERT_TRUE(m.Create(pattern, "<head><title>x</title></head>"));
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_EQ(m.SubMatchText(1, 1), "");
    EXPECT_EQ(m.SubMatchCount(), 0);
}

TEST(RegexMatcher, CaseIgnoredUnlessAskedFor) {
    RegexMatcher m;
    ASSERT_TRUE(m.Create("<TD>(\\w+)</TD>", "<td>abc</td>"));
    EXPECT_EQ(m.SubMatchText(1, 1), "abc");
    ASSERT_TRUE(m.Create("<TD>(\\w+)</TD>", "<td>abc</td>", true));
    EXPECT_EQ(m.MatchCount(), 0);
}

TEST(RegexMatcher, LookupsOutsideTheMatches) {
    RegexMatcher m;
    int position = 7;
    EXPECT_EQ(m.MatchText(1, &position), ""); // before any Create
    EXPECT_EQ(position, -2);
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_EQ(m.GetPattern(), "");
    EXPECT_EQ(m.Replace("x"), "");

    ASSERT_TRUE(m.Create("(a)(b)?", "a a"));
    ASSERT_EQ(m.MatchCount(), 2);
    const struct {
        int index;
        int group;
    } outside[] = {{0, 0}, {3, 0}, {-1, 0}, {1, 3}, {0, 1}, {3, 1}, {1, -1}};
    for (const auto& o : outside) {
        position = 7;
        const Text text = o.group == 0 ? m.MatchText(o.index, &position)
                                       : m.SubMatchText(o.index, o.group, &position);
        EXPECT_EQ(text, "") << o.index << ' ' << o.group;
        EXPECT_EQ(position, -2) << o.index << ' ' << o.group;
    }
    position = 7;
    EXPECT_EQ(m.SubMatchText(2, 2, &position), ""); // the group did not take part
    EXPECT_EQ(position, -2);
    EXPECT_EQ(m.SubMatchText(1, 0), ""); // groups count from 1
}

TEST(RegexMatcher, InvalidPatternFails) {
    for (const Text pattern : {"(abc", "a)", "[a", "a{2,1}", "*a", "(?<n>a)(?<n>b)", "\\"}) {
        RegexMatcher m;
        ASSERT_TRUE(m.Create("a", "a"));
        EXPECT_FALSE(m.Create(pattern, "abc (abc a)")) << pattern;
        EXPECT_EQ(m.MatchCount(), 0) << pattern;
        int position = 0;
        EXPECT_EQ(m.MatchText(1, &position), "") << pattern;
        EXPECT_EQ(position, -2);
        EXPECT_EQ(m.SubMatchCount(), 0);
        EXPECT_EQ(m.Replace("x"), "");
        EXPECT_EQ(m.GetPattern(), pattern);
    }
}

TEST(RegexMatcher, QuotePlaceholder) {
    RegexMatcher m;
    ASSERT_TRUE(m.Create("src=#引号(.*?)#引号"_gbk, "<img src=\"x\">", false, true, true, true));
    EXPECT_EQ(m.SubMatchText(1, 1), "x");
    EXPECT_EQ(m.GetPattern(), "src=\"(.*?)\"");
    ASSERT_TRUE(m.Create("src=#引号(.*?)#引号"_gbk, "<img src=\"x\">"));
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_EQ(m.GetPattern(), "src=#引号(.*?)#引号"_gbk);
}

TEST(RegexMatcher, PositionsAreExactGbkByteOffsets) {
    EXPECT_EQ(AllMatches("abc", "基金abc基金abc"_gbk), (Matches{{"abc", 4}, {"abc", 11}}));
    // Invalid and unmapped bytes in the subject keep their byte count.
    EXPECT_EQ(AllMatches("x", "\x81\xFF\xA2\xA1x"), (Matches{{"x", 4}}));
    // A match whose text also occurs earlier is still reported where it is.
    EXPECT_EQ(AllMatches("a(?=1)", "a0a1"), (Matches{{"a", 2}}));

    RegexMatcher m;
    ASSERT_TRUE(m.Create("净值(\\d+)\\.(\\d+)"_gbk, "单位净值1.25，累计净值3.50"_gbk));
    ASSERT_EQ(m.MatchCount(), 2);
    int position = -1;
    EXPECT_EQ(m.MatchText(2, &position), "净值3.50"_gbk);
    EXPECT_EQ(position, 18);
    EXPECT_EQ(m.SubMatchText(2, 2, &position), "50");
    EXPECT_EQ(position, 24);
    EXPECT_EQ(m.SubMatchText(1, 1, &position), "1");
    EXPECT_EQ(position, 8);
    ASSERT_TRUE(m.Create("a()b", "xab"));
    EXPECT_EQ(m.SubMatchText(1, 1, &position), ""); // empty, but it took part
    EXPECT_EQ(position, 2);
}

struct DialectCase {
    const char* name;
    Text pattern;
    Text subject;
    Matches expected;
};

void PrintTo(const DialectCase& c, std::ostream* os) {
    *os << c.name;
}

class RegexDialectTest : public testing::TestWithParam<DialectCase> {};

TEST_P(RegexDialectTest, Matches) {
    const DialectCase& c = GetParam();
    EXPECT_EQ(AllMatches(c.pattern, c.subject), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegexDialectTest,
    testing::Values(
        DialectCase{"ChineseCharacterIsOneCharacter", "^.{2}$", "基金"_gbk, {{"基金"_gbk, 0}}},
        DialectCase{"ClassOfChineseCharacters", "[金银]+"_gbk, "基金银行"_gbk, {{"金银"_gbk, 2}}},
        DialectCase{"WordIsAsciiOnly", "\\w+", "基金abc_1"_gbk, {{"abc_1", 4}}},
        DialectCase{"LazyTakesLittle",
                    "<b>.+?</b>",
                    "<b>1</b><b>2</b>",
                    {{"<b>1</b>", 0}, {"<b>2</b>", 8}}},
        DialectCase{
            "DotStopsAtLineFeed", "<td>.*?</td>", "<td>a\n</td><td>b</td>", {{"<td>b</td>", 11}}},
        DialectCase{"DotStopsAtCarriageReturn", "a.b", "a\rb a\nb axb", {{"axb", 8}}},
        DialectCase{"ClassCrossesLines", "a[^]b", "a\nb", {{"a\nb", 0}}},
        DialectCase{"AnchorsAtEveryLine", "^x$", "a\r\nx\r\nb\nx", {{"x", 3}, {"x", 8}}},
        DialectCase{"EmptyMatchesAdvanceByCharacter", "x*", "基a"_gbk, {{"", 0}, {"", 2}, {"", 3}}},
        DialectCase{"EmptyAndNonEmpty", "a*", "baa", {{"", 0}, {"aa", 1}, {"", 3}}},
        DialectCase{"NonOverlapping", "aa", "aaaaa", {{"aa", 0}, {"aa", 2}}},
        DialectCase{"UnsetBackreferenceIsEmpty", "(a)?b\\1c", "bc", {{"bc", 0}}},
        DialectCase{"UnicodeEscape", "\\u57FA", "基金"_gbk, {{"基"_gbk, 0}}},
        DialectCase{"HexEscape", "\\x41", "bA", {{"A", 1}}},
        DialectCase{"CaseIgnoredInNonAscii", "\\u00C9", "\xA8\xA6", {{"\xA8\xA6", 0}}},
        DialectCase{"InvalidBytesAreCharacters",
                    "a.b",
                    "a\xFF"
                    "b",
                    {{"a\xFF"
                      "b",
                      0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegexMatcher, OptionsChangeAnchorsAndIteration) {
    RegexMatcher m;
    ASSERT_TRUE(m.Create("^x$", "a\nx\nb", false, false));
    EXPECT_EQ(m.MatchCount(), 0); // single-line anchors
    ASSERT_TRUE(m.Create("a$", "a\n", false, false));
    EXPECT_EQ(m.MatchCount(), 0); // "$" is the very end, not before a final line break
    ASSERT_TRUE(m.Create("^a", "a\na", false, false));
    EXPECT_EQ(m.MatchCount(), 1);
    ASSERT_TRUE(m.Create("\\d", "1 2 3", false, true, false));
    EXPECT_EQ(m.MatchCount(), 1);
    EXPECT_EQ(m.MatchText(1), "1");
    EXPECT_EQ(m.Replace("#"), "# 2 3");
}

TEST(RegexMatcher, Replace) {
    RegexMatcher m;
    ASSERT_TRUE(m.Create("(\\d+)-(\\d+)", "基金1-2和3-4"_gbk));
    const struct {
        Text replacement;
        Text expected;
    } cases[] = {
        {"$2-$1", "基金2-1和4-3"_gbk},
        {"[$&]", "基金[1-2]和[3-4]"_gbk},
        {"$$1", "基金$1和$1"_gbk},
        {"$0$3$", "基金$0$3$和$0$3$"_gbk},
        {"$10", "基金10和30"_gbk}, // only one digit names a group here
        {"$01", "基金1和3"_gbk},
        {"<$`>", "基金<基金>和<基金1-2和>"_gbk},
        {"<$'>", "基金<和3-4>和<>"_gbk},
        {"$x", "基金$x和$x"_gbk},
        {"", "基金和"_gbk},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m.Replace(c.replacement), c.expected) << c.replacement;

    ASSERT_TRUE(m.Create("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk"));
    EXPECT_EQ(m.Replace("$11$10$1"), "kja");
    ASSERT_TRUE(m.Create("zz", "abc"));
    EXPECT_EQ(m.Replace("x"), "abc");
    ASSERT_TRUE(m.Create("", "ab"));
    EXPECT_EQ(m.Replace("-"), "-a-b-");
}

TEST(RegexMatcher, CopiesShareResults) {
    RegexMatcher m;
    ASSERT_TRUE(m.Create("b", "abc"));
    const RegexMatcher copy = m;
    ASSERT_TRUE(m.Create("x", "xyz"));
    EXPECT_EQ(copy.MatchText(1), "b");
    EXPECT_EQ(copy.GetPattern(), "b");
    EXPECT_EQ(m.MatchText(1), "x");
    RegexMatcher moved = std::move(m);
    EXPECT_EQ(moved.MatchText(1), "x");
}

TEST(RegexMatcher, RunawayPatternFails) {
    RegexMatcher m;
    EXPECT_FALSE(m.Create("(a+)+$", std::string(40, 'a') + "!"));
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_FALSE(m.Create("(a|aa)+$", std::string(5000, 'a') + "!"));
    EXPECT_EQ(m.MatchCount(), 0);
}

} // namespace
} // namespace fundlens
