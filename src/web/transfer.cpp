// The libcurl core: one reusable handle per thread, driven through a per-thread multi handle
// so that a transfer can be woken and ended at once when the program shuts down.
#include "web/transfer.h"

#include "web/process_state.h"
#include "web/request_headers.h"

#include <algorithm>
#include <chrono>
#include <curl/curl.h>
#include <memory>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <optional>
#include <string_view>

namespace fundlens {
namespace web {
namespace {

using Clock = std::chrono::steady_clock;

// Longest single wait for socket activity; abort requests wake the wait at once anyway.
constexpr int MaxPollMilliseconds = 1000;

// ---------------------------------------------------------------- one transfer

enum class Phase {
    Connecting,     // resolving, connecting, TLS, proxy tunnel of the first request
    AwaitingAnswer, // request going out, waiting for the answer's header block
    Redirecting,    // a followed redirect answered: its body drained, the next hop set up
    ReadingBody,    // the final answer's header block is in
};

// When a transfer gives up: after `noProgress` without a byte moving, in any phase, and at
// `deadline` whatever it is doing.
struct Limits {
    std::chrono::seconds noProgress;
    Clock::time_point deadline;
};

struct TransferState {
    CURL* easy = nullptr;
    bool followRedirects = true;
    const Cancellation* cancel = nullptr;
    std::string caBundle;
    RequestHeaders* headers = nullptr;

    Phase phase = Phase::Connecting;
    Clock::time_point lastActivity = Clock::now();
    curl_off_t lastUploaded = 0;

    bool inBlock = false;
    bool blockHasLocation = false;
    int blockStatus = 0;
    std::string block;         // header block being received
    std::string completeBlock; // last complete non-interim block
    bool anyAnswer = false;
    Bytes body;
};

bool StopAsked(const TransferState& st) {
    return Aborted() || (st.cancel && st.cancel->Cancelled());
}

// The three-digit code of a status line "HTTP/x[.y] nnn ...", or 0.
int StatusCodeOf(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return 0;
    int code = 0;
    int digits = 0;
    for (std::size_t i = line.find_first_not_of(' ', blank); i < line.size() && digits < 3;
         ++i, ++digits) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
        code = code * 10 + (line[i] - '0');
    }
    return digits == 3 ? code : 0;
}

void EndOfBlock(TransferState& st) {
    st.inBlock = false;
    st.block += "\r\n";
    if (st.blockStatus >= 100 && st.blockStatus < 200) { // interim answer: not shown
        st.block.clear();
        return;
    }
    st.completeBlock = std::move(st.block);
    st.block.clear();
    st.anyAnswer = true;
    const bool redirect = st.blockStatus >= 300 && st.blockStatus < 400 && st.blockHasLocation;
    if (!st.followRedirects || !redirect) {
        st.phase = Phase::ReadingBody;
        return;
    }
    st.phase = Phase::Redirecting;
    char* answerUrl = nullptr; // still this hop's address: libcurl moves on after its body
    if (curl_easy_getinfo(st.easy, CURLINFO_EFFECTIVE_URL, &answerUrl) == CURLE_OK && answerUrl)
        st.headers->RedirectAnswered(st.completeBlock, answerUrl);
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto& st = *static_cast<TransferState*>(user);
    const size_t length = size * count;
    st.lastActivity = Clock::now();
    std::string_view line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);

    if (!st.inBlock) {
        if (!line.starts_with("HTTP/"))
            return length; // trailers after a chunked body: not part of the answer's block
        st.inBlock = true;
        st.block.clear();
        st.blockHasLocation = false;
        st.blockStatus = StatusCodeOf(line);
        st.body.clear(); // a new answer: whatever came before belonged to an earlier one
    }
    if (line.empty()) {
        EndOfBlock(st);
        return length;
    }
    st.block.append(line);
    st.block += "\r\n";
    if (StartsWithNoCase(line, "location:"))
        st.blockHasLocation = true;
    return length;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& st = *static_cast<TransferState*>(user);
    const size_t length = size * count;
    st.lastActivity = Clock::now();
    if (st.body.size() + length > MaxBodyBytes)
        return 0; // ends the transfer as a failed read
    st.body.insert(st.body.end(), data, data + length);
    return length;
}

int OnRequestStart(void* user, char*, char*, int, int) {
    auto& st = *static_cast<TransferState*>(user);
    st.phase = Phase::AwaitingAnswer;
    st.lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto& st = *static_cast<TransferState*>(user);
    if (uploaded != st.lastUploaded) {
        st.lastUploaded = uploaded;
        st.lastActivity = Clock::now();
    }
    return StopAsked(st) ? 1 : 0;
}

// Adds the certificates of the extra CA bundle to the store libcurl filled from the system.
CURLcode OnSslContext(CURL*, void* sslContext, void* user) {
    const auto& path = *static_cast<const std::string*>(user);
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_file(path.c_str(), "r"), &BIO_free);
    if (!store || !bio)
        return CURLE_OK; // verification then fails for servers only that bundle vouches for
    while (X509* cert = PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
        X509_STORE_add_cert(store, cert);
        X509_free(cert);
    }
    return CURLE_OK;
}

// libcurl announces "Proxy-Connection: Keep-Alive" to a proxy (plain requests and CONNECT)
// unless a line of that name is given; a line without a value is not sent.
curl_slist* ProxyHeaders() {
    static char line[] = "Proxy-Connection:";
    static curl_slist list{line, nullptr};
    return &list;
}

void SetMethod(CURL* easy, const TransferRequest& request) {
    const auto size = static_cast<curl_off_t>(request.body.size());
    if (request.verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        if (request.sendBody && !request.body.empty()) {
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, size);
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "HEAD");
        }
    } else if (request.verb == "POST" || request.sendBody || request.verb != "GET") {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, request.sendBody ? size : 0);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.sendBody ? request.body.data() : "");
        if (request.verb != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
}

