// The one libcurl transfer under both request routines. Internal to src/web.
#pragma once

#include "text/text.h"
#include "web/cancellation.h"

#include <cstddef>
#include <string>
#include <vector>

namespace fundlens::web {

// What to send. The routines build it; the core knows nothing of their header rules.
struct TransferRequest {
    std::string url;                      // absolute http or https URL
    std::string verb = "GET";             // GET, POST, HEAD or PUT
    bool sendBody = false;                // send `body` (POST and PUT always send one)
    std::string body;                     // request body, sent as is
    std::vector<std::string> headerLines; // request header lines, in order, without CR LF
    std::string userAgent;                // empty: no agent besides a header line
    bool carryRedirectCookies = false;    // cookies set along a followed redirect chain join
                                          // the Cookie line (first site only)
    bool followRedirects = true;          // http/https only, at most MaxRedirects
    std::string user, password;           // Basic credentials for the server, sent up front
    std::string proxy;                    // host:port; empty: direct (environment ignored)
    std::string proxyUser, proxyPassword; // Basic credentials for the proxy
    int timeoutSeconds = 0;               // connect, and longest time without progress;
                                          // 0 or less: the process-wide setting
    const Cancellation* cancel = nullptr; // ends the transfer when cancelled (may be null)
};

// How a transfer ended.
enum class TransferOutcome {
    Done,          // a complete answer arrived (any HTTP status)
    BadUrl,        // malformed URL or a scheme other than http/https
    ConnectFailed, // resolve, connect, TLS, proxy or send failure; aborted or cancelled before an
                   // answer
    NoAnswer,      // connected but no complete answer header (timeout, closed, bad redirect)
    ReadFailed,    // the final answer's body broke off (closed early, stalled, over the cap,
                   // past the deadline)
};

// What came back; the header block and the body only when the outcome is Done.
struct TransferResult {
    TransferOutcome outcome = TransferOutcome::ConnectFailed;
    std::string headerBlock; // final answer: status line first, CR LF line ends, blank line last
    Bytes body;
};

inline constexpr int MaxRedirects = 10;
inline constexpr std::size_t MaxBodyBytes = 64u * 1024u * 1024u;

// Performs one transfer on the calling thread's reusable handle (connections are kept
// alive between the calls of one thread). It ends as a failure when it makes no progress for
// its timeout, in any phase, or when the process-wide deadline has passed since its start.
TransferResult PerformTransfer(const TransferRequest& request);

// True when the URL parses and its scheme is http or https.
bool IsHttpUrl(const std::string& url);

// Makes a URL acceptable to the transfer: blanks, control bytes and bytes above 0x7F are
// percent-encoded (the portal's addresses are ASCII; a stray byte must not break them).
std::string EscapeUrlBytes(const std::string& url);

} // namespace fundlens::web
