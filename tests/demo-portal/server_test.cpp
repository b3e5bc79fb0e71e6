// The server around the pages: request log, determinism, faults, latency, stopping, and the
// executable's command line.
#include "demo-portal/command_line.h"
#include "demo-portal/faults.h"
#include "portal_test_support.h"

#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace fundlens::demo::test {
namespace {

const std::string RankingQuery = "/data/"
                                 "FundGuideapi.aspx?dt=4&sd=&ed=&rt=sz,5&sc=jn&st=desc&pi=1&pn=20&"
                                 "zf=diy&sh=list&rnd=0.01942454964583651";

PortalOptions Options(std::uint64_t seed = 1) {
    PortalOptions options;
    options.seed = seed;
    options.date = MarketDay;
    return options;
}

TEST(PortalServer, RecordsEveryRequestWithItsHeaderLinesInOrder) {
    DemoPortal portal(Options());
    ASSERT_TRUE(portal.Start());
    WebCall call =
        Call(portal.BaseUrl() + "/jbgk_000001.html?a=%20b&c=", "Referer: http://x/y\r\nX-Probe: 1");
    WebRequest(call);
    WebRequest(portal.BaseUrl() + "/nothing");
    const std::vector<RecordedRequest> requests = portal.Requests();
    ASSERT_EQ(requests.size(), 2u);
    const RecordedRequest& r = requests.front();
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.path, "/jbgk_000001.html");
    EXPECT_EQ(r.query, "a=%20b&c=");
    ASSERT_GE(r.headers.size(), 4u);
    // The caller's lines come first, then the routine's defaults in their order.
    std::vector<std::string> names;
    for (const auto& [name, value] : r.headers) {
        names.push_back(name);
    }
    auto at = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    EXPECT_LT(at("Referer"), at("X-Probe"));
    EXPECT_LT(at("X-Probe"), at("User-Agent"));
    EXPECT_LT(at("User-Agent"), at("Accept"));
    EXPECT_EQ(r.headers[static_cast<std::size_t>(at("Referer"))].second, "http://x/y");
    EXPECT_EQ(requests.back().path, "/nothing");
    portal.ClearRequests();
    EXPECT_TRUE(portal.Requests().empty());
}

TEST(PortalServer, SameSeedGivesTheSameBytesAnotherSeedAnotherMarket) {
    DemoPortal first(Options(7));
    DemoPortal second(Options(7));
    DemoPortal other(Options(8));
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(other.Start());
    const std::string code = first.universe().Funds()[100].code;
    const std::string paths[] = {
        RankingQuery,
        "/data/FundGuideapi.aspx?dt=4&sd=&ed=&tp=BK0896&sc=3y&st=desc&pi=1&pn=20",
        "/FundSearch/api/FundSearchAPI.ashx?callback=cb&m=1&key=%E6%88%90&_=1",
        "/jjjl_" + code + ".html",
        "/tsdata_" + code + ".html",
        "/" + code + ".html",
        "/FundArchivesDatas.aspx?type=jjcc&code=" + code + "&topline=10&year=&month=&rt=1",
        "/img/jjjz/" + code + ".png",
    };
    // Host names differ between the portals (their ports are in the links); compare bytes
    // with the host part taken out.
    auto fetch = [](const DemoPortal& portal, const std::string& path) {
        const Bytes bytes = WebRequestBytes(portal.BaseUrl() + path);
        return ReplaceAll(Text(bytes.begin(), bytes.end()), std::to_string(portal.Port()), "PORT");
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const Text a = fetch(first, path);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a, fetch(second, path));
    }
    EXPECT_NE(fetch(first, RankingQuery), fetch(other, RankingQuery));
    std::size_t sameCodes = 0;
    for (std::size_t i = 0; i < first.universe().Funds().size(); ++i) {
        sameCodes += first.universe().Funds()[i].code == other.universe().Funds()[i].code ? 1 : 0;
    }
    EXPECT_LT(sameCodes, 100u);
}

// The web layer's process-wide timeouts for one test; the defaults again after it.
struct RequestTimeouts {
    RequestTimeouts(int noProgressSeconds, int deadlineSeconds) {
        SetRequestTimeouts(noProgressSeconds, deadlineSeconds);
    }
    ~RequestTimeouts() { SetRequestTimeouts(0, 0); }
    RequestTimeouts(const RequestTimeouts&) = delete;
    RequestTimeouts& operator=(const RequestTimeouts&) = delete;
};

