#include "demo-portal/faults.h"

#include "demo-portal/connection.h"
#include "demo-portal/random.h"

#include <httplib.h>
#include <memory>
#include <string>

namespace fundlens::demo {

namespace {

constexpr std::uint64_t FaultStream = 0xfa17;
constexpr int SlowHoldMinMs = 1000;
constexpr int SlowHoldMaxMs = 3000;
// A trickling answer: this many bytes at a time, this long apart; its last byte never goes out.
constexpr std::size_t TrickleBytes = 1;
constexpr auto TricklePause = std::chrono::seconds(2);
// Long enough to count as never.
constexpr auto Forever = std::chrono::hours(24);

// FNV-1a: a key for a text.
std::uint64_t TextKey(std::string_view text) {
    std::uint64_t key = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        key = (key ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return key;
}

void Send(Answer answer, httplib::Response& res) {
    res.status = answer.status;
    res.set_content(std::move(answer.body), answer.contentType);
}

Answer ServerError() {
    return HtmlAnswer(
        HtmlPage("500 Internal Server Error",
                 "<h1>500 Internal Server Error</h1>\r\n<p>服务器内部错误，请稍后再试。</p>"),
        500);
}

// The full length is announced, half of the body is sent, then the connection closes.
void SendTruncated(Answer answer, httplib::Response& res) {
    auto body = std::make_shared<std::string>(std::move(answer.body));
    const std::size_t half = body->size() / 2;
    res.status = answer.status;
    res.set_content_provider(
        body->size(), answer.contentType,
        [body, half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset < half) {
                return sink.write(body->data() + offset, half - offset);
            }
            return false;
        });
}

// The full length is announced and the body goes out a few bytes at a time, so slowly that
// it never completes: the last byte is held until the portal stops.
void SendTrickled(Answer answer, const PauseFor& pause, httplib::Response& res) {
    auto body = std::make_shared<std::string>(std::move(answer.body));
    res.status = answer.status;
    res.set_content_provider(
        body->size(), answer.contentType,
        [body, pause](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset > 0 && !pause(TricklePause)) {
                return false;
            }
            if (offset + TrickleBytes >= body->size()) {
                pause(Forever);
                return false;
            }
            return sink.write(body->data() + offset, TrickleBytes);
        });
}

// Status and headers as usual, the body replaced by random bytes of the same length.
void SendGarbage(Answer answer, std::uint64_t requestSeed, httplib::Response& res) {
    Random random(StreamSeed(requestSeed, {FaultStream}));
    for (char& c : answer.body) {
        c = static_cast<char>(random.Next() & 0xff);
    }
    Send(std::move(answer), res);
}

} // namespace

std::uint64_t RequestSeed(std::uint64_t portalSeed, std::string_view request) {
    return StreamSeed(portalSeed, {FaultStream, TextKey(request)});
}

std::chrono::milliseconds SlowHold(std::uint64_t requestSeed) {
    Random random(requestSeed);
    return std::chrono::milliseconds(random.Between(SlowHoldMinMs, SlowHoldMaxMs));
}

void ApplyFault(FaultMode mode, Answer answer, std::uint64_t requestSeed, const PauseFor& pause,
                httplib::Response& res) {
    switch (mode) {
    case FaultMode::None:
        break;
    case FaultMode::Drop:
        // The connection closes before a byte of the answer is written.
        CurrentConnection::Drop();
        return;
    case FaultMode::Http500:
        Send(ServerError(), res);
        return;
    case FaultMode::Truncate:
        SendTruncated(std::move(answer), res);
        return;
    case FaultMode::Slow:
        if (!pause(SlowHold(requestSeed))) {
            CurrentConnection::Drop();
            return;
        }
        break;
    case FaultMode::Trickle:
        SendTrickled(std::move(answer), pause, res);
        return;
    case FaultMode::Garbage:
        SendGarbage(std::move(answer), requestSeed, res);
        return;
    case FaultMode::Hang:
        // Never answered: the connection stays open and silent until the portal stops.
        pause(Forever);
        CurrentConnection::Drop();
        return;
    }
    Send(std::move(answer), res);
}

} // namespace fundlens::demo
