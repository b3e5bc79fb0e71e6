// The holdings cuts: an archive answer and a quote answer (split at the first NUL byte; without
// one the input is both), and the grid rows paired from them.
#include "fuzz/fuzz_input.h"
#include "portal/fund_holdings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text input = fuzz::Answer(data, size);
    const std::size_t nul = input.find('\0');
    const Text archive = input.substr(0, nul);
    const Text quotes = nul == Text::npos ? input : input.substr(nul + 1);
    PairHoldings(CutHoldings(archive), CutQuotes(quotes));
    return 0;
}
