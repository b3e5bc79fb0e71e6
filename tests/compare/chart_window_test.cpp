// The chart window driven through the main window: pinning a fund, opening the window, the
// images and the first chart, the period buttons, the read-out, the control dump and removing
// the fund; the latest period wins; closing the window mid-load.
#include "chart/periods.h"
#include "portal/profile.h"
#include "runs/runs.h"
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/picture_box.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"
#include "web/web_request.h"

#include <QMenu>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <httplib.h>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace fundlens::test {
namespace {

using json = nlohmann::json;

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(FUNDLENS_TEST_DATA) + "/portal/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Funds A and B of the saved compare answers.
const Text CodeA = "005669", CodeB = "005939";
// The saved answer for A and B, and one whose last date is another (its labels end in "09").
const std::string TwoFunds = ReadData("compare_two.txt");
const std::string LaterTwoFunds = [] {
    std::string body = TwoFunds;
    body.replace(body.rfind("2026/12/07"), 10, "2026/12/09");
    return body;
}();
const std::string NoData = ReadData("compare_no_data.txt");
constexpr const char* TwoFundsSpec = "4|01||02||03||04||07|";
constexpr const char* LaterSpec = "4|01||02||03||04||09|";

// The compare endpoint of our own: each period answers with the body set for it, after its
// delay or once released.
class CompareServer {
public:
    CompareServer() {
        m_server.Get("/FundCompare/LJSYL", [this](const httplib::Request& req,
                                                  httplib::Response& res) { Answer(req, res); });
        m_server.set_keep_alive_max_count(1);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~CompareServer() {
        Release();
        m_server.stop();
        m_thread.join();
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    void Set(const std::string& period, const std::string& body, int delayMs = 0) {
        std::lock_guard lock(m_mutex);
        m_replies[period] = {body, delayMs};
        m_released = false;
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_wake.notify_all();
    }
    // Requests that arrived, and those whose wait is over (whether the client still listened).
    int Asked(const std::string& period) { return Count(m_asked, period); }
    int Answered(const std::string& period) { return Count(m_answered, period); }

private:
    void Answer(const httplib::Request& req, httplib::Response& res) {
        const std::string period = req.get_param_value("c");
        std::unique_lock lock(m_mutex);
        ++m_asked[period];
        const auto [body, delayMs] = m_replies[period];
        m_wake.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return m_released; });
        ++m_answered[period];
        res.set_content(body, "application/javascript; charset=utf-8");
    }
    int Count(std::map<std::string, int>& counts, const std::string& period) {
        std::lock_guard lock(m_mutex);
        return counts[period];
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_released = false;
    std::map<std::string, std::pair<std::string, int>> m_replies;
    std::map<std::string, int> m_asked, m_answered;
};

class ChartWindowTest : public ProgramFixture {
protected:
    // Clicks 走势图 and runs `steps` while the chart window is open; then closes it.
    void WithChartWindow(const std::function<void(const Window&)>& steps) {
        const auto installed = Routines().chartWindowCreated;
        Routines().chartWindowCreated = [&] {
            installed();
            const Window chart = ChartWindow();
            QTimer::singleShot(0, chart.widget(), [&, chart] {
                steps(chart);
                Window(chart).Close();
            });
        };
        Click(FindControl(MainWindow(), "净值走势钮"));
        Routines().chartWindowCreated = installed;
        ProcessEvents(); // the closed window goes
    }

    // The compare endpoint at `server`, everything else at the demo portal.
    void UseCompareServer(const CompareServer& server) {
        PortalProfile profile = ProfileAtBase(portal()->BaseUrl());
        profile.api = server.Base();
        SetPortalProfile(profile);
    }

    static void PinAandB() {
        State().CurrentFundCode = CodeA;
        State().CompareFundCode = CodeB;
    }

