// The fund-compare request and the cut of its answer; the net-value page and its chart image.
#include "fixture.h"
#include "portal/comparison.h"
#include "portal/net_value_page.h"
#include "portal/profile.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(CompareRequest, PlainHttpOnTheApiHostAndAFixedReferer) {
    PortalProfile p = ProfileAtBase("http://base.test");
    p.api = "HTTPS://api.test:8443/v1";
    p.fund = "https://fund.test";
    p.f10 = "http://f10.test/f10/";
    const PortalProfile saved = CurrentPortalProfile();
    SetPortalProfile(p);
    EXPECT_EQ(CompareUrl("005669,005939", "threeyear"),
              "http://api.test:8443/v1/FundCompare/LJSYL?bzdm=005669,005939&c=threeyear"
              "&callback=jQuery18307015471687350752&_=1628388758953");
    EXPECT_EQ(CompareRefererHeader(), "Referer: https://fund.test/compare/?code=005669,005939");
    EXPECT_EQ(NetValuePageUrl("005669"), "http://f10.test/f10/jjjz_005669.html");
    SetPortalProfile(saved);
}

// An answer holding `records` as its data list.
std::string Answer(const std::string& records) {
    return "cb({\"Datas\":\"{\\\"dataProvider\\\": [" + records + "]}\",\"ErrCode\":0});";
}

TEST(CutComparison, SeriesLabelsAndAxisDescriptions) {
    const std::string two = ReadPortalFixture("compare_two.txt");
    const std::string quiet = ReadPortalFixture("compare_one_quiet.txt");
    const std::string flat = R"({ \"date\": \"12/01\",\"1\":2.00},{ \"date\": \"12/02\",\"1\":2})";
    const struct {
        const char* name;
        std::string answer;
        Text codeA, codeB, horizontalSpec, verticalSpec;
        std::vector<float> seriesA, seriesB;
    } cases[] = {
        // clang-format off
        {"two funds, crossing zero; -3.7 and 12.9 give -4 and 13", two, "005669", "005939",
         "4|01||02||03||04||07|", "9|-4|13", {0, -3.7f, 1.52f, 8.21f, 12.9f}, {0, 0.35f, -1.2f, 2.05f, 4.4f}},
        {"fund A only, within 1, dates without '/'", quiet, "005669", "", "3||||||||", "9|-1|1",
         {0, 0.12f, -0.35f, 0.41f}, {}},
        {"fund B only", quiet, "", "005669", "3||||||||", "9|-1|1", {}, {0, 0.12f, -0.35f, 0.41f}},
        {"flat whole numbers widen by one unit", Answer(flat), "1", "", "1|01||02|", "9|2|3", {2, 2}, {}},
        {"a fund missing from a record reads 0", Answer(R"({ \"date\": \"1/2\",\"B\":1.5})"), "A", "B",
         "0|2|", "9|0|2", {0}, {1.5f}},
        {"no point record: nothing to draw", Answer(R"({\"x\":1})"), "A", "", "", "", {}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Comparison cut = CutComparison(c.answer, c.codeA, c.codeB);
        EXPECT_TRUE(cut.ok);
        EXPECT_EQ(cut.HasPoints(), !c.horizontalSpec.empty());
        EXPECT_EQ(cut.horizontalSpec, c.horizontalSpec);
        EXPECT_EQ(cut.verticalSpec, c.verticalSpec);
        EXPECT_EQ(cut.seriesA, c.seriesA); // the cut's floats are the literals' floats
        EXPECT_EQ(cut.seriesB, c.seriesB);
    }
    EXPECT_EQ(
        CutComparison(two, "005669", "005939").dates,
        (std::vector<Text>{"2026/12/01", "2026/12/02", "2026/12/03", "2026/12/04", "2026/12/07"}));
}

TEST(CutComparison, UnusableAnswersFail) {
    const std::string two = ReadPortalFixture("compare_two.txt");
    const std::pair<const char*, std::string> cases[] = {
        {"data member empty", ReadPortalFixture("compare_no_data.txt")},
        {"empty data list", Answer("")},
        {"end marker missing", two.substr(0, two.find("]}\",\"ErrCode\""))},
        {"failed request", ""},
    };
    for (const auto& [name, answer] : cases)
        EXPECT_FALSE(CutComparison(answer, "005669", "005939").ok) << name;
}

TEST(NetValuePage, ImageSourceOnlyBehindTheExactMarker) {
    const std::string page = ReadPortalFixture("net_value_page.txt");
    const std::string blanks(44, ' ');
    const auto changed = [&](const std::string& from, const std::string& to) {
        return ReplaceAll(page, from, to);
    };
    const std::pair<std::string, Text> cases[] = {
        {page, "//img.portal.test/img/jjjz/005669.png"},
        {changed(blanks + "<img", blanks.substr(1) + "<img"), ""},
        {changed(">\r\n" + blanks, ">\n" + blanks), ""},
        {changed("\" onerror", "\" alt"), ""},
        {"", ""},
    };
    for (const auto& [text, source] : cases) {
        EXPECT_EQ(CutNetValueImageSource(text), source);
        EXPECT_EQ(NetValueImageUrl(CutNetValueImageSource(text)),
                  source.empty() ? Text() : "http:" + source);
    }
}

} // namespace
} // namespace fundlens
