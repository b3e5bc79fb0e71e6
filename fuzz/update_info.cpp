// The update-information page cut.
#include "portal/update_info.h"

#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    CutUpdateInfo(answer);
    CutUpdateInfo(Utf8ToText(answer));
    return 0;
}
