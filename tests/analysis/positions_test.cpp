#include "analysis/positions.h"

#include <cmath>
#include <gtest/gtest.h>

namespace fundlens {
namespace {

Transaction BuyAmount(long long id, const char* date, double amount, double nav, double fee) {
    return {id, "000001", TransactionKind::Buy, date, amount, std::nullopt, nav, fee, 0};
}

Transaction BuyShares(long long id, const char* date, double shares, double nav, double fee) {
    return {id, "000001", TransactionKind::Buy, date, std::nullopt, shares, nav, fee, 0};
}

Transaction Sell(long long id, const char* date, double shares, double nav, double fee) {
    return {id, "000001", TransactionKind::Sell, date, std::nullopt, shares, nav, fee, 0};
}

Transaction Adjust(long long id, const char* date, double shares, double cost) {
    return {id, "000001", TransactionKind::Adjust, date, std::nullopt, shares, 0, 0, cost};
}

// (1000 - 10) / 1.1 = 900 shares for 1000.
const Transaction First = BuyAmount(1, "2024-01-02", 1000, 1.1, 10);
// 100 shares: cost 100 * 1.2 + 1.2 = 121.2; with First 1000 shares for 1121.2.
const Transaction Second = BuyShares(2, "2024-01-10", 100, 1.2, 1.2);
// A quarter of 1000 shares: cost 1121.2 * 0.75 = 840.9; the fee of 2 lowers only the proceeds.
const Transaction Third = Sell(3, "2024-02-01", 250, 1.3, 2);
const Transaction Fourth = Adjust(4, "2024-03-01", 800, 900);
const Transaction Fifth = Sell(5, "2024-04-01", 800, 1.25, 3);

TEST(PositionOf, AverageCostOverSequences) {
    const struct {
        const char* name;
        std::vector<Transaction> transactions;
        double shares;
        double cost;
    } cases[] = {
        {"a buy by amount, the fee included", {First}, 900, 1000},
        {"a buy by shares, the fee added", {Second}, 100, 121.2},
        {"two buys and a partial sell", {First, Second, Third}, 750, 840.9},
        {"an adjust sets shares and cost", {First, Second, Third, Fourth}, 800, 900},
        {"a full sell empties the position", {First, Second, Third, Fourth, Fifth}, 0, 0},
        {"a sell beyond the shares held sells what is held",
         {First, Sell(2, "2024-02-01", 5000, 1.2, 0)},
         0,
         0},
        {"the list out of date order", {Third, First, Second}, 750, 840.9},
        // On 01-05 the sell (id 4) comes before the buy (id 5): it sells the 100 held, then
        // 100 are bought. In list order it would leave 50.
        {"one date ordered by id",
         {BuyShares(1, "2024-01-01", 100, 1, 0), BuyShares(5, "2024-01-05", 100, 1, 0),
          Sell(4, "2024-01-05", 150, 1, 0)},
         100,
         100},
        {"a sell with nothing held changes nothing", {Sell(1, "2024-01-01", 10, 1, 0)}, 0, 0},
        {"an adjust to no shares empties whatever cost it names",
         {First, Adjust(2, "2024-02-01", 0, 50)},
         0,
         0},
        {"faulty transactions change nothing",
         {First, BuyAmount(2, "2024-01-03", 100, 0, 0), BuyAmount(3, "2024-01-04", 10, 1, 10),
          BuyShares(4, "2024-01-05", 10, 1, -1), Sell(5, "2024-01-06", -5, 1, 0),
          Sell(6, "2024-01-07", NAN, 1, 0), Adjust(7, "2024-01-08", -1, 10),
          Adjust(8, "2024-01-09", 10, -1)},
         900,
         1000},
        {"nothing recorded", {}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Position p = PositionOf(c.transactions);
        EXPECT_NEAR(p.shares, c.shares, 1e-9);
        EXPECT_NEAR(p.cost, c.cost, 1e-9);
        EXPECT_GE(p.shares, 0);
        EXPECT_GE(p.cost, 0);
    }
}

TEST(PositionOf, AFullSellLeavesNoRoundingDust) {
    // 1000 / 3 shares bought, the same typed back as sold.
    const Position p = PositionOf(
        {BuyAmount(1, "2024-01-02", 1000, 3, 0), Sell(2, "2024-01-03", 1000.0 / 3, 3, 0)});
    EXPECT_EQ(p.shares, 0);
    EXPECT_EQ(p.cost, 0);
}

TEST(TransactionProblem, NamesWhatIsWrongWithTheFigures) {
    const Position held{100, 120};
    Transaction both = BuyAmount(1, "2024-01-02", 100, 1, 0);
    both.shares = 10;
    Transaction neither = both;
    neither.amount.reset();
    neither.shares.reset();
    const struct {
        const char* name;
        Position before;
        Transaction transaction;
        const char* problem; // UTF-8; empty: none
    } cases[] = {
        {"a good buy by amount", held, First, ""},
        {"a good buy by shares", held, Second, ""},
        {"a good sell", held, Sell(3, "2024-02-01", 40, 1.3, 0), ""},
        {"a sell of all that is held", held, Sell(3, "2024-02-01", 100, 1.3, 0), ""},
        {"a good adjust", held, Fourth, ""},
        {"an adjust to nothing", held, Adjust(4, "2024-03-01", 0, 0), ""},
        {"a sell beyond the shares held", held, Sell(3, "2024-02-01", 100.5, 1.3, 0),
         "卖出份额超过持有份额"},
        {"a sell with nothing held", Position{}, Sell(3, "2024-02-01", 1, 1.3, 0),
         "没有可卖出的份额"},
        {"a sell of no shares", held, Sell(3, "2024-02-01", 0, 1.3, 0), "卖出份额须大于0"},
        {"both amount and shares", held, both, "买入须填写金额或份额之一"},
        {"neither amount nor shares", held, neither, "买入须填写金额或份额之一"},
        {"an amount no larger than the fee", held, BuyAmount(1, "2024-01-02", 5, 1, 5),
         "买入金额须大于手续费"},
        {"a negative amount", held, BuyAmount(1, "2024-01-02", -5, 1, 0), "买入金额须大于0"},
        {"no shares bought", held, BuyShares(1, "2024-01-02", 0, 1, 0), "买入份额须大于0"},
        {"a NAV of 0", held, BuyShares(1, "2024-01-02", 10, 0, 0), "净值须大于0"},
        {"a NaN NAV", held, Sell(1, "2024-01-02", 10, NAN, 0), "净值须大于0"},
        {"a negative fee", held, BuyShares(1, "2024-01-02", 10, 1, -1), "手续费不能为负"},
        {"an adjust to negative shares", held, Adjust(4, "2024-03-01", -1, 0),
         "调整后的份额不能为负"},
        {"an adjust without shares",
         held,
         {4, "000001", TransactionKind::Adjust, "2024-03-01", std::nullopt, std::nullopt, 0, 0, 10},
         "调整须填写份额"},
        {"an adjust to a negative cost", held, Adjust(4, "2024-03-01", 10, -1),
         "调整后的成本不能为负"},
        {"an adjust to a cost without shares", held, Adjust(4, "2024-03-01", 0, 10),
         "没有份额时成本须为0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextToUtf8(TransactionProblem(c.before, c.transaction)), c.problem);
    }
}

TEST(CheckHistory, FindsTheFirstTransactionThatCannotStand) {
    const Transaction buy = BuyShares(1, "2024-01-01", 100, 1, 0);
    const Transaction laterSell = Sell(2, "2024-03-01", 100, 1, 0);
    // A back-dated sell of 50 is fine on its date, but leaves the later sell of 100 short.
    const std::optional<HistoryProblem> backDated =
        CheckHistory({buy, laterSell, Sell(3, "2024-02-01", 50, 1, 0)});
    ASSERT_TRUE(backDated);
    EXPECT_EQ(backDated->id, 2);
    EXPECT_EQ(backDated->message, "卖出份额超过持有份额"_gbk);
    // Removing the buy leaves the sell with nothing to sell.
    const std::optional<HistoryProblem> removed = CheckHistory({laterSell});
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->id, 2);
    EXPECT_EQ(removed->message, "没有可卖出的份额"_gbk);
    // A new sell after the last one, of what is left.
    EXPECT_FALSE(
        CheckHistory({buy, Sell(2, "2024-02-01", 60, 1, 0), Sell(3, "2024-03-01", 40, 1, 0)}));
}

} // namespace
} // namespace fundlens
