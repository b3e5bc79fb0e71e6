#include "text/text.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace fundlens {
namespace {

// A character whose second GBK byte is ']' (B0 5D) and one whose second byte is 'a' (B0 61).
const Text Bracketish = "癩"_gbk;
const Text Aish = "癮"_gbk;

TEST(GbkLiteral, ConvertsUtf8SourceToGbk) {
    EXPECT_EQ("基金"_gbk, "\xBB\xF9\xBD\xF0");
    EXPECT_EQ("#引号"_gbk, "#\xD2\xFD\xBA\xC5");
    EXPECT_EQ("a-1"_gbk, "a-1");
    ASSERT_EQ(Bracketish, "\xB0]");
    ASSERT_EQ(Aish, "\xB0"
                    "a");
}

struct BetweenCase {
    const char* name;
    Text text;
    Text left;
    Text right;
    int start;
    bool ignoreCase;
    Text expected;
};

void PrintTo(const BetweenCase& c, std::ostream* os) {
    *os << c.name;
}

class TextBetweenTest : public testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTest, Cuts) {
    const BetweenCase& c = GetParam();
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetweenTest,
    testing::Values(
        BetweenCase{"Basic", "abc[x]def", "[", "]", 0, false, "x"},
        BetweenCase{"StartOneIsFirstByte", "[x]", "[", "]", 1, false, "x"},
        BetweenCase{"StartAtMarker", "abc[x]def", "[", "]", 4, false, "x"},
        BetweenCase{"StartPastMarker", "abc[x]def", "[", "]", 5, false, ""},
        BetweenCase{"StartBeyondText", "abc[x]def", "[", "]", 500, false, ""},
        BetweenCase{"NegativeStartIsFirstByte", "[x]", "[", "]", -3, false, "x"},
        BetweenCase{"LeftMissing", "abc[x]def", "{", "]", 0, false, ""},
        BetweenCase{"RightMissing", "abc[x", "[", "]", 0, false, ""},
        BetweenCase{"RightOnlyBeforeLeft", "]abc[x", "[", "]", 0, false, ""},
        BetweenCase{"RightFollowsAtOnce", "a[]b", "[", "]", 0, false, ""},
        BetweenCase{"EmptyLeftMatchesAtStart", "ab]cd]", "", "]", 0, false, "ab"},
        BetweenCase{"EmptyLeftFromStart", "ab]cd]", "", "]", 4, false, "cd"},
        BetweenCase{"EmptyRight", "abc[x]def", "[", "", 0, false, ""},
        BetweenCase{"FirstLeftThenFirstRight", "<a>1</a><a>2</a>", "<a>", "</a>", 0, false, "1"},
        BetweenCase{"QuotePlaceholder", "<img src=\"a.png\" />", "src=#引号"_gbk, "#引号"_gbk, 0,
                    false, "a.png"},
        BetweenCase{"IgnoreCaseFinds", "<TD>v</TD>", "<td>", "</td>", 0, true, "v"},
        BetweenCase{"CaseMatters", "<TD>v</TD>", "<td>", "</td>", 0, false, ""},
        BetweenCase{"ChineseMarkers", "单位净值：1.234元"_gbk, "单位净值："_gbk, "元"_gbk, 0, false,
                    "1.234"},
        BetweenCase{"RightMarkerNotInsideCharacter", "[" + Bracketish + "x]", "[", "]", 0, false,
                    Bracketish + "x"},
        BetweenCase{"IgnoreCaseNotInsideCharacter", Aish + "xA1]", "a", "]", 0, true, "1"},
        BetweenCase{"IgnoreCaseAlignedLeft", Aish + "<A>v</a>", "<a>", "</A>", 0, true, "v"}),
    [](const auto& info) { return std::string(info.param.name); });

struct MarkerCase {
    const char* name;
    Text text;
    Text marker;
    Text before;
    Text after;
};

void PrintTo(const MarkerCase& c, std::ostream* os) {
    *os << c.name;
}

