// The search and pick cuts: the suggestions of an answer, a fund main page and the list row a
// picked fund is shown in.
#include "fuzz/fuzz_input.h"
#include "portal/fund_main_page.h"
#include "portal/picked_fund.h"
#include "portal/search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fundlens;
    const Text answer = fuzz::Answer(data, size);
    const std::vector<Suggestion> suggestions = CutSuggestions(answer);
    for (const Text& page : {answer, Utf8ToText(answer)}) {
        const MainPageFigures figures = CutMainPage(page);
        PickedFundRow("", "", figures);
        for (const Suggestion& suggestion : suggestions)
            PickedFundRow(suggestion.name, suggestion.code, figures);
    }
    return 0;
}
