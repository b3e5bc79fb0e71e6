// WebRequest when things go wrong: bad addresses, no answer, broken bodies, timeouts and the
// deadline, cancellation and the shutdown abort.
#include "test_servers.h"
#include "web/web_request.h"
#include "web_call_checks.h"

#include <atomic>
#include <cstdio>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace fundlens {
namespace {

using namespace test;
using namespace std::chrono_literals;

// ------------------------------------------------------------------ failures and timeouts

class WebRequestFailures : public testing::Test {
protected:
    WebRequestFailures() : server(MakeServer(gate)) {}
    ~WebRequestFailures() override { gate.Open(); }

    static std::unique_ptr<httplib::Server> MakeServer(Gate& gate) {
        auto s = std::make_unique<httplib::Server>();
        s->Get("/stall", [&gate](const httplib::Request&, httplib::Response& res) {
            gate.Wait(5s);
            res.set_content("late", "text/plain");
        });
        s->Get("/slow-start", [&gate](const httplib::Request&, httplib::Response& res) {
            gate.Wait(1500ms);
            res.set_content("slow", "text/plain");
        });
        s->Get("/partial", [&gate](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "p=1");
            res.set_chunked_content_provider("text/plain",
                                             [&gate](size_t offset, httplib::DataSink& sink) {
                                                 if (offset == 0)
                                                     return sink.write("part", 4);
                                                 gate.Wait(5s);
                                                 sink.done();
                                                 return true;
                                             });
        });
        s->Get("/trickle", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain",
                                             [](size_t offset, httplib::DataSink& sink) {
                                                 if (offset >= 12) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 std::this_thread::sleep_for(150ms);
                                                 return sink.write("t", 1);
                                             });
        });
        s->Get("/huge", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/octet-stream",
                                             [](size_t offset, httplib::DataSink& sink) {
                                                 static const std::string chunk(1 << 20, 'h');
                                                 if (offset > (64u << 20)) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 return sink.write(chunk.data(), chunk.size());
                                             });
        });
        return s;
    }

    Gate gate;
    HttpServer server;
};

TEST_F(WebRequestFailures, BadUrlsGive701) {
    for (const char* url : {"ftp://127.0.0.1/x", "not a url", "", "http://", "127.0.0.1/x"}) {
        WebCall call = CallWithSentinels(url);
        EXPECT_EQ(WebRequest(call), "") << url;
        EXPECT_EQ(call.status, "701 解析URL地址失败!"_gbk) << url;
        ExpectOutFieldsUntouched(call);
    }
}

TEST_F(WebRequestFailures, UnreachableGives711) {
    WebCall call = CallWithSentinels("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/");
    EXPECT_EQ(WebRequest(call), "");
    EXPECT_EQ(call.status, "711 发送请求失败!"_gbk);
    ExpectOutFieldsUntouched(call);

    WebCall proxied = CallWithSentinels(server.Url("/stall"));
    proxied.proxy = "127.0.0.1:" + std::to_string(ClosedPort());
    EXPECT_EQ(WebRequest(proxied), "");
    EXPECT_EQ(proxied.status, "711 发送请求失败!"_gbk);
}

TEST_F(WebRequestFailures, NoAnswerGives712) {
    RawServer silent([](const std::string&) { return RawAnswer{"", true}; });
    WebCall closed = CallWithSentinels(silent.Url("/"));
    EXPECT_EQ(WebRequest(closed), "");
    EXPECT_EQ(closed.status, "712 服务器未响应!"_gbk);
    ExpectOutFieldsUntouched(closed);

    WebCall stalled = CallWithSentinels(server.Url("/stall"));
    stalled.timeoutSeconds = 1;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WebRequest(stalled), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s); // the stall lasts 5 s
    EXPECT_EQ(stalled.status, "712 服务器未响应!"_gbk);
    ExpectOutFieldsUntouched(stalled);
}

