#include "portal/fund_rating.h"

#include "portal/profile.h"

#include <array>

namespace fundlens {

namespace {

constexpr const char* RatingCallback = "jQuery18306281225327741644_1628052779735";
constexpr const char* RatingTimestamp = "1628052779751";

// The header block is kept with a sample fund code in the Referer; the current code replaces it.
constexpr const char* SampleCode = "004139";
constexpr const char* BrowserAgent =
    "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 QQBrowser/10.8.4394.400";

constexpr int MaxStars = 5;

} // namespace

Text RatingUrl(const Text& code) {
    return PortalUrl(PortalHost::Api, "/F10/JJPJ/?callback=" + Text(RatingCallback) + "&fundcode=" +
                                          code + "&pageIndex=1&pageSize=50&_=" + RatingTimestamp);
}

Text RatingHeaders(const Text& code) {
    const Text stored = Text(BrowserAgent) + "\r\nAccept: */*\r\nReferer: " +
                        PortalUrl(PortalHost::F10, "jjpj_" + Text(SampleCode) + ".html");
    return ReplaceAll(stored, SampleCode, code);
}

std::optional<Text> CutRating(const Text& answer) {
    const Text value = TextBetween(answer, "\"SZPJ3\":\"", "\",\"ZSPJ5");
    if (value.empty())
        return "暂无评级"_gbk;
    static const std::array<Text, MaxStars> stars{"★☆☆☆☆"_gbk, "★★☆☆☆"_gbk, "★★★☆☆"_gbk,
                                                  "★★★★☆"_gbk, "★★★★★"_gbk};
    for (int n = 1; n <= MaxStars; ++n) {
        if (value == NumberToText(n))
            return stars[static_cast<std::size_t>(n - 1)];
    }
    return std::nullopt;
}

} // namespace fundlens
