// The fund lists end to end: clicks on the real windows against the demo portal in-process.
#include "demo-portal/calendar.h"
#include "demo-portal/universe.h"
#include "lists/fund_lists.h"
#include "lists/rank_list.h"
#include "portal/sector_table.h"
#include "shell/event_routines.h"
#include "shell/grid_widget.h"
#include "shell/program_state.h"
#include "shell/rgb.h"
#include "shell/windows.h"
#include "support/gui_test.h"

#include <QTimer>
#include <algorithm>
#include <set>

namespace fundlens::test {
namespace {

const char* const FiveStarRnd = "&pn=20&zf=diy&sh=list&rnd=0.01942454964583651";
const char* const SectorRnd = "&pn=20&zf=diy&sh=list&rnd=0.6496325281618789";

std::string Utf8(const Text& text) {
    return TextToUtf8(text);
}

Text Percent(double value) {
    return demo::HasValue(value) ? demo::FormatFixed(value, 2) + "%" : Text("-");
}

// What the fund list should show for a fund, as the portal's figures say.
std::array<Text, 13> ExpectedCells(const demo::Universe& universe, const demo::Fund& fund) {
    using demo::Period;
    const demo::FundReturns& r = fund.returns;
    return {Utf8ToText(fund.name),
            fund.code,
            demo::FormatDay(universe.LastTradingDay()),
            demo::FormatFixed(demo::Universe::NavAt(fund, universe.LastIndex()), 4),
            Percent(r.day),
            Percent(r[Period::Week]),
            Percent(r[Period::Month]),
            Percent(r[Period::ThreeMonths]),
            Percent(r[Period::SixMonths]),
            Percent(r[Period::YearToDate]),
            Percent(r[Period::OneYear]),
            Percent(r[Period::TwoYears]),
            Percent(r[Period::ThreeYears])};
}

Rgb ExpectedColor(double value) {
    if (!demo::HasValue(value) || std::abs(value) <= 1e-7)
        return RgbGrey;
    if (value - 50 > 1e-7)
        return RgbBlue;
    return value > 0 ? RgbRed : RgbGreen;
}

class FundListsTest : public ProgramFixture {
protected:
    void SetUp() override { Start({}); }

    void Start(demo::PortalOptions options) {
        options.date = "2026-12-08";
        InstallSeams();
        ASSERT_TRUE(StartPortal(options));
        StartMainWindow();
        messages.Clear();
        portal()->ClearRequests();
    }

    const demo::Universe& universe() { return portal()->universe(); }
    Grid FundList() { return MainWindow().GridNamed("高级表格1"); }
    std::string Title() { return Utf8(MainWindow().Title()); }
    bool ButtonEnabled(const char* name) { return MainWindow().ButtonNamed(name).Enabled(); }
    void ClickMain(const char* name) { Click(FindControl(MainWindow(), name)); }
    void ClickHeaderOf(int column) {
        ClickHeader(FindControl<GridWidget>(MainWindow(), "高级表格1"), column);
    }
    // Loads run in the background: waits until none runs any more.
    static void WaitForLists() {
        ASSERT_TRUE(WaitUntil([] { return !ListLoadRunning(); }));
    }
    void LoadFiveStar() {
        ClickMain("五星基金钮");
        WaitForLists();
    }
    void SortBy(int column) {
        ClickHeaderOf(column);
        WaitForLists();
    }

    // Opens the sector window, clicks a sector button and waits until the window is gone.
    void ChooseSector(int button) {
        ClickMain("选择板块钮");
        ASSERT_TRUE(SectorWindow().Exists());
        Click(FindControl(SectorWindow(), "按钮" + std::to_string(button)));
        ASSERT_TRUE(WaitUntil([] { return !SectorWindow().Exists(); }));
    }

    // The queries the ranking endpoint received, in order.
    std::vector<std::string> RankingQueries() {
        std::vector<std::string> queries;
        for (const demo::RecordedRequest& request : portal()->Requests())
            if (request.path == "/data/FundGuideapi.aspx")
                queries.push_back(request.query);
        return queries;
    }

    // The codes shown, from row 1 down to the first empty code cell.
    std::vector<std::string> ShownCodes() {
        std::vector<std::string> codes;
        Grid grid = FundList();
        for (int row = 1; row < grid.RowCount() && !grid.CellText(row, 1).empty(); ++row)
            codes.push_back(grid.CellText(row, 1));
        return codes;
    }

