// How a list load meets its pages: requested together, written in page order whatever order
// they arrive in, a page that fails twice ending the load as a failure; and the list buttons'
// states while the sector window stays open.
#include "lists/rank_list.h"
#include "shell/windows.h"
#include "support/gui_test.h"
#include "support/local_server.h"

#include <QObject>
#include <QWidget>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace fundlens::test {
namespace {

// A ranking endpoint of our own: `pages` full pages; page p answers after delays[p] ms, and the
// pages in `failing` always answer 500.
class RankingServer {
public:
    RankingServer(int pages, std::map<int, int> delays, std::set<int> failing)
        : m_pages(pages), m_delays(std::move(delays)), m_failing(std::move(failing)),
          m_server(
              [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); }) {}

    std::string Base() const { return m_server.Base(); }
    int Asked(int page) {
        std::lock_guard lock(m_mutex);
        return m_asked[page];
    }
    static std::string CodeOf(int page, int record) {
        return std::to_string(100000 + (page - 1) * 20 + record);
    }

private:
    void Answer(const httplib::Request& req, httplib::Response& res) {
        const int page = std::stoi(req.get_param_value("pi"));
        {
            std::lock_guard lock(m_mutex);
            ++m_asked[page];
        }
        if (const auto delay = m_delays.find(page); delay != m_delays.end())
            std::this_thread::sleep_for(std::chrono::milliseconds(delay->second));
        if (m_failing.count(page)) {
            res.status = 500;
            res.set_content("<html>error</html>", "text/html");
            return;
        }
        std::string datas;
        for (int record = 0; record < 20; ++record) {
            datas += (record ? ",\"" : "\"") + CodeOf(page, record) +
                     ",基金,JJ,2026-12-08,1,1,1,1,1,1,1,1,1,1,1,2026-12-08,1.0000,0.10\"";
        }
        res.set_content("var rankData = {datas:[" + datas +
                            "],allPages:" + std::to_string(m_pages) + "}",
                        "text/plain; charset=utf-8");
    }

    int m_pages;
    std::map<int, int> m_delays;
    std::set<int> m_failing;
    std::mutex m_mutex;
    std::map<int, int> m_asked;
    LocalServer m_server; // last: it stops before the members its handler uses go
};

class ListLoadingTest : public ProgramFixture {
protected:
    std::vector<std::string> LoadFiveStarFrom(const RankingServer& server) {
        UsePortalBase(server.Base());
        std::vector<std::string> titles;
        QObject::connect(MainWindow().widget(), &QWidget::windowTitleChanged, MainWindow().widget(),
                         [&](const QString& title) { titles.push_back(title.toStdString()); });
        Click(FindControl(MainWindow(), "五星基金钮"));
        EXPECT_TRUE(WaitUntil([] { return !ListLoadRunning(); }));
        return titles;
    }
    std::string CodeAt(int row) { return MainWindow().GridNamed("高级表格1").CellText(row, 1); }
};

TEST_F(ListLoadingTest, PagesArrivingOutOfOrderAreWrittenInPageOrder) {
    RankingServer server(3, {{1, 400}, {2, 200}}, {}); // page 3 first, page 1 last
    const std::vector<std::string> titles = LoadFiveStarFrom(server);
    EXPECT_EQ(titles,
              (std::vector<std::string>{"五星基金正在加载第20条", "五星基金正在加载第40条",
                                        "五星基金正在加载第60条", "五星基金加载完毕，共60支基金"}));
    for (int row = 1; row <= 60; ++row)
        ASSERT_EQ(CodeAt(row), RankingServer::CodeOf((row - 1) / 20 + 1, (row - 1) % 20)) << row;
}

TEST_F(ListLoadingTest, APageThatFailsTwiceEndsTheLoadAsAFailure) {
    RankingServer server(3, {}, {2});
    const std::vector<std::string> titles = LoadFiveStarFrom(server);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(titles.back(), "五星基金加载失败，请重试");
    EXPECT_EQ(server.Asked(2), 2) << "asked once more before giving up";
    EXPECT_EQ(CodeAt(20), RankingServer::CodeOf(1, 19)) << "the rows loaded stay";
    EXPECT_EQ(CodeAt(21), "");
    EXPECT_TRUE(MainWindow().ButtonNamed("五星基金钮").Enabled());
}

TEST_F(ListLoadingTest, TheSectorChooserStaysDisabledWhileTheSectorWindowIsOpen) {
    Click(FindControl(MainWindow(), "选择板块钮"));
    ASSERT_TRUE(SectorWindow().Exists());
    Click(FindControl(MainWindow(), "五星基金钮"));
    EXPECT_FALSE(MainWindow().ButtonNamed("净值走势钮").Enabled());
    ASSERT_TRUE(WaitUntil([] { return !ListLoadRunning(); }));
    EXPECT_TRUE(MainWindow().ButtonNamed("五星基金钮").Enabled());
    EXPECT_TRUE(MainWindow().ButtonNamed("净值走势钮").Enabled());
    EXPECT_FALSE(MainWindow().ButtonNamed("选择板块钮").Enabled()) << "the window is still open";
    SectorWindow().Close();
    ASSERT_TRUE(WaitUntil([] { return !SectorWindow().Exists(); }));
    EXPECT_TRUE(MainWindow().ButtonNamed("选择板块钮").Enabled());
}

} // namespace
} // namespace fundlens::test
