// Request header blocks and the reading of response header blocks. Internal to src/web.
#pragma once

#include "text/text.h"

#include <optional>
#include <vector>

namespace fundlens::web {

// WebRequest's request header block: the caller's lines, then each default line whose name
// the block lacks, then the Cookie line. Every line ends in CR LF.
Text BuildRequestHeaderBlock(const Text& extraHeaders, const Text& cookies);

// WebRequestBytes' request header block: the caller's lines completed with the defaults it
// lacks, lines joined by CR LF without a trailing one.
Text CompleteBytesHeaderBlock(const Text& extraHeaders, const Text& url, const Text& cookies);

// The agent WebRequestBytes announces: the caller's User-Agent line's value, else its own.
Text BytesUserAgent(const Text& extraHeaders);

// The lines of a header block split at CR LF; empty lines are dropped.
std::vector<Text> HeaderLines(const Text& block);

// Every "Set-Cookie", in any letter case, written exactly so.
Text NormaliseSetCookie(const Text& block);

// The name=value of a Set-Cookie line (attributes dropped, trimmed); nothing for other lines
// and for a cookie without name and value.
std::optional<Text> CookieOfLine(const Text& line);

// The value of a Location line (name in any case); nothing for other lines.
std::optional<Text> LocationOfLine(const Text& line);

// "a=1; b=2" from every Set-Cookie line of the block; empty when there is none.
Text CookiesOfBlock(const Text& block);

// The status line's text after its protocol token: "HTTP/1.1 200 OK" gives "200 OK",
// "HTTP/2 404" gives "404".
Text StatusTextOf(const Text& block);

// The URL without trailing blanks.
Text DropTrailingBlanks(const Text& url);

} // namespace fundlens::web