TEST_F(WebRequestFailures, BodyCutShortIsAFailure713) {
    RawServer cut([](const std::string&) {
        return RawAnswer{"HTTP/1.1 200 OK\r\nSet-Cookie: c=1\r\nLocation: /x\r\n"
                         "Content-Length: 100\r\n\r\nabc",
                         true};
    });
    WebCall closed = CallWithSentinels(cut.Url("/"));
    closed.cookies = "a=1";
    WebCall paused = CallWithSentinels(server.Url("/partial"));
    paused.timeoutSeconds = 1;
    for (WebCall* call : {&closed, &paused}) {
        EXPECT_EQ(WebRequest(*call), "") << call->url;
        EXPECT_EQ(call->status, "713 读取数据失败!"_gbk);
        ExpectOutFieldsUntouched(*call);
    }
    EXPECT_EQ(closed.cookies, "a=1");
}

TEST_F(WebRequestFailures, SlowButSteadyAnswersDoNotTimeOut) {
    WebCall trickle;
    trickle.url = server.Url("/trickle");
    trickle.timeoutSeconds = 1;
    EXPECT_EQ(WebRequest(trickle), std::string(12, 't'));
    EXPECT_EQ(trickle.status, "200 OK");

    WebCall fallback; // zero or less waits the default 30 s, not less
    fallback.url = server.Url("/slow-start");
    fallback.timeoutSeconds = -5;
    EXPECT_EQ(WebRequest(fallback), "slow");
}

TEST_F(WebRequestFailures, BodyOverTheCapIsAFailedRead) {
    WebCall call = CallWithSentinels(server.Url("/huge"));
    EXPECT_EQ(WebRequest(call), "");
    EXPECT_EQ(call.status, "713 读取数据失败!"_gbk);
    ExpectOutFieldsUntouched(call);
}

// ------------------------------------------------------------------ timeouts and the deadline

// Runs the call on its own thread. A call still running after `bound` is released by `release`
// (which lets its server go) before the thread is joined; the result says whether it had ended.
bool EndsWithin(WebCall& call, std::chrono::seconds bound, const std::function<void()>& release) {
    auto done = std::async(std::launch::async, [&call] { WebRequest(call); });
    const bool ended = done.wait_for(bound) == std::future_status::ready;
    release();
    done.get();
    return ended;
}

TEST(WebRequestTimeouts, RedirectBodyThatNeverEndsTimesOut) {
    auto server = std::make_unique<RawServer>([](const std::string&) {
        // The body is announced but never completed; the connection stays open.
        return RawAnswer{"HTTP/1.1 302 Found\r\nLocation: /final\r\nContent-Length: 100\r\n"
                         "\r\nabc"};
    });
    WebCall call = CallWithSentinels(server->Url("/moved"));
    call.timeoutSeconds = 1;
    EXPECT_TRUE(EndsWithin(call, 20s, [&] { server.reset(); }));
    EXPECT_EQ(call.status, "712 服务器未响应!"_gbk);
    ExpectOutFieldsUntouched(call);
}

class WebRequestDeadline : public testing::Test {
protected:
    WebRequestDeadline() : server(MakeServer(gate)) {}
    ~WebRequestDeadline() override {
        gate.Open();
        SetRequestTimeouts(0, 0);
    }

    static std::unique_ptr<httplib::Server> MakeServer(Gate& gate) {
        auto s = std::make_unique<httplib::Server>();
        s->Get("/stall", [&gate](const httplib::Request&, httplib::Response& res) {
            gate.Wait(10s);
            res.set_content("late", "text/plain");
        });
        s->Get("/slow-start", [&gate](const httplib::Request&, httplib::Response& res) {
            gate.Wait(1500ms);
            res.set_content("slow", "text/plain");
        });
        // A byte every 200 ms: steady progress, complete after 20 s.
        s->Get("/trickle", [&gate](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain",
                                             [&gate](size_t offset, httplib::DataSink& sink) {
                                                 if (offset >= 100 || !gate.Wait(200ms)) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 return sink.write("t", 1);
                                             });
        });
        return s;
    }

    Gate gate;
    HttpServer server;
};

