// The basket's tables from hand-worked curves and top tens: each figure in its column, as text
// with its colour; pending funds empty, failed ones "--" in their row and column; the CSV file.
#include "basket/basket_tables.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

using Points = std::vector<SeriesPoint>;

// Rises 10%, falls to -12% (a 20% drawdown from 1.10 to 0.88), ends at +21% (recovered): 734
// days, so its figures annualise.
const Points RisingCurve{{"2024/01/02", 0},
                         {"2024/06/03", 10},
                         {"2024/12/02", -12},
                         {"2025/06/02", 5},
                         {"2026/01/05", 21}};
// 62 days: +5%, then down to +3% (a drawdown not recovered).
const Points ShortCurve{{"2026/09/01", 0}, {"2026/10/01", 5}, {"2026/11/02", 3}};
// 62 days, falling from the start.
const Points FallingCurve{{"2026/09/01", 0}, {"2026/10/01", -2}, {"2026/11/02", -4}};
// Never below its running peak.
const Points FlatCurve{{"2026/09/01", 0}, {"2026/10/01", 1}, {"2026/11/02", 2}};

BasketFundData Fund(const Text& code, const Points& curve, Fetched state = Fetched::Loaded) {
    BasketFundData fund;
    fund.code = code;
    fund.name = "基金"_gbk + code;
    fund.curveState = state;
    fund.curve = curve;
    return fund;
}

std::vector<Text> Texts(const std::vector<Figure>& row) {
    std::vector<Text> texts;
    for (const Figure& figure : row)
        texts.push_back(figure.text);
    return texts;
}

std::vector<Text> Gbk(std::initializer_list<const char*> utf8) {
    std::vector<Text> texts;
    for (const char* text : utf8)
        texts.push_back(Utf8ToText(text));
    return texts;
}

