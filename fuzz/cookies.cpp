// Cookie merging and the reading of answer headers: a stored cookie text, then a header block.
#include "web/cookies.h"

#include "fuzz/fuzz_input.h"
#include "web/headers.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    FuzzedDataProvider input(data, size);
    Text stored = input.ConsumeRandomLengthString(512);
    const Text block = web::NormaliseSetCookie(input.ConsumeRemainingBytesAsString());

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
