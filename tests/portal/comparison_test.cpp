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

std::vector<float> AsFloats(const std::vector<double>& values) {
    return std::vector<float>(values.begin(), values.end());
}

TEST(CutFundCurves, OneCurvePerCodeInTheOrderAsked) {
    // Records as the portal writes them: `{ "date": "…","code":value,…}`.
    const auto records = [](std::initializer_list<const char*> members) {
        std::string list;
        int day = 1;
        for (const char* member : members) {
            list += std::string(list.empty() ? "" : ",") + R"({ \"date\": \"2026/12/0)" +
                    std::to_string(day++) + R"(\")" + member + "}";
        }
        return Answer(list);
    };
    const struct {
        const char* name;
        std::string answer;
        std::vector<Text> codes;
        std::vector<std::vector<double>> values;
        std::vector<bool> found;
    } cases[] = {
        // clang-format off
        {"three funds", records({R"(,\"A\":1.5,\"B\":-2,\"C\":0.25)", R"(,\"A\":2,\"B\":-1.75,\"C\":3)"}),
         {"A", "B", "C"}, {{1.5, 2}, {-2, -1.75}, {0.25, 3}}, {true, true, true}},
        {"a fund left out takes no other fund's value along", records({R"(,\"A\":1.5,\"C\":7)"}),
         {"A", "B", "C"}, {{1.5}, {0}, {7}}, {true, false, true}},
        {"the last asked left out: the one before ends at the brace", records({R"(,\"A\":1.5,\"B\":4)"}),
         {"A", "B", "C"}, {{1.5}, {4}, {0}}, {true, true, false}},
        {"members in another order", records({R"(,\"B\":4,\"A\":1.5)"}), {"A", "B"},
         {{1.5}, {4}}, {true, true}},
        {"missing from one record: 0 there", records({R"(,\"A\":1,\"B\":2)", R"(,\"B\":3)"}),
         {"A", "B"}, {{1, 0}, {2, 3}}, {true, true}},
        {"one fund", ReadPortalFixture("compare_one_quiet.txt"), {"005669"},
         {{0, 0.12, -0.35, 0.41}}, {true}},
        {"no point record", Answer(R"({\"x\":1})"), {"A"}, {{}}, {false}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FundCurves cut = CutFundCurves(c.answer, c.codes);
        ASSERT_TRUE(cut.ok);
        EXPECT_EQ(cut.values, c.values);
        EXPECT_EQ(cut.found, c.found);
        EXPECT_EQ(cut.dates.size(), c.values.front().size());
    }
}

TEST(CutFundCurves, DatesAndLabelsAsTheTwoFundCut) {
    const std::string two = ReadPortalFixture("compare_two.txt");
    const FundCurves curves = CutFundCurves(two, {"005669", "005939"});
    const Comparison comparison = CutComparison(two, "005669", "005939");
    EXPECT_EQ(curves.dates, comparison.dates);
    EXPECT_EQ(curves.horizontalSpec, comparison.horizontalSpec);
    EXPECT_EQ(AsFloats(curves.values[0]), comparison.seriesA);
    EXPECT_EQ(AsFloats(curves.values[1]), comparison.seriesB);
    EXPECT_EQ(curves.values[0][1], -3.7) << "full precision for the risk table";
}

TEST(CutFundCurves, UnusableAnswersFail) {
    const std::string two = ReadPortalFixture("compare_two.txt");
    const std::pair<const char*, std::string> cases[] = {
        {"data member empty", ReadPortalFixture("compare_no_data.txt")},
        {"empty data list", Answer("")},
        {"end marker missing", two.substr(0, two.find("]}\",\"ErrCode\""))},
        {"failed request", ""},
    };
    for (const auto& [name, answer] : cases)
        EXPECT_FALSE(CutFundCurves(answer, {"005669", "005939", "000001"}).ok) << name;
    EXPECT_FALSE(CutFundCurves(two, {}).ok) << "no fund asked for";
}

TEST(CutComparison, KeepsItsOwnReadingWhenTheSecondFundIsLeftOut) {
    // Fund A's value ends at `,"` only: with B left out of the record it reads 0, as the chart
    // window always drew it.
    const std::string answer = Answer(R"({ \"date\": \"12/01\",\"A\":2.5})");
    EXPECT_EQ(CutComparison(answer, "A", "B").seriesA, std::vector<float>{0});
    EXPECT_EQ(CutFundCurves(answer, {"A", "B"}).values[0], std::vector<double>{2.5});
}

TEST(ValueRangeSpec, FloorAndCeilingOfEveryCurve) {
    const std::pair<std::vector<std::vector<float>>, Text> cases[] = {
        {{{-3.7f, 12.9f}, {0.35f}}, "9|-4|13"},
        {{{2, 2}}, "9|2|3"},
        {{{}, {-1.5f}}, "9|-2|-1"},
        {{}, "9|0|1"},
    };
    for (const auto& [series, description] : cases)
        EXPECT_EQ(ValueRangeSpec(series), description);
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
