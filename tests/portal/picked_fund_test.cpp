// Cutting a fund's main page and the fund-list row a picked suggestion is shown in.
#include "fixture.h"
#include "portal/fund_main_page.h"
#include "portal/picked_fund.h"
#include "portal/profile.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

// A saved page as the request routine gives it: converted from its declared UTF-8.
Text Page(const std::string& name) {
    return Utf8ToText(ReadPortalFixture(name));
}

using Returns = std::array<Text, PeriodReturnCount>;

TEST(CutMainPage, FiguresOfSavedPages) {
    const struct {
        const char* name;
        Text page;
        Text date, netValue, dailyChange;
        Returns returns;
    } cases[] = {
        {"established fund",
         Page("main_page.html"),
         "2026-12-07",
         "1.2345",
         "0.85%",
         {"1.52%", "-3.20%", "8.75%", "12.30%", "0.00%", "66.10%", "50.00%", "120.45%"}},
        {"young fund",
         Page("main_page_young.html"),
         "2026-12-07",
         "0.8123",
         "-0.42%",
         {"0.31%", "2.05%", "5.44%", "9.80%", "7.12%", "15.03%", "--", "--"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MainPageFigures figures = CutMainPage(c.page);
        EXPECT_EQ(figures.date, c.date);
        EXPECT_EQ(figures.netValue, c.netValue);
        EXPECT_EQ(figures.dailyChange, c.dailyChange);
        EXPECT_EQ(figures.returns, c.returns);
    }
}

TEST(CutMainPage, MissingMarkersLeaveTheirFiguresEmpty) {
    const Text page = Page("main_page.html");
    const Text returnsRow = "<div class=\"typeName\">阶段涨幅</div>"_gbk;
    const Text averageRow = "<div class=\"typeName\">同类平均"_gbk;
    const Text blockEnd = "</span></dd><dd><span>近3月"_gbk;
    const struct {
        const char* name;
        Text page;
        bool summary, returns;
    } cases[] = {
        {"failed fetch", "", false, false},
        {"not a fund page", "<html><body>404</body></html>", false, false},
        {"no returns row", ReplaceAll(page, returnsRow, "<div>"), true, false},
        {"no category-average row", ReplaceAll(page, averageRow, "<div>"), true, false},
        {"net-value block not closed", ReplaceAll(page, blockEnd, "</dd>"), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MainPageFigures figures = CutMainPage(c.page);
        EXPECT_EQ(figures.date.empty(), !c.summary);
        EXPECT_EQ(figures.netValue.empty(), !c.summary);
        EXPECT_EQ(figures.dailyChange.empty(), !c.summary);
        EXPECT_EQ(figures.returns[0].empty(), !c.returns);
        EXPECT_EQ(figures.returns[7].empty(), !c.returns);
    }
}

TEST(CutMainPage, AShortReturnsRowLeavesTheLaterPeriodsEmpty) {
    // Only the first three cells of the row carry the fund's own returns.
    Text page = Page("main_page.html");
    for (const char* value : {"12.30%", "0.00%", "66.10%", "50.00%", "120.45%"})
        page = ReplaceAll(page, Text("bold\">") + value, Text("\">") + value);
    const Returns expected{"1.52%", "-3.20%", "8.75%", "", "", "", "", ""};
    EXPECT_EQ(CutMainPage(page).returns, expected);
}

TEST(MainPageUrl, CodePageOnTheFundHostWithTheTrailingBlank) {
    PortalProfile profile = ProfileAtBase("http://127.0.0.1:8080");
    profile.fund = "http://fund.test";
    SetPortalProfile(profile);
    EXPECT_EQ(MainPageUrl("161725"), "http://fund.test/161725.html?spm=search ");
    SetPortalProfile(ProfileAtBase("http://127.0.0.1:8080"));
}

TEST(PickedReturnColor, BlueRedGreenWithTolerance) {
    const struct {
        const char* cell;
        Rgb color;
    } cases[] = {
        {"66.10%", RgbBlue},      {"12.30%", RgbRed},      {"0.00%", RgbGreen},
        {"0", RgbGreen},          {"-3.20%", RgbGreen},    {"50.00%", RgbRed},
        {"50.01%", RgbBlue},      {"50.00000005", RgbRed}, {"50.0000002", RgbBlue},
        {"0.00000005", RgbGreen}, {"0.0000002", RgbRed},   {"--", RgbGreen},
        {"", RgbGreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(PickedReturnColor(c.cell), c.color);
    }
}

TEST(PickedFundRow, CellsInListOrderAndTheirColours) {
    const auto row =
        PickedFundRow("瑞丰中证白酒指数A"_gbk, "161725", CutMainPage(Page("main_page.html")));
    const struct {
        Text text;
        std::optional<Rgb> color;
    } expected[FundListColumns] = {
        {"瑞丰中证白酒指数A"_gbk, std::nullopt},
        {"161725", std::nullopt},
        {"2026-12-07", std::nullopt},
        {"1.2345", RgbRed},
        {"0.85%", RgbRed},
        {"1.52%", RgbRed},
        {"-3.20%", RgbGreen},
        {"8.75%", RgbRed},
        {"12.30%", RgbRed},
        {"0.00%", RgbGreen},
        {"66.10%", RgbBlue},
        {"50.00%", RgbRed},
        {"120.45%", RgbBlue},
    };
    for (int column = 0; column < FundListColumns; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(row[column].text, expected[column].text);
        EXPECT_EQ(row[column].color, expected[column].color);
    }
}

TEST(PickedFundRow, FailedPageGivesEmptyGreenFigures) {
    const auto row = PickedFundRow("名称"_gbk, "000001", CutMainPage(""));
    EXPECT_EQ(row[0].text, "名称"_gbk);
    EXPECT_EQ(row[1].text, "000001");
    EXPECT_FALSE(row[2].color.has_value());
    for (int column = 3; column < FundListColumns; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(row[column].text, "");
        EXPECT_EQ(row[column].color, RgbGreen);
    }
}

} // namespace
} // namespace fundlens
