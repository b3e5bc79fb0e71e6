// WebRequest and WebRequestBytes: the program's two HTTP routines, on one libcurl core.
#pragma once

#include "text/text.h"
#include "web/cancellation.h"

#include <functional>
#include <optional>

namespace fundlens {

// The in and out fields of one WebRequest call, named as the routine's parameters.
// Only `url` is required; every other field has the routine's default.
struct WebCall {
    // in
    Text url;
    int method = 0;              // 0 GET, 1 POST, 2 HEAD, 3 PUT; anything else GET
    Text postData;               // request body, sent as is; empty: no body
    std::optional<Text> cookies; // in/out; std::nullopt = omitted (library cookies off)
    Text extraHeaders;           // extra request lines separated by CR LF, no trailing CR LF
    bool noRedirect = false;
    Text user, password; // Basic credentials for the server
    Text proxy;          // host:port; empty: direct
    Text proxyUser, proxyPassword;
    int timeoutSeconds = 0; // longest wait without progress; 0 or less: the process-wide one
    const Cancellation* cancel = nullptr; // ends the call early when cancelled (may be null)

    // out
    Text newCookies;      // cookies the final answer set: "a=1; b=2"
    Text responseHeaders; // raw header block of the final answer, status line first, CR LF
    Text location;        // value of the final answer's "Location: " line
    Text status;          // "200 OK", or a numbered message "711 发送请求失败!" (GBK)
    Bytes bodyBytes;      // raw body as received
};

// True for a status of a complete answer with a 2xx code ("200 OK"); false for error codes and
// the numbered failure messages.
bool IsSuccessStatus(const Text& status);

// Fetches `call.url`; returns the body as GBK text (converted from a charset declared by a
// meta tag in its first 1024 bytes), empty on failure with `call.status` holding the message.
// A failure writes `status` alone; a body cut short is one (713).
Text WebRequest(WebCall& call);

// The common case: GET with every default (and, when given, a cancellation).
Text WebRequest(const Text& url, const Cancellation* cancel = nullptr);

// The in and out fields of one WebRequestBytes call.
struct BytesCall {
    Text url;
    int method = 0; // 0 GET, 1 POST, 2 HEAD; anything else GET
    Text postData;
    std::optional<Text> cookies; // in/out
    Text newCookies;             // out
    Text extraHeaders;           // in/out: on return the complete header block sent
    Text responseHeaders;        // out
    bool noRedirect = false;
    Bytes postBytes; // in/out
    Text proxy;
    const Cancellation* cancel = nullptr; // ends the call early when cancelled (may be null)
};

// Fetches `call.url` and returns the body bytes; empty on failure.
Bytes WebRequestBytes(BytesCall& call);
Bytes WebRequestBytes(const Text& url, const Cancellation* cancel = nullptr);

// True for an http:// or https:// address with a host (scheme case-blind), without blanks or
// control bytes: the one test of "is this a web address" in the program.
bool IsWebAddress(std::string_view url);

// URL pieces used by WebRequestBytes.
Text UrlHost(const Text& url, bool keepPort = false);
int UrlPort(const Text& url);
Text UrlPath(const Text& url);
Text HeaderValue(const Text& header);

// Process-wide TLS setting: an extra CA bundle trusted besides the system store.
void SetExtraCaBundle(const Text& path);

// Process-wide timeouts, in seconds: the longest wait without progress for requests that give
// no timeout of their own (30 at start), and the deadline of every request from its start,
// after which it ends as a failure whatever it is doing (60 at start). 0 or less: the default.
void SetRequestTimeouts(int noProgressSeconds, int deadlineSeconds);

// Aborts transfers still running (at exit); later calls fail at once with 711. A run's own
// requests are cancelled through their Cancellation instead.
void AbortAllTransfers();

} // namespace fundlens
