// Transactions as the dialog takes them: read as typed and refused with a reason before
// anything is stored; and the dialogs of 加仓, 减仓, 编辑持仓 and 删除 driven through the window.
#include "analysis/positions.h"
#include "portal/fund_main_page.h"
#include "shell/event_routines.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "store/watchlist_store.h"
#include "watchlist/watchlist_entry.h"
#include "watchlist_fixture.h"
#include "web/web_request.h"

#include <QLineEdit>
#include <QMenu>
#include <cmath>

namespace fundlens::test {
namespace {

using Col = WatchlistColumn;

constexpr const char* Today = "2026-12-09";

TransactionEntry Entry(const char* date, const char* amount, const char* shares, const char* nav,
                       const char* fee, const char* cost = "") {
    return {date, amount, shares, nav, fee, cost};
}

Transaction Bought(const char* date, double shares, double nav, long long id) {
    return {id, "161725", TransactionKind::Buy, date, std::nullopt, shares, nav, 0, 0};
}

TEST(TransactionEntryTest, WhatCanBeRecorded) {
    const std::vector<Transaction> held{Bought("2026-12-01", 1000, 1.0, 1)};
    const struct {
        const char* name;
        EntryKind kind;
        TransactionEntry entry;
        Transaction expected;
    } cases[] = {
        {"buy by amount, thousands and blanks",
         EntryKind::Buy,
         Entry(" 2026-12-09 ", "10,000.00", "", "1.2345", "15"),
         {0, "161725", TransactionKind::Buy, Today, 10000.0, std::nullopt, 1.2345, 15, 0}},
        {"buy by shares, no fee",
         EntryKind::Buy,
         Entry(Today, "", "500", "1.1", ""),
         {0, "161725", TransactionKind::Buy, Today, std::nullopt, 500.0, 1.1, 0, 0}},
        {"full-width digits",
         EntryKind::Buy,
         {Today, "", "５００"_gbk, "１．１"_gbk, "０"_gbk, ""},
         {0, "161725", TransactionKind::Buy, Today, std::nullopt, 500.0, 1.1, 0, 0}},
        {"sell what is held",
         EntryKind::Sell,
         Entry("2026-12-08", "", "1000", "1.05", "1.5"),
         {0, "161725", TransactionKind::Sell, "2026-12-08", std::nullopt, 1000.0, 1.05, 1.5, 0}},
        {"position set, dated today",
         EntryKind::Position,
         Entry("", "", "800", "", "", "900"),
         {0, "161725", TransactionKind::Adjust, Today, std::nullopt, 800.0, 0, 0, 900}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EntryOutcome outcome = TransactionOfEntry(c.kind, "161725", c.entry, Today, held);
        ASSERT_TRUE(outcome.transaction.has_value()) << TextToUtf8(outcome.problem);
        const Transaction& t = *outcome.transaction;
        EXPECT_EQ(t.kind, c.expected.kind);
        EXPECT_EQ(t.code, "161725");
        EXPECT_EQ(t.date, c.expected.date);
        EXPECT_EQ(t.amount, c.expected.amount);
        EXPECT_EQ(t.shares, c.expected.shares);
        EXPECT_DOUBLE_EQ(t.nav, c.expected.nav);
        EXPECT_DOUBLE_EQ(t.fee, c.expected.fee);
        EXPECT_DOUBLE_EQ(t.cost, c.expected.cost);
    }
}

TEST(TransactionEntryTest, WhatIsRefusedAndWhy) {
    // 1000 held from 12-01; 800 sold on 12-05.
    const std::vector<Transaction> history{
        Bought("2026-12-01", 1000, 1.0, 1),
        {2, "161725", TransactionKind::Sell, "2026-12-05", std::nullopt, 800.0, 1.0, 0, 0}};
    const struct {
        const char* name;
        EntryKind kind;
        TransactionEntry entry;
        const char* says; // UTF-8, part of the reason
    } cases[] = {
        {"amount and shares", EntryKind::Buy, Entry(Today, "100", "100", "1", "0"),
         "买入金额或买入份额中的一项"},
        {"neither", EntryKind::Buy, Entry(Today, "", "", "1", "0"), "买入金额或买入份额中的一项"},
        {"amount not a number", EntryKind::Buy, Entry(Today, "abc", "", "1", "0"), "买入金额："},
        {"negative shares", EntryKind::Buy, Entry(Today, "", "-5", "1", "0"), "买入份额必须大于 0"},
        {"zero NAV", EntryKind::Buy, Entry(Today, "100", "", "0", "0"), "净值"},
        {"NAV missing", EntryKind::Sell, Entry(Today, "", "10", "", "0"), "成交净值：没有填写"},
        {"fee above the amount", EntryKind::Buy, Entry(Today, "10", "", "1", "20"), "手续费"},
        {"no such day", EntryKind::Buy, Entry("2026-02-30", "100", "", "1", "0"), "交易日期："},
        {"a day to come", EntryKind::Buy, Entry("2026-12-10", "100", "", "1", "0"), "不能晚于今天"},
        {"selling more than held", EntryKind::Sell, Entry(Today, "", "300", "1", "0"),
         "卖出份额超过持有份额"},
        // Sold on 12-03 before the 12-05 sell: that one would then sell more than is left.
        {"a back-dated sell", EntryKind::Sell, Entry("2026-12-03", "", "500", "1", "0"),
         "之后的一笔交易"},
        {"position without cost", EntryKind::Position, Entry("", "", "10", "", "", ""), "持仓成本"},
        {"cost without shares", EntryKind::Position, Entry("", "", "0", "", "", "10"), "成本"},
        {"an exponent", EntryKind::Position, Entry("", "", "1e3", "", "", "10"), "持有份额"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EntryOutcome outcome = TransactionOfEntry(c.kind, "161725", c.entry, Today, history);
        EXPECT_FALSE(outcome.transaction.has_value());
        EXPECT_NE(TextToUtf8(outcome.problem).find(c.says), std::string::npos)
            << TextToUtf8(outcome.problem);
    }
}

std::vector<Transaction> Recorded(const std::string& dir, const Text& code) {
    WatchlistStore store = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
    return store.Transactions(code).rows;
}

TEST_F(WatchlistTest, ABuyIsValuedAtTheEstimatedNav) {
    const demo::Fund& fund = EquityFund();
    AddFromList(fund);
    const Text nav = Cell(1, Col::Nav);
    NextDialog([nav](TransactionDialog& dialog) {
        EXPECT_TRUE(dialog.windowTitle().startsWith(QString::fromUtf8("加仓：")));
        Type(dialog, EntryAmountName, "10000");
        Type(dialog, EntryFeeName, "10");
        ClickOk(dialog);
    });
    ChooseFromMenu(1, 0);
    const std::vector<Transaction> recorded = Recorded(dataDir.Path(), fund.code);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].date, Today);
    EXPECT_EQ(recorded[0].amount, 10000.0);
    EXPECT_DOUBLE_EQ(recorded[0].nav, TextToNumber(nav)) << "the NAV shown, by default";

    const double lastNav = TextToNumber(nav);
    const double shares = (10000 - 10) / lastNav;
    const auto* row = View().FundAt(1);
    ASSERT_NE(row, nullptr);
    const double estimate = TextToNumber(Cell(1, Col::Estimate)); // rounded: 0.005 % at most
    EXPECT_NEAR(TextToNumber(Cell(1, Col::Shares)), shares, 0.005);
    EXPECT_EQ(Cell(1, Col::Cost), "10000.00");
    EXPECT_NEAR(TextToNumber(Cell(1, Col::MarketValue)), shares * lastNav * (1 + estimate / 100),
                0.005 + 10000 * 0.00005);
    EXPECT_NEAR(TextToNumber(Cell(1, Col::TodayGain)), shares * lastNav * estimate / 100,
                0.005 + 10000 * 0.00005);
    EXPECT_EQ(Cell(2, Col::Cost), "10000.00");
    EXPECT_EQ(Cell(2, Col::MarketValue), Cell(1, Col::MarketValue));
}

TEST_F(WatchlistTest, ARefusedEntrySaysWhyInTheDialogAndStoresNothing) {
    const demo::Fund& fund = EquityFund();
    AddFromList(fund);
    Text problem;
    NextDialog([&problem](TransactionDialog& dialog) {
        Type(dialog, EntryAmountName, "abc");
        ClickOk(dialog);
        problem = ProblemShown(dialog);
        EXPECT_TRUE(dialog.isVisible()) << "stays open";
        ClickCancel(dialog);
    });
    ChooseFromMenu(1, 0);
    EXPECT_NE(TextToUtf8(problem).find("买入金额"), std::string::npos) << TextToUtf8(problem);
    EXPECT_TRUE(Recorded(dataDir.Path(), fund.code).empty());

    NextDialog([&problem](TransactionDialog& dialog) {
        Type(dialog, EntrySharesName, "100");
        ClickOk(dialog);
        problem = ProblemShown(dialog);
        ClickCancel(dialog);
    });
    ChooseFromMenu(1, 1); // 减仓 with nothing held
    EXPECT_NE(TextToUtf8(problem).find("没有可卖出的份额"), std::string::npos);
    EXPECT_TRUE(Recorded(dataDir.Path(), fund.code).empty());
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(WatchlistTest, BuySellAndEditAreAveragedAsTheCostMethodSays) {
    AddFromList(EquityFund());
    NextDialog([](TransactionDialog& dialog) {
        Type(dialog, EntrySharesName, "1000");
        Type(dialog, EntryNavName, "1.5");
        Type(dialog, EntryFeeName, "0");
        ClickOk(dialog);
    });
    ChooseFromMenu(1, 0);
    EXPECT_EQ(Cell(1, Col::Shares), "1000.00");
    EXPECT_EQ(Cell(1, Col::Cost), "1500.00");
    NextDialog([](TransactionDialog& dialog) {
        Type(dialog, EntrySharesName, "400");
        Type(dialog, EntryNavName, "2");
        ClickOk(dialog);
    });
    ChooseFromMenu(1, 1);
    EXPECT_EQ(Cell(1, Col::Shares), "600.00");
    EXPECT_EQ(Cell(1, Col::Cost), "900.00") << "60 % of the cost stays";
    NextDialog([](TransactionDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QString::fromUtf8(EntrySharesName))->text(),
                  "600.00");
        Type(dialog, EntrySharesName, "700");
        Type(dialog, EntryCostName, "1000");
        ClickOk(dialog);
    });
    ChooseFromMenu(1, 2);
    EXPECT_EQ(Cell(1, Col::Shares), "700.00");
    EXPECT_EQ(Cell(1, Col::Cost), "1000.00");
    // Accepted unchanged: nothing recorded.
    NextDialog([](TransactionDialog& dialog) { ClickOk(dialog); });
    ChooseFromMenu(1, 2);
    EXPECT_EQ(Recorded(dataDir.Path(), EquityFund().code).size(), 3u);
}

TEST_F(WatchlistTest, RemovingAFundAsksFirst) {
    AddFromList(EquityFund());
    AddFromList(BondFund(), 2);
    messages.Answer(MessageAnswer::No);
    ChooseFromMenu(1, 3);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(TextToUtf8(messages.texts()[0]).find(EquityFund().code), std::string::npos);
    EXPECT_EQ(View().funds.size(), 2u);
    messages.Answer(MessageAnswer::Yes);
    ChooseFromMenu(1, 3);
    ASSERT_EQ(View().funds.size(), 1u);
    EXPECT_EQ(Cell(1, Col::Code), BondFund().code);
    WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
    ASSERT_EQ(store.Funds().rows.size(), 1u);
    EXPECT_EQ(store.Funds().rows[0].code, BondFund().code);
}

TEST_F(WatchlistTest, TheMenuActsOnTheRowUnderTheMouseAndGivesTheBasketItsCode) {
    AddFromList(EquityFund());
    AddFromList(BondFund(), 2);
    Text given;
    Text givenName;
    Routines().basket.addFund = [&](const Text& code, const Text& name) {
        given = code;
        givenName = name;
        return true;
    };
    ChooseFromMenu(2, 4);
    EXPECT_EQ(given, BondFund().code);
    EXPECT_EQ(givenName, Utf8ToText(BondFund().name));
    EXPECT_EQ(WatchlistWindow().GridNamed(WatchlistGridName).CursorRow(), 2);
    // The totals row has no menu.
    RightClickCell(WatchGrid(), 3, 0);
    ProcessEvents();
    EXPECT_FALSE(FindControl<QMenu>(WatchlistWindow(), WatchlistMenuName)->isVisible());
}

} // namespace
} // namespace fundlens::test
