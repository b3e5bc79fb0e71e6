// The ranking cut: a ranking answer, its records as fund-list rows and their colours.
#include "fuzz/fuzz_input.h"
#include "portal/rank_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    const RankPage page = CutRankPage(answer);
    for (const Text& record : page.records) {
        const auto cells = FundRankRecord(record).ListCells();
        for (int column = FirstPercentColumn; column < FundListColumns; ++column)
            ReturnCellColor(cells[static_cast<std::size_t>(column)]);
    }
    FundRankRecord(answer).ListCells();
    ReturnCellColor(answer);
    return 0;
}