class MarkerTest : public testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerTest, BeforeFirstAndAfterLast) {
    const MarkerCase& c = GetParam();
    EXPECT_EQ(TextBeforeFirst(c.text, c.marker), c.before);
    EXPECT_EQ(TextAfterLast(c.text, c.marker), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkerTest,
    testing::Values(
        MarkerCase{"Slashes", "a/b/c", "/", "a", "c"},
        MarkerCase{"Date", "2021/08/12", "/", "2021", "12"},
        MarkerCase{"Missing", "20210812", "/", "", ""},
        MarkerCase{"ChineseMarker", "x链接y"_gbk, "链接"_gbk, "x", "y"},
        MarkerCase{"MarkerAtEdges", "/a/", "/", "", ""},
        MarkerCase{"Overlapping", "xaaay", "aa", "x", "y"},
        MarkerCase{"EmptyMarker", "abc", "", "", ""},
        MarkerCase{"NotInsideCharacter", "a]" + Bracketish + "b", "]", "a", Bracketish + "b"},
        MarkerCase{"OnlyInsideCharacter", Bracketish + "b", "]", "", ""},
        MarkerCase{"MultiByteMarkerAcrossCharacters", "x\xB0\xB1\xB0\xB1y", "\xB1\xB0", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindText, SearchesFromOffsetOnCharacterBoundaries) {
    const Text text = "ab" + Bracketish + "]AB";
    EXPECT_EQ(FindText(text, "]"), 4u);
    EXPECT_EQ(FindText(text, "ab"), 0u);
    EXPECT_EQ(FindText(text, "ab", 1), std::string::npos);
    EXPECT_EQ(FindText(text, "ab", 1, true), 5u);
    EXPECT_EQ(FindText(text, "x"), std::string::npos);
    EXPECT_EQ(FindText(text, "a", text.size() + 1), std::string::npos);
    EXPECT_EQ(FindText(text, "", 3), 3u);
    EXPECT_EQ(FindText("", "a"), std::string::npos);
}

struct NumberCase {
    const char* name;
    Text text;
    double expected;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.name;
}

class TextToNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(TextToNumberTest, ReadsLeadingNumber) {
    const NumberCase& c = GetParam();
    if (std::isinf(c.expected))
        EXPECT_EQ(TextToNumber(c.text), c.expected);
    else
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToNumberTest,
    testing::Values(
        NumberCase{"Percent", "12.34%", 12.34}, NumberCase{"Negative", "-0.5", -0.5},
        NumberCase{"TwoDashes", "--", 0}, NumberCase{"Dash", "-", 0}, NumberCase{"Empty", "", 0},
        NumberCase{"Word", "abc", 0}, NumberCase{"FullWidth", "１２．５"_gbk, 12.5},
        NumberCase{"FullWidthSignAndBlank", "　－３"_gbk, -3},
        NumberCase{"FullWidthExponent", "２ｅ３"_gbk, 2000},
        NumberCase{"MixedWidth", "1２.５%"_gbk, 12.5}, NumberCase{"ChineseStops", "12元"_gbk, 12},
        NumberCase{"PlusExponent", "+3e2x", 300}, NumberCase{"LeadingBlanks", " \t\r\n 7", 7},
        NumberCase{"ExponentWithoutDigits", "1e", 1},
        NumberCase{"ExponentSignWithoutDigits", "1e+x", 1},
        NumberCase{"NegativeExponent", "25E-1", 2.5}, NumberCase{"LeadingPoint", ".5", 0.5},
        NumberCase{"TrailingPoint", "5.", 5}, NumberCase{"PointAlone", ".", 0},
        NumberCase{"SignThenPoint", "-.25", -0.25}, NumberCase{"NoHex", "0x1A", 0},
        NumberCase{"NoInf", "inf", 0}, NumberCase{"NoSignedInfinity", "-Infinity", 0},
        NumberCase{"NoNan", "nan", 0}, NumberCase{"ThousandsSeparatorStops", "12,345", 12},
        NumberCase{"SignThenBlank", "- 5", 0},
        NumberCase{"Overflow", "1e999", std::numeric_limits<double>::infinity()},
        NumberCase{"NegativeOverflow", "-1e999", -std::numeric_limits<double>::infinity()},
        NumberCase{"Underflow", "1e-999", 0}, NumberCase{"LoneLeadByte", "\x81", 0},
        NumberCase{"HalfFullWidth", "\xA3", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberToText, IntegersPlainFloatsSixDoublesThirteen) {
    EXPECT_EQ(NumberToText(5), "5");
    EXPECT_EQ(NumberToText(-7), "-7");
    EXPECT_EQ(NumberToText(std::int64_t{1628571587137}), "1628571587137");
    EXPECT_EQ(NumberToText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(NumberToText(5.0), "5");
    EXPECT_EQ(NumberToText(1.25), "1.25");
    EXPECT_EQ(NumberToText(0.1f), "0.1");
    EXPECT_EQ(NumberToText(1234567.0f), "1.23457e+06");
    EXPECT_EQ(NumberToText(1628571587137.0), "1628571587137");
    EXPECT_EQ(NumberToText(1.0 / 3.0), "0.3333333333333");
    EXPECT_EQ(NumberToText(0.00001), "1e-05");
    EXPECT_EQ(NumberToText(-0.5), "-0.5");
}

TEST(NumberToText, IgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    const Text written = NumberToText(1.5);
    const double read = TextToNumber("2.25");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(written, "1.5");
    EXPECT_EQ(read, 2.25);
}

struct RoundCase {
    const char* name;
    double value;
    int decimals;
    double expected;
};

void PrintTo(const RoundCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundHalfAwayTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfAwayTest, Rounds) {
    const RoundCase& c = GetParam();
    EXPECT_DOUBLE_EQ(RoundHalfAway(c.value, c.decimals), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundHalfAwayTest,
    testing::Values(RoundCase{"BinaryBelowHalf", 2.345, 2, 2.35},
                    RoundCase{"NegativeHalf", -2.5, 0, -3}, RoundCase{"Down", 1.333, 0, 1},
                    RoundCase{"NegativeDown", -1.333, 1, -1.3},
                    RoundCase{"PositiveHalf", 0.125, 2, 0.13}, RoundCase{"Zero", 0, 2, 0},
                    RoundCase{"Tens", 1250, -2, 1300}, RoundCase{"HugeUnchanged", 1e300, 2, 1e300},
                    RoundCase{"ManyDecimalsUnchanged", 0.1, 400, 0.1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundHalfAway, KeepsNonFinite) {
    EXPECT_TRUE(std::isnan(RoundHalfAway(std::nan(""), 2)));
    EXPECT_EQ(RoundHalfAway(-INFINITY, 2), -INFINITY);
}

TEST(Utf16, FromText) {
    EXPECT_EQ(TextToUtf16("ab"), (Bytes{0x61, 0, 0x62, 0, 0, 0}));
    EXPECT_EQ(TextToUtf16("ab", true), (Bytes{0x61, 0, 0x62, 0}));
    EXPECT_TRUE(TextToUtf16("").empty());
    EXPECT_TRUE(TextToUtf16("", true).empty());
    EXPECT_EQ(TextToUtf16("基金"_gbk, true), (Bytes{0xFA, 0x57, 0xD1, 0x91}));
    EXPECT_EQ(TextToUtf16("\x80", true), (Bytes{0xAC, 0x20})); // the euro sign of code page 936
    EXPECT_EQ(TextToUtf16("\x81", true), (Bytes{'?', 0}));     // lead byte without trail
    EXPECT_EQ(TextToUtf16("\x81 ", true), (Bytes{'?', 0, ' ', 0}));
}

TEST(Utf16, ToText) {
    EXPECT_EQ(Utf16ToText({0x61, 0, 0x62, 0, 0, 0, 0x63, 0}), "ab"); // up to the first NUL
    EXPECT_EQ(Utf16ToText({0xFA, 0x57, 0xD1, 0x91}), "基金"_gbk);
    EXPECT_EQ(Utf16ToText({}), "");
    EXPECT_EQ(Utf16ToText({0x3D, 0xD8, 0x00, 0xDE, 0x61, 0}), "?a"); // pair GBK lacks
    EXPECT_EQ(Utf16ToText({0x3D, 0xD8, 0x61, 0}), "?a");             // lone high surrogate
    EXPECT_EQ(Utf16ToText({0x00, 0xDE, 0x61, 0}), "?a");             // lone low surrogate
    EXPECT_EQ(Utf16ToText({0x61, 0, 0x62}), "a?");                   // half a unit
    EXPECT_EQ(Utf16ToText({0x00, 0xAC}), "?");                       // Hangul: not in GBK
}

struct Utf8Case {
    const char* name;
    std::string utf8;
    Text gbk;
};

void PrintTo(const Utf8Case& c, std::ostream* os) {
    *os << c.name;
}

class Utf8ToTextTest : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToTextTest, Converts) {
    EXPECT_EQ(Utf8ToText(GetParam().utf8), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToTextTest,
    testing::Values(
        Utf8Case{"Ascii", "abc 123", "abc 123"},
        Utf8Case{"Chinese", "\xE5\x9F\xBA\xE9\x87\x91", "\xBB\xF9\xBD\xF0"},
        Utf8Case{"FullWidthComma", "\xEF\xBC\x8C", "\xA3\xAC"},
        Utf8Case{"Euro", "\xE2\x82\xAC", "\x80"},
        Utf8Case{"MissingInGbk",
                 "a\xED\x95\x9C"
                 "b",
                 "a?b"},
        Utf8Case{"Astral", "\xF0\x9F\x98\x80", "?"}, Utf8Case{"StrayContinuation", "a\x80z", "a?z"},
        Utf8Case{"TruncatedInMiddle",
                 "a\xE5\x9F"
                 "b",
                 "a?b"},
        Utf8Case{"TruncatedAtEnd", "a\xE5\x9F", "a?"}, Utf8Case{"Overlong", "\xC0\xAF", "??"},
        Utf8Case{"Surrogate", "\xED\xA0\x80", "???"},
        Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", "????"}, Utf8Case{"InvalidByte", "\xFF", "?"},
        Utf8Case{"LeadingBomDropped", "\xEF\xBB\xBF{}", "{}"},
        Utf8Case{"EmbeddedNul", std::string("a\0b", 3), std::string("a\0b", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextToUtf8, ConvertsAndMarksInvalidBytes) {
    EXPECT_EQ(TextToUtf8("\xBB\xF9\xBD\xF0"), "\xE5\x9F\xBA\xE9\x87\x91");
    EXPECT_EQ(TextToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(TextToUtf8("a\x81"), "a?");    // lead byte at the end
    EXPECT_EQ(TextToUtf8("\x81\x20"), "? "); // lead byte before a blank
    EXPECT_EQ(TextToUtf8("\xFF"), "?");
    EXPECT_EQ(TextToUtf8("\x81\x7F"), "?\x7F");
    EXPECT_EQ(TextToUtf8(""), "");
}

TEST(GbkTables, EveryMappedCharacterRoundTrips) {
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const Text gbk{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = TextToUtf8(gbk);
            if (utf8 == "?")
                continue;
            ++mapped;
            ASSERT_EQ(Utf8ToText(utf8), gbk) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(mapped, 21000); // code page 936 maps about 21,800 two-byte characters
}

TEST(CharsetToText, DecodesDeclaredCharsets) {
    Text out;
    ASSERT_TRUE(CharsetToText("\xE5\x9F\xBA", "utf-8", out));
    EXPECT_EQ(out, "基"_gbk);
    ASSERT_TRUE(CharsetToText("\xE5\x9F\xBA", " UTF-8 ", out));
    EXPECT_EQ(out, "基"_gbk);
    ASSERT_TRUE(CharsetToText("\xBB\xF9", "gb2312", out));
    EXPECT_EQ(out, "基"_gbk);
    ASSERT_TRUE(CharsetToText("\xFA\x57\xD1\x91", "utf-16le", out));
    EXPECT_EQ(out, "基金"_gbk);
    ASSERT_TRUE(CharsetToText("\xB0\xF2\xAA\xF7", "big5", out));
    EXPECT_EQ(out, "基金"_gbk);
    ASSERT_TRUE(CharsetToText("a\xFF\xFF"
                              "b",
                              "big5", out));
    EXPECT_EQ(out.front(), 'a'); // undecodable bytes become '?', the rest goes on
    EXPECT_EQ(out.back(), 'b');
    EXPECT_NE(out.find('?'), std::string::npos);
    ASSERT_TRUE(CharsetToText("caf\xE9", "iso-8859-1", out));
    EXPECT_EQ(out, "caf\xA8\xA6"); // GBK has e-acute
}

TEST(CharsetToText, UnknownCharsetLeavesOutputAlone) {
    Text out = "kept";
    EXPECT_FALSE(CharsetToText("abc", "no-such-charset", out));
    EXPECT_FALSE(CharsetToText("abc", "", out));
    EXPECT_FALSE(CharsetToText("abc", "utf-8//TRANSLIT", out));
    EXPECT_FALSE(CharsetToText("abc", "utf 8\"", out));
    EXPECT_EQ(out, "kept");
}

TEST(UrlEncode, KeepsSafeBytesAndEncodesTheRest) {
    EXPECT_EQ(UrlEncode("基金"_gbk, true, true), "%E5%9F%BA%E9%87%91");
    EXPECT_EQ(UrlEncode("基金"_gbk, true, false), "%BB%F9%BD%F0");
    EXPECT_EQ(UrlEncode("a-b.c/d_e f~", true, false), "a-b.c%2Fd%5Fe%20f%7E");
    EXPECT_EQ(UrlEncode("Az09", false, false), "%41%7A%30%39");
    EXPECT_EQ(UrlEncode("", true, true), "");
    EXPECT_EQ(UrlEncode("\n", true, false), "%0A");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceOnce) {
    EXPECT_EQ(ReplaceAll("a.b.c", ".", ","), "a,b,c");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa"); // no re-scan of inserted text
    EXPECT_EQ(ReplaceAll("abab", "ab", ""), "");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("abc", "x", "y"), "abc");
    EXPECT_EQ(ReplaceAll("[" + Bracketish + "]", "]", ")"), "[" + Bracketish + ")");
}

TEST(SmallHelpers, SplitTrimAndCaseBlindPrefix) {
    EXPECT_EQ(SplitText("a,,b,", ","), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitText("", ","), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitText("a; b", "; "), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(TrimBlanks(" \t a b\t "), "a b");
    EXPECT_EQ(TrimBlanks(" \r\n", " \r"), "\n");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_TRUE(StartsWithNoCase("HTTPS://x", "https://"));
    EXPECT_FALSE(StartsWithNoCase("http", "https"));
    // GBK bytes are never folded: only ASCII letters change case.
    EXPECT_EQ(ToLowerAscii("AbC"_gbk + "基金"_gbk), "abc"_gbk + "基金"_gbk);
}

TEST(MultiReplace, AppliesPairsInOrder) {
    EXPECT_EQ(MultiReplace("a<b>&c", {{"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}}),
              "a&lt;b&gt;&amp;c");
    EXPECT_EQ(MultiReplace("abc", {{"a", "b"}, {"b", "c"}}), "ccc"); // later pairs see earlier
    EXPECT_EQ(MultiReplace("abc", {{"", "x"}, {"c", "d"}}), "abd");
    EXPECT_EQ(MultiReplace("abc", {}), "abc");
}

} // namespace
} // namespace fundlens
