// The demo portal: a local imitation of the fund portal, serving a generated universe.
#pragma once

#include "demo-portal/market_clock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fundlens::demo {

// What goes wrong with the answers that get a fault (demo-portal/README.md tells the details).
enum class FaultMode {
    None,
    Drop,     // the connection closes before the answer
    Http500,  // a complete 500 answer
    Truncate, // half the announced body, then the connection closes
    Slow,     // held 1 to 3 s, then sent complete
    Trickle,  // the body a byte every few seconds, never complete
    Garbage,  // the body replaced by random bytes
    Hang,     // never answered
};

struct PortalOptions {
    std::string host = "127.0.0.1";
    int port = 0;      // 0: a free port
    int latencyMs = 0; // every answer delayed by this much
    FaultMode fault = FaultMode::None;
    double faultRate = 1.0;  // share of answers that get the fault, 0..1
    int announceVersion = 4; // version the update page announces
    std::uint64_t seed = 1;  // the generated universe depends on it alone
    // "YYYY-MM-DD": a fixed market day. The last trading day is the last weekday at or before
    // it, its net values are out and the quotes show its close. It wins over the clock below;
    // empty (or unreadable): the market runs on the clock.
    std::string date;
    // The clock, China time, fixed at this minute: the quotes stand where the session is at
    // that minute, the net values are out up to the day the minute publishes.
    std::optional<ChinaTime> now;
    // Without `now`: the clock to read at every request in place of the machine's (for tests;
    // it is called on the portal's threads). The market moves with it: the quotes through the
    // session, the day's net values out at 20:00, the next session from 09:30
    // (demo-portal/README.md).
    std::function<ChinaTime()> clock;
};

// Reads a --fault mode name ("none", "drop", "http500", "truncate", "slow", "trickle",
// "garbage", "hang").
bool ParseFaultMode(const std::string& name, FaultMode& mode);

// What arrived at the portal, for tests.
struct RecordedRequest {
    std::string method;
    std::string path;
    std::string query;                                        // raw query, without '?'
    std::vector<std::pair<std::string, std::string>> headers; // as sent, in order
};

class Universe;

// Runs the portal's HTTP server on its own threads. Start() returns once it listens.
class DemoPortal {
public:
    explicit DemoPortal(PortalOptions options = {});
    ~DemoPortal(); // stops the server
    DemoPortal(const DemoPortal&) = delete;
    DemoPortal& operator=(const DemoPortal&) = delete;

    bool Start();
    void Stop();

    int Port() const;
    std::string BaseUrl() const; // "http://127.0.0.1:PORT"

    // The market served now. On a running clock a new one takes over when a session opens and
    // when its net values come out; the one before stays valid until the next change.
    const Universe& universe() const;

    // The last 10,000 requests at most, oldest first.
    std::vector<RecordedRequest> Requests() const;
    void ClearRequests();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace fundlens::demo