    static Text Title() { return ChartWindow().LabelNamed("标签2").Caption(); }
    static const ChartState& Chart() { return State().ChartState; }
    static QImage PictureIn(const char* box) {
        auto* picture = FindControl<PictureBoxWidget>(ChartWindow(), box);
        return picture ? picture->image() : QImage();
    }
    // The fund's net-value chart as the portal serves it.
    QImage ChartImageOf(const Text& code) {
        const Bytes png = WebRequestBytes(portal()->BaseUrl() + "/img/jjjz/" + code + ".png");
        return QImage::fromData(png.data(), static_cast<int>(png.size()));
    }
    demo::RecordedRequest LastCompareRequest() {
        demo::RecordedRequest found;
        for (const demo::RecordedRequest& request : portal()->Requests())
            if (request.path == "/FundCompare/LJSYL")
                found = request;
        return found;
    }
};

TEST_F(ChartWindowTest, NoFundToShowOpensNothing) {
    bool created = false;
    Routines().chartWindowCreated = [&] { created = true; };
    Click(FindControl(MainWindow(), "净值走势钮"));
    EXPECT_EQ(messages.texts(), std::vector<Text>{"请选择要查看的基金"_gbk});
    EXPECT_FALSE(created);
    // Only an OK button and no icon; the dump says so.
    ASSERT_FALSE(MessagesShown().empty());
    EXPECT_EQ(MessagesShown().back().icon, MessageIcon::None);
    const json dump = json::parse(DumpText());
    EXPECT_EQ(dump["messages"].back()["icon"], "none");
    EXPECT_EQ(dump["messages"].back()["buttons"], "ok");
}

TEST_F(ChartWindowTest, PinOpenDrawSwitchPeriodsAndRemove) {
    const std::string dump = TempPath("compare_dump.json");
    SetDumpFile(dump);
    Click(FindControl(MainWindow(), "五星基金钮"));
    ASSERT_TRUE(WaitUntil([] { return MainWindow().Title().find("完毕"_gbk) != Text::npos; }));
    auto* list = FindControl<GridWidget>(MainWindow(), "高级表格1");
    const Text pinned = Grid(list).CellText(2, 1), current = Grid(list).CellText(3, 1);

    // 加入对比 on the second fund: its image on top, its curve alone.
    ClickCell(list, 2, 0);
    RightClickCell(list, 2, 0);
    QMenu* addMenu = mainForm()->controls().addMenu;
    ASSERT_TRUE(WaitUntil([&] { return addMenu->isVisible(); }));
    ClickMenuItem(addMenu, 0);
    ASSERT_TRUE(WaitUntil([&] { return State().CompareFundCode == pinned; }));
    WithChartWindow([&](const Window&) {
        ASSERT_TRUE(WaitUntil([] { return Chart().rowCount == 2; })); // after the images
        EXPECT_TRUE(PictureIn("图片框1") == ChartImageOf(pinned));
        EXPECT_TRUE(PictureIn("图片框2").isNull());
        EXPECT_EQ(State().CompareCodes, pinned);
        EXPECT_EQ(Chart().ReadoutTable[1][0], pinned);
    });

    // The third fund opened: both images and curves, then every period button.
    ClickCell(list, 3, 0);
    State().CurrentFundCode = current; // what the detail loader records
    QImage shownAtClose;
    WithChartWindow([&](const Window& chart) {
        ASSERT_TRUE(WaitUntil([] { return Chart().rowCount == 3; }));
        EXPECT_EQ(State().CompareCodes, current + "," + pinned);
        EXPECT_TRUE(PictureIn("图片框1") == ChartImageOf(current));
        EXPECT_TRUE(PictureIn("图片框2") == ChartImageOf(pinned));
        EXPECT_EQ(Chart().ReadoutTable[1][0], current);
        EXPECT_EQ(Chart().ReadoutTable[2][0], pinned);
        EXPECT_EQ(Title(), "") << "the opening writes no title";
        demo::RecordedRequest asked = LastCompareRequest();
        EXPECT_EQ(asked.query, "bzdm=" + current + "," + pinned +
                                   "&c=month&callback=jQuery18307015471687350752&_=1628388758953");
        EXPECT_EQ(std::count(asked.headers.begin(), asked.headers.end(),
                             std::pair<std::string, std::string>(
                                 "Referer", portal()->BaseUrl() + "/compare/?code=005669,005939")),
                  1);

        for (int button = 1; button <= PeriodButtons; ++button) {
            const Period period = *PeriodOfButton(button);
            Click(FindControl(chart, "按钮" + std::to_string(button)));
            ASSERT_TRUE(WaitUntil([&] { return Title() == period.title; })) << button;
            EXPECT_NE(LastCompareRequest().query.find("&c=" + period.key + "&"), std::string::npos);
            EXPECT_EQ(Chart().rowCount, 3);
        }
        EXPECT_EQ(Title(), "近3年月收益率走势对比图"_gbk);
        MoveMouse(FindControl(chart, "画板1"), QPoint(60, 150));
        EXPECT_EQ(Chart().boxX, 396) << "the read-out box, right of the mouse";
        shownAtClose = FindControl<DrawPanelWidget>(chart, "画板1")->canvas();
    });

    // The closed window's chart stays in the dump, its canvas beside it; the program forgets it.
    std::ifstream in(dump);
    const json saved = json::parse(in);
    const json& panel = saved["windows"]["chart"]["controls"]["画板1"]["chart"];
    EXPECT_EQ(panel["rowCount"], 3);
    EXPECT_EQ(panel["ReadoutTable"][1][0], current);
    EXPECT_EQ(panel["savedImage"], true);
    EXPECT_EQ(panel["boxX"], 396);
    EXPECT_EQ(saved["state"]["CompareCodes"], current + "," + pinned);
    const QImage png(QString::fromStdString(dump + ".chart.png"));
    EXPECT_TRUE(png.convertToFormat(QImage::Format_RGB32) == shownAtClose);
    EXPECT_EQ(Chart().rowCount, 0);
    EXPECT_FALSE(Chart().savedImage.has_value());

    // 删除对比 on the pinned row.
    auto* compareRows = FindControl<GridWidget>(MainWindow(), "高级表格2");
    ClickCell(compareRows, 1, 0);
    RightClickCell(compareRows, 1, 0);
    QMenu* removeMenu = mainForm()->controls().removeMenu;
    ASSERT_TRUE(WaitUntil([&] { return removeMenu->isVisible(); }));
    ClickMenuItem(removeMenu, 0);
    ASSERT_TRUE(WaitUntil([] { return State().CompareFundCode.empty(); }));
    EXPECT_EQ(Grid(compareRows).CellText(1, 1), "");
    EXPECT_EQ(State().CurrentFundCode, current);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ChartWindowTest, TheLatestPeriodWins) {
    CompareServer server;
    UseCompareServer(server);
    PinAandB();
    server.Set("month", NoData, 500); // the opening load: slow, and would fail
    server.Set("week", TwoFunds);
    server.Set("threemonth", LaterTwoFunds, 500);
    server.Set("sixmonth", TwoFunds);
    WithChartWindow([&](const Window& chart) {
        // A button pressed while the opening load waits.
        ASSERT_TRUE(WaitUntil([&] { return server.Asked("month") == 1; }));
        Click(FindControl(chart, "按钮1"));
        ASSERT_TRUE(WaitUntil([] { return Title() == PeriodOfButton(1)->title; }));
        EXPECT_EQ(Chart().horizontalSpec, TwoFundsSpec);
        ASSERT_TRUE(WaitUntil([&] { return server.Answered("month") == 1; }));
        EXPECT_FALSE(WaitUntil([&] { return !messages.shown().empty(); }, 300))
            << "the overtaken opening load tells nothing";

        // A button pressed while another button's load waits.
        Click(FindControl(chart, "按钮3"));
        ASSERT_TRUE(WaitUntil([&] { return server.Asked("threemonth") == 1; }));
        Click(FindControl(chart, "按钮4"));
        ASSERT_TRUE(WaitUntil([] { return Title() == PeriodOfButton(4)->title; }));
        ASSERT_TRUE(WaitUntil([&] { return server.Answered("threemonth") == 1; }));
        EXPECT_FALSE(WaitUntil([] { return Chart().horizontalSpec == LaterSpec; }, 300))
            << "the overtaken load draws nothing";
        EXPECT_EQ(Title(), PeriodOfButton(4)->title);
    });
    EXPECT_TRUE(messages.shown().empty());
}

// The failure box of a period's load waits on the loader's stack: what happens meanwhile (a newer
// period pressed, the window closed) is what counts when it returns.
TEST_F(ChartWindowTest, AFailureBoxOutlivedByItsRunOrItsWindow) {
    for (const bool closeWindow : {false, true}) {
        SCOPED_TRACE(closeWindow ? "the window closed" : "a newer period pressed");
        CompareServer server;
        UseCompareServer(server);
        PinAandB();
        server.Set("month", TwoFunds);
        server.Set("threemonth", NoData);
        server.Set("sixmonth", LaterTwoFunds, 200);
        int boxes = 0;
        const MessageHandler scripted = SetMessageHandler([&](const Text&, MessageButtons) {
            ++boxes;
            if (closeWindow)
                ChartWindow().Close();
            else
                Click(FindControl(ChartWindow(), "按钮4"));
            return MessageAnswer::Ok;
        });
        WithChartWindow([&](const Window& chart) {
            ASSERT_TRUE(WaitUntil([] { return Chart().rowCount == 3; }));
            Click(FindControl(chart, "按钮3"));
            ASSERT_TRUE(WaitUntil([&] { return boxes == 1; }));
            if (closeWindow)
                return;
            ASSERT_TRUE(WaitUntil([] { return Chart().horizontalSpec == LaterSpec; }));
            EXPECT_EQ(Title(), PeriodOfButton(4)->title) << "the newer period's title only";
        });
        SetMessageHandler(scripted);
        EXPECT_EQ(boxes, 1);
        EXPECT_FALSE(ChartWindow().Exists());
        EXPECT_FALSE(IsRunning(RunName::Comparison));
    }
}

TEST_F(ChartWindowTest, ChartStateBelongsToItsWindow) {
    CompareServer server;
    UseCompareServer(server);
    PinAandB();
    server.Set("month", TwoFunds);
    WithChartWindow(
        [](const Window&) { ASSERT_TRUE(WaitUntil([] { return Chart().rowCount == 3; })); });
    EXPECT_FALSE(Chart().savedImage.has_value()) << "forgotten with its window";

    // Reopened, the first load fails: nothing of the chart before, also under the mouse.
    server.Set("month", NoData);
    WithChartWindow([&](const Window& chart) {
        ASSERT_TRUE(WaitUntil([&] { return !messages.shown().empty(); }));
        EXPECT_EQ(messages.texts(), std::vector<Text>{"坐标数据获取失败"_gbk});
        auto* panel = FindControl<DrawPanelWidget>(chart, "画板1");
        MoveMouse(panel, QPoint(100, 150));
        QImage blank(panel->canvas().size(), panel->canvas().format());
        blank.fill(Qt::white);
        EXPECT_TRUE(panel->canvas() == blank);
        EXPECT_FALSE(Chart().savedImage.has_value());
    });

    // Closed while its first load is in flight: nothing is written afterwards.
    messages.Clear();
    server.Set("month", TwoFunds, 60000);
    WithChartWindow(
        [&](const Window&) { ASSERT_TRUE(WaitUntil([&] { return server.Asked("month") == 3; })); });
    server.Release();
    ASSERT_TRUE(WaitUntil([&] { return server.Answered("month") == 3; }));
    EXPECT_FALSE(WaitUntil([] { return Chart().rowCount != 0; }, 300));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(ChartWindow().Exists());
}

} // namespace
} // namespace fundlens::test
