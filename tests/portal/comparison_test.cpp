// The fund-compare request and the cut of its answer; the net-value page and its chart image.
#include "portal/comparison.h"
#include "portal/net_value_page.h"
#include "portal/profile.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fundlens {
namespace {

std::string ReadFixture(const std::string& name) {
    std::ifstream in(std::string(FUNDLENS_TEST_DATA) + "/portal/" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Runs `check` with a profile whose hosts differ (API over https), then restores the profile.
template <class Check>
void WithProfile(Check check) {
    PortalProfile p = ProfileAtBase("http://base.test");
    p.api = "HTTPS://api.test:8443/v1";
    p.fund = "https://fund.test";
    p.f10 = "http://f10.test/f10/";
    const PortalProfile saved = CurrentPortalProfile();
    SetPortalProfile(p);
    check();
    SetPortalProfile(saved);
}

TEST(CompareRequest, PlainHttpOnTheApiHostAndAFixedReferer) {
    WithProfile([] {
        EXPECT_EQ(CompareUrl("005669,005939", "threeyear"),
                  "http://api.test:8443/v1/FundCompare/LJSYL?bzdm=005669,005939&c=threeyear"
                  "&callback=jQuery18307015471687350752&_=1628388758953");
        EXPECT_EQ(CompareRefererHeader(), "Referer: https://fund.test/compare/?code=005669,005939");
        EXPECT_EQ(NetValuePageUrl("005669"), "http://f10.test/f10/jjjz_005669.html");
    });
}

std::string Answer(const std::string& records) {
    return "cb({\"Datas\":\"{\\\"dataProvider\\\": [" + records +
           "]}\",\"ErrCode\":0,\"ErrMsg\":null});";
}

TEST(CutComparison, SeriesLabelsAndAxisDescriptions) {
    const std::string two = ReadFixture("compare_two.txt");
    const std::string quiet = ReadFixture("compare_one_quiet.txt");
    const struct {
        const char* name;
        std::string answer;
        Text codeA, codeB, horizontalSpec, verticalSpec;
        std::vector<float> seriesA, seriesB;
    } cases[] = {
        {"two funds, crossing zero, -3.7 and 12.9 widen to -4 and 13",
         two,
         "005669",
         "005939",
         "4|01||02||03||04||07|",
         "9|-4|13",
         {0, -3.7f, 1.52f, 8.21f, 12.9f},
         {0, 0.35f, -1.2f, 2.05f, 4.4f}},
        {"fund A only, all within 1, dates without '/'",
         quiet,
         "005669",
         "",
         "3||||||||",
         "9|-1|1",
         {0, 0.12f, -0.35f, 0.41f},
         {}},
        {"fund B only", quiet, "", "005669", "3||||||||", "9|-1|1", {}, {0, 0.12f, -0.35f, 0.41f}},
        {"flat whole numbers widen by one unit",
         Answer(R"({ \"date\": \"12/01\",\"005669\":2.00},{ \"date\": \"12/02\",\"005669\":2.00})"),
         "005669",
         "",
         "1|01||02|",
         "9|2|3",
         {2, 2},
         {}},
        {"a fund missing from a record reads as 0",
         Answer(R"({ \"date\": \"12/01\",\"005939\":1.50})"),
         "005669",
         "005939",
         "0|01|",
         "9|0|2",
         {0},
         {1.5f}},
        {"no point record: nothing to draw", Answer(R"({\"x\":1})"), "005669", "", "", "", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Comparison cut = CutComparison(c.answer, c.codeA, c.codeB);
        EXPECT_TRUE(cut.ok);
        EXPECT_EQ(cut.HasPoints(), !c.horizontalSpec.empty());
        EXPECT_EQ(cut.horizontalSpec, c.horizontalSpec);
        EXPECT_EQ(cut.verticalSpec, c.verticalSpec);
        ASSERT_EQ(cut.seriesA.size(), c.seriesA.size());
        ASSERT_EQ(cut.seriesB.size(), c.seriesB.size());
        for (std::size_t i = 0; i < c.seriesA.size(); ++i)
            EXPECT_FLOAT_EQ(cut.seriesA[i], c.seriesA[i]) << i;
        for (std::size_t i = 0; i < c.seriesB.size(); ++i)
            EXPECT_FLOAT_EQ(cut.seriesB[i], c.seriesB[i]) << i;
    }
}

TEST(CutComparison, UnusableAnswersFail) {
    const std::string two = ReadFixture("compare_two.txt");
    const struct {
        const char* name;
        std::string answer;
    } cases[] = {
        {"data member empty", ReadFixture("compare_no_data.txt")},
        {"empty data list", Answer("")},
        {"end marker missing", two.substr(0, two.find("]}\",\"ErrCode\""))},
        {"failed request", ""},
    };
    for (const auto& c : cases) {
        const Comparison cut = CutComparison(c.answer, "005669", "005939");
        EXPECT_FALSE(cut.ok) << c.name;
        EXPECT_FALSE(cut.HasPoints()) << c.name;
    }
}

TEST(CutComparison, DatesAreKeptWhole) {
    const Comparison cut = CutComparison(ReadFixture("compare_two.txt"), "005669", "005939");
    const std::vector<Text> dates{"2026/12/01", "2026/12/02", "2026/12/03", "2026/12/04",
                                  "2026/12/07"};
    EXPECT_EQ(cut.dates, dates);
    EXPECT_EQ(ComparisonFailedMessage(), "坐标数据获取失败"_gbk);
}

TEST(NetValuePage, ImageSourceOnlyBehindTheExactMarker) {
    const std::string page = ReadFixture("net_value_page.txt");
    const std::string marker = "jz_list\">\r\n" + std::string(44, ' ') + "<img";
    ASSERT_NE(page.find(marker), std::string::npos);
    const struct {
        const char* name;
        std::string page;
        Text source;
    } cases[] = {
        {"as served", page, "//img.portal.test/img/jjjz/005669.png"},
        {"43 blanks",
         std::string(page).replace(page.find(marker), marker.size(),
                                   "jz_list\">\r\n" + std::string(43, ' ') + "<img"),
         ""},
        {"LF only",
         std::string(page).replace(page.find(marker), marker.size(),
                                   "jz_list\">\n" + std::string(44, ' ') + "<img"),
         ""},
        {"no onerror after the source",
         std::string(page).replace(page.find("\" onerror"), 9, "\" alt"), ""},
        {"failed request", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutNetValueImageSource(c.page), c.source);
        EXPECT_EQ(NetValueImageUrl(CutNetValueImageSource(c.page)),
                  c.source.empty() ? Text() : "http:" + c.source);
    }
}

} // namespace
} // namespace fundlens
