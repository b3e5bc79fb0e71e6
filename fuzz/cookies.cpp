// Cookie merging and the reading of answer headers: the stored cookies and an answer's header
// block, split at the first NUL byte (without one the input is the block and nothing is stored).
#include "web/cookies.h"

#include "fuzz/fuzz_input.h"
#include "web/headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text input = fuzz::Answer(data, size);
    const std::size_t nul = input.find('\0');
    Text stored = nul == Text::npos ? Text() : input.substr(0, nul);
    const Text block = web::NormaliseSetCookie(nul == Text::npos ? input : input.substr(nul + 1));

    // As WebRequest reads an answer.
    web::StatusTextOf(block);
    Text received;
    for (const Text& line : web::HeaderLines(block)) {
        if (const auto cookie = web::CookieOfLine(line))
            received += (received.empty() ? "" : "; ") + *cookie;
        web::LocationOfLine(line);
    }
    Text jar = stored;
    MergeCookies(jar, received);

    // As WebRequestBytes reads one.
    Text fromBlock = web::CookiesOfBlock(block);
    const Text merged = MergeCookies(stored, fromBlock);
    CookieListHasName(merged, CookieName(received));
    RemoveDuplicateItems(block, "\r\n");
    return 0;
}
