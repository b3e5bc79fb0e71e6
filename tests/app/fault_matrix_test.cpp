// Every loader against every fault the demo portal can play: the load ends within its request
// timeouts, a failure shows as the failure (its title, its message, or empty fields), nothing
// crashes, and the same load against a sound portal works afterwards. And every loader's window
// closed while its requests are on their way: nothing crashes, nothing is written afterwards.
#include "basket/basket_loads.h"
#include "basket/basket_set.h"
#include "compare/chart_window.h"
#include "compare/comparison_loader.h"
#include "demo-portal/universe.h"
#include "detail/fund_detail.h"
#include "lists/rank_list.h"
#include "runs/runs.h"
#include "shell/basket_form.h"
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/picture_box.h"
#include "shell/program_state.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "store/watchlist_store.h"
#include "support/gui_test.h"
#include "update/update_check.h"
#include "watchlist/watchlist_refresh.h"
#include "watchlist/watchlist_state.h"
#include "web/web_request.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

namespace fundlens::test {
namespace {

using demo::FaultMode;

// Long enough for the hang and trickle faults to end at the request timeouts set below.
constexpr int LoadDeadlineMs = 40000;

struct Fault {
    const char* name;
    FaultMode mode;
    int noProgressSeconds, deadlineSeconds; // request timeouts while the fault plays
    bool completes;                         // the answers do arrive whole in the end
};

const Fault Faults[] = {
    {"drop", FaultMode::Drop, 1, 2, false},         {"http500", FaultMode::Http500, 1, 2, false},
    {"truncate", FaultMode::Truncate, 1, 2, false}, {"slow", FaultMode::Slow, 5, 10, true},
    {"trickle", FaultMode::Trickle, 5, 2, false},   {"garbage", FaultMode::Garbage, 1, 2, false},
    {"hang", FaultMode::Hang, 1, 5, false},
};

class FaultMatrixTest;

// One loader: how to start it (the portal to measure against given), when it has ended, and
// what it shows when it failed and when it worked.
struct LoaderCase {
    const char* name;
    std::function<void(FaultMatrixTest&, const std::string& base)> run;
    std::function<bool()> ended;
    std::function<void(FaultMatrixTest&)> expectFailure;
    std::function<void(FaultMatrixTest&)> expectSuccess;
};

Text Title() {
    return MainWindow().Title();
}
bool StartsWith(const Text& text, const char* utf8) {
    return text.starts_with(Utf8ToText(utf8));
}
Label MainLabel(const char* name) {
    return MainWindow().LabelNamed(name);
}

class FaultMatrixTest : public ProgramFixture,
                        public ::testing::WithParamInterface<std::tuple<int, int>> {
public:
    using ProgramFixture::messages;
    using ProgramFixture::UsePortalBase;

    void SetUp() override {
        InstallSeams();
        demo::PortalOptions sound;
        sound.date = "2026-12-08";
        ASSERT_TRUE(StartPortal(sound));
        demo::PortalOptions faulty = sound;
        faulty.fault = fault().mode;
        m_faulty = std::make_unique<demo::DemoPortal>(faulty);
        ASSERT_TRUE(m_faulty->Start());
        StartMainWindow();
        messages.Clear();
        SetRequestTimeouts(fault().noProgressSeconds, fault().deadlineSeconds);
    }
    void TearDown() override {
        SetRequestTimeouts(0, 0);
        ProgramFixture::TearDown();
        m_faulty.reset();
        if (!WatchlistDataDir().empty())
            std::filesystem::remove_all(WatchlistDataDir());
        SetWatchlistDataDir("");
    }

    const Fault& fault() const { return Faults[std::get<1>(GetParam())]; }
    std::string SoundBase() { return portal()->BaseUrl(); }
    std::string FaultyBase() { return m_faulty->BaseUrl(); }
    std::size_t FaultyRequests() { return m_faulty->Requests().size(); }
    // Closing tests: the chart window closes once the faulty portal has a request of its load.
    bool ChartCloses = false;
    const demo::Universe& Market() { return portal()->universe(); }
    bool Said(const char* utf8) {
        const std::vector<Text> said = messages.texts();
        return std::find(said.begin(), said.end(), Utf8ToText(utf8)) != said.end();
    }

    // Types into the search box from empty (focusing it clears it) against the sound portal,
    // then waits for the suggestions.
    void Search(const char* utf8) {
        auto* box = FindControl<QLineEdit>(MainWindow(), "搜索框");
        Focus(FindControl(MainWindow(), "五星基金钮"));
        Focus(box);
        TypeText(box, QString::fromUtf8(utf8));
    }
    // Runs `steps` while the chart window is open, then closes it.
    void WithChartWindow(const std::function<void()>& steps) {
        const auto installed = Routines().chartWindowCreated;
        Routines().chartWindowCreated = [&] {
            installed();
            QTimer::singleShot(0, ChartWindow().widget(), [&] {
                steps();
                ChartWindow().Close();
            });
        };
        Click(FindControl(MainWindow(), "净值走势钮"));
        Routines().chartWindowCreated = installed;
        ProcessEvents();
    }

    // What a run left: the list row it used, and what the chart window showed before it went.
    int detailRow = 0;
    bool pictureShown = false;
    int chartRows = 0;
    bool chartRedrawn = false;

    // Opens the chart window for a fund, with the sound portal unless told otherwise, waits
    // for its loads, runs `more` while it is open, and notes what it showed.
    void OpenChart(const std::string& base, const std::function<void()>& more = {}) {
        State().CurrentFundCode = Market().Funds()[5].code;
        UsePortalBase(base);
        WithChartWindow([this, more] {
            if (ChartCloses && !more) {
                WaitUntil([this] { return FaultyRequests() > 0; });
                return;
            }
            WaitUntil([] { return !ChartLoadsRunning(); }, LoadDeadlineMs);
            if (more)
                more();
            auto* picture = FindControl<PictureBoxWidget>(ChartWindow(), "图片框1");
            pictureShown = picture && !picture->image().isNull();
            chartRows = State().ChartState.rowCount;
        });
    }

private:
    std::unique_ptr<demo::DemoPortal> m_faulty;
};

// Opens the basket window on two funds (it loads their curves and archives from `base`); an
// open one is closed first, so that it loads afresh.
void OpenBasket(FaultMatrixTest& t, const std::string& base) {
    if (State().Views.basket.funds.empty()) {
        for (std::size_t f : {5, 40}) {
            const demo::Fund& fund = t.Market().Funds()[f];
            AddFundToBasket(fund.code, Utf8ToText(fund.name));
        }
    }
    if (BasketWindow().Exists()) {
        BasketWindow().Close();
        WaitUntil([] { return !BasketWindow().Exists(); });
    }
    t.UsePortalBase(base);
    Click(FindControl(MainWindow(), "多基金对比钮"));
}
Text BasketCell(const char* table, int row, int column) {
    return BasketWindow().GridNamed(table).CellText(row, column);
}

// The detail column shows a fund whose answers all failed.
void ExpectEmptyDetail() {
    EXPECT_EQ(MainLabel("标签11").Caption(), "");
    EXPECT_EQ(MainLabel("标签12").Caption(), "");
    EXPECT_EQ(MainLabel("标签13").Caption(), "暂无评级"_gbk);
    EXPECT_EQ(MainLabel("标签14").Caption(), "（任期：）"_gbk);
    EXPECT_EQ(MainWindow().GridNamed("高级表格3").CellText(1, 1), "");
    EXPECT_EQ(MainWindow().GridNamed("高级表格5").CellText(1, 1), "");
}

// The watchlist with an equity fund and a bond fund in a store of its own, made before its
// window first opens.
void PrepareWatchlist(FaultMatrixTest& t) {
    if (WatchlistWindow().Exists())
        return;
    const std::string dir = TempPath("faults_watchlist");
    std::filesystem::remove_all(dir);
    SetWatchlistDataDir(dir);
    WatchlistStore store = WatchlistStore::Open(dir, OpenMode::ExistingOnly);
    const auto& funds = t.Market().Funds();
    const auto equity = std::find_if(funds.begin(), funds.end(),
                                     [](const demo::Fund& f) { return f.holdings.size() == 10; });
    const auto bond = std::find_if(funds.begin(), funds.end(), [](const demo::Fund& f) {
        return f.type == demo::FundType::Bond;
    });
    ASSERT_TRUE(store.AddFund(equity->code, ""));
    ASSERT_TRUE(store.AddFund(bond->code, ""));
}

Text WatchlistCell(int row, WatchlistColumn column) {
    return WatchlistWindow().GridNamed(WatchlistGridName).CellText(row, static_cast<int>(column));
}

const LoaderCase Loaders[] = {
    {"FiveStar",
     [](FaultMatrixTest& t, const std::string& base) {
         t.UsePortalBase(base);
         Click(FindControl(MainWindow(), "五星基金钮"));
     },
     [] { return !ListLoadRunning(); },
     [](FaultMatrixTest&) { EXPECT_EQ(Title(), "五星基金加载失败，请重试"_gbk); },
     [](FaultMatrixTest&) { EXPECT_TRUE(StartsWith(Title(), "五星基金加载完毕")); }},
    {"Sector",
     [](FaultMatrixTest& t, const std::string& base) {
         t.UsePortalBase(base);
         Click(FindControl(MainWindow(), "选择板块钮"));
         Click(FindControl(SectorWindow(), "按钮93")); // 白酒
     },
     [] { return !ListLoadRunning() && !SectorWindow().Exists(); },
     [](FaultMatrixTest&) { EXPECT_EQ(Title(), "白酒板块加载失败，请重试"_gbk); },
     [](FaultMatrixTest&) { EXPECT_TRUE(StartsWith(Title(), "白酒板块加载完毕")); }},
    {"SortReload",
     [](FaultMatrixTest& t, const std::string& base) {
         t.UsePortalBase(t.SoundBase());
         Click(FindControl(MainWindow(), "五星基金钮"));
         ASSERT_TRUE(WaitUntil([] { return !ListLoadRunning(); }));
         t.UsePortalBase(base);
         ClickHeader(FindControl<GridWidget>(MainWindow(), "高级表格1"), 5);
     },
     [] { return !ListLoadRunning(); },
     [](FaultMatrixTest&) {
         EXPECT_EQ(Title(), "五星基金加载失败，请重试"_gbk);
         EXPECT_EQ(State().SortAscendingNext, 1) << "flipped all the same";
     },
     [](FaultMatrixTest&) { EXPECT_TRUE(StartsWith(Title(), "五星基金加载完毕")); }},
    {"Search",
     [](FaultMatrixTest& t, const std::string& base) {
         t.UsePortalBase(base);
         t.Search("白酒");
     },
     [] { return MainWindow().ListNamed("超级列表框1").Visible(); },
     [](FaultMatrixTest&) {
         EXPECT_EQ(MainWindow().ListNamed("超级列表框1").ItemCount(), 0);
         EXPECT_EQ(MainWindow().ListNamed("超级列表框1").Height(), 32);
     },
     [](FaultMatrixTest&) { EXPECT_GT(MainWindow().ListNamed("超级列表框1").ItemCount(), 0); }},
    {"Pick",
     [](FaultMatrixTest& t, const std::string& base) {
         t.UsePortalBase(t.SoundBase());
         t.Search("白酒");
         ASSERT_TRUE(WaitUntil([] { return MainWindow().ListNamed("超级列表框1").ItemCount(); }));
         t.UsePortalBase(base);
         DoubleClickItem(FindControl<QTreeWidget>(MainWindow(), "超级列表框1"), 0);
     },
     [] { return !IsRunning(RunName::Pick) && !DetailLoadRunning(); },
     [](FaultMatrixTest&) {
         const Grid list = MainWindow().GridNamed("高级表格1");
         EXPECT_FALSE(list.CellText(1, 1).empty()) << "the code, read at the double click";
         EXPECT_EQ(list.CellText(1, 2), "");
         EXPECT_EQ(list.CellColor(1, 12), RgbGreen);
         ExpectEmptyDetail();
     },
     [](FaultMatrixTest&) {
         EXPECT_FALSE(MainWindow().GridNamed("高级表格1").CellText(1, 2).empty());
         EXPECT_FALSE(MainLabel("标签11").Caption().empty());
     }},
    {"Detail",
     [](FaultMatrixTest& t, const std::string& base) {
         const int row = ++t.detailRow; // another row each time: the cursor has to move
         const demo::Fund& fund = t.Market().Funds()[static_cast<std::size_t>(row * 11)];
         ShowListRow(row, {Utf8ToText(fund.name), fund.code});
         t.UsePortalBase(base);
         ClickCell(FindControl<GridWidget>(MainWindow(), "高级表格1"), row, 0);
     },
     [] { return !DetailLoadRunning(); }, [](FaultMatrixTest&) { ExpectEmptyDetail(); },
     [](FaultMatrixTest&) {
         EXPECT_FALSE(MainLabel("标签11").Caption().empty());
         EXPECT_FALSE(MainWindow().GridNamed("高级表格5").CellText(1, 1).empty());
     }},
    {"NetValueImages", [](FaultMatrixTest& t, const std::string& base) { t.OpenChart(base); },
     [] { return !ChartLoadsRunning(); },
     [](FaultMatrixTest& t) {
         EXPECT_FALSE(t.pictureShown);
         EXPECT_TRUE(t.Said("坐标数据获取失败"));
         EXPECT_EQ(t.chartRows, 0) << "nothing drawn";
     },
     [](FaultMatrixTest& t) {
         EXPECT_TRUE(t.pictureShown);
         EXPECT_EQ(t.chartRows, 2);
     }},
    {"Comparison",
     [](FaultMatrixTest& t, const std::string& base) {
         t.OpenChart(t.SoundBase(), [&t, base] {
             const Text month = State().ChartState.horizontalSpec;
             t.messages.Clear();
             t.UsePortalBase(base);
             Click(FindControl(ChartWindow(), "按钮1")); // 近1周
             if (t.ChartCloses) {
                 WaitUntil([&t] { return t.FaultyRequests() > 0; });
                 return;
             }
             WaitUntil([] { return !ChartLoadsRunning(); }, LoadDeadlineMs);
             t.chartRedrawn = State().ChartState.horizontalSpec != month;
         });
     },
     [] { return !ChartLoadsRunning(); },
     [](FaultMatrixTest& t) {
         EXPECT_TRUE(t.Said("坐标数据获取失败"));
         EXPECT_FALSE(t.chartRedrawn) << "the month chart stays";
     },
     [](FaultMatrixTest& t) {
         EXPECT_FALSE(t.Said("坐标数据获取失败"));
         EXPECT_TRUE(t.chartRedrawn);
     }},
    {"BasketCurves",
     [](FaultMatrixTest& t, const std::string& base) {
         if (!BasketWindow().Exists()) {
             OpenBasket(t, t.SoundBase());
             WaitUntil([] { return !BasketLoadsRunning(); }, LoadDeadlineMs);
         }
         t.UsePortalBase(base);
         Click(FindControl(BasketWindow(), "近1周钮"));
     },
     [] { return !BasketLoadsRunning(); },
     [](FaultMatrixTest& t) {
         EXPECT_TRUE(t.Said("坐标数据获取失败"));
         EXPECT_EQ(BasketCell(BasketRiskTableName, 1, 1), "--") << "nothing of the year before";
         EXPECT_EQ(BasketCell(BasketCorrelationName, 1, 2), "--");
         EXPECT_TRUE(BasketCell(BasketOverlapName, 1, 2).ends_with(")")) << "not refetched";
         EXPECT_EQ(State().BasketChartState.rowCount, 0) << "the panel left blank";
     },
     [](FaultMatrixTest& t) {
         EXPECT_FALSE(t.Said("坐标数据获取失败"));
         EXPECT_TRUE(BasketCell(BasketRiskTableName, 2, 1).ends_with("%"));
         EXPECT_EQ(State().BasketChartState.rowCount, 3);
         EXPECT_EQ(BasketWindow().LabelNamed(BasketTitleName).Caption(),
                   "近1周收益率走势对比图"_gbk);
     }},
    {"BasketHoldings", [](FaultMatrixTest& t, const std::string& base) { OpenBasket(t, base); },
     [] { return BasketWindow().Exists() && !BasketLoadsRunning(); },
     [](FaultMatrixTest&) {
         for (int row = 1; row <= 2; ++row)
             for (int column = 1; column <= 2; ++column)
                 EXPECT_EQ(BasketCell(BasketOverlapName, row, column), "--") << row << column;
         EXPECT_EQ(BasketCell(BasketRiskTableName, 1, 1), "--");
     },
     [](FaultMatrixTest&) {
         EXPECT_TRUE(BasketCell(BasketOverlapName, 1, 2).ends_with(")"));
         EXPECT_TRUE(BasketCell(BasketOverlapName, 2, 2).ends_with(")"));
         EXPECT_TRUE(BasketCell(BasketRiskTableName, 1, 1).ends_with("%"));
     }},
    {"Watchlist",
     [](FaultMatrixTest& t, const std::string& base) {
         PrepareWatchlist(t);
         t.UsePortalBase(base);
         if (WatchlistWindow().Exists())
             Click(FindControl(WatchlistWindow(), WatchlistRefreshName));
         else
             Click(FindControl(MainWindow(), "自选基金钮"));
     },
     [] { return WatchlistWindow().Exists() && !WatchlistRefreshRunning(); },
     [](FaultMatrixTest&) {
         // The funds from the store, nothing of the portal's, greyed as never updated.
         EXPECT_EQ(WatchlistWindow().GridNamed(WatchlistGridName).RowCount(), 4);
         EXPECT_EQ(WatchlistCell(1, WatchlistColumn::Nav), "--");
         EXPECT_EQ(WatchlistCell(1, WatchlistColumn::Estimate), "--");
         EXPECT_TRUE(State().Views.watchlist.funds.at(0).stale);
         EXPECT_TRUE(State().Views.watchlist.totals.stale);
         EXPECT_NE(TextToUtf8(WatchlistWindow().LabelNamed(WatchlistStatusName).Caption())
                       .find("2 只基金未能更新"),
                   std::string::npos);
     },
     [](FaultMatrixTest&) {
         EXPECT_NE(WatchlistCell(1, WatchlistColumn::Nav), "--");
         EXPECT_NE(WatchlistCell(1, WatchlistColumn::Estimate), "--");
         EXPECT_NE(WatchlistCell(2, WatchlistColumn::Nav), "--");
         EXPECT_FALSE(State().Views.watchlist.funds.at(0).stale);
         EXPECT_FALSE(State().Views.watchlist.totals.stale);
     }},
    {"UpdateCheck",
     [](FaultMatrixTest& t, const std::string& base) {
         t.UsePortalBase(base);
         CheckForUpdate();
     },
     [] { return !UpdateCheckRunning(); },
     [](FaultMatrixTest& t) { EXPECT_TRUE(t.Said("版本信息监测失败")); },
     [](FaultMatrixTest& t) { EXPECT_TRUE(t.messages.texts().empty()); }},
};

TEST_P(FaultMatrixTest, TheLoadEndsShowsItsFailureAndTheNextOneWorks) {
    const LoaderCase& loader = Loaders[std::get<0>(GetParam())];
    loader.run(*this, FaultyBase());
    ASSERT_TRUE(WaitUntil(loader.ended, LoadDeadlineMs)) << "ended within its timeouts";
    if (fault().completes)
        loader.expectSuccess(*this);
    else
        loader.expectFailure(*this);

    messages.Clear();
    SetRequestTimeouts(0, 0);
    loader.run(*this, SoundBase());
    ASSERT_TRUE(WaitUntil(loader.ended, LoadDeadlineMs));
    loader.expectSuccess(*this);
}

// Everything the main window shows, as text: title, labels, edit boxes, lists, grids.
QString Fingerprint() {
    QWidget* window = MainWindow().widget();
    QString all = window->windowTitle();
    for (QLabel* label : window->findChildren<QLabel*>())
        all += label->objectName() + label->text();
    for (QLineEdit* edit : window->findChildren<QLineEdit*>())
        all += edit->text();
    for (QTreeWidget* list : window->findChildren<QTreeWidget*>())
        all += QString::number(list->topLevelItemCount()) + QString::number(list->isHidden());
    for (QTableWidget* grid : window->findChildren<QTableWidget*>()) {
        for (int row = 0; row < grid->rowCount(); ++row)
            for (int column = 0; column < grid->columnCount(); ++column)
                if (const QTableWidgetItem* item = grid->item(row, column))
                    all += item->text() + item->foreground().color().name();
    }
    return all;
}

// The watchlist's figures as values: its window is gone once closed.
Text WatchlistFingerprint() {
    const WatchlistView& view = State().Views.watchlist;
    Text all = view.status.text;
    for (const WatchlistRow& row : view.funds) {
        for (const Figure& cell : row.cells)
            all += cell.text + (cell.color ? "c" : "");
    }
    return all;
}

using ClosingMidLoadTest = FaultMatrixTest;

// The window the loader writes into closes once its first request has reached the (slow)
// portal; its answers come after.
TEST_P(ClosingMidLoadTest, NothingIsWrittenAfterTheWindowHasClosed) {
    const LoaderCase& loader = Loaders[std::get<0>(GetParam())];
    const bool chart =
        std::string(loader.name) == "NetValueImages" || std::string(loader.name) == "Comparison";
    const std::size_t before = FaultyRequests();
    if (chart) {
        ChartCloses = true;
        loader.run(*this, FaultyBase());
    } else {
        loader.run(*this, FaultyBase());
        ASSERT_TRUE(WaitUntil([&] { return FaultyRequests() > before; }));
        // The watchlist's own window closes, the main window stays.
        if (std::string(loader.name) == "Watchlist")
            WatchlistWindow().Close();
        else
            MainWindow().Close();
    }
    const QString shown = Fingerprint();
    const Text watched = WatchlistFingerprint();
    WaitUntil([] { return false; }, 3500); // every held answer has come back by now
    EXPECT_EQ(Fingerprint(), shown);
    EXPECT_EQ(WatchlistFingerprint(), watched);
    EXPECT_TRUE(State().ChartState.ReadoutTable.empty());
    EXPECT_TRUE(State().BasketChartState.ReadoutTable.empty());
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
    return std::string(Loaders[std::get<0>(info.param)].name) + "_" +
           Faults[std::get<1>(info.param)].name;
}

INSTANTIATE_TEST_SUITE_P(EveryLoaderEveryFault, FaultMatrixTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(Loaders))),
                                            ::testing::Range(0, int(std::size(Faults)))),
                         CaseName);

constexpr int SlowFault = 3;
INSTANTIATE_TEST_SUITE_P(EveryLoader, ClosingMidLoadTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(Loaders))),
                                            ::testing::Values(SlowFault)),
                         CaseName);

} // namespace
} // namespace fundlens::test