TEST_F(WebRequestDeadline, EndsARequestWhateverItIsDoing) {
    SetRequestTimeouts(0, 1);
    const struct {
        const char* path;
        Text status;
    } cases[] = {
        {"/trickle", "713 读取数据失败!"_gbk}, // progress all along, never finished in time
        {"/stall", "712 服务器未响应!"_gbk},   // the call's own timeout does not lift it
    };
    for (const auto& c : cases) {
        WebCall call = CallWithSentinels(server.Url(c.path));
        call.timeoutSeconds = 30;
        EXPECT_EQ(WebRequest(call), "") << c.path;
        EXPECT_EQ(call.status, c.status) << c.path;
        ExpectOutFieldsUntouched(call);
    }
}

TEST_F(WebRequestDeadline, ProcessWideTimeoutForCallsWithoutTheirOwn) {
    SetRequestTimeouts(1, 0);
    WebCall stalled;
    stalled.url = server.Url("/stall");
    EXPECT_EQ(WebRequest(stalled), "");
    EXPECT_EQ(stalled.status, "712 服务器未响应!"_gbk);

    WebCall own; // waits longer than the process-wide timeout
    own.url = server.Url("/slow-start");
    own.timeoutSeconds = 5;
    EXPECT_EQ(WebRequest(own), "slow");
}

// ------------------------------------------------------------------ cancellation

TEST(WebRequestCancel, EndsItsOwnTransfersAtOnceAndLeavesOthersAlone) {
    Gate gate;
    std::atomic<int> arrived = 0;
    auto s = std::make_unique<httplib::Server>();
    s->Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        ++arrived;
        gate.Wait(20s);
        res.set_content("late", "text/plain");
    });
    s->Get("/quick", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("quick", "text/plain");
    });
    HttpServer server(std::move(s));

    Cancellation run;
    WebCall held, bytesHeld;
    held.url = server.Url("/stall");
    held.cancel = &run;
    Bytes bytes{1};
    std::atomic<int> done = 0;
    std::thread first([&] {
        WebRequest(held);
        ++done;
    });
    std::thread second([&] {
        bytes = WebRequestBytes(server.Url("/stall"), &run);
        ++done;
    });
    ASSERT_TRUE(WaitUntil([&] { return arrived.load() == 2; }));
    run.Cancel();
    const bool ended = WaitUntil([&] { return done.load() == 2; }, 3s);
    gate.Open();
    first.join();
    second.join();
    EXPECT_TRUE(ended) << "both transfers end without waiting for the server";
    EXPECT_EQ(held.status, "711 发送请求失败!"_gbk);
    EXPECT_TRUE(bytes.empty());
    // A cancelled run starts nothing more; other requests are not affected.
    EXPECT_EQ(WebRequest(server.Url("/quick"), &run), "");
    EXPECT_EQ(WebRequest(server.Url("/quick")), "quick");
}

// ------------------------------------------------------------------ shutdown

void AbortScenario() {
    Gate gate;
    std::atomic<bool> arrived = false;
    auto s = std::make_unique<httplib::Server>();
    s->Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        arrived = true;
        gate.Wait(20s);
        res.set_content("late", "text/plain");
    });
    HttpServer server(std::move(s));
    WebCall running;
    running.url = server.Url("/stall");
    running.timeoutSeconds = 20;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        WebRequest(running);
        done = true;
    });
    bool ok = WaitUntil([&] { return arrived.load(); });
    AbortAllTransfers();
    ok = ok && WaitUntil([&] { return done.load(); }, 3s);
    if (ok)
        worker.join();
    WebCall later;
    later.url = server.Url("/stall");
    WebRequest(later);
    ok = ok && running.status == "711 发送请求失败!"_gbk && later.status == running.status;
    if (!ok)
        std::fprintf(stderr, "running: %s, later: %s\n", TextToUtf8(running.status).c_str(),
                     TextToUtf8(later.status).c_str());
    gate.Open();
    std::_Exit(ok ? 0 : 1);
}

TEST(WebRequestShutdownDeathTest, AbortEndsRunningTransfersAndRefusesNewOnes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(AbortScenario(), testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace fundlens