    std::set<std::string> CodesOf(const std::vector<int>& funds) {
        std::set<std::string> codes;
        for (int index : funds)
            codes.insert(universe().Funds()[index].code);
        return codes;
    }

    const Sector* SectorWithMembers(std::size_t count) {
        for (const Sector& sector : SectorTable())
            if (universe().SectorMembers(sector.code).size() == count)
                return &sector;
        return nullptr;
    }
};

TEST_F(FundListsTest, FiveStarListShowsEveryFundWithItsFiguresAndColours) {
    LoadFiveStar();

    const std::vector<int> fiveStar = universe().RatedFunds(5);
    const int count = static_cast<int>(fiveStar.size());
    ASSERT_GT(count, 240);
    EXPECT_EQ(Title(), "五星基金加载完毕，共" + std::to_string(count) + "支基金");
    const std::vector<std::string> codes = ShownCodes();
    ASSERT_EQ(codes.size(), fiveStar.size()) << "a row for every record";
    EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()), CodesOf(fiveStar));

    Grid grid = FundList();
    EXPECT_GE(grid.RowCount(), count + 1);
    for (int row = 1; row <= count; ++row) {
        const demo::Fund* fund = universe().FindFund(grid.CellText(row, 1));
        ASSERT_NE(fund, nullptr);
        const auto expected = ExpectedCells(universe(), *fund);
        for (int column = 0; column < 13; ++column)
            ASSERT_EQ(grid.CellText(row, column), expected[column])
                << "row " << row << " column " << column;
        const demo::FundReturns& r = fund->returns;
        const double figures[9] = {r.day,       r.period[0], r.period[1], r.period[2], r.period[3],
                                   r.period[4], r.period[5], r.period[6], r.period[7]};
        for (int column = 4; column < 13; ++column)
            ASSERT_EQ(grid.CellColor(row, column), ExpectedColor(figures[column - 4]))
                << "row " << row << " column " << column;
    }
    EXPECT_TRUE(ButtonEnabled("五星基金钮"));
    EXPECT_TRUE(ButtonEnabled("选择板块钮"));
    EXPECT_TRUE(ButtonEnabled("净值走势钮"));
    EXPECT_EQ(State().ListIsFiveStar, 1);
}

// The pages go out together after the probe; each is asked for once.
std::vector<std::string> ProbeThenPagesByNumber(std::vector<std::string> queries) {
    if (queries.size() > 1) {
        std::sort(queries.begin() + 1, queries.end(),
                  [](const std::string& a, const std::string& b) {
                      auto page = [](const std::string& q) {
                          return std::stoi(q.substr(q.find("&pi=") + 4));
                      };
                      return page(a) < page(b);
                  });
    }
    return queries;
}

TEST_F(FundListsTest, FiveStarListAsksForTheProbeAndEveryPageOnce) {
    LoadFiveStar();
    const int pages = static_cast<int>((universe().RatedFunds(5).size() + 19) / 20);
    std::vector<std::string> expected{"dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1" +
                                      std::string(FiveStarRnd)};
    for (int page = 1; page <= pages; ++page)
        expected.push_back("dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=" + std::to_string(page) +
                           FiveStarRnd);
    EXPECT_EQ(ProbeThenPagesByNumber(RankingQueries()), expected);
}

TEST_F(FundListsTest, TitleReportsProgressPageByPage) {
    std::vector<std::string> titles;
    QObject::connect(MainWindow().widget(), &QWidget::windowTitleChanged, MainWindow().widget(),
                     [&](const QString& title) { titles.push_back(title.toStdString()); });
    LoadFiveStar();
    const std::size_t count = universe().RatedFunds(5).size();
    ASSERT_EQ(titles.size(), (count + 19) / 20 + 1);
    for (std::size_t page = 1; page < titles.size(); ++page) {
        const std::size_t rows = std::min(page * 20, count);
        EXPECT_EQ(titles[page - 1], "五星基金正在加载第" + std::to_string(rows) + "条");
    }
    EXPECT_EQ(titles.back(), "五星基金加载完毕，共" + std::to_string(count) + "支基金");
}

