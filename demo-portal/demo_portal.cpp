#include "demo-portal/demo_portal.h"

#include "demo-portal/connection.h"
#include "demo-portal/faults.h"
#include "demo-portal/market_schedule.h"
#include "demo-portal/random.h"
#include "text/text.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <httplib.h>
#include <mutex>
#include <sys/socket.h>
#include <thread>

namespace fundlens::demo {

namespace {

constexpr std::size_t MaxRecordedRequests = 10000;
// Each kept-alive connection holds a worker while it idles: one client's pool of connections
// (fundlens keeps up to 12) must leave room for everybody else.
constexpr std::size_t WorkerThreads = 48;
constexpr int ListenBacklog = 128;
constexpr std::size_t KeepAliveMaxCount = 1000;
constexpr time_t KeepAliveSeconds = 5;
constexpr std::size_t MaxRequestBody = 1 << 20;
constexpr auto StartDeadline = std::chrono::seconds(5);

// The Host header when it is a plain host[:port]; the portal's own address otherwise (the
// value goes into pages as a link target).
std::string SafeHost(const std::string& host, const std::string& fallback) {
    if (host.empty() || host.size() > 255) {
        return fallback;
    }
    for (char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                        c == ']';
        if (!ok) {
            return fallback;
        }
    }
    return host;
}

// Header lines of a raw request head, in the order they came.
std::vector<std::pair<std::string, std::string>> HeaderLines(std::string_view head) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t start = head.find("\r\n");
    while (start != std::string_view::npos) {
        start += 2;
        const std::size_t end = head.find("\r\n", start);
        const std::string_view line =
            head.substr(start, end == std::string_view::npos ? head.size() - start : end - start);
        if (line.empty()) {
            break;
        }
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            lines.emplace_back(std::string(line.substr(0, colon)),
                               TrimBlanks(line.substr(colon + 1)));
        }
        start = end;
    }
    return lines;
}

} // namespace

bool ParseFaultMode(const std::string& name, FaultMode& mode) {
    static const std::pair<const char*, FaultMode> names[] = {
        {"none", FaultMode::None},       {"drop", FaultMode::Drop},
        {"http500", FaultMode::Http500}, {"truncate", FaultMode::Truncate},
        {"slow", FaultMode::Slow},       {"trickle", FaultMode::Trickle},
        {"garbage", FaultMode::Garbage}, {"hang", FaultMode::Hang},
    };
    for (const auto& [text, value] : names) {
        if (name == text) {
            mode = value;
            return true;
        }
    }
    return false;
}

struct DemoPortal::Impl {
    explicit Impl(PortalOptions o)
        : options(std::move(o)), schedule(options),
          faultRandom(StreamSeed(options.seed, {0xfa17})) {}

    void Handle(const httplib::Request& req, httplib::Response& res);
    void Record(const httplib::Request& req, std::string_view head);
    bool Faulty();
    // Waits up to `duration`; false when the portal is stopping.
    bool Pause(std::chrono::milliseconds duration);

    PortalOptions options;
    MarketSchedule schedule;
    std::unique_ptr<PortalServer> server;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    int port = 0;
    std::atomic<bool> stopping{false};
    std::mutex waitMutex;
    std::condition_variable waitCondition;

    mutable std::mutex requestsMutex;
    std::deque<RecordedRequest> requests;

    std::mutex faultMutex;
    Random faultRandom;
};

void DemoPortal::Impl::Record(const httplib::Request& req, std::string_view head) {
    RecordedRequest r;
    r.method = req.method;
    r.path = req.path;
    const std::size_t mark = req.target.find('?');
    r.query = mark == std::string::npos ? std::string() : req.target.substr(mark + 1);
    r.headers = HeaderLines(head);
    std::lock_guard lock(requestsMutex);
    requests.push_back(std::move(r));
    while (requests.size() > MaxRecordedRequests) {
        requests.pop_front();
    }
}

bool DemoPortal::Impl::Faulty() {
    if (options.fault == FaultMode::None || options.faultRate <= 0.0) {
        return false;
    }
    if (options.faultRate >= 1.0) {
        return true;
    }
    std::lock_guard lock(faultMutex);
    return faultRandom.Chance(options.faultRate);
}

bool DemoPortal::Impl::Pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(waitMutex);
    return !waitCondition.wait_for(lock, duration, [this] { return stopping.load(); });
}

