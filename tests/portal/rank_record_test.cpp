// Cutting ranking answers and turning a ranking record into fund-list cells and colours.
#include "fixture.h"
#include "portal/rank_record.h"
#include "portal/ranking.h"
#include "portal/rgb.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(CutRankPage, ReadsPageCountAndRecordsAsGbk) {
    const RankPage page = CutRankPage(ReadPortalFixture("rank_page.txt"));
    EXPECT_EQ(page.allPages, 13);
    ASSERT_EQ(page.records.size(), 2u);
    EXPECT_EQ(page.records[0].substr(0, 7), "161725,");
    EXPECT_NE(page.records[0].find("瑞丰中证白酒指数A"_gbk), Text::npos);
    EXPECT_EQ(page.records[0].find("瑞丰"), Text::npos) << "the answer's UTF-8 is converted";
}

TEST(CutRankPage, BrokenAnswersGiveAnEmptyPage) {
    struct Case {
        const char* name;
        std::string answer;
        double allPages;
        std::size_t records;
    };
    const Case cases[] = {
        {"failed fetch", "", 0, 0},
        {"marker missing", "{datas:[\"1,a\"],allPages:2}", 0, 0},
        {"statement after the object", "var rankData = {datas:[],allPages:2};alert(1)", 0, 0},
        {"cut short", "var rankData = {datas:[\"000001,x\",\"0000", 0, 0},
        {"page count as text", "var rankData = {datas:[\"a\"],allPages:\"3\"}", 3, 1},
        {"page count not a number", "var rankData = {datas:[],allPages:\"many\"}", 0, 0},
        {"no datas member", "var rankData = {allPages:4}", 4, 0},
        {"datas not an array", "var rankData = {datas:null,allPages:1}", 1, 0},
        {"datas an object", "var rankData = {datas:{0:\"a,b\",1:\"c\"},allPages:1}", 1, 0},
        {"last marker counts", "var rankData = 1; var rankData = {datas:[\"b\"],allPages:1}", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RankPage page = CutRankPage(c.answer);
        EXPECT_EQ(page.allPages, c.allPages);
        EXPECT_EQ(page.records.size(), c.records);
    }
}

TEST(FundRankRecord, FillsTheThirteenColumnsInListOrder) {
    const RankPage page = CutRankPage(ReadPortalFixture("rank_page.txt"));
    ASSERT_EQ(page.records.size(), 2u);
    const auto cells = FundRankRecord(page.records[0]).ListCells();
    const std::array<Text, FundListColumns> expected{"瑞丰中证白酒指数A"_gbk,
                                                     "161725",
                                                     "2026-12-07",
                                                     "0.9876",
                                                     "0.85%",
                                                     "1.52%",
                                                     "-3.20%",
                                                     "8.75%",
                                                     "4.10%",
                                                     "-12.31%",
                                                     "-15.42%",
                                                     "22.10%",
                                                     "56.78%"};
    EXPECT_EQ(cells, expected);
}

TEST(FundRankRecord, EmptyAndMissingFieldsHaveDefinedCells) {
    // A young fund: empty percent fields show "-".
    const auto young = FundRankRecord(CutRankPage(ReadPortalFixture("rank_page.txt")).records[1]);
    const auto cells = young.ListCells();
    EXPECT_EQ(cells[4], "-"); // daily growth empty
    EXPECT_EQ(cells[5], "0.00%");
    EXPECT_EQ(cells[9], "-");  // since new year empty
    EXPECT_EQ(cells[12], "-"); // three years empty

    // A record shorter than 18 fields: what it lacks reads as empty.
    const auto shortCells = FundRankRecord("000007,短记录,DJL,X,1.5").ListCells();
    EXPECT_EQ(shortCells[0], "短记录");
    EXPECT_EQ(shortCells[1], "000007");
    EXPECT_EQ(shortCells[2], "");
    EXPECT_EQ(shortCells[3], "");
    EXPECT_EQ(shortCells[4], "-");
    EXPECT_EQ(shortCells[9], "1.5%");
    EXPECT_EQ(shortCells[10], "-");

    const auto empty = FundRankRecord("").ListCells();
    EXPECT_EQ(empty[0], "");
    EXPECT_EQ(empty[12], "-");
}

TEST(ReturnCellColor, ThresholdsWithTolerance) {
    struct Case {
        const char* cell;
        Rgb color;
    };
    const Case cases[] = {
        {"50%", RgbRed},          {"50.00%", RgbRed},
        {"50.01%", RgbBlue},      {"50.00000005%", RgbRed},
        {"50.0000002%", RgbBlue}, {"0%", RgbGrey},
        {"0.00%", RgbGrey},       {"-0.01%", RgbGreen},
        {"0.0000001%", RgbGrey},  {"-0.0000001%", RgbGrey},
        {"0.0000002%", RgbRed},   {"12.34%", RgbRed},
        {"-", RgbGrey},           {"", RgbGrey},
        {"-35.2%", RgbGreen},     {"166.1%", RgbBlue},
        {"abc", RgbGrey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(ReturnCellColor(c.cell), c.color);
    }
}

TEST(SortKeyOfColumn, ReturnColumnsOnly) {
    const char* expected[] = {"",   "",   "",   "",   "r",  "z",  "1y",
                              "3y", "6y", "jn", "1n", "2n", "3n", ""};
    for (int column = 0; column < 14; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(SortKeyOfColumn(column), expected[column]);
    }
    EXPECT_EQ(SortKeyOfColumn(-1), "");
}

} // namespace
} // namespace fundlens
