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

TEST(CutMainPage, FiguresOfSavedPages) {
    const struct {
        const char* page;
        MainPageFigures figures;
    } cases[] = {
        {"main_page.html",
         {"2026-12-07",
          "1.2345",
          "0.85%",
          {"1.52%", "-3.20%", "8.75%", "12.30%", "0.00%", "66.10%", "50.00%", "120.45%"}}},
        {"main_page_young.html",
         {"2026-12-07",
          "0.8123",
          "-0.42%",
          {"0.31%", "2.05%", "5.44%", "9.80%", "7.12%", "15.03%", "--", "--"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const MainPageFigures figures = CutMainPage(Page(c.page));
        EXPECT_EQ(figures.date, c.figures.date);
        EXPECT_EQ(figures.netValue, c.figures.netValue);
        EXPECT_EQ(figures.dailyChange, c.figures.dailyChange);
        EXPECT_EQ(figures.returns, c.figures.returns);
    }
}

TEST(CutMainPage, MissingMarkersLeaveTheirFiguresEmpty) {
    const Text page = Page("main_page.html");
    const struct {
        const char* name;
        Text page;
        bool summary, returns;
    } cases[] = {
        {"failed fetch", "", false, false},
        {"no returns row", ReplaceAll(page, "阶段涨幅"_gbk, "涨幅"_gbk), true, false},
        {"no category-average row", ReplaceAll(page, "同类平均"_gbk, "平均"_gbk), true, false},
        {"net-value block not closed", ReplaceAll(page, "<dd><span>近3月"_gbk, "<dd>"), false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MainPageFigures figures = CutMainPage(c.page);
        EXPECT_EQ(figures.date.empty() || figures.netValue.empty() || figures.dailyChange.empty(),
                  !c.summary);
        EXPECT_EQ(figures.returns[0].empty() || figures.returns[7].empty(), !c.returns);
    }
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
        {"66.10%", RgbBlue}, {"12.30%", RgbRed},  {"0.00%", RgbGreen},     {"-3.20%", RgbGreen},
        {"50.00%", RgbRed},  {"50.01%", RgbBlue}, {"50.00000005", RgbRed}, {"0.00000005", RgbGreen},
        {"--", RgbGreen},    {"", RgbGreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(PickedReturnColor(c.cell), c.color);
    }
}

TEST(PickedFundRow, CellsInListOrderAndTheirColours) {
    const MainPageFigures figures = CutMainPage(Page("main_page.html"));
    const auto row = PickedFundRow("瑞丰中证白酒指数A"_gbk, "161725", figures);
    const Text texts[] = {"瑞丰中证白酒指数A"_gbk, "161725", figures.date, figures.netValue,
                          figures.dailyChange};
    const std::optional<Rgb> colors[FundListColumns] = {
        std::nullopt, std::nullopt, std::nullopt, RgbRed,  RgbRed, RgbRed,  RgbGreen,
        RgbRed,       RgbRed,       RgbGreen,     RgbBlue, RgbRed, RgbBlue,
    };
    for (int column = 0; column < FundListColumns; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(row[column].text, column < 5 ? texts[column] : figures.returns[column - 5]);
        EXPECT_EQ(row[column].color, colors[column]);
    }
    EXPECT_EQ(PickedFundRow("", "", CutMainPage("")).at(3).color, RgbGreen)
        << "a net value the page lacks is green";
}

} // namespace
} // namespace fundlens
