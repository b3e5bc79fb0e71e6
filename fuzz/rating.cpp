// The rating cut.
#include "fuzz/fuzz_input.h"
#include "portal/fund_rating.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fundlens::CutRating(fundlens::fuzz::Answer(data, size));
    return 0;
}
