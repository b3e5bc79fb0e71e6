// What the store keeps: funds in the order added, their transactions and estimate records, each
// change whole or not at all, a bad input storing nothing, and an import that survives its
// process being killed.
#include "store/watchlist_store.h"
#include "store_test_support.h"

#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fundlens {
namespace {

using testing::FileExists;
using testing::RawInt;
using testing::TempDir;

constexpr const char* Day = "2024-03-15";

long long Count(const WatchlistStore& store, const std::string& table) {
    return RawInt(store.FilePath(), "SELECT count(*) FROM " + table);
}

Transaction Buy(const Text& code, const Text& date, std::optional<double> amount,
                std::optional<double> shares, double nav, double fee = 0) {
    return {0, code, TransactionKind::Buy, date, amount, shares, nav, fee, 0};
}

Transaction Sell(const Text& code, const Text& date, double shares, double nav) {
    return {0, code, TransactionKind::Sell, date, std::nullopt, shares, nav, 0, 0};
}

class StoreTest : public ::testing::Test {
protected:
    WatchlistStore OpenStore() {
        return WatchlistStore::Open(m_tmp.Path(), OpenMode::ExistingOnly);
    }
    TempDir m_tmp;
};

TEST_F(StoreTest, FundsKeepTheirOrderAndNamesAcrossReopening) {
    {
        WatchlistStore store = OpenStore();
        ASSERT_TRUE(store.AddFund("110022", "易方达消费行业"_gbk));
        ASSERT_TRUE(store.AddFund("000001", ""));
        ASSERT_TRUE(store.AddFund("519674", "银河创新成长"_gbk));
        ASSERT_TRUE(store.AddFund("000001", "华夏成长"_gbk)); // learns the empty name
        ASSERT_TRUE(store.AddFund("110022", "别的名字"_gbk)); // keeps the name it has
        ASSERT_TRUE(store.RenameFund("519674", "银河创新成长混合"_gbk));
    }
    WatchlistStore store = OpenStore();
    EXPECT_EQ(store.State(), StoreState::Opened);
    const auto funds = store.Funds();
    ASSERT_TRUE(funds.ok);
    ASSERT_EQ(funds.rows.size(), 3u);
    EXPECT_EQ(funds.rows[0].code, "110022");
    EXPECT_EQ(funds.rows[0].name, "易方达消费行业"_gbk);
    EXPECT_EQ(funds.rows[1].code, "000001");
    EXPECT_EQ(funds.rows[1].name, "华夏成长"_gbk);
    EXPECT_EQ(funds.rows[2].name, "银河创新成长混合"_gbk);
    // Kept as UTF-8 in the file, for any other tool that reads it.
    EXPECT_EQ(testing::RawText(store.FilePath(), "SELECT name FROM funds WHERE code = '000001'"),
              "华夏成长");
    EXPECT_FALSE(store.RenameFund("000002", "x"));
}

TEST_F(StoreTest, RemovingAFundTakesItsRecordsAndNoOtherFunds) {
    WatchlistStore store = OpenStore();
    for (const char* code : {"000001", "000002"}) {
        ASSERT_TRUE(store.AddFund(code, ""));
        ASSERT_TRUE(store.SetPosition(code, Day, 100, 120));
        ASSERT_TRUE(store.RecordEstimate(code, Day, 1.5, 80));
    }
    ASSERT_TRUE(store.RemoveFund("000001"));
    ASSERT_EQ(store.Funds().rows.size(), 1u);
    EXPECT_EQ(store.Funds().rows[0].code, "000002");
    EXPECT_TRUE(store.Transactions("000001").rows.empty());
    EXPECT_TRUE(store.Estimates("000001", 5).rows.empty());
    EXPECT_EQ(Count(store, "transactions"), 1);
    EXPECT_EQ(Count(store, "estimates"), 1);
    EXPECT_TRUE(store.RemoveFund("000001")); // already gone: nothing to do
    // Added again, it starts afresh at the end of the list.
    ASSERT_TRUE(store.AddFund("000001", ""));
    EXPECT_EQ(store.Funds().rows.back().code, "000001");
    EXPECT_TRUE(store.Transactions("000001").rows.empty());
}

TEST_F(StoreTest, TransactionsComeBackByDateAndThenAsRecorded) {
    WatchlistStore store = OpenStore();
    ASSERT_TRUE(store.AddFund("000001", ""));
    const StoreResult late = store.AddTransaction(Sell("000001", "2024-03-20", 50, 1.3));
    const StoreResult first = store.AddTransaction(Buy("000001", "2024-03-01", 1000, {}, 1.2, 1.5));
    const StoreResult second = store.AddTransaction(Buy("000001", "2024-03-01", {}, 200, 1.21));
    const StoreResult adjust = store.SetPosition("000001", "2024-03-10", 900, 1111.5);
    for (const StoreResult& r : {late, first, second, adjust})
        ASSERT_TRUE(r) << TextToUtf8(r.message);
    EXPECT_LT(first.id, second.id);

    const auto list = store.Transactions("000001");
    ASSERT_TRUE(list.ok);
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[0].id, first.id);
    EXPECT_EQ(list.rows[0].amount, 1000);
    EXPECT_FALSE(list.rows[0].shares.has_value());
    EXPECT_EQ(list.rows[0].fee, 1.5);
    EXPECT_EQ(list.rows[1].id, second.id);
    EXPECT_FALSE(list.rows[1].amount.has_value());
    EXPECT_EQ(list.rows[1].shares, 200);
    EXPECT_EQ(list.rows[2].kind, TransactionKind::Adjust);
    EXPECT_EQ(list.rows[2].shares, 900);
    EXPECT_EQ(list.rows[2].cost, 1111.5);
    EXPECT_EQ(list.rows[3].kind, TransactionKind::Sell);
    EXPECT_EQ(list.rows[3].date, "2024-03-20");
    EXPECT_EQ(list.rows[3].nav, 1.3);