void Configure(CURL* easy, const TransferRequest& request, TransferState& st, long timeout) {
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(MaxRedirects));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, timeout);

    // An empty proxy means a direct connection: proxy variables of the environment are ignored.
    curl_easy_setopt(easy, CURLOPT_PROXY, request.proxy.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYHEADER, ProxyHeaders());
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!request.proxy.empty() && !request.proxyUser.empty() && !request.proxyPassword.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, request.proxyUser.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str());
    }
    if (!request.user.empty() && !request.password.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(easy, CURLOPT_USERNAME, request.user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, request.password.c_str());
    }
    if (!request.userAgent.empty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str());

    // The library's cookie store stays off: cookies go out in the Cookie line alone.
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, st.headers->List());
    SetMethod(easy, request);

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &st);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &st);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &OnRequestStart);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &st);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &st);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);

    if (!st.caBundle.empty()) {
        curl_easy_setopt(easy, CURLOPT_CA_CACHE_TIMEOUT, 0L); // never add to a shared store
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &OnSslContext);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &st.caBundle);
    }
}

enum class Stop { None, Aborted, TimedOut };

TransferOutcome Classify(CURLcode code, Stop stop, const TransferState& st) {
    if (code == CURLE_ABORTED_BY_CALLBACK)
        stop = Stop::Aborted;
    if (stop == Stop::None && code == CURLE_OK)
        return st.completeBlock.empty() ? TransferOutcome::NoAnswer : TransferOutcome::Done;
    if (st.phase == Phase::ReadingBody)
        return TransferOutcome::ReadFailed;
    if (stop == Stop::Aborted)
        return TransferOutcome::ConnectFailed;
    if (stop == Stop::TimedOut)
        return st.phase == Phase::Connecting ? TransferOutcome::ConnectFailed
                                             : TransferOutcome::NoAnswer;
    switch (code) {
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        // Before any answer the URL itself is at fault; after one, a redirect target is.
        return st.anyAnswer ? TransferOutcome::NoAnswer : TransferOutcome::BadUrl;
    case CURLE_TOO_MANY_REDIRECTS:
        return TransferOutcome::NoAnswer;
    case CURLE_SEND_ERROR:
        return TransferOutcome::ConnectFailed;
    default:
        return st.phase == Phase::Connecting ? TransferOutcome::ConnectFailed
                                             : TransferOutcome::NoAnswer;
    }
}

void WakeMulti(void* multi) {
    curl_multi_wakeup(static_cast<CURLM*>(multi));
}

// How long to wait for socket activity before the limits are looked at again; nothing when a
// limit has been reached.
std::optional<std::chrono::milliseconds> TimeLeft(const TransferState& st, const Limits& limits) {
    using std::chrono::ceil;
    using std::chrono::milliseconds;
    const auto now = Clock::now();
    const auto idle = now - st.lastActivity;
    if (now >= limits.deadline || idle >= limits.noProgress)
        return std::nullopt;
    return std::min({milliseconds(MaxPollMilliseconds),
                     ceil<milliseconds>(limits.noProgress - idle),
                     ceil<milliseconds>(limits.deadline - now)});
}

// Runs the configured handle to its end, or until aborted or cancelled, or until a limit is
// reached.
std::pair<CURLcode, Stop> Drive(CURLM* multi, CURL* easy, TransferState& st, const Limits& limits) {
    CURLcode code = CURLE_OK;
    Stop stop = Stop::None;
    if (st.cancel && !st.cancel->Attach(&WakeMulti, multi))
        return {code, Stop::Aborted};
    curl_multi_add_handle(multi, easy);
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                    code = message->data.result;
            }
            break;
        }
        if (StopAsked(st)) {
            stop = Stop::Aborted;
            break;
        }
        const auto wait = TimeLeft(st, limits);
        if (!wait) {
            stop = Stop::TimedOut;
            break;
        }
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait->count()), nullptr);
    }
    curl_multi_remove_handle(multi, easy);
    if (st.cancel)
        st.cancel->Detach(multi);
    return {code, stop};
}

} // namespace

TransferResult PerformTransfer(const TransferRequest& request) {
    TransferResult result;
    if (!IsHttpUrl(request.url)) {
        result.outcome = TransferOutcome::BadUrl;
        return result;
    }
    if (Aborted() || (request.cancel && request.cancel->Cancelled()))
        return result; // ConnectFailed

    ThreadHandles& handles = Handles();
    if (!handles.PrepareEasy())
        return result;

    const TransferSettings settings = CurrentSettings();
    const int timeout =
        request.timeoutSeconds > 0 ? request.timeoutSeconds : settings.noProgressSeconds;
    const Limits limits{std::chrono::seconds(timeout),
                        Clock::now() + std::chrono::seconds(settings.deadlineSeconds)};

    std::vector<std::string> lines = request.headerLines;
    lines.emplace_back("Expect:"); // bodies go out at once, never after a 100-continue wait
    RequestHeaders headers(std::move(lines), request.carryRedirectCookies, request.url);
    TransferState st;
    st.easy = handles.easy;
    st.followRedirects = request.followRedirects;
    st.cancel = request.cancel;
    st.caBundle = settings.extraCaBundle;
    st.headers = &headers;
    Configure(handles.easy, request, st, timeout);

    const auto [code, stop] = Drive(handles.multi, handles.easy, st, limits);
    result.outcome = Classify(code, stop, st);
    if (result.outcome == TransferOutcome::Done) {
        result.headerBlock = std::move(st.completeBlock);
        result.body = std::move(st.body);
    }
    return result;
}

} // namespace web
} // namespace fundlens