TEST_F(FundListsTest, LoadingDoesNotPassTheFocusToTheSearchBox) {
    int searchVisits = 0;
    Routines().searchFocused = [&] { ++searchVisits; };
    QWidget* button = FindControl(MainWindow(), "五星基金钮");
    button->activateWindow();
    button->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return button->hasFocus(); }));
    LoadFiveStar();
    EXPECT_EQ(searchVisits, 0) << "the disabled button handed its focus on";
    EXPECT_FALSE(FindControl(MainWindow(), "搜索框")->hasFocus());
}

TEST_F(FundListsTest, FailedLoadsSayTheyFailed) {
    UsePortalBase(ClosedPortBase());
    LoadFiveStar();
    EXPECT_EQ(Title(), "五星基金加载失败，请重试");
    EXPECT_TRUE(ShownCodes().empty());
    EXPECT_TRUE(ButtonEnabled("五星基金钮"));
    EXPECT_TRUE(ButtonEnabled("选择板块钮"));
    EXPECT_TRUE(ButtonEnabled("净值走势钮"));
}

TEST_F(FundListsTest, GarbageAnswersFailTheLoad) {
    TearDown();
    demo::PortalOptions options;
    options.fault = demo::FaultMode::Garbage;
    Start(options);
    LoadFiveStar();
    EXPECT_EQ(Title(), "五星基金加载失败，请重试");
    EXPECT_TRUE(ShownCodes().empty());
}

TEST_F(FundListsTest, AOnePageListShowsAllItsRecords) {
    const Sector* sector = SectorWithMembers(20);
    ASSERT_NE(sector, nullptr) << "the portal has a sector of exactly 20 funds";
    ChooseSector(sector->button);
    EXPECT_EQ(Title(), std::string(sector->caption) + "板块加载完毕，共20支基金");
    EXPECT_EQ(ShownCodes().size(), 20u) << "the twentieth record has a row too";
    EXPECT_EQ(FundList().RowCount(), 21);
}

TEST_F(FundListsTest, AShorterListAfterALongerOneLeavesNoOldRows) {
    LoadFiveStar();
    const int rowsBefore = FundList().RowCount();
    ASSERT_GE(rowsBefore, 260);
    const Sector* sector = SectorWithMembers(20);
    ASSERT_NE(sector, nullptr);
    ChooseSector(sector->button);
    EXPECT_EQ(ShownCodes().size(), 20u);
    Grid grid = FundList();
    EXPECT_EQ(grid.RowCount(), rowsBefore) << "a one-page list keeps the row count";
    for (int row = 21; row < grid.RowCount(); ++row)
        for (int column = 0; column < 13; ++column)
            ASSERT_EQ(grid.CellText(row, column), "") << row << "," << column;
    const auto codes = ShownCodes();
    EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()),
              CodesOf(universe().SectorMembers(sector->code)));
}

TEST_F(FundListsTest, EverySectorButtonLoadsItsSectorUnderItsCaption) {
    for (const Sector& sector : SectorTable()) {
        SCOPED_TRACE(sector.button);
        portal()->ClearRequests();
        ChooseSector(sector.button);
        if (HasFailure())
            return;
        const std::vector<std::string> queries = RankingQueries();
        ASSERT_FALSE(queries.empty());
        EXPECT_EQ(queries.front(), "dt=4&sd=&ed=&tp=BK0" + std::to_string(sector.code) +
                                       "&sc=3y&st=desc&pi=1" + SectorRnd);
        const std::size_t members = universe().SectorMembers(sector.code).size();
        const std::string caption(sector.caption);
        EXPECT_EQ(Utf8(State().CurrentSectorName), caption);
        EXPECT_EQ(State().CurrentSectorCode, sector.code);
        if (members == 0)
            EXPECT_EQ(Title(), caption + "板块加载失败，请重试");
        else
            EXPECT_EQ(Title(), caption + "板块加载完毕，共" + std::to_string(members) + "支基金");
        EXPECT_EQ(ShownCodes().size(), members);
        EXPECT_TRUE(ButtonEnabled("选择板块钮"));
    }
}