    ASSERT_TRUE(store.DeleteTransaction(second.id));
    EXPECT_EQ(store.Transactions("000001").rows.size(), 3u);
    const StoreResult again = store.DeleteTransaction(second.id);
    EXPECT_FALSE(again);
    EXPECT_FALSE(again.message.empty());
}

TEST_F(StoreTest, ABadInputStoresNothing) {
    WatchlistStore store = OpenStore();
    ASSERT_TRUE(store.AddFund("000001", ""));
    const struct {
        const char* name;
        StoreResult result;
    } cases[] = {
        {"code of five digits", store.AddFund("00001", "")},
        {"code with a letter", store.AddFund("00000A", "")},
        {"transaction of an unwatched fund",
         store.AddTransaction(Buy("000002", Day, 1000, {}, 1.2))},
        {"negative shares", store.SetPosition("000001", Day, -1, 10)},
        {"NaN cost", store.SetPosition("000001", Day, 1, std::nan(""))},
        {"no such day", store.SetPosition("000001", "2024-02-30", 1, 1)},
        {"buy of nothing", store.AddTransaction(Buy("000001", Day, 0, {}, 1.2))},
        {"buy at nav 0", store.AddTransaction(Buy("000001", Day, 100, {}, 0))},
        {"sell of negative shares", store.AddTransaction(Sell("000001", Day, -5, 1.2))},
        {"estimate of an unwatched fund", store.RecordEstimate("000002", Day, 1, 50)},
        {"estimate covering more than all", store.RecordEstimate("000001", Day, 1, 101)},
        {"confirmed change NaN", store.RecordConfirmed("000001", Day, std::nan(""))},
        {"import with a negative cost",
         store.ImportPositions({{2, "000003", 1, 1}, {3, "000004", 1, -1}}, Day)},
        {"import on a bad day", store.ImportPositions({{2, "000003", 1, 1}}, "15/03/2024")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.result.ok);
        EXPECT_FALSE(c.result.message.empty());
    }
    EXPECT_EQ(Count(store, "funds"), 1);
    EXPECT_EQ(Count(store, "transactions"), 0);
    EXPECT_EQ(Count(store, "estimates"), 0);
    EXPECT_NE(TextToUtf8(cases[12].result.message).find("第 3 行"), std::string::npos);
}