TEST(PortalServer, FaultModesAsTheProgramSeesThem) {
    const Text normal = WebRequest(Url(RankingQuery));
    ASSERT_FALSE(normal.empty());
    auto fails = [](const char* code) {
        return [code](const WebCall& call, const Text& body) {
            EXPECT_EQ(call.status.substr(0, 3), code);
            EXPECT_TRUE(body.empty());
        };
    };
    const struct {
        const char* name;
        FaultMode mode;
        int timeoutSeconds;  // the call's own: longest wait without progress
        int deadlineSeconds; // the process-wide deadline; 0: the default
        std::function<void(const WebCall&, const Text&)> check;
    } cases[] = {
        {"drop", FaultMode::Drop, 20, 0, fails("712")},
        {"http500", FaultMode::Http500, 20, 0,
         [](const WebCall& call, const Text&) {
             EXPECT_EQ(call.status, "500 Internal Server Error");
         }},
        {"truncate", FaultMode::Truncate, 20, 0, fails("713")},
        {"garbage", FaultMode::Garbage, 20, 0,
         [&](const WebCall& call, const Text&) {
             EXPECT_EQ(call.status, "200 OK");
             EXPECT_EQ(call.bodyBytes.size(), normal.size());
             EXPECT_NE(Text(call.bodyBytes.begin(), call.bodyBytes.end()), normal);
         }},
        {"slow: held, then complete", FaultMode::Slow, 10, 0,
         [&](const WebCall& call, const Text& body) {
             EXPECT_EQ(call.status, "200 OK");
             EXPECT_EQ(body, normal);
         }},
        // A byte now and then keeps the no-progress timeout away; the deadline ends it.
        {"trickle", FaultMode::Trickle, 10, 2, fails("713")},
        {"hang", FaultMode::Hang, 1, 0, fails("712")},
        {"none", FaultMode::None, 20, 0,
         [&](const WebCall&, const Text& body) { EXPECT_EQ(body, normal); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalOptions options = Options();
        options.fault = c.mode;
        DemoPortal portal(options);
        ASSERT_TRUE(portal.Start());
        const RequestTimeouts timeouts(0, c.deadlineSeconds);
        WebCall call = Call(portal.BaseUrl() + RankingQuery, {}, c.timeoutSeconds);
        const Text body = WebRequest(call);
        c.check(call, body);
    }
}

TEST(PortalFaults, SlowHoldIsOneToThreeSecondsAndTheSameForTheSameRequest) {
    std::set<long> holds;
    for (int i = 0; i < 40; ++i) {
        const std::string request = "GET /jjjl_" + std::to_string(100000 + i) + ".html";
        const std::chrono::milliseconds hold = SlowHold(RequestSeed(1, request));
        EXPECT_GE(hold.count(), 1000) << request;
        EXPECT_LE(hold.count(), 3000) << request;
        EXPECT_EQ(hold, SlowHold(RequestSeed(1, request))) << request;
        holds.insert(hold.count());
    }
    EXPECT_GT(holds.size(), 10u); // spread over the range
    EXPECT_NE(RequestSeed(1, "GET /a"), RequestSeed(2, "GET /a"));
    EXPECT_NE(RequestSeed(1, "GET /a"), RequestSeed(1, "POST /a"));
}

TEST(PortalServer, FaultRateAffectsOnlyAShareOfAnswers) {
    PortalOptions options = Options();
    options.fault = FaultMode::Http500;
    options.faultRate = 0.5;
    DemoPortal portal(options);
    ASSERT_TRUE(portal.Start());
    int failed = 0;
    constexpr int Requests = 40;
    for (int i = 0; i < Requests; ++i) {
        WebCall call = Call(portal.BaseUrl() + "/download.html");
        WebRequest(call);
        failed += call.status.starts_with("500") ? 1 : 0;
    }
    EXPECT_GT(failed, 0);
    EXPECT_LT(failed, Requests);
}

TEST(PortalServer, StopsAtOnceUnderHeldAnswers) {
    const struct {
        const char* name;
        int latencyMs;
        FaultMode fault;
        const char* clientStatus; // what the clients see when the portal stops under them
    } cases[] = {
        {"latency", 10000, FaultMode::None, "712"},
        {"hang", 0, FaultMode::Hang, "712"},
        {"trickle", 0, FaultMode::Trickle, "713"},
    };
    constexpr std::size_t Clients = 4;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalOptions options = Options();
        options.latencyMs = c.latencyMs;
        options.fault = c.fault;
        auto portal = std::make_unique<DemoPortal>(options);
        ASSERT_TRUE(portal->Start());
        std::atomic<int> finished{0};
        std::vector<Text> statuses(Clients);
        std::vector<std::thread> clients;
        for (std::size_t i = 0; i < Clients; ++i) {
            clients.emplace_back([&, i, url = portal->BaseUrl() + RankingQuery] {
                WebCall call = Call(url, {}, 30);
                WebRequest(call);
                statuses[i] = call.status;
                ++finished;
            });
        }
        // Wait (with a deadline) until the requests have arrived, then stop under them.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (portal->Requests().size() < Clients && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(portal->Requests().size(), Clients);
        EXPECT_EQ(finished, 0);
        auto stopping = std::async(std::launch::async, [&] { portal->Stop(); });
        EXPECT_EQ(stopping.wait_for(std::chrono::seconds(10)), std::future_status::ready)
            << "the stop waits for the answers it holds";
        stopping.get();
        portal->Stop();
        for (std::thread& t : clients) {
            t.join();
        }
        EXPECT_EQ(finished, static_cast<int>(Clients));
        for (const Text& status : statuses) {
            EXPECT_EQ(status.substr(0, 3), c.clientStatus);
        }
    }
}

TEST(PortalServer, StartsAgainAfterAStop) {
    DemoPortal again(Options());
    ASSERT_TRUE(again.Start());
    again.Stop();
    EXPECT_TRUE(again.Start());
    EXPECT_FALSE(WebRequest(again.BaseUrl() + "/download.html").empty());
}

TEST(PortalServer, LatencyDelaysButKeepsTheAnswer) {
    PortalOptions options = Options();
    options.latencyMs = 50;
    DemoPortal portal(options);
    ASSERT_TRUE(portal.Start());
    EXPECT_EQ(WebRequest(portal.BaseUrl() + RankingQuery), WebRequest(Url(RankingQuery)));
}

TEST(PortalServer, BusyPortReportsFailure) {
    PortalOptions options = Options();
    options.port = Portal().Port();
    DemoPortal second(options);
    EXPECT_FALSE(second.Start());
    EXPECT_EQ(second.Port(), 0);
}

TEST(CommandLine, ReadsOptionsAndRejectsBadOnes) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        CommandLineResult result;
    } cases[] = {
        {"no options", {}, CommandLineResult::Run},
        {"all options",
         {"--port", "8080", "--latency", "25", "--fault", "truncate", "--fault-rate", "0.25",
          "--announce-version", "5", "--seed", "18446744073709551615", "--date", "2026-01-30"},
         CommandLineResult::Run},
        {"name=value form", {"--port=0", "--fault=drop"}, CommandLineResult::Run},
        {"trickle fault", {"--fault", "trickle"}, CommandLineResult::Run},
        {"help", {"--port", "1", "--help"}, CommandLineResult::Help},
        {"unknown option", {"--colour", "red"}, CommandLineResult::Error},
        {"missing value", {"--port"}, CommandLineResult::Error},
        {"port too large", {"--port", "65536"}, CommandLineResult::Error},
        {"negative latency", {"--latency", "-1"}, CommandLineResult::Error},
        {"unknown fault", {"--fault", "explode"}, CommandLineResult::Error},
        {"rate above one", {"--fault-rate", "1.5"}, CommandLineResult::Error},
        {"rate not a number", {"--fault-rate", "half"}, CommandLineResult::Error},
        {"seed too large", {"--seed", "18446744073709551616"}, CommandLineResult::Error},
        {"impossible date", {"--date", "2026-02-30"}, CommandLineResult::Error},
        {"stray word", {"serve"}, CommandLineResult::Error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalOptions options;
        std::string error;
        EXPECT_EQ(ParseCommandLine(c.args, options, error), c.result);
        EXPECT_EQ(error.empty(), c.result != CommandLineResult::Error);
    }
    PortalOptions options;
    std::string error;
    ParseCommandLine({"--port", "8080", "--latency", "25", "--fault", "truncate", "--fault-rate",
                      "0.25", "--announce-version", "5", "--seed", "18446744073709551615", "--date",
                      "2026-01-30"},
                     options, error);
    EXPECT_EQ(options.port, 8080);
    EXPECT_EQ(options.latencyMs, 25);
    EXPECT_EQ(options.fault, FaultMode::Truncate);
    EXPECT_DOUBLE_EQ(options.faultRate, 0.25);
    EXPECT_EQ(options.announceVersion, 5);
    EXPECT_EQ(options.seed, 18446744073709551615ULL);
    EXPECT_EQ(options.date, "2026-01-30");
    ParseCommandLine({"--fault=trickle"}, options, error);
    EXPECT_EQ(options.fault, FaultMode::Trickle);
}

} // namespace
} // namespace fundlens::demo::test
