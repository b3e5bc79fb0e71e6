// The profile and manager page cuts.
#include "fuzz/fuzz_input.h"
#include "portal/fund_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    for (const Text& page : {answer, Utf8ToText(answer)}) {
        CutProfile(page);
        CutManager(page);
    }
    return 0;
}