TEST_F(StoreTest, ADaysEstimateAndConfirmedChangeShareOneRecord) {
    WatchlistStore store = OpenStore();
    ASSERT_TRUE(store.AddFund("000001", ""));
    ASSERT_TRUE(store.RecordEstimate("000001", "2024-03-13", 0.5, 70));
    ASSERT_TRUE(store.RecordConfirmed("000001", "2024-03-13", 0.42));
    ASSERT_TRUE(store.RecordConfirmed("000001", "2024-03-14", -1.1)); // no estimate that day
    ASSERT_TRUE(store.RecordEstimate("000001", "2024-03-15", 1.0, 60));
    ASSERT_TRUE(store.RecordEstimate("000001", "2024-03-15", 1.25, 65)); // a later one replaces it

    const auto three = store.Estimates("000001", 3);
    ASSERT_TRUE(three.ok);
    ASSERT_EQ(three.rows.size(), 3u);
    EXPECT_EQ(three.rows[0].tradeDate, "2024-03-15");
    EXPECT_EQ(three.rows[0].estimatePct, 1.25);
    EXPECT_EQ(three.rows[0].coveredPct, 65);
    EXPECT_FALSE(three.rows[0].confirmedPct.has_value());
    EXPECT_FALSE(three.rows[1].estimatePct.has_value());
    EXPECT_EQ(three.rows[1].confirmedPct, -1.1);
    EXPECT_EQ(three.rows[2].estimatePct, 0.5);
    EXPECT_EQ(three.rows[2].coveredPct, 70);
    EXPECT_EQ(three.rows[2].confirmedPct, 0.42);
    EXPECT_EQ(three.rows[2].code, "000001");

    ASSERT_TRUE(store.RecordEstimate("000001", "2024-03-13", 0.6, 71)); // keeps the confirmed
    EXPECT_EQ(store.Estimates("000001", 3).rows[2].confirmedPct, 0.42);
    const auto two = store.Estimates("000001", 2);
    ASSERT_EQ(two.rows.size(), 2u);
    EXPECT_EQ(two.rows[1].tradeDate, "2024-03-14");
    EXPECT_TRUE(store.Estimates("000001", 0).rows.empty());
    EXPECT_EQ(store.Estimates("000001", 100).rows.size(), 3u);
}

// A refresh records every watched fund's day in one transaction.
TEST_F(StoreTest, ARefreshsDaysGoInTogetherOrNotAtAll) {
    WatchlistStore store = OpenStore();
    ASSERT_TRUE(store.AddFund("000001", ""));
    ASSERT_TRUE(store.AddFund("000002", ""));
    ASSERT_TRUE(store.RecordConfirmed("000002", Day, 0.3));
    const std::vector<EstimateRecord> days{
        {"000001", Day, 1.25, 64.5, std::nullopt},
        {"000002", Day, -0.5, 40, std::nullopt}, // keeps the confirmed change recorded
        {"000003", Day, 2.0, 50, std::nullopt},  // not watched (removed meanwhile): passed over
        {"000001", "2024-03-14", std::nullopt, std::nullopt, -0.75},
    };
    ASSERT_TRUE(store.RecordDays(days));
    const auto first = store.Estimates("000001", 5);
    ASSERT_EQ(first.rows.size(), 2u);
    EXPECT_EQ(first.rows[0].estimatePct, 1.25);
    EXPECT_EQ(first.rows[0].coveredPct, 64.5);
    EXPECT_EQ(first.rows[1].confirmedPct, -0.75);
    EXPECT_FALSE(first.rows[1].estimatePct.has_value());
    const auto second = store.Estimates("000002", 5);
    ASSERT_EQ(second.rows.size(), 1u);
    EXPECT_EQ(second.rows[0].estimatePct, -0.5);
    EXPECT_EQ(second.rows[0].confirmedPct, 0.3);
    EXPECT_EQ(Count(store, "estimates"), 3);

    const struct {
        const char* name;
        EstimateRecord bad;
    } refused[] = {
        {"estimate without its cover", {"000001", Day, 1.0, std::nullopt, std::nullopt}},
        {"cover beyond all", {"000001", Day, 1.0, 120, std::nullopt}},
        {"not a number", {"000001", Day, std::nullopt, std::nullopt, std::nan("")}},
        {"bad date", {"000001", "2024-02-30", 1.0, 50, std::nullopt}},
        {"bad code", {"00001", Day, 1.0, 50, std::nullopt}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        const StoreResult result =
            store.RecordDays({{"000002", "2024-03-18", 9.0, 90, std::nullopt}, c.bad});
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(Count(store, "estimates"), 3) << "the sound record before it is not written";
    }
}

TEST_F(StoreTest, AnImportSetsEveryPositionAndMakesTheFileWhenAbsent) {
    WatchlistStore store = OpenStore();
    ASSERT_EQ(store.State(), StoreState::Absent);
    std::size_t calls = 0;
    const StoreResult imported =
        store.ImportPositions({{2, "000001", 100.5, 120}, {3, "110022", 0, 0}}, Day,
                              [&](std::size_t done, std::size_t total) {
                                  EXPECT_EQ(done, ++calls);
                                  EXPECT_EQ(total, 2u);
                              });
    ASSERT_TRUE(imported) << TextToUtf8(imported.message);
    EXPECT_EQ(calls, 2u);
    EXPECT_EQ(store.State(), StoreState::Created);
    ASSERT_TRUE(store.RenameFund("000001", "华夏成长"_gbk));
    // An existing fund keeps its name and gets one more Adjust.
    ASSERT_TRUE(store.ImportPositions({{2, "000001", 50, 60}}, "2024-03-16"));
    const auto funds = store.Funds().rows;
    ASSERT_EQ(funds.size(), 2u);
    EXPECT_EQ(funds[0].name, "华夏成长"_gbk);
    EXPECT_EQ(funds[1].code, "110022");
    EXPECT_EQ(funds[1].name, "");
    const auto list = store.Transactions("000001").rows;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].kind, TransactionKind::Adjust);
    EXPECT_EQ(list[0].date, Day);
    EXPECT_EQ(list[0].shares, 100.5);
    EXPECT_EQ(list[0].cost, 120);
    EXPECT_EQ(list[1].shares, 50);

    TempDir other;
    WatchlistStore empty = WatchlistStore::Open(other.Path(), OpenMode::ExistingOnly);
    EXPECT_TRUE(empty.ImportPositions({}, Day));
    EXPECT_FALSE(FileExists(other / "watchlist.db"));
}

