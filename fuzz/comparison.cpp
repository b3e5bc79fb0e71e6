// The comparison cut for one fund and for two, and the net-value page's image address.
#include "portal/comparison.h"

#include "fuzz/fuzz_input.h"
#include "portal/net_value_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    for (const Text& text : {answer, Utf8ToText(answer)}) {
        CutComparison(text, "005669", "005939");
        CutComparison(text, "005669", "");
        CutComparison(text, "", "005939");
        NetValueImageUrl(CutNetValueImageSource(text));
    }
    return 0;
}
