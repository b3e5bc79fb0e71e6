// The risk page cut.
#include "fuzz/fuzz_input.h"
#include "portal/fund_risk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    CutRisk(answer);
    CutRisk(Utf8ToText(answer));
    return 0;
}