void DemoPortal::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
    if (options.latencyMs > 0 && !Pause(std::chrono::milliseconds(options.latencyMs))) {
        CurrentConnection::Drop();
        return;
    }
    PortalRequest request;
    request.path = req.path;
    const std::size_t mark = req.target.find('?');
    request.query =
        Query(mark == std::string::npos ? std::string_view()
                                        : std::string_view(req.target).substr(mark + 1));
    request.host =
        SafeHost(req.get_header_value("Host"), options.host + ":" + std::to_string(port));
    request.referer = TrimBlanks(req.get_header_value("Referer"));
    const MarketSchedule::Moment moment = schedule.Current();
    request.now = moment.now;
    Answer answer = moment.site->Serve(request);
    if (Faulty()) {
        ApplyFault(
            options.fault, std::move(answer),
            RequestSeed(options.seed, req.method + " " + req.target),
            [this](std::chrono::milliseconds duration) { return Pause(duration); }, res);
        return;
    }
    res.status = answer.status;
    res.set_content(std::move(answer.body), answer.contentType);
}

DemoPortal::DemoPortal(PortalOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options))) {}

DemoPortal::~DemoPortal() {
    Stop();
}

bool DemoPortal::Start() {
    Impl& impl = *m_impl;
    if (impl.server) {
        return true;
    }
    impl.stopping = false;
    impl.server = std::make_unique<PortalServer>(
        impl.stopping,
        [&impl](const httplib::Request& req, std::string_view head) { impl.Record(req, head); });
    PortalServer& server = *impl.server;
    server.new_task_queue = [] { return new httplib::ThreadPool(WorkerThreads); };
    server.set_keep_alive_max_count(KeepAliveMaxCount);
    server.set_keep_alive_timeout(KeepAliveSeconds);
    // Head and body go out in separate writes; without this the body waits for the client's
    // delayed acknowledgement on every kept-alive request.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(MaxRequestBody);
    // Address reuse only: the library's default (port sharing) would let a second portal
    // start on a port that is already taken and split the connections with the first.
    socket_t listening = INVALID_SOCKET;
    server.set_socket_options([&listening](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = sock;
    });
    auto handler = [&impl](const httplib::Request& req, httplib::Response& res) {
        impl.Handle(req, res);
    };
    server.Get(".*", handler);
    server.Post(".*", handler);
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            const std::string code = std::to_string(res.status);
            res.set_content(HtmlPage(code, "<h1>" + code + "</h1>"), std::string(HtmlType));
        }
    });

    const PortalOptions& o = impl.options;
    if (o.port == 0) {
        impl.port = server.bind_to_any_port(o.host);
    } else {
        impl.port = server.bind_to_port(o.host, o.port) ? o.port : -1;
    }
    // The library listens with a backlog of 5: a client opening a few connections at once (the
    // program asks for 8 pages together) would see some of them wait a second for a SYN retry.
    if (impl.port > 0 && listening != INVALID_SOCKET)
        ::listen(listening, ListenBacklog);
    if (impl.port <= 0) {
        impl.server.reset();
        impl.port = 0;
        return false;
    }
    impl.listenerDone = false;
    impl.listener = std::thread([&impl, &server] {
        server.listen_after_bind();
        impl.listenerDone = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + StartDeadline;
    while (!server.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return server.is_running();
}

void DemoPortal::Stop() {
    Impl& impl = *m_impl;
    if (!impl.server) {
        return;
    }
    {
        std::lock_guard lock(impl.waitMutex);
        impl.stopping = true;
    }
    impl.waitCondition.notify_all();
    // The listener may not have entered its accept loop yet; stop() only ends a running one.
    while (!impl.server->is_running() && !impl.listenerDone) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    impl.server->stop();
    if (impl.listener.joinable()) {
        impl.listener.join();
    }
    impl.server.reset();
    impl.port = 0;
}

int DemoPortal::Port() const {
    return m_impl->port;
}

std::string DemoPortal::BaseUrl() const {
    return "http://" + m_impl->options.host + ":" + std::to_string(m_impl->port);
}

const Universe& DemoPortal::universe() const {
    return m_impl->schedule.Latest().universe();
}

std::vector<RecordedRequest> DemoPortal::Requests() const {
    std::lock_guard lock(m_impl->requestsMutex);
    return {m_impl->requests.begin(), m_impl->requests.end()};
}

void DemoPortal::ClearRequests() {
    std::lock_guard lock(m_impl->requestsMutex);
    m_impl->requests.clear();
}

} // namespace fundlens::demo
