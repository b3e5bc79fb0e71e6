// The fund's rating: the request (address and the header block it needs) and the star text.
#pragma once

#include "text/text.h"

#include <optional>

namespace fundlens {

// "/F10/JJPJ/?callback=…&fundcode=<code>&pageIndex=1&pageSize=50&_=…" on the API host. The
// callback name and the timestamp are the portal's fixed texts; the answer is JSONP.
Text RatingUrl(const Text& code);

// The extra request lines the rating request is sent with (CR LF between them, none after):
// the browser's agent, "Accept: */*" and a Referer naming the fund's rating page on the F10
// host.
Text RatingHeaders(const Text& code);

// The text the rating label shows for an answer (as received): "★★★☆☆" for the ratings "1" to
// "5", "暂无评级" when the answer carries no rating. Any other value ("0") means "leave the
// label as it is": std::nullopt.
std::optional<Text> CutRating(const Text& answer);

} // namespace fundlens
