// The search box: typing shows the portal's matches in a list of their height, focusing clears
// the box, the latest text wins over searches still in flight, a failed search shows the empty
// list.
#include "demo-portal/data_answers.h"
#include "demo-portal/universe.h"
#include "shell/windows.h"
#include "support/gui_test.h"
#include "support/local_server.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <thread>

namespace fundlens::test {
namespace {

class SearchBoxTest : public ProgramFixture {
protected:
    QLineEdit* Box() { return FindControl<QLineEdit>(MainWindow(), "搜索框"); }
    ListView List() { return MainWindow().ListNamed("超级列表框1"); }
    void Type(const char* utf8) {
        Focus(Box());
        TypeText(Box(), QString::fromUtf8(utf8));
    }
    std::vector<Text> Names() {
        std::vector<Text> names;
        for (int i = 0; i < List().ItemCount(); ++i)
            names.push_back(List().ItemText(i, 0));
        return names;
    }
    // Lets queued work run for a while: for checking that nothing more arrives.
    static void Settle(int ms) {
        WaitUntil([] { return false; }, ms);
    }
};

TEST_F(SearchBoxTest, TypingShowsTheMatchesInAListOfTheirHeight) {
    const demo::DataAnswers answers(portal()->universe());
    const std::vector<int> expected = answers.MatchFunds("白酒");
    ASSERT_GE(expected.size(), 3u);
    Type("白酒");
    ASSERT_TRUE(WaitUntil([&] {
        return List().Visible() && List().ItemCount() == static_cast<int>(expected.size());
    }));
    EXPECT_EQ(List().Height(), (static_cast<int>(expected.size()) + 1) * 32);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const demo::Fund& fund = portal()->universe().Funds()[expected[i]];
        EXPECT_EQ(List().ItemText(static_cast<int>(i), 0), Utf8ToText(fund.name));
        EXPECT_EQ(List().ItemText(static_cast<int>(i), 1), fund.code);
    }
    EXPECT_NE(portal()->Requests().back().query.find("&key=%E7%99%BD%E9%85%92&"),
              std::string::npos);
}

TEST_F(SearchBoxTest, FocusingClearsTheBoxAndHidesTheList) {
    Type("000");
    ASSERT_TRUE(WaitUntil([&] { return List().ItemCount() > 0; }));
    Focus(FindControl(MainWindow(), "五星基金钮"));
    Focus(Box());
    EXPECT_EQ(MainWindow().EditNamed("搜索框").Content(), "");
    EXPECT_EQ(MainWindow().EditNamed("搜索框").TextColor(), RgbBlack);
    EXPECT_FALSE(List().Visible());
    EXPECT_EQ(List().ItemCount(), 0);
}

// A suggestion endpoint of our own: the one-character key is answered slowly.
class RacingSearchTest : public SearchBoxTest {
protected:
    void SetUp() override {
        SearchBoxTest::SetUp();
        m_server = std::make_unique<LocalServer>(
            [this](const httplib::Request& req, httplib::Response& res) {
                const std::string key = req.get_param_value("key");
                const bool slow = key == "白"; // the server has decoded the key
                m_slowAsked = m_slowAsked || slow;
                if (slow)
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                const std::string datas = slow ? R"({"_id":"000001","NAME":"白一"},)"
                                                 R"({"_id":"000002","NAME":"白二"})"
                                               : R"({"_id":"000003","NAME":"白酒"})";
                res.set_content(req.get_param_value("callback") + "({\"ErrCode\":0,\"Datas\":[" +
                                    datas + "]})",
                                "text/plain; charset=utf-8");
                m_slowAnswered = m_slowAnswered || slow;
            });
        UsePortalBase(m_server->Base());
    }

    // Types "白" and waits until its search has reached the portal.
    void TypeSlowFirst() {
        Type("白");
        ASSERT_TRUE(WaitUntil([&] { return m_slowAsked.load(); }));
    }

    std::atomic<bool> m_slowAsked = false;
    std::atomic<bool> m_slowAnswered = false;
    std::unique_ptr<LocalServer> m_server;
};

TEST_F(RacingSearchTest, TheLatestTextWinsOverASlowerEarlierSearch) {
    TypeSlowFirst();
    TypeText(Box(), QString::fromUtf8("酒"));
    ASSERT_TRUE(WaitUntil([&] { return m_slowAnswered.load(); }));
    Settle(200);
    EXPECT_EQ(Names(), std::vector<Text>{"白酒"_gbk}) << "the earlier search appended nothing";
    EXPECT_EQ(List().Height(), 64);
}

TEST_F(RacingSearchTest, EmptyingTheBoxOvertakesTheSearchInFlight) {
    TypeSlowFirst();
    Box()->clear();
    ASSERT_TRUE(WaitUntil([&] { return m_slowAnswered.load(); }));
    Settle(200);
    EXPECT_FALSE(List().Visible());
    EXPECT_EQ(List().ItemCount(), 0);
}

TEST_F(SearchBoxTest, AFailedSearchShowsTheEmptyList) {
    UsePortalBase(ClosedPortBase());
    Type("x");
    ASSERT_TRUE(WaitUntil([&] { return List().Visible(); }));
    EXPECT_EQ(List().ItemCount(), 0);
    EXPECT_EQ(List().Height(), 32);
}

} // namespace
} // namespace fundlens::test
