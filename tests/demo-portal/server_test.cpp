// The server around the pages: request log, determinism, faults, latency, stopping, and the
// executable's command line.
#include "demo-portal/command_line.h"
#include "portal_test_support.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
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

TEST(PortalServer, FaultModesAsTheProgramSeesThem) {
    const Text normal = WebRequest(Url(RankingQuery));
    ASSERT_FALSE(normal.empty());
    const struct {
        const char* name;
        FaultMode mode;
        std::function<void(const WebCall&, const Text&)> check;
    } cases[] = {
        {"drop", FaultMode::Drop,
         [](const WebCall& call, const Text& body) {
             EXPECT_EQ(call.status.substr(0, 3), "712");
             EXPECT_TRUE(body.empty());
         }},
        {"http500", FaultMode::Http500,
         [](const WebCall& call, const Text&) {
             EXPECT_EQ(call.status, "500 Internal Server Error");
         }},
        {"truncate", FaultMode::Truncate,
         [&](const WebCall& call, const Text&) {
             EXPECT_EQ(call.status.substr(0, 3), "713");
             EXPECT_EQ(call.bodyBytes.size(), normal.size() / 2);
         }},
        {"garbage", FaultMode::Garbage,
         [&](const WebCall& call, const Text&) {
             EXPECT_EQ(call.status, "200 OK");
             EXPECT_EQ(call.bodyBytes.size(), normal.size());
             EXPECT_NE(Text(call.bodyBytes.begin(), call.bodyBytes.end()), normal);
         }},
        {"slow", FaultMode::Slow,
         [&](const WebCall& call, const Text& body) {
             EXPECT_EQ(call.status, "200 OK");
             EXPECT_EQ(body, normal);
         }},
        {"none", FaultMode::None,
         [&](const WebCall&, const Text& body) { EXPECT_EQ(body, normal); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PortalOptions options = Options();
        options.fault = c.mode;
        DemoPortal portal(options);
        ASSERT_TRUE(portal.Start());
        WebCall call = Call(portal.BaseUrl() + RankingQuery, {}, 20);
        const Text body = WebRequest(call);
        c.check(call, body);
    }
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

TEST(PortalServer, StopsCleanlyWithRequestsInFlight) {
    PortalOptions options = Options();
    options.latencyMs = 10000;
    auto portal = std::make_unique<DemoPortal>(options);
    ASSERT_TRUE(portal->Start());
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < 4; ++i) {
        clients.emplace_back([&, url = portal->BaseUrl() + RankingQuery] {
            ++started;
            WebCall call = Call(url, {}, 30);
            WebRequest(call);
            ++finished;
        });
    }
    // Wait (with a deadline) until the requests have arrived, then stop under them.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (portal->Requests().size() < clients.size() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(portal->Requests().size(), clients.size());
    EXPECT_EQ(finished, 0);
    portal->Stop();
    portal->Stop();
    for (std::thread& t : clients) {
        t.join();
    }
    EXPECT_EQ(finished, 4);
    portal.reset();
    // A stopped portal can start again.
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
}

} // namespace
} // namespace fundlens::demo::test
