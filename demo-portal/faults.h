// The portal's fault modes: how an answer is spoilt on its way out.
#pragma once

#include "demo-portal/answer.h"
#include "demo-portal/demo_portal.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

namespace httplib {
struct Response;
}

namespace fundlens::demo {

// Waits up to a duration; false when the portal is stopping (the answer is then given up at
// once, so a stop never waits for a held or trickling answer).
using PauseFor = std::function<bool(std::chrono::milliseconds)>;

// The draws of one faulty answer: from the portal's seed and the request ("GET /path?query"),
// so that a run repeats exactly.
std::uint64_t RequestSeed(std::uint64_t portalSeed, std::string_view request);

// How long a slow answer is held before it goes out complete: 1 to 3 s.
std::chrono::milliseconds SlowHold(std::uint64_t requestSeed);

// Writes `answer` into `res` as `mode` spoils it (None: as it is).
void ApplyFault(FaultMode mode, Answer answer, std::uint64_t requestSeed, const PauseFor& pause,
                httplib::Response& res);

} // namespace fundlens::demo
