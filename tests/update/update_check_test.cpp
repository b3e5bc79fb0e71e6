// The update check against the demo portal and against pages of our own.
#include "app/startup.h"
#include "portal/profile.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"
#include "update/update_check.h"

#include <httplib.h>
#include <thread>

namespace fundlens::test {
namespace {

Text Page(const Text& value) {
    return "<tr><td><input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\""_gbk +
           value + "\" tabindex=\"1\" /><div class=\"rq mtn\" id=\"showerror_realname\"></div>"_gbk;
}

class UpdateCheckTest : public ProgramFixture {
protected:
    void SetUp() override { InstallSeams(); }

    // A page server of our own for answers the demo portal does not give: each page at its
    // path; the update page is pointed at the first.
    void ServePages(const std::vector<std::pair<std::string, Text>>& pages) {
        for (const auto& [path, gbkPage] : pages) {
            m_server.Get(path, [page = gbkPage](const httplib::Request&, httplib::Response& res) {
                res.set_content("<html><head><meta charset=\"gbk\"></head><body>" + page +
                                    "</body></html>",
                                "text/html");
            });
        }
        m_server.set_keep_alive_max_count(1); // no idle connection keeps stop() waiting
        const int port = m_server.bind_to_any_port("127.0.0.1");
        // The socket listens from the bind on: requests wait until the loop accepts them.
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        m_base = "http://127.0.0.1:" + std::to_string(port);
        UsePage(pages.front().first);
    }
    void UsePage(const std::string& path) {
        PortalProfile profile = ProfileAtBase(m_base);
        profile.updatePage = m_base + path;
        SetPortalProfile(profile);
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    bool StartedNormally() const {
        return State().FirstSectorLoad == 1 && MainWindow().Visible() &&
               MainWindow().GridNamed("高级表格4").CellText(2, 0) == "夏普比率"_gbk;
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    std::string m_base;
};

TEST_F(UpdateCheckTest, SameVersionSaysNothing) {
    ASSERT_TRUE(StartPortal());
    StartMainWindow(false);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(openedUrls.empty());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_TRUE(StartedNormally());
}

TEST_F(UpdateCheckTest, NewerVersionAcceptedOpensTheLinkAndEndsTheProcess) {
    demo::PortalOptions options;
    options.announceVersion = 5;
    ASSERT_TRUE(StartPortal(options));
    messages.Answer(MessageAnswer::Yes);
    StartMainWindow(false);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "发现新版本，是否更新。"_gbk);
    EXPECT_EQ(messages.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(openedUrls, std::vector<Text>{portal()->BaseUrl() + "/download.html"});
    EXPECT_EQ(exitCodes, std::vector<int>{0});
}

TEST_F(UpdateCheckTest, NewerVersionDeclinedContinuesTheStart) {
    demo::PortalOptions options;
    options.announceVersion = 5;
    ASSERT_TRUE(StartPortal(options));
    messages.Answer(MessageAnswer::No);
    StartMainWindow(false);
    EXPECT_EQ(messages.texts(), std::vector<Text>{"发现新版本，是否更新。"_gbk});
    EXPECT_TRUE(openedUrls.empty());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_TRUE(StartedNormally());
}

TEST_F(UpdateCheckTest, TheRequestIsAGetOfTheUpdatePageWithTheProfilesCookie) {
    ASSERT_TRUE(StartPortal());
    PortalProfile profile = CurrentPortalProfile();
    profile.updateCookie = "auth=xyz; uid=7";
    SetPortalProfile(profile);
    StartMainWindow(false);
    const auto requests = portal()->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/home.php");
    EXPECT_EQ(requests[0].query, "mod=spacecp&ac=profile&op=base");
    std::string cookie;
    for (const auto& [name, value] : requests[0].headers) {
        if (name == "Cookie") {
            cookie = value;
        }
    }
    EXPECT_EQ(cookie, "auth=xyz; uid=7");
}

TEST_F(UpdateCheckTest, NoPortalFailsTheCheckAndTheWindowIsUsable) {
    UsePortalBase(ClosedPortBase());
    StartMainWindow(false);
    EXPECT_EQ(messages.texts(), std::vector<Text>{"版本信息监测失败"_gbk});
    EXPECT_EQ(messages.shown()[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(StartedNormally());
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CellText(1, 0), "");
}

TEST_F(UpdateCheckTest, PagesWithoutAUsableFieldFailTheCheck) {
    ServePages({{"/login", "<form>请先登录</form>"_gbk},
                {"/no-separator", Page("版本5"_gbk)},
                {"/empty-version", Page("版本链接http://example.test/"_gbk)}});
    for (const char* path : {"/login", "/no-separator", "/empty-version", "/missing"}) {
        SCOPED_TRACE(path);
        DestroyWindows();
        messages.Clear();
        UsePage(path);
        StartMainWindow(false);
        EXPECT_EQ(messages.texts(), std::vector<Text>{"版本信息监测失败"_gbk});
        EXPECT_TRUE(StartedNormally());
    }
}

TEST_F(UpdateCheckTest, ALinkThatIsNotAWebAddressIsNeverOpened) {
    ServePages({{"/home.php", Page("版本5链接file:///usr/bin/xterm"_gbk)}});
    messages.Answer(MessageAnswer::Yes);
    StartMainWindow(false);
    EXPECT_EQ(messages.texts(), std::vector<Text>{"版本信息监测失败"_gbk});
    EXPECT_TRUE(openedUrls.empty());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_TRUE(StartedNormally());
}

// The offer waits on the check's stack: the main window closed meanwhile (the program ending),
// a Yes given afterwards opens nothing and ends nothing.
TEST_F(UpdateCheckTest, AnOfferAcceptedAfterTheMainWindowClosedDoesNothing) {
    demo::PortalOptions options;
    options.announceVersion = 5;
    ASSERT_TRUE(StartPortal(options));
    int offers = 0;
    const MessageHandler scripted = SetMessageHandler([&](const Text&, MessageButtons) {
        ++offers;
        MainWindow().Close();
        return MessageAnswer::Yes;
    });
    // The start's steps, without waiting for the window to be shown: the box closes it.
    ResetProgramState();
    CreateMainWindow();
    MainWindowCreated();
    ShowMainWindow();
    ASSERT_TRUE(WaitUntil([&] { return offers == 1; }));
    SetMessageHandler(scripted);
    EXPECT_TRUE(openedUrls.empty());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_FALSE(UpdateCheckRunning());
}

TEST_F(UpdateCheckTest, AVersionThatDiffersOnlyInFormIsStillOffered) {
    ServePages({{"/home.php", Page("版本4.0链接https://example.test/d"_gbk)}});
    StartMainWindow(false); // the offer is declined by default
    EXPECT_EQ(messages.texts(), std::vector<Text>{"发现新版本，是否更新。"_gbk});
    EXPECT_TRUE(StartedNormally());
}

} // namespace
} // namespace fundlens::test