TEST_F(FundListsTest, FirstSectorLoadUsesTheDefaultOrderLaterOnesTheEmptySort) {
    const Sector* sector = SectorWithMembers(150);
    if (!sector) {
        for (const Sector& s : SectorTable())
            if (universe().SectorMembers(s.code).size() > 40)
                sector = &s;
    }
    ASSERT_NE(sector, nullptr);
    const std::string bk = "dt=4&sd=&ed=&tp=BK0" + std::to_string(sector->code);
    const std::size_t pages = (universe().SectorMembers(sector->code).size() + 19) / 20;

    ASSERT_EQ(State().FirstSectorLoad, 1);
    ChooseSector(sector->button);
    std::vector<std::string> expected{bk + "&sc=3y&st=desc&pi=1" + SectorRnd};
    for (std::size_t page = 1; page <= pages; ++page)
        expected.push_back(bk + "&sc=3y&st=desc&pi=" + std::to_string(page) + SectorRnd);
    EXPECT_EQ(ProbeThenPagesByNumber(RankingQueries()), expected);
    EXPECT_EQ(State().FirstSectorLoad, 0) << "set when the window was destroyed";

    portal()->ClearRequests();
    ChooseSector(sector->button);
    expected = {bk + "&sc=3y&st=desc&pi=1" + SectorRnd};
    for (std::size_t page = 1; page <= pages; ++page)
        expected.push_back(bk + "&sc=&st=&pi=" + std::to_string(page) + SectorRnd);
    EXPECT_EQ(ProbeThenPagesByNumber(RankingQueries()), expected);
    EXPECT_EQ(ShownCodes().size(), universe().SectorMembers(sector->code).size());
}

TEST_F(FundListsTest, SectorChooserIsDisabledWhileTheWindowIsOpen) {
    ClickMain("选择板块钮");
    ASSERT_TRUE(SectorWindow().Exists());
    EXPECT_FALSE(ButtonEnabled("选择板块钮"));
    EXPECT_EQ(State().ListIsFiveStar, 0);

    // Closed with its close box: the chooser is usable again and later loads use the
    // sorted form.
    SectorWindow().Close();
    ASSERT_TRUE(WaitUntil([] { return !SectorWindow().Exists(); }));
    EXPECT_TRUE(ButtonEnabled("选择板块钮"));
    EXPECT_EQ(State().FirstSectorLoad, 0);
}

TEST_F(FundListsTest, SortReloadOfASectorListSendsKeyAndOrder) {
    const Sector& sector = SectorTable()[92]; // 白酒
    ChooseSector(sector.button);
    portal()->ClearRequests();
    SortBy(10); // 近一年
    const std::string bk = "dt=4&sd=&ed=&tp=BK0" + std::to_string(sector.code);
    const std::vector<std::string> queries = ProbeThenPagesByNumber(RankingQueries());
    ASSERT_GE(queries.size(), 2u);
    EXPECT_EQ(queries[0], bk + "&sc=3y&st=desc&pi=1" + SectorRnd);
    for (std::size_t page = 1; page < queries.size(); ++page)
        EXPECT_EQ(queries[page], bk + "&sc=1n&st=desc&pi=" + std::to_string(page) + SectorRnd);
    EXPECT_EQ(Title().rfind(std::string(sector.caption) + "板块加载完毕", 0), 0u) << Title();
}