TEST(BasketRiskTable, EachFigureInItsColumn) {
    const BasketTables tables =
        ComputeBasketTables({Fund("000001", RisingCurve), Fund("000002", ShortCurve),
                             Fund("000003", FallingCurve), Fund("000004", FlatCurve)},
                            1.5);
    const FigureTable table = RiskTableOf(tables, ShownDecimals);
    ASSERT_EQ(table.Rows(), 5);
    EXPECT_EQ(Texts(table.cells[0]),
              Gbk({"基金（无风险利率1.5%）", "区间收益", "年化收益", "年化波动", "最大回撤",
                   "回撤开始", "回撤谷底", "修复日期", "夏普比率", "索提诺比率", "卡玛比率"}));
    const RiskFigures& rising = tables.risk[0];
    const struct {
        const char* name;
        int row;
        std::vector<Text> cells;
    } cases[] = {
        {"annualised over 734 days; the 20% fall from 1.10 to 0.88 recovered at the end",
         1,
         {"基金000001"_gbk, "21.00%", "9.95%", FixedText(*rising.annualVolatility * 100, 2) + "%",
          "20.00%", "2024/06/03", "2024/12/02", "2026/01/05", FixedText(*rising.sharpe, 2),
          FixedText(*rising.sortino, 2), "0.50"}},
        {"62 days: nothing annualises; the fall from 1.05 to 1.03 is not recovered",
         2,
         {"基金000002"_gbk, "3.00%", "--", "16.76%", "1.90%", "2026/10/01", "2026/11/02",
          "未修复"_gbk, "--", "--", "--"}},
        {"falling from the first point",
         3,
         {"基金000003"_gbk, "-4.00%", "--",
          FixedText(*tables.risk[2].annualVolatility * 100, 2) + "%", "4.00%", "2026/09/01",
          "2026/11/02", "未修复"_gbk, "--", "--", "--"}},
        {"never falling: no drawdown dates",
         4,
         {"基金000004"_gbk, "2.00%", "--",
          FixedText(*tables.risk[3].annualVolatility * 100, 2) + "%", "0.00%", "--", "--", "--",
          "--", "--", "--"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Texts(table.cells[static_cast<std::size_t>(c.row)]), c.cells);
    }
    EXPECT_EQ(table.Tip(1, 0), "000001") << "the name's tooltip is the code";
}

TEST(BasketRiskTable, ReturnsAndRatiosColouredBySign) {
    const BasketTables tables =
        ComputeBasketTables({Fund("000001", RisingCurve), Fund("000003", FallingCurve)}, 1.5);
    const FigureTable table = RiskTableOf(tables, ShownDecimals);
    EXPECT_EQ(table.cells[1][1].color, RgbRed);
    EXPECT_EQ(table.cells[1][10].color, RgbRed) << "卡玛 0.50";
    EXPECT_EQ(table.cells[2][1].color, RgbGreen);
    EXPECT_EQ(table.cells[2][3].color, std::nullopt) << "volatility has no sign colour";
    EXPECT_EQ(table.cells[2][4].color, std::nullopt) << "nor has the drawdown";
    EXPECT_EQ(table.cells[2][8].color, std::nullopt) << "an absent figure has none";
}

TEST(BasketRiskTable, PendingRowsEmptyFailedRowsAbsent) {
    BasketFundData named = Fund("000009", {}, Fetched::Pending);
    named.color = MakeRgb(0, 0, 255);
    BasketFundData unnamed = Fund("000010", {}, Fetched::Failed);
    unnamed.name.clear();
    const FigureTable table = RiskTableOf(ComputeBasketTables({named, unnamed}, 2.25), 2);
    EXPECT_EQ(table.cells[0][0].text, "基金（无风险利率2.25%）"_gbk);
    EXPECT_EQ(table.cells[1][0], (Figure{"基金000009"_gbk, MakeRgb(0, 0, 255)}));
    for (int column = 1; column < 11; ++column) {
        EXPECT_EQ(table.cells[1][static_cast<std::size_t>(column)].text, "") << column;
        EXPECT_EQ(table.cells[2][static_cast<std::size_t>(column)].text, "--") << column;
    }
    EXPECT_EQ(table.cells[2][0].text, "000010") << "a fund without a name shows its code";
}

TEST(BasketCorrelationTable, PairsOfLoadedCurves) {
    // Three curves on the same dates: B moves as A, C against it.
    const Points a{{"2026/09/01", 0}, {"2026/09/02", 10}, {"2026/09/03", 0}, {"2026/09/04", 10}};
    Points b = a, c = a;
    for (std::size_t k = 0; k < a.size(); ++k) {
        b[k].cumulativePct = a[k].cumulativePct / 2;
        c[k].cumulativePct = -a[k].cumulativePct / 2;
    }
    const BasketTables tables = ComputeBasketTables(
        {Fund("000001", a), Fund("000002", b), Fund("000003", c),
         Fund("000004", {}, Fetched::Pending), Fund("000005", {}, Fetched::Failed)},
        1.5);
    const FigureTable table = CorrelationTableOf(tables, ShownDecimals);
    ASSERT_EQ(table.Rows(), 6);
    EXPECT_EQ(Texts(table.cells[0]), (std::vector<Text>{"相关系数"_gbk, "000001", "000002",
                                                        "000003", "000004", "000005"}));
    EXPECT_EQ(table.cells[3][0].text, "000003");
    EXPECT_EQ(table.Tip(0, 2), "基金000002"_gbk);
    EXPECT_EQ(table.Tip(3, 0), "基金000003"_gbk);
    const std::string ab = FixedText(*tables.correlation[0][1], 2);
    EXPECT_EQ(Texts(table.cells[1]), (std::vector<Text>{"000001", "1.00", ab, "-" + ab, "", "--"}));
    EXPECT_GT(*tables.correlation[0][1], 0.99);
    EXPECT_EQ(table.cells[2][1].text, ab) << "symmetric";
    EXPECT_EQ(Texts(table.cells[4]), (std::vector<Text>{"000004", "", "", "", "", ""}));
    EXPECT_EQ(Texts(table.cells[5]), (std::vector<Text>{"000005", "--", "--", "--", "", "--"}));
}

TopHoldings Top(const Text& date, std::vector<HoldingWeight> stocks) {
    return TopHoldings{date, std::move(stocks)};
}

BasketFundData Held(const Text& code, const TopHoldings& top, Fetched state = Fetched::Loaded) {
    BasketFundData fund = Fund(code, {}, Fetched::Pending);
    fund.holdingsState = state;
    fund.holdings = top;
    return fund;
}

TEST(BasketOverlapTable, SummedSmallerWeightsAndTheStocksInCommon) {
    const TopHoldings a = Top("2026-09-30", {{"600519", "贵州茅台"_gbk, 9.83},
                                             {"000858", "五粮液"_gbk, 7.12},
                                             {"300750", "宁德时代"_gbk, 5}});
    const TopHoldings b = Top("2026/09/30", {{"600519", "贵州茅台"_gbk, 8},
                                             {"300750", "宁德时代"_gbk, 6.5},
                                             {"601318", "中国平安"_gbk, 4}});
    const TopHoldings c = Top("2026-06-30", {{"000858", "五粮液"_gbk, 3}});
    const BasketTables tables = ComputeBasketTables(
        {Held("000001", a), Held("000002", b), Held("000003", c),
         Held("000004", {}, Fetched::Failed), Held("000005", {}, Fetched::Pending)},
        1.5);
    const FigureTable table = OverlapTableOf(tables, ShownDecimals);
    EXPECT_EQ(table.cells[0][0].text, "持仓重合度"_gbk);
    EXPECT_EQ(Texts(table.cells[1]),
              (std::vector<Text>{"000001", "21.95% (3)", "13.00% (2)", "3.00% (1)", "--", ""}));
    EXPECT_EQ(Texts(table.cells[3]),
              (std::vector<Text>{"000003", "3.00% (1)", "0.00% (0)", "3.00% (1)", "--", ""}));
    EXPECT_EQ(Texts(table.cells[4]), (std::vector<Text>{"000004", "--", "--", "--", "--", ""}));

    EXPECT_EQ(table.Tip(1, 2), "基金000001 与 基金000002 共同持有 2 只股票（占净值比例）：\n"
                               "贵州茅台 600519  9.83% / 8.00%\n"
                               "宁德时代 300750  5.00% / 6.50%"_gbk)
        << "2026-09-30 and 2026/09/30 are one date";
    EXPECT_EQ(table.Tip(1, 3), "基金000001 与 基金000003 共同持有 1 只股票（占净值比例）：\n"
                               "五粮液 000858  7.12% / 3.00%\n"
                               "注意：两基金的持仓报告期不同（2026-09-30 / 2026-06-30）"_gbk);
    EXPECT_EQ(table.Tip(2, 3), "基金000002 与 基金000003 的前十大持仓没有共同的股票\n"
                               "注意：两基金的持仓报告期不同（2026/09/30 / 2026-06-30）"_gbk);
    EXPECT_EQ(table.Tip(4, 1), "基金000004 的持仓数据获取失败"_gbk);
    EXPECT_EQ(table.Tip(1, 4), "基金000004 的持仓数据获取失败"_gbk);
    EXPECT_EQ(table.Tip(1, 5), "") << "nothing to say while the answer is on its way";
}

TEST(BasketOverlapTable, AFundHoldingNoStocksOverlapsNothing) {
    const BasketTables tables =
        ComputeBasketTables({Held("000001", Top("2026-09-30", {{"600519", "", 5}})),
                             Held("000002", Top("2026-09-30", {}))},
                            1.5);
    EXPECT_EQ(OverlapTableOf(tables, 2).cells[1][2].text, "0.00% (0)");
    EXPECT_EQ(OverlapTableOf(tables, 2).cells[2][2].text, "0.00% (0)");
}

TEST(BasketCsv, ThreeSectionsInUtf8WithFourDecimals) {
    BasketFundData first = Fund("000001", RisingCurve);
    first.name = "红利, \"精选\""_gbk; // a comma and quotes: quoted as RFC 4180 says
    first.holdingsState = Fetched::Loaded;
    first.holdings = Top("2026-09-30", {{"600519", "贵州茅台"_gbk, 9.83}});
    BasketFundData second = Fund("000002", {}, Fetched::Failed);
    second.holdingsState = Fetched::Failed;
    const BasketTables tables = ComputeBasketTables({first, second}, 1.5);
    const RiskFigures& r = tables.risk[0];
    const std::string csv = BasketCsv(tables);
    const std::string expected =
        "\xEF\xBB\xBF"
        "代码,基金（无风险利率1.5%）,区间收益,年化收益,年化波动,最大回撤,回撤开始,回撤谷底,"
        "修复日期,夏普比率,索提诺比率,卡玛比率\r\n"
        "000001,\"红利, \"\"精选\"\"\",21.0000%," +
        FixedText(*r.annualReturn * 100, 4) + "%," + FixedText(*r.annualVolatility * 100, 4) +
        "%,20.0000%,2024/06/03,2024/12/02,2026/01/05," + FixedText(*r.sharpe, 4) + "," +
        FixedText(*r.sortino, 4) + "," + FixedText(*r.calmar, 4) +
        "\r\n"
        "000002,基金000002,--,--,--,--,--,--,--,--,--,--\r\n"
        "\r\n"
        "相关系数,000001,000002\r\n"
        "000001,1.0000,--\r\n"
        "000002,--,--\r\n"
        "\r\n"
        "持仓重合度,000001,000002\r\n"
        "000001,9.8300% (1),--\r\n"
        "000002,--,--\r\n";
    EXPECT_EQ(csv, expected);
    EXPECT_EQ(FixedText(*r.calmar, 4), "0.4975");
}

TEST(FixedText, RoundsAndNeverWritesMinusZero) {
    const std::tuple<double, int, Text> cases[] = {
        {0.125, 2, "0.13"},      {-0.004, 2, "0.00"}, {-0.0, 4, "0.0000"},
        {-12.3456, 2, "-12.35"}, {3, 0, "3"},         {-0.4, 0, "0"},
    };
    for (const auto& [value, decimals, text] : cases)
        EXPECT_EQ(FixedText(value, decimals), text) << value;
}

} // namespace
} // namespace fundlens
