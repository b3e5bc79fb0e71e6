// The web layer's checks and escapes of addresses.
#include "web/process_state.h"
#include "web/transfer.h"
#include "web/web_request.h"

#include <curl/curl.h>
#include <memory>
#include <string_view>

namespace fundlens {
namespace web {

bool IsHttpUrl(const std::string& url) {
    GlobalInit();
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return false;
    char* scheme = nullptr;
    char* host = nullptr;
    bool ok = curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
              curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
    ok = ok && (std::string_view(scheme) == "http" || std::string_view(scheme) == "https") &&
         *host != '\0';
    curl_free(scheme);
    curl_free(host);
    return ok;
}

std::string EscapeUrlBytes(const std::string& url) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace web

bool IsWebAddress(std::string_view url) {
    const std::size_t schemeLength = StartsWithNoCase(url, "http://")    ? 7
                                     : StartsWithNoCase(url, "https://") ? 8
                                                                         : 0;
    // The host follows the two slashes at once ("http:///x" has none).
    if (schemeLength == 0 || url.size() == schemeLength ||
        std::string_view("/?#:").find(url[schemeLength]) != std::string_view::npos)
        return false;
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f')
            return false;
    }
    return web::IsHttpUrl(std::string(url));
}

} // namespace fundlens