TEST_F(FundListsTest, HeaderClicksSortByTheColumnsPeriodTogglingTheOrder) {
    LoadFiveStar();
    ASSERT_EQ(State().SortAscendingNext, 0);
    struct Step {
        int column;
        const char* query; // of the first page; null: no request at all
    };
    const Step steps[] = {
        {4, "sc=r&st=desc&pi=1"},
        {4, "sc=r&st=asc&pi=1"},
        {5, "sc=z&st=desc&pi=1"},
        {0, nullptr},
        {1, nullptr},
        {2, nullptr},
        {3, nullptr},
        {12, "sc=3n&st=asc&pi=1"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.column);
        portal()->ClearRequests();
        SortBy(step.column);
        const std::vector<std::string> queries = ProbeThenPagesByNumber(RankingQueries());
        if (!step.query) {
            EXPECT_TRUE(queries.empty());
            continue;
        }
        ASSERT_GE(queries.size(), 2u);
        EXPECT_EQ(queries[1], "dt=4&sd=&ed=&rt=sz,5&" + std::string(step.query) + FiveStarRnd);
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(FundListsTest, SortedListIsShownInThePortalsOrder) {
    LoadFiveStar();
    SortBy(4); // 日增长率, descending
    Grid grid = FundList();
    const auto codes = ShownCodes();
    ASSERT_EQ(codes.size(), universe().RatedFunds(5).size());
    double previous = 1e9;
    bool emptySeen = false;
    for (int row = 1; row <= static_cast<int>(codes.size()); ++row) {
        const Text cell = grid.CellText(row, 4);
        if (cell == "-") {
            emptySeen = true;
            continue;
        }
        ASSERT_FALSE(emptySeen) << "funds without a figure come last";
        const double value = TextToNumber(cell);
        ASSERT_LE(value, previous) << "row " << row;
        previous = value;
    }
}

TEST_F(FundListsTest, HeaderClickBeforeAnyListLoadsSectorZero) {
    SortBy(6);
    const std::vector<std::string> queries = RankingQueries();
    ASSERT_EQ(queries.size(), 1u) << "the probe finds no pages";
    EXPECT_EQ(queries[0], "dt=4&sd=&ed=&tp=BK00&sc=3y&st=desc&pi=1" + std::string(SectorRnd));
    EXPECT_EQ(Title(), "板块加载失败，请重试");
    EXPECT_EQ(State().SortAscendingNext, 1) << "a failed reload flips the order all the same";
}

TEST_F(FundListsTest, UnknownSectorEndsWithTheFailureTitle) {
    State().CurrentSectorName = "测试"_gbk;
    LoadSectorList(999);
    WaitForLists();
    EXPECT_EQ(Title(), "测试板块加载失败，请重试");
    EXPECT_EQ(State().CurrentSectorCode, 999);
    EXPECT_TRUE(ButtonEnabled("选择板块钮"));
}

class SlowPortalTest : public FundListsTest {
protected:
    void SetUp() override {
        demo::PortalOptions options;
        options.latencyMs = 30;
        Start(options);
    }

    // Runs `action` once the load that `start` begins has shown its first progress title.
    void DuringLoad(const std::function<void()>& start, std::function<void()> action) {
        bool ran = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, MainWindow().widget(), [&] {
            if (!ran && Title().find("正在加载") != std::string::npos) {
                ran = true;
                action();
            }
        });
        poll.start();
        start();
        WaitForLists();
        poll.stop();
        ASSERT_TRUE(ran) << "the action ran during the load";
    }
};

TEST_F(SlowPortalTest, HeaderClickDuringALoadIsRefusedWithoutFlippingTheOrder) {
    bool fiveStarDisabled = false;
    DuringLoad([&] { ClickMain("五星基金钮"); },
               [&] {
                   fiveStarDisabled = !ButtonEnabled("五星基金钮");
                   ClickHeaderOf(5);
                   ClickHeaderOf(1); // the title test comes first
               });
    EXPECT_TRUE(fiveStarDisabled) << "no second five-star load inside the first";
    ASSERT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(Utf8(messages.texts()[0]), "数据加载中，请稍后再试");
    EXPECT_EQ(State().SortAscendingNext, 0);
    for (const std::string& query : RankingQueries())
        EXPECT_EQ(query.find("sc=z"), std::string::npos);
    EXPECT_EQ(Title().rfind("五星基金加载完毕", 0), 0u);
}

TEST_F(SlowPortalTest, SectorChosenDuringAnotherLoadIsRefused) {
    ClickMain("选择板块钮");
    ASSERT_TRUE(SectorWindow().Exists());
    DuringLoad([&] { ClickMain("五星基金钮"); },
               [&] { Click(FindControl(SectorWindow(), "按钮1")); });
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(Utf8(messages.texts()[0]), "数据加载中，请稍后再试");
    EXPECT_TRUE(SectorWindow().Exists()) << "the window stays for another choice";
    for (const std::string& query : RankingQueries())
        EXPECT_EQ(query.find("tp=BK0425"), std::string::npos);
    EXPECT_EQ(Title().rfind("五星基金加载完毕", 0), 0u);
}

TEST_F(SlowPortalTest, HeaderClickDuringTheProbeIsRefusedToo) {
    // The progress title appears with the first page; the probe comes before it.
    bool ran = false;
    QTimer::singleShot(10, MainWindow().widget(), [&] {
        ran = true;
        ClickHeaderOf(7);
    });
    LoadFiveStar();
    ASSERT_TRUE(ran);
    ASSERT_EQ(messages.texts().size(), 1u);
    for (const std::string& query : RankingQueries())
        EXPECT_EQ(query.find("sc=3y"), std::string::npos);
}

} // namespace
} // namespace fundlens::test