TEST_F(StoreTest, AMovedStoreCarriesTheConnection) {
    WatchlistStore store = OpenStore();
    ASSERT_TRUE(store.AddFund("000001", ""));
    WatchlistStore moved = std::move(store);
    EXPECT_TRUE(moved.AddFund("000002", ""));
    EXPECT_FALSE(store.AddFund("000003", ""));
    store = std::move(moved);
    EXPECT_EQ(store.Funds().rows.size(), 2u);
}

// The import of `rows` rows in a child process that stops for good after `stopAfter` of them
// (0: never) and tells the parent through a pipe; the parent kills it after `killAfterMs`
// or once told, and reaps it.
void ImportAndKill(const std::string& dir, int rows, int stopAfter, int killAfterMs) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::vector<ImportRow> import;
        for (int i = 0; i < rows; ++i)
            import.push_back({i + 2, std::to_string(200000 + i), 10.0 + i, 12.0 + i});
        WatchlistStore store = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
        store.ImportPositions(import, Day, [&](std::size_t done, std::size_t) {
            if (static_cast<int>(done) != stopAfter)
                return;
            const char ready = 'r';
            (void)!::write(pipeEnds[1], &ready, 1);
            ::pause();
        });
        const char finished = 'f';
        (void)!::write(pipeEnds[1], &finished, 1);
        ::pause(); // waits for the kill either way: the parent decides when
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    if (stopAfter > 0) {
        char signal = 0;
        ASSERT_EQ(::read(pipeEnds[0], &signal, 1), 1);
        EXPECT_EQ(signal, 'r');
    } else {
        ::usleep(static_cast<useconds_t>(killAfterMs) * 1000);
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    ::close(pipeEnds[0]);
}

void ExpectAllOrNothing(const std::string& dir, int rows, long long fundsBefore) {
    WatchlistStore store = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
    ASSERT_EQ(store.State(), StoreState::Opened) << TextToUtf8(store.Message());
    const auto funds = store.Funds();
    ASSERT_TRUE(funds.ok);
    const long long imported = static_cast<long long>(funds.rows.size()) - fundsBefore;
    EXPECT_TRUE(imported == 0 || imported == rows) << imported << " of " << rows;
    EXPECT_EQ(Count(store, "transactions"), imported);
    EXPECT_EQ(testing::RawText(store.FilePath(), "PRAGMA integrity_check"), "ok");
    EXPECT_TRUE(store.AddFund("000009", "")); // and it takes changes again
}

TEST(KilledImportTest, AnImportKilledHalfwayLeavesNoneOfItsRows) {
    TempDir tmp;
    {
        WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
        ASSERT_TRUE(store.AddFund("000001", ""));
    }
    ImportAndKill(tmp.Path(), 3000, 1500, 0);
    WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::ExistingOnly);
    ASSERT_EQ(store.State(), StoreState::Opened) << TextToUtf8(store.Message());
    ASSERT_EQ(store.Funds().rows.size(), 1u);
    EXPECT_EQ(Count(store, "transactions"), 0);
    ExpectAllOrNothing(tmp.Path(), 3000, 1);
}

TEST(KilledImportTest, AnImportKilledAtAnyMomentLeavesAllOrNone) {
    // The child is killed at moments from before the transaction to after its commit.
    for (int killAfterMs : {1, 5, 20, 60, 150, 400}) {
        SCOPED_TRACE(killAfterMs);
        TempDir tmp;
        {
            WatchlistStore store = WatchlistStore::Open(tmp.Path(), OpenMode::CreateIfMissing);
            ASSERT_TRUE(store.AddFund("000001", ""));
        }
        ImportAndKill(tmp.Path(), 3000, 0, killAfterMs);
        ExpectAllOrNothing(tmp.Path(), 3000, 1);
    }
}

} // namespace
} // namespace fundlens
