// Sequential GETs of a 20 KB page from a local server on one thread: with the connection kept
// alive between requests, and with a fresh connection for each one.
#include "web/web_request.h"

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <thread>

namespace {

constexpr std::size_t PageBytes = 20 * 1024;
constexpr int Requests = 1000;

// A portal-like page: UTF-8 with a meta charset, so the whole WebRequest path runs.
std::string MakePage() {
    std::string page = "<html><head><meta charset=\"utf-8\"><title>基金净值</title></head><body>";
    while (page.size() < PageBytes - 32)
        page += "<tr><td>000001</td><td>华夏成长</td><td>1.2345</td></tr>\n";
    page += "</body></html>";
    page.resize(PageBytes, ' ');
    return page;
}

class LocalServer {
public:
    LocalServer() : m_page(MakePage()) {
        m_server.set_keep_alive_max_count(1000000);
        // Headers and body go out in two writes; without this, Nagle's algorithm and the
        // client's delayed ACK add some 40 ms to every answer on a kept-alive connection.
        m_server.set_tcp_nodelay(true);
        m_server.Get("/page", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(m_page, "text/html");
        });
        m_server.Get("/page-close", [this](const httplib::Request&, httplib::Response& res) {
            res.set_header("Connection", "close");
            res.set_content(m_page, "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~LocalServer() {
        m_server.stop();
        m_thread.join();
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    std::string m_page;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

LocalServer& Server() {
    static LocalServer server;
    return server;
}

void RunGets(benchmark::State& state, const std::string& path) {
    const std::string url = Server().Url(path);
    for (auto _ : state) {
        fundlens::WebCall call;
        call.url = url;
        const fundlens::Text page = fundlens::WebRequest(call);
        if (call.bodyBytes.size() != PageBytes || page.empty()) {
            state.SkipWithError("short or failed answer");
            break;
        }
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["requests/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_GetKeptAlive(benchmark::State& state) {
    RunGets(state, "/page");
}
void BM_GetFreshConnection(benchmark::State& state) {
    RunGets(state, "/page-close");
}

BENCHMARK(BM_GetKeptAlive)->Iterations(Requests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetFreshConnection)
    ->Iterations(Requests)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
