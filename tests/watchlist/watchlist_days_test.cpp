// The trading day as the watchlist lives it: the session's estimate recorded, the evening's
// confirmation with the estimate's error beside it, the median error from five recorded days.
#include "portal/fund_main_page.h"
#include "shell/async.h"
#include "shell/windows.h"
#include "store/watchlist_store.h"
#include "watchlist_fixture.h"
#include "web/web_request.h"

#include <cmath>

namespace fundlens::test {
namespace {

using Col = WatchlistColumn;

class WatchlistDayTest : public WatchlistTest {
protected:
    // The program ended and started again at `now` (the store stays).
    void RestartAt(const char* now) {
        DropLoaders();
        DestroyWindows();
        ProcessEvents();
        StartAt(now);
    }
    std::vector<EstimateRecord> Days(const Text& code) {
        WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
        return store.Estimates(code, 30).rows;
    }
};

TEST_F(WatchlistDayTest, TheSessionsEstimateIsConfirmedInTheEveningWithItsError) {
    const Text code = EquityFund().code; // the market is made anew at each start
    AddFromList(EquityFund());
    const std::vector<EstimateRecord> session = Days(code);
    ASSERT_EQ(session.size(), 1u);
    ASSERT_TRUE(session[0].estimatePct.has_value());
    EXPECT_FALSE(session[0].confirmedPct.has_value());

    RestartAt("2026-12-09 16:00"); // closed, the NAV not out yet
    OpenWindow();
    EXPECT_EQ(TextToUtf8(Cell(1, Col::EstimateStatus)), "估算(收盘)");
    EXPECT_EQ(Cell(1, Col::NavDate), "2026-12-08");
    EXPECT_EQ(Days(code).at(0).estimatePct, session[0].estimatePct)
        << "nothing recorded after the close";

    RestartAt("2026-12-09 20:30");
    OpenWindow();
    const MainPageFigures page = CutMainPage(WebRequest(MainPageUrl(code)));
    ASSERT_EQ(page.date, "2026-12-09");
    const double confirmed = TextToNumber(page.dailyChange);
    const double error = std::fabs(*session[0].estimatePct - confirmed);
    char expected[64];
    std::snprintf(expected, sizeof expected, "已确认 (误差 %.2f)", error);
    EXPECT_EQ(TextToUtf8(Cell(1, Col::EstimateStatus)), expected);
    EXPECT_EQ(Cell(1, Col::NavDate), "2026-12-09");
    EXPECT_EQ(Cell(1, Col::DayChange), page.dailyChange);
    const std::vector<EstimateRecord> evening = Days(code);
    ASSERT_EQ(evening.size(), 1u);
    EXPECT_EQ(evening[0].confirmedPct, confirmed);
    EXPECT_LT(error, 2.0) << "the estimate comes near the published change";
}

TEST_F(WatchlistDayTest, TheMedianErrorShowsFromFiveRecordedDays) {
    const demo::Fund& fund = EquityFund();
    {
        WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
        ASSERT_TRUE(store.AddFund(fund.code, ""));
        // Errors 0.1 ... 0.5 percentage points: the median is 0.3.
        for (int day = 1; day <= 5; ++day) {
            const Text date = "2026-12-0" + std::to_string(day);
            ASSERT_TRUE(store.RecordEstimate(fund.code, date, 1.0, 60));
            ASSERT_TRUE(store.RecordConfirmed(fund.code, date, 1.0 + day / 10.0));
        }
    }
    OpenWindow();
    EXPECT_EQ(TextToUtf8(Cell(1, Col::EstimateStatus)), "估算 (中位误差 0.30)");
    EXPECT_NE(TextToUtf8(CellTip(1, Col::EstimateStatus)).find("0.30 个百分点"), std::string::npos);
    EXPECT_EQ(Cell(1, Col::Name), Utf8ToText(fund.name)) << "the name the portal gave";
    WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
    EXPECT_EQ(store.Funds().rows.at(0).name, Utf8ToText(fund.name)) << "and kept for the export";
}

} // namespace
} // namespace fundlens::test
